// Keychain: passwords and secrets kept in the platform's item store, by key, for one service
// (generic passwords) or one server (internet passwords).
//
//   auto keychain = Keychain::make("com.example.app");
//   keychain->set("s3cret", "alice");                 // adds, or updates an existing item
//   keychain->get("alice");                           // "s3cret"
//   (*keychain)["bob"] = std::nullopt;                // keyed access: assigning nothing removes
//   keychain->label("Work")->synchronizable(true)->set("t0ken", "carol");   // modifiers chain
//
// A Keychain never changes after construction: each modifier returns a new instance of the
// receiver's class (through `copyWith`) with a changed copy of its Options. Failures throw
// `Status` (KeychainStatus.h) or, for an access control the platform refused, the
// `KeychainError` converted from its CFError. Listings and keyed access never throw.
//
// Defaults: reads, writes and removals ignore the synchronizable attribute
// (`ignoringAttributeSynchronizable` = true); `contains` allows interaction
// (`withoutAuthenticationUI` = false). Thread rule: no state beyond the options; call from
// any thread. Shared-credential completions arrive on a global queue, or at once on the
// caller's thread for a keychain that has no server host (with Status::param).
#pragma once

#include <QVToolbox/keychain/KeychainAttributes.h>
#include <QVToolbox/keychain/KeychainError.h>
#include <QVToolbox/keychain/KeychainOptions.h>
#include <QVToolbox/keychain/KeychainStatus.h>

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/URL.h>
#include <QVPlatform/security/LAContext.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace QVToolbox {

class Keychain {
public:
    using Dictionary = platform::Any::Dictionary;
    using Credential = std::map<std::string, std::string>;
    using OptionalError = std::optional<KeychainError>;

    // The item store's identity of this keychain; constructors below fill it.
    explicit Keychain(Options options);
    virtual ~Keychain() = default;

    // Generic passwords for the main bundle's identifier ("" when there is none).
    static std::shared_ptr<Keychain> make();
    static std::shared_ptr<Keychain> make(std::string service);
    static std::shared_ptr<Keychain> makeWithAccessGroup(std::string accessGroup);
    static std::shared_ptr<Keychain> make(std::string service, std::string accessGroup);
    // Internet passwords. A server text that does not parse as a URL throws Status::param.
    static std::shared_ptr<Keychain> make(const std::string& server, ProtocolType protocolType,
                                          std::optional<std::string> accessGroup = std::nullopt,
                                          AuthenticationType authenticationType = AuthenticationType::default_);
    static std::shared_ptr<Keychain> make(platform::URL server, ProtocolType protocolType,
                                          std::optional<std::string> accessGroup = std::nullopt,
                                          AuthenticationType authenticationType = AuthenticationType::default_);

    // A new keychain of this object's class with `options`; subclasses override it so that
    // modifiers keep their class.
    virtual std::shared_ptr<Keychain> copyWith(Options options) const;

    // Properties: views of the options.
    const Options& options() const { return options_; }
    ItemClass itemClass() const { return options_.itemClass; }
    const std::string& service() const { return options_.service; }
    const std::optional<std::string>& accessGroup() const { return options_.accessGroup; }
    // Absent for a generic-password keychain.
    const std::optional<platform::URL>& server() const { return options_.server; }
    std::optional<ProtocolType> protocolType() const { return options_.protocolType; }
    AuthenticationType authenticationType() const { return options_.authenticationType; }
    Accessibility accessibility() const { return options_.accessibility; }
    std::optional<AuthenticationPolicy> authenticationPolicy() const { return options_.authenticationPolicy; }
    bool synchronizable() const { return options_.synchronizable; }
    const std::optional<std::string>& label() const { return options_.label; }
    const std::optional<std::string>& comment() const { return options_.comment; }
    const std::optional<std::string>& authenticationPrompt() const { return options_.authenticationPrompt; }
    AuthenticationUI authenticationUI() const { return options_.authenticationUI.value_or(AuthenticationUI::allow); }
    std::shared_ptr<platform::LAContext> authenticationContext() const;

    // Modifiers: each answers a new keychain; this one is unchanged.
    std::shared_ptr<Keychain> accessibility(Accessibility accessibility) const;
    std::shared_ptr<Keychain> accessibility(Accessibility accessibility, AuthenticationPolicy policy) const;
    std::shared_ptr<Keychain> synchronizable(bool synchronizable) const;
    std::shared_ptr<Keychain> label(std::string label) const;
    std::shared_ptr<Keychain> comment(std::string comment) const;
    // Custom attributes, written over the computed ones of the same key in adds and updates.
    std::shared_ptr<Keychain> attributes(const Dictionary& attributes) const;
    std::shared_ptr<Keychain> authenticationPrompt(std::string prompt) const;
    std::shared_ptr<Keychain> authenticationUI(AuthenticationUI ui) const;
    std::shared_ptr<Keychain> authenticationContext(std::shared_ptr<platform::LAContext> context) const;

    // Reads: absent for a missing key. Stored bytes that are not UTF-8 throw conversionError.
    std::optional<std::string> get(const std::string& key, bool ignoringAttributeSynchronizable = true) const;
    std::optional<std::string> getString(const std::string& key, bool ignoringAttributeSynchronizable = true) const;
    std::optional<platform::Data> getData(const std::string& key, bool ignoringAttributeSynchronizable = true) const;
    // The handler receives the item's attributes (with its data), or absent; its result is
    // returned.
    template <class F>
        requires std::is_invocable_v<F, std::optional<Attributes>>
    auto get(const std::string& key, bool ignoringAttributeSynchronizable, F&& handler) const {
        return std::forward<F>(handler)(fetchAttributes(key, ignoringAttributeSynchronizable));
    }

    // Writes: an existing item is updated, a new one added (a concurrent add of the same key
    // falls back to the update). A text that is not valid UTF-8 throws conversionError.
    void set(const std::string& value, const std::string& key, bool ignoringAttributeSynchronizable = true) const;
    void set(const platform::Data& value, const std::string& key, bool ignoringAttributeSynchronizable = true) const;
    // Removing a missing key is no error.
    void remove(const std::string& key, bool ignoringAttributeSynchronizable = true) const;
    // Every item of this keychain's class and service (or server), and access group if set.
    void removeAll() const;
    // An item that exists but needs interaction counts only when `withoutAuthenticationUI`.
    bool contains(const std::string& key, bool withoutAuthenticationUI = false) const;

    // Listings: empty on any failure.
    static std::vector<std::pair<std::string, std::string>> allKeys(ItemClass itemClass);
    std::vector<std::string> allKeys() const;
    static std::vector<Dictionary> allItems(ItemClass itemClass);
    std::vector<Dictionary> allItems() const;
    // Display dictionaries: "class", "accessGroup", "server"/"protocol"/"authenticationType"
    // or "service", "key", "value", "accessibility", "synchronizable".
    static std::vector<Dictionary> prettify(ItemClass itemClass, const platform::Any::List& items);

    // Keyed access: reading answers absent on any error; assigning stores, assigning nothing
    // removes; errors of writes are dropped.
    class StringSlot {
    public:
        StringSlot(const Keychain& keychain, std::string key) : keychain_(keychain), key_(std::move(key)) {}
        operator std::optional<std::string>() const { return value(); }  // NOLINT: reads like a value
        std::optional<std::string> value() const;
        StringSlot& operator=(const std::optional<std::string>& value);

    private:
        const Keychain& keychain_;
        std::string key_;
    };
    class DataSlot {
    public:
        DataSlot(const Keychain& keychain, std::string key) : keychain_(keychain), key_(std::move(key)) {}
        operator std::optional<platform::Data>() const { return value(); }  // NOLINT
        std::optional<platform::Data> value() const;
        DataSlot& operator=(const std::optional<platform::Data>& value);

    private:
        const Keychain& keychain_;
        std::string key_;
    };
    StringSlot operator[](std::string key) const { return StringSlot(*this, std::move(key)); }
    StringSlot string(std::string key) const { return StringSlot(*this, std::move(key)); }
    DataSlot data(std::string key) const { return DataSlot(*this, std::move(key)); }
    std::optional<Attributes> attributes(const std::string& key) const;

    // "[]" when empty; otherwise each prettified item on its own line, indented two spaces.
    std::string description() const;
    // The text form of the raw item list.
    std::string debugDescription() const;

    // Shared web credentials for this keychain's server host. A keychain without a server
    // host completes at once with Status::param.
    void getSharedPassword(
        std::function<void(std::optional<std::string> account, std::optional<std::string> password, OptionalError)>
            completion) const;
    void getSharedPassword(const std::string& account,
                           std::function<void(std::optional<std::string> password, OptionalError)> completion) const;
    void setSharedPassword(const std::string& password, const std::string& account,
                           std::function<void(OptionalError)> completion = nullptr) const;
    void removeSharedPassword(const std::string& account, std::function<void(OptionalError)> completion = nullptr) const;
    using CredentialsCompletion = std::function<void(std::vector<Credential>, OptionalError)>;
    static void requestSharedWebCredential(CredentialsCompletion completion);
    static void requestSharedWebCredential(const std::string& domain, CredentialsCompletion completion);
    static void requestSharedWebCredential(const std::string& domain, const std::string& account,
                                           CredentialsCompletion completion);
    // Four groups of three letters and digits joined by "-".
    static std::string generatePassword();

private:
    std::shared_ptr<Keychain> modified(const std::function<void(Options&)>& change) const;
    std::optional<Attributes> fetchAttributes(const std::string& key, bool ignoringAttributeSynchronizable) const;
    platform::Any::List fetchItems(bool withSecrets) const;
    void update(const platform::Data& value, const std::string& key) const;
    void writeSharedPassword(const std::optional<std::string>& password, const std::string& account,
                             std::function<void(OptionalError)> completion) const;
    std::optional<std::string> sharedDomain() const;

    // options_.query(ignoringAttributeSynchronizable), made once.
    const Dictionary& query(bool ignoringAttributeSynchronizable) const;

    const Options options_;
    // options_.query(false) and options_.query(true), made once: the options never change.
    const std::array<Dictionary, 2> queries_;
};

}  // namespace QVToolbox
