// Collects what the debug channel receives while alive, then restores the previous sink.
#pragma once

#include <QVPlatform/base/Debug.h>

#include <string>
#include <vector>

namespace qvtest {

struct DebugMessages {
    std::vector<std::string> seen;
    platform::DebugSink previous;
    DebugMessages() {
        previous = platform::setDebugSink([this](std::string_view m, std::string_view) { seen.emplace_back(m); });
    }
    ~DebugMessages() { platform::setDebugSink(previous); }
    DebugMessages(const DebugMessages&) = delete;
    DebugMessages& operator=(const DebugMessages&) = delete;
};

}  // namespace qvtest
