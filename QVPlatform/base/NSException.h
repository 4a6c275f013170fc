// NSException: an error the platform raises, with a name such as "NSUnknownKeyException"
// and a reason. Thrown by the runtime (unknown selectors and keys) and by the decimal
// (overflow, division by zero) when the caller's handler asks for it.
//
//   try { number.dividing(zero); } catch (const NSException& e) { e.name(); }
//
// A plain value; thread-safe.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class NSException : public std::runtime_error {
public:
    NSException(std::string name, std::string reason)
        : std::runtime_error(name + ": " + reason), name_(std::move(name)), reason_(std::move(reason)) {}
    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }

private:
    std::string name_;
    std::string reason_;
};

}  // namespace platform
