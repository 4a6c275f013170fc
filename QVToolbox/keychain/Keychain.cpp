#include <QVToolbox/keychain/Keychain.h>

#include <QVToolbox/FoundationExtension/data/detail/AnyDescription.h>

#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/security/SecItem.h>
#include <QVPlatform/security/SharedWebCredential.h>

#include <cmath>

namespace QVToolbox {

using namespace platform;

namespace {

[[noreturn]] void fail(OSStatus status) { throw Status(status); }

std::string bundleIdentifier() {
    auto bundle = Bundle::main();
    return bundle ? bundle->bundleIdentifier().value_or("") : "";
}

std::shared_ptr<Keychain> generic(std::string service, std::optional<std::string> accessGroup) {
    Options options;
    options.service = std::move(service);
    options.accessGroup = std::move(accessGroup);
    return std::make_shared<Keychain>(std::move(options));
}

void mergeCustom(Any::Dictionary& into, const Any::Dictionary& custom) {
    for (const auto& [key, value] : custom) into[key] = value;
}

std::string authenticationUIOrFail(const Options& options) {
    return options.authenticationUI ? rawValue(*options.authenticationUI) : kSecUseAuthenticationUIFail;
}

Keychain::OptionalError errorOf(const CFErrorRef& error) {
    if (!error) return std::nullopt;
    return KeychainError::fromCFError(*error);
}

// The list of dictionaries in a search result, or absent when it has another shape.
const Any::List* dictionaryList(const Any& result) {
    const Any::List* list = result.asList();
    if (!list) return nullptr;
    for (const Any& item : *list) {
        if (!item.isDictionary()) return nullptr;
    }
    return list;
}

// The text under `key`, or null when it is missing or of another kind.
const std::string* textAt(const Any::Dictionary& d, const char* key) {
    const auto found = d.find(key);
    return found != d.end() ? found->second.asString() : nullptr;
}

std::string text(const Any::Dictionary& dictionary, const char* key) {
    const auto found = dictionary.find(key);
    return found != dictionary.end() && found->second.isString() ? found->second.string() : std::string();
}

}  // namespace

// Construction --------------------------------------------------------------------------

Keychain::Keychain(Options options)
    : options_(std::move(options)), queries_{options_.query(false), options_.query(true)} {}

const Any::Dictionary& Keychain::query(bool ignoringAttributeSynchronizable) const {
    return queries_[ignoringAttributeSynchronizable ? 1 : 0];
}

std::shared_ptr<Keychain> Keychain::make() { return generic(bundleIdentifier(), std::nullopt); }
std::shared_ptr<Keychain> Keychain::make(std::string service) { return generic(std::move(service), std::nullopt); }
std::shared_ptr<Keychain> Keychain::makeWithAccessGroup(std::string accessGroup) {
    return generic(bundleIdentifier(), std::move(accessGroup));
}
std::shared_ptr<Keychain> Keychain::make(std::string service, std::string accessGroup) {
    return generic(std::move(service), std::move(accessGroup));
}

std::shared_ptr<Keychain> Keychain::make(const std::string& server, ProtocolType protocolType,
                                         std::optional<std::string> accessGroup, AuthenticationType authenticationType) {
    std::optional<URL> url = URL::string(server);
    if (!url) throw Status(Status::param);
    return make(std::move(*url), protocolType, std::move(accessGroup), authenticationType);
}

std::shared_ptr<Keychain> Keychain::make(URL server, ProtocolType protocolType, std::optional<std::string> accessGroup,
                                         AuthenticationType authenticationType) {
    Options options;
    options.itemClass = ItemClass::internetPassword;
    options.server = std::move(server);
    options.protocolType = protocolType;
    options.accessGroup = std::move(accessGroup);
    options.authenticationType = authenticationType;
    return std::make_shared<Keychain>(std::move(options));
}

std::shared_ptr<Keychain> Keychain::copyWith(Options options) const {
    return std::make_shared<Keychain>(std::move(options));
}

std::shared_ptr<LAContext> Keychain::authenticationContext() const {
    return std::dynamic_pointer_cast<LAContext>(options_.authenticationContext);
}

// Modifiers -----------------------------------------------------------------------------

std::shared_ptr<Keychain> Keychain::modified(const std::function<void(Options&)>& change) const {
    Options copy = options_;
    change(copy);
    return copyWith(std::move(copy));
}

std::shared_ptr<Keychain> Keychain::accessibility(Accessibility accessibility) const {
    return modified([&](Options& o) { o.accessibility = accessibility; });
}
std::shared_ptr<Keychain> Keychain::accessibility(Accessibility accessibility, AuthenticationPolicy policy) const {
    return modified([&](Options& o) {
        o.accessibility = accessibility;
        o.authenticationPolicy = policy;
    });
}
std::shared_ptr<Keychain> Keychain::synchronizable(bool synchronizable) const {
    return modified([&](Options& o) { o.synchronizable = synchronizable; });
}
std::shared_ptr<Keychain> Keychain::label(std::string label) const {
    return modified([&](Options& o) { o.label = std::move(label); });
}
std::shared_ptr<Keychain> Keychain::comment(std::string comment) const {
    return modified([&](Options& o) { o.comment = std::move(comment); });
}
std::shared_ptr<Keychain> Keychain::attributes(const Dictionary& attributes) const {
    return modified([&](Options& o) { mergeCustom(o.attributes, attributes); });
}
std::shared_ptr<Keychain> Keychain::authenticationPrompt(std::string prompt) const {
    return modified([&](Options& o) { o.authenticationPrompt = std::move(prompt); });
}
std::shared_ptr<Keychain> Keychain::authenticationUI(AuthenticationUI ui) const {
    return modified([&](Options& o) { o.authenticationUI = ui; });
}
std::shared_ptr<Keychain> Keychain::authenticationContext(std::shared_ptr<LAContext> context) const {
    return modified([&](Options& o) { o.authenticationContext = std::move(context); });
}

// Reading -------------------------------------------------------------------------------

std::optional<Data> Keychain::getData(const std::string& key, bool ignoringAttributeSynchronizable) const {
    const Any account(key);
    const std::array<SecItemQueryEntry, 1> entries{{{kSecAttrAccount, &account}}};
    Data data;
    const OSStatus status = SecItemCopyData(query(ignoringAttributeSynchronizable), entries, data);
    if (status == errSecItemNotFound) return std::nullopt;
    if (status != errSecSuccess) fail(status);
    return data;
}

std::optional<std::string> Keychain::getString(const std::string& key, bool ignoringAttributeSynchronizable) const {
    std::optional<Data> data = getData(key, ignoringAttributeSynchronizable);
    if (!data) return std::nullopt;
    if (!isValidUtf8(data->view())) throw Status(Status::conversionError);
    return data->toString();
}

std::optional<std::string> Keychain::get(const std::string& key, bool ignoringAttributeSynchronizable) const {
    return getString(key, ignoringAttributeSynchronizable);
}

std::optional<Attributes> Keychain::fetchAttributes(const std::string& key, bool ignoringAttributeSynchronizable) const {
    Any::Dictionary query = options_.query(ignoringAttributeSynchronizable);
    query[kSecMatchLimit] = kSecMatchLimitOne;
    query[kSecReturnData] = kCFBooleanTrue;
    query[kSecReturnAttributes] = kCFBooleanTrue;
    query[kSecReturnRef] = kCFBooleanTrue;
    query[kSecReturnPersistentRef] = kCFBooleanTrue;
    query[kSecAttrAccount] = key;
    Any result;
    const OSStatus status = SecItemCopyMatching(query, &result);
    if (status == errSecItemNotFound) return std::nullopt;
    if (status != errSecSuccess) fail(status);
    if (!result.isDictionary()) throw Status(Status::unexpectedError);
    return Attributes(*result.asDictionary());
}

// Writing -------------------------------------------------------------------------------

void Keychain::set(const std::string& value, const std::string& key, bool ignoringAttributeSynchronizable) const {
    if (!isValidUtf8(value)) throw Status(Status::conversionError);
    set(Data::fromString(value), key, ignoringAttributeSynchronizable);
}

void Keychain::set(const Data& value, const std::string& key, bool ignoringAttributeSynchronizable) const {
    const Any account(key);
    const Any ui(authenticationUIOrFail(options_));
    const std::array<SecItemQueryEntry, 2> probe{{{kSecAttrAccount, &account}, {kSecUseAuthenticationUI, &ui}}};
    const OSStatus found = SecItemCopyMatching(query(ignoringAttributeSynchronizable), probe, nullptr);
    if (found == errSecItemNotFound) {
        auto [attributes, error] = options_.attributesFor(key, value);
        if (error) throw *error;
        mergeCustom(attributes, options_.attributes);
        const OSStatus added = SecItemAdd(attributes, nullptr);
        if (added == errSecSuccess) return;
        // Another writer added the same key since the probe: update it instead.
        if (added != errSecDuplicateItem) fail(added);
        update(value, key);
        return;
    }
    if (found != errSecSuccess && found != errSecInteractionNotAllowed) fail(found);
    if (found == errSecInteractionNotAllowed && std::floor(NSFoundationVersionNumber) <= 1140) {
        // Old platforms could not update an item they could not read: replace it.
        remove(key, true);
        set(value, key, true);
        return;
    }
    update(value, key);
}

void Keychain::update(const Data& value, const std::string& key) const {
    Any::Dictionary search = options_.query(true);
    search[kSecAttrAccount] = key;
    auto [fields, error] = options_.attributesFor(std::nullopt, value);
    if (error) throw *error;
    mergeCustom(fields, options_.attributes);
    if (OSStatus status = SecItemUpdate(search, fields); status != errSecSuccess) fail(status);
}

void Keychain::remove(const std::string& key, bool ignoringAttributeSynchronizable) const {
    Any::Dictionary query = options_.query(ignoringAttributeSynchronizable);
    query[kSecAttrAccount] = key;
    const OSStatus status = SecItemDelete(query);
    if (status != errSecSuccess && status != errSecItemNotFound) fail(status);
}

void Keychain::removeAll() const {
    const OSStatus status = SecItemDelete(queries_[1]);
    if (status != errSecSuccess && status != errSecItemNotFound) fail(status);
}

bool Keychain::contains(const std::string& key, bool withoutAuthenticationUI) const {
    const Any account(key);
    Any ui;
    if (withoutAuthenticationUI) {
        ui = authenticationUIOrFail(options_);
    } else if (options_.authenticationUI) {
        ui = rawValue(*options_.authenticationUI);
    }
    const std::array<SecItemQueryEntry, 2> entries{{{kSecAttrAccount, &account}, {kSecUseAuthenticationUI, &ui}}};
    const std::span<const SecItemQueryEntry> given(entries.data(), ui.isNull() ? 1 : 2);
    const OSStatus status = SecItemCopyMatching(query(true), given, nullptr);
    if (status == errSecSuccess) return true;
    if (status == errSecInteractionNotAllowed) return withoutAuthenticationUI;
    if (status == errSecItemNotFound) return false;
    fail(status);
}

// Listing -------------------------------------------------------------------------------

std::vector<std::pair<std::string, std::string>> Keychain::allKeys(ItemClass itemClass) {
    // Only the owner and the account of each item: no secret, no other attribute.
    const char* owner = itemClass == ItemClass::internetPassword ? kSecAttrServer : kSecAttrService;
    const Any::Dictionary query{{kSecClass, rawValue(itemClass)},
                                {kSecAttrSynchronizable, kSecAttrSynchronizableAny},
                                {kSecMatchLimit, kSecMatchLimitAll},
                                {kSecReturnAttributeKeys, Any::List{owner, kSecAttrAccount}}};
    Any result;
    if (SecItemCopyMatching(query, &result) != errSecSuccess) return {};
    const Any::List* list = dictionaryList(result);
    if (!list) return {};
    std::vector<std::pair<std::string, std::string>> keys;
    keys.reserve(list->size());
    for (const Any& item : *list) {
        const Dictionary& d = *item.asDictionary();
        keys.emplace_back(text(d, owner), text(d, kSecAttrAccount));
    }
    return keys;
}

std::vector<Keychain::Dictionary> Keychain::allItems(ItemClass itemClass) {
    const Any::Dictionary query{{kSecClass, rawValue(itemClass)},
                                {kSecMatchLimit, kSecMatchLimitAll},
                                {kSecReturnAttributes, kCFBooleanTrue},
                                {kSecReturnData, kCFBooleanTrue}};
    Any result;
    if (SecItemCopyMatching(query, &result) != errSecSuccess) return {};
    const Any::List* list = dictionaryList(result);
    return list ? prettify(itemClass, *list) : std::vector<Dictionary>{};
}

Any::List Keychain::fetchItems(bool withSecrets) const {
    Any::Dictionary query = options_.query(true);
    query[kSecMatchLimit] = kSecMatchLimitAll;
    query[kSecReturnAttributes] = kCFBooleanTrue;
    if (withSecrets) query[kSecReturnData] = kCFBooleanTrue;
    Any result;
    if (SecItemCopyMatching(query, &result) != errSecSuccess || !dictionaryList(result)) return {};
    return std::move(*result.asList());
}

std::vector<std::string> Keychain::allKeys() const {
    // Only the accounts: no secret is decrypted and no other attribute read.
    std::vector<std::string> keys;
    if (SecItemCopyAttributeTexts(query(true), {}, kSecAttrAccount, keys) != errSecSuccess) return {};
    return keys;
}

std::vector<Keychain::Dictionary> Keychain::allItems() const { return prettify(options_.itemClass, fetchItems(true)); }

std::vector<Keychain::Dictionary> Keychain::prettify(ItemClass itemClass, const Any::List& items) {
    static const Dictionary empty;
    std::vector<Dictionary> out;
    out.reserve(items.size());
    for (const Any& raw : items) {
        const Dictionary& d = raw.asDictionary() ? *raw.asDictionary() : empty;
        Dictionary item{{"class", QVToolbox::description(itemClass)}};
        if (auto v = textAt(d, kSecAttrAccessGroup)) item["accessGroup"] = *v;
        if (itemClass == ItemClass::internetPassword) {
            if (auto v = textAt(d, kSecAttrServer)) item["server"] = *v;
            if (auto v = textAt(d, kSecAttrProtocol); v && fromRawValue<ProtocolType>(*v)) {
                item["protocol"] = QVToolbox::description(*fromRawValue<ProtocolType>(*v));
            }
            if (auto v = textAt(d, kSecAttrAuthenticationType); v && fromRawValue<AuthenticationType>(*v)) {
                item["authenticationType"] = QVToolbox::description(*fromRawValue<AuthenticationType>(*v));
            }
        } else if (auto v = textAt(d, kSecAttrService)) {
            item["service"] = *v;
        }
        if (auto v = textAt(d, kSecAttrAccount)) item["key"] = *v;
        if (const auto found = d.find(kSecValueData); found != d.end() && found->second.isData()) {
            const Data& data = *found->second.asData();
            item["value"] = isValidUtf8(data.view()) ? Any(data.toString()) : Any(data);
        }
        if (auto v = textAt(d, kSecAttrAccessible); v && fromRawValue<Accessibility>(*v)) {
            item["accessibility"] = QVToolbox::description(*fromRawValue<Accessibility>(*v));
        }
        if (const auto found = d.find(kSecAttrSynchronizable); found != d.end() && found->second.isBool()) {
            item["synchronizable"] = found->second.boolValue() ? "true" : "false";
        }
        out.push_back(std::move(item));
    }
    return out;
}

// Keyed access --------------------------------------------------------------------------

std::optional<std::string> Keychain::StringSlot::value() const {
    try {
        return keychain_.get(key_);
    } catch (const KeychainError&) {
        return std::nullopt;
    }
}

Keychain::StringSlot& Keychain::StringSlot::operator=(const std::optional<std::string>& value) {
    try {
        value ? keychain_.set(*value, key_) : keychain_.remove(key_);
    } catch (const KeychainError&) {
        // Keyed writes drop their errors.
    }
    return *this;
}

std::optional<Data> Keychain::DataSlot::value() const {
    try {
        return keychain_.getData(key_);
    } catch (const KeychainError&) {
        return std::nullopt;
    }
}

Keychain::DataSlot& Keychain::DataSlot::operator=(const std::optional<Data>& value) {
    try {
        value ? keychain_.set(*value, key_) : keychain_.remove(key_);
    } catch (const KeychainError&) {
        // Keyed writes drop their errors.
    }
    return *this;
}

std::optional<Attributes> Keychain::attributes(const std::string& key) const {
    try {
        return fetchAttributes(key, true);
    } catch (const KeychainError&) {
        return std::nullopt;
    }
}

// Descriptions --------------------------------------------------------------------------

std::string Keychain::description() const {
    const std::vector<Dictionary> items = allItems();
    if (items.empty()) return "[]";
    std::string out = "[\n";
    for (const Dictionary& item : items) out += "  " + detail::describe(Any(item)) + "\n";
    return out + "]";
}

std::string Keychain::debugDescription() const { return detail::describe(Any(fetchItems(true))); }

// Shared web credentials ----------------------------------------------------------------

std::optional<std::string> Keychain::sharedDomain() const {
    if (!options_.server || !options_.server->host()) return std::nullopt;
    return *options_.server->host();
}

void Keychain::getSharedPassword(
    std::function<void(std::optional<std::string>, std::optional<std::string>, OptionalError)> completion) const {
    const auto domain = sharedDomain();
    if (!domain) return completion(std::nullopt, std::nullopt, Status(Status::param));
    requestSharedWebCredential(*domain, [completion](std::vector<Credential> credentials, OptionalError error) {
        if (credentials.empty()) return completion(std::nullopt, std::nullopt, error);
        const Credential& first = credentials.front();
        auto field = [&](const char* name) -> std::optional<std::string> {
            const auto found = first.find(name);
            if (found == first.end()) return std::nullopt;
            return found->second;
        };
        completion(field("account"), field("password"), error);
    });
}

void Keychain::getSharedPassword(const std::string& account,
                                 std::function<void(std::optional<std::string>, OptionalError)> completion) const {
    const auto domain = sharedDomain();
    if (!domain) return completion(std::nullopt, Status(Status::param));
    requestSharedWebCredential(*domain, account, [completion](std::vector<Credential> credentials, OptionalError error) {
        std::optional<std::string> password;
        if (!credentials.empty()) {
            const auto found = credentials.front().find("password");
            if (found != credentials.front().end()) password = found->second;
        }
        completion(password, error);
    });
}

void Keychain::writeSharedPassword(const std::optional<std::string>& password, const std::string& account,
                                   std::function<void(OptionalError)> completion) const {
    const auto domain = sharedDomain();
    if (!domain) {
        if (completion) completion(Status(Status::param));
        return;
    }
    SecAddSharedWebCredential(*domain, account, password, [completion](CFErrorRef error) {
        if (completion) completion(errorOf(error));
    });
}

void Keychain::setSharedPassword(const std::string& password, const std::string& account,
                                 std::function<void(OptionalError)> completion) const {
    writeSharedPassword(password, account, std::move(completion));
}

void Keychain::removeSharedPassword(const std::string& account, std::function<void(OptionalError)> completion) const {
    writeSharedPassword(std::nullopt, account, std::move(completion));
}

namespace {

void requestCredentials(std::optional<std::string> domain, std::optional<std::string> account,
                        Keychain::CredentialsCompletion completion) {
    SecRequestSharedWebCredential(domain, account, [completion](std::optional<Any::List> list, CFErrorRef error) {
        std::vector<Keychain::Credential> credentials;
        for (const Any& raw : list.value_or(Any::List{})) {
            Keychain::Credential credential;
            if (raw[kSecAttrServer].isString()) credential["server"] = raw[kSecAttrServer].string();
            if (raw[kSecAttrAccount].isString()) credential["account"] = raw[kSecAttrAccount].string();
            if (raw[kSecSharedPassword].isString()) credential["password"] = raw[kSecSharedPassword].string();
            credentials.push_back(std::move(credential));
        }
        if (completion) completion(std::move(credentials), errorOf(error));
    });
}

}  // namespace

void Keychain::requestSharedWebCredential(CredentialsCompletion completion) {
    requestCredentials(std::nullopt, std::nullopt, std::move(completion));
}
void Keychain::requestSharedWebCredential(const std::string& domain, CredentialsCompletion completion) {
    requestCredentials(domain, std::nullopt, std::move(completion));
}
void Keychain::requestSharedWebCredential(const std::string& domain, const std::string& account,
                                          CredentialsCompletion completion) {
    requestCredentials(domain, account, std::move(completion));
}

std::string Keychain::generatePassword() { return SecCreateSharedWebCredentialPassword().value_or(""); }

}  // namespace QVToolbox
