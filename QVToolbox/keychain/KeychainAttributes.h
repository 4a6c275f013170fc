// Attributes: the typed, read-only view of the attribute dictionary the store returned for
// one item. Each accessor answers its value only when it has the stated kind.
//
//   Attributes a(dictionary);
//   a.account();        // std::optional<std::string>
//   a.port();           // std::optional<std::int64_t>
//   a["custom"];        // the raw value under any key, or absent
//
// `class_` carries a trailing underscore (a C++ keyword). A value; thread-safe.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/security/SecAccessControl.h>
#include <QVPlatform/security/SecBase.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

class Attributes {
public:
    explicit Attributes(platform::Any::Dictionary attributes) : attributes_(std::move(attributes)) {}

    const platform::Any::Dictionary& attributes() const { return attributes_; }

    std::optional<std::string> class_() const { return text(platform::kSecClass); }
    std::optional<platform::Data> data() const { return bytes(platform::kSecValueData); }
    std::optional<platform::Data> ref() const { return bytes(platform::kSecValueRef); }
    std::optional<platform::Data> persistentRef() const { return bytes(platform::kSecValuePersistentRef); }
    std::optional<std::string> accessible() const { return text(platform::kSecAttrAccessible); }
    platform::SecAccessControlRef accessControl() const;
    std::optional<std::string> accessGroup() const { return text(platform::kSecAttrAccessGroup); }
    std::optional<bool> synchronizable() const { return boolean(platform::kSecAttrSynchronizable); }
    std::optional<platform::Date> creationDate() const { return date(platform::kSecAttrCreationDate); }
    std::optional<platform::Date> modificationDate() const { return date(platform::kSecAttrModificationDate); }
    std::optional<std::string> attributeDescription() const { return text(platform::kSecAttrDescription); }
    std::optional<std::string> comment() const { return text(platform::kSecAttrComment); }
    std::optional<std::string> creator() const { return text(platform::kSecAttrCreator); }
    std::optional<std::string> type() const { return text(platform::kSecAttrType); }
    std::optional<std::string> label() const { return text(platform::kSecAttrLabel); }
    std::optional<bool> isInvisible() const { return boolean(platform::kSecAttrIsInvisible); }
    std::optional<bool> isNegative() const { return boolean(platform::kSecAttrIsNegative); }
    std::optional<std::string> account() const { return text(platform::kSecAttrAccount); }
    std::optional<std::string> service() const { return text(platform::kSecAttrService); }
    std::optional<platform::Data> generic() const { return bytes(platform::kSecAttrGeneric); }
    std::optional<std::string> securityDomain() const { return text(platform::kSecAttrSecurityDomain); }
    std::optional<std::string> server() const { return text(platform::kSecAttrServer); }
    std::optional<std::string> protocol() const { return text(platform::kSecAttrProtocol); }
    std::optional<std::string> authenticationType() const { return text(platform::kSecAttrAuthenticationType); }
    std::optional<std::int64_t> port() const;
    std::optional<std::string> path() const { return text(platform::kSecAttrPath); }

    // The raw value under `key`, absent when the key is missing.
    std::optional<platform::Any> operator[](std::string_view key) const;

    // The text form of the whole dictionary (both are the same).
    std::string description() const;
    std::string debugDescription() const { return description(); }

private:
    const platform::Any* find(std::string_view key) const;
    std::optional<std::string> text(std::string_view key) const;
    std::optional<platform::Data> bytes(std::string_view key) const;
    std::optional<bool> boolean(std::string_view key) const;
    std::optional<platform::Date> date(std::string_view key) const;

    platform::Any::Dictionary attributes_;
};

}  // namespace QVToolbox
