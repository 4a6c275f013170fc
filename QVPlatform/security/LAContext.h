// LAContext: the authentication context a host passes with a query
// (kSecUseAuthenticationContext). It stands in for the platform's local-authentication
// context: it carries whether interaction is allowed and a reuse flag, which the store hands
// to the authentication agent (see SecItem.h); it authenticates nobody by itself.
//
//   auto context = LAContext::make();
//   context->setInteractionNotAllowed(true);   // reads of protected items answer -25308
//
// Thread rule: the flags are atomic; the object may be shared between threads.
#pragma once

#include <QVPlatform/runtime/NSObject.h>

#include <atomic>
#include <memory>

namespace platform {

class LAContext : public NSObjectSubclass<LAContext, NSObject, "LAContext"> {
public:
    static std::shared_ptr<LAContext> make() { return std::make_shared<LAContext>(); }

    // When true, a read that would need the agent answers errSecInteractionNotAllowed.
    bool interactionNotAllowed() const { return interactionNotAllowed_.load(); }
    void setInteractionNotAllowed(bool value) { interactionNotAllowed_.store(value); }
    // Set by the store once the agent approved a read under this context; later reads under
    // the same context do not ask again.
    bool isAuthenticated() const { return authenticated_.load(); }
    void setAuthenticated(bool value) { authenticated_.store(value); }

private:
    std::atomic<bool> interactionNotAllowed_{false};
    std::atomic<bool> authenticated_{false};
};

}  // namespace platform
