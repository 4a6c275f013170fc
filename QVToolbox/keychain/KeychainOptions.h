// Keychain options: the enumerations that name item classes, protocols, authentication
// types, accessibility levels and the authentication-UI choice; the access-control policy
// set; and `Options`, every setting of a Keychain with the two rules that turn it into the
// item store's dictionaries.
//
//   Options o;  o.service = "app";
//   o.query(true);     // {kSecClass: generic, kSecAttrSynchronizable: Any, kSecAttrService: "app"}
//   rawValue(ProtocolType::https);                  // kSecAttrProtocolHTTPS
//   fromRawValue<ProtocolType>(kSecAttrProtocolPOP3S);   // ProtocolType::pop3S
//
// Names that are C++ keywords take a trailing underscore: AuthenticationType::default_,
// AuthenticationPolicy::or_ and ::and_, Attributes::class_. Values only; thread-safe.
#pragma once

#include <QVToolbox/keychain/KeychainError.h>

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/URL.h>
#include <QVPlatform/security/LAContext.h>
#include <QVPlatform/security/SecBase.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

enum class ItemClass { genericPassword, internetPassword };

enum class ProtocolType {
    ftp, ftpAccount, http, irc, nntp, pop3, smtp, socks, imap, ldap, appleTalk, afp, telnet, ssh, ftps, https,
    httpProxy, httpsProxy, ftpProxy, smb, rtsp, rtspProxy, daap, eppc, ipp, nntps, ldaps, telnetS, imaps, ircs, pop3S,
};

enum class AuthenticationType { ntlm, msn, dpa, rpa, httpBasic, httpDigest, htmlForm, default_ };

enum class Accessibility {
    whenUnlocked, afterFirstUnlock, always, whenPasscodeSetThisDeviceOnly, whenUnlockedThisDeviceOnly,
    afterFirstUnlockThisDeviceOnly, alwaysThisDeviceOnly,
};

// Has a raw value for the platform but no construction from one.
enum class AuthenticationUI { allow, fail, skip };

// One case of an enumeration with its platform constant and display text.
template <class E>
struct KeychainEnumEntry {
    E value;
    const char* rawValue;
    const char* description;
};

// The cases of each enumeration, in declaration order.
template <class E>
std::span<const KeychainEnumEntry<E>> keychainEnumEntries();
template <>
std::span<const KeychainEnumEntry<ItemClass>> keychainEnumEntries<ItemClass>();
template <>
std::span<const KeychainEnumEntry<ProtocolType>> keychainEnumEntries<ProtocolType>();
template <>
std::span<const KeychainEnumEntry<AuthenticationType>> keychainEnumEntries<AuthenticationType>();
template <>
std::span<const KeychainEnumEntry<Accessibility>> keychainEnumEntries<Accessibility>();
template <>
std::span<const KeychainEnumEntry<AuthenticationUI>> keychainEnumEntries<AuthenticationUI>();

template <class E>
concept KeychainEnum = requires { keychainEnumEntries<E>(); };

template <KeychainEnum E>
std::vector<E> allCases() {
    std::vector<E> out;
    for (const auto& entry : keychainEnumEntries<E>()) out.push_back(entry.value);
    return out;
}
template <KeychainEnum E>
std::string rawValue(E value) {
    return keychainEnumEntries<E>()[static_cast<std::size_t>(value)].rawValue;
}
template <KeychainEnum E>
std::string description(E value) {
    return keychainEnumEntries<E>()[static_cast<std::size_t>(value)].description;
}
// The first case whose raw value equals `raw`, or absent.
template <KeychainEnum E>
    requires(!std::is_same_v<E, AuthenticationUI>)
std::optional<E> fromRawValue(std::string_view raw) {
    for (const auto& entry : keychainEnumEntries<E>()) {
        if (raw == entry.rawValue) return entry.value;
    }
    return std::nullopt;
}

// The constraints a read of an item must satisfy: an option set over the platform's
// access-control creation flags (the raw value is passed to the platform unchanged).
struct AuthenticationPolicy {
    std::uint64_t rawValue = 0;

    constexpr AuthenticationPolicy() = default;
    constexpr explicit AuthenticationPolicy(std::uint64_t raw) : rawValue(raw) {}
    // The union of the members.
    constexpr AuthenticationPolicy(std::initializer_list<AuthenticationPolicy> members) {
        for (AuthenticationPolicy m : members) rawValue |= m.rawValue;
    }

    static const AuthenticationPolicy userPresence, touchIDAny, biometryAny, touchIDCurrentSet, biometryCurrentSet,
        devicePasscode, watch, or_, and_, privateKeyUsage, applicationPassword;

    constexpr bool contains(AuthenticationPolicy m) const { return (rawValue & m.rawValue) == m.rawValue; }
    constexpr void insert(AuthenticationPolicy m) { rawValue |= m.rawValue; }
    constexpr void remove(AuthenticationPolicy m) { rawValue &= ~m.rawValue; }
    constexpr bool isEmpty() const { return rawValue == 0; }
    friend constexpr AuthenticationPolicy operator|(AuthenticationPolicy a, AuthenticationPolicy b) {
        return AuthenticationPolicy(a.rawValue | b.rawValue);
    }
    friend constexpr AuthenticationPolicy operator&(AuthenticationPolicy a, AuthenticationPolicy b) {
        return AuthenticationPolicy(a.rawValue & b.rawValue);
    }
    friend constexpr AuthenticationPolicy operator^(AuthenticationPolicy a, AuthenticationPolicy b) {
        return AuthenticationPolicy(a.rawValue ^ b.rawValue);
    }
    friend constexpr bool operator==(AuthenticationPolicy, AuthenticationPolicy) = default;
};

inline constexpr AuthenticationPolicy AuthenticationPolicy::userPresence{1u << 0};
inline constexpr AuthenticationPolicy AuthenticationPolicy::touchIDAny{1u << 1};
inline constexpr AuthenticationPolicy AuthenticationPolicy::biometryAny{1u << 1};
inline constexpr AuthenticationPolicy AuthenticationPolicy::touchIDCurrentSet{1u << 3};
inline constexpr AuthenticationPolicy AuthenticationPolicy::biometryCurrentSet{1u << 3};
inline constexpr AuthenticationPolicy AuthenticationPolicy::devicePasscode{1u << 4};
inline constexpr AuthenticationPolicy AuthenticationPolicy::watch{1u << 5};
inline constexpr AuthenticationPolicy AuthenticationPolicy::or_{1u << 14};
inline constexpr AuthenticationPolicy AuthenticationPolicy::and_{1u << 15};
inline constexpr AuthenticationPolicy AuthenticationPolicy::privateKeyUsage{1u << 30};
inline constexpr AuthenticationPolicy AuthenticationPolicy::applicationPassword{1u << 31};

// Every setting a Keychain carries. Invariant kept by the Keychain constructors: an
// internet-password keychain has a server and a protocol.
struct Options {
    ItemClass itemClass = ItemClass::genericPassword;
    std::string service;
    std::optional<std::string> accessGroup;
    std::optional<platform::URL> server;
    std::optional<ProtocolType> protocolType;
    AuthenticationType authenticationType = AuthenticationType::default_;
    Accessibility accessibility = Accessibility::afterFirstUnlock;
    std::optional<AuthenticationPolicy> authenticationPolicy;
    bool synchronizable = false;
    std::optional<std::string> label;
    std::optional<std::string> comment;
    std::optional<std::string> authenticationPrompt;
    std::optional<AuthenticationUI> authenticationUI;
    std::shared_ptr<platform::NSObject> authenticationContext;  // an LAContext, or null
    platform::Any::Dictionary attributes;                       // custom attributes, merged last

    // The dictionary that identifies this keychain's items: class, access group,
    // synchronizable (kSecAttrSynchronizableAny when ignoring), service — or server (""
    // when the URL has no host, so that such a keychain never touches another server's
    // items), port, protocol and authentication type — then prompt and context.
    platform::Any::Dictionary query(bool ignoringAttributeSynchronizable) const;

    struct AttributesResult {
        platform::Any::Dictionary attributes;
        std::optional<KeychainError> error;
    };
    // The dictionary that describes an item to add (with a key: the query plus the account)
    // or the fields of an update (no key): data, label, comment, access control or
    // accessibility, synchronizable. Custom attributes are not merged here. When the access
    // control cannot be made, the dictionary built so far and the error. (Named
    // `attributesFor` because `attributes` is the field.)
    AttributesResult attributesFor(const std::optional<std::string>& key, const platform::Data& value) const;
};

}  // namespace QVToolbox
