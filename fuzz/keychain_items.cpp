// Fuzzes the keychain's query composer and the item store with random options and random
// attribute dictionaries: nothing may crash, a composed query always names its class, and
// an item the store accepted reads back, by its persistent reference, with its secret.
#include <QVToolbox/keychain/KeychainOptions.h>

#include <QVPlatform/security/SecAccessControl.h>
#include <QVPlatform/security/SecItem.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace platform;
using namespace QVToolbox;

// Every key the store knows and a few it does not.
const char* const kKeys[] = {
    kSecClass, kSecValueData, kSecValuePersistentRef, kSecValueRef, kSecAttrAccessible, kSecAttrAccessControl,
    kSecAttrAccessGroup, kSecAttrSynchronizable, kSecAttrCreationDate, kSecAttrDescription, kSecAttrComment,
    kSecAttrLabel, kSecAttrIsInvisible, kSecAttrAccount, kSecAttrService, kSecAttrGeneric, kSecAttrServer,
    kSecAttrProtocol, kSecAttrPort, kSecAttrPath, kSecAttrSecurityDomain, kSecAttrAuthenticationType, kSecMatchLimit,
    kSecReturnData, kSecReturnAttributes, kSecReturnPersistentRef, kSecUseAuthenticationUI, kSecUseOperationPrompt,
    "bogus", "",
};
const char* const kTexts[] = {
    kSecClassGenericPassword, kSecClassInternetPassword, kSecAttrSynchronizableAny, kSecMatchLimitAll,
    kSecMatchLimitOne, kSecUseAuthenticationUIFail, kSecUseAuthenticationUISkip, kSecAttrAccessibleAlways,
    kSecAttrProtocolHTTPS, "a", "",
};

Any randomValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: return in.PickValueInArray(kTexts);
    case 1: return in.ConsumeRandomLengthString(16);
    case 2: return Data::fromString(in.ConsumeRandomLengthString(16));
    case 3: return in.ConsumeBool();
    case 4: return in.ConsumeIntegral<std::int64_t>();
    case 5: return Date(in.ConsumeFloatingPoint<double>());
    default:
        return SecAccessControlCreateWithFlags(nullptr, in.PickValueInArray(kTexts), in.ConsumeIntegral<std::uint64_t>(),
                                               nullptr);
    }
}

Any::Dictionary randomDictionary(FuzzedDataProvider& in) {
    Any::Dictionary d;
    const int count = in.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i) d[in.PickValueInArray(kKeys)] = randomValue(in);
    return d;
}

Options randomOptions(FuzzedDataProvider& in) {
    Options o;
    o.itemClass = in.ConsumeBool() ? ItemClass::genericPassword : ItemClass::internetPassword;
    o.service = in.ConsumeRandomLengthString(8);
    if (in.ConsumeBool()) o.accessGroup = in.ConsumeRandomLengthString(8);
    if (in.ConsumeBool()) o.server = URL::string(in.ConsumeRandomLengthString(24));
    if (in.ConsumeBool()) o.protocolType = static_cast<ProtocolType>(in.ConsumeIntegralInRange(0, 30));
    o.accessibility = static_cast<Accessibility>(in.ConsumeIntegralInRange(0, 6));
    if (in.ConsumeBool()) o.authenticationPolicy = AuthenticationPolicy(in.ConsumeIntegral<std::uint64_t>());
    o.synchronizable = in.ConsumeBool();
    if (in.ConsumeBool()) o.label = in.ConsumeRandomLengthString(8);
    o.attributes = randomDictionary(in);
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/qv-fuzz-keychain-XXXXXX";
    if (const char* home = mkdtemp(pattern)) setenv("QV_HOME", home, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Options options = randomOptions(in);
    const Any::Dictionary query = options.query(in.ConsumeBool());
    if (!query.count(kSecClass)) std::abort();
    const auto composed = options.attributesFor(in.ConsumeRandomLengthString(8), Data::fromString("v"));
    if (!composed.error && !composed.attributes.count(kSecAttrAccount)) std::abort();

    Any::Dictionary add = randomDictionary(in);
    if (in.ConsumeBool()) add[kSecClass] = kSecClassGenericPassword;
    const std::string secret = in.ConsumeRandomLengthString(32);
    add[kSecValueData] = Data::fromString(secret);
    if (SecItemAdd(add, nullptr) == errSecSuccess) {
        Any::Dictionary find{{kSecClass, add[kSecClass]}, {kSecReturnPersistentRef, true},
                             {kSecAttrSynchronizable, kSecAttrSynchronizableAny}, {kSecMatchLimit, kSecMatchLimitAll},
                             {kSecUseAuthenticationUI, kSecUseAuthenticationUISkip}};
        Any refs;
        if (SecItemCopyMatching(find, &refs) != errSecSuccess) std::abort();
        // Each reference reads its own item back; an item without access control shows its secret.
        const bool protectedItem = add.count(kSecAttrAccessControl) > 0;
        bool secretSeen = false;
        for (const Any& ref : refs.isList() ? *refs.asList() : Any::List{refs}) {
            Any::Dictionary byRef{{kSecClass, add[kSecClass]}, {kSecValuePersistentRef, ref}, {kSecReturnData, true},
                                  {kSecAttrSynchronizable, kSecAttrSynchronizableAny},
                                  {kSecUseAuthenticationUI, kSecUseAuthenticationUISkip}};
            Any value;
            if (SecItemCopyMatching(byRef, &value) != errSecSuccess || !value.isData()) std::abort();
            if (value.asData()->toString() == secret) secretSeen = true;
        }
        if (!protectedItem && !secretSeen) std::abort();
    }
    Any result;
    SecItemCopyMatching(randomDictionary(in), &result);
    SecItemUpdate(randomDictionary(in), randomDictionary(in));
    SecItemDelete(randomDictionary(in));
    SecItemCopyMatching(query, &result);
    SecItemDelete(query);
    return 0;
}
