#include "support/KeychainHome.h"

#include <QVPlatform/security/SecAccessControl.h>
#include <QVPlatform/security/SecItem.h>

#include <gtest/gtest.h>

namespace platform {
namespace {

Any::Dictionary generic(std::string service, std::string account) {
    return {{kSecClass, kSecClassGenericPassword}, {kSecAttrService, service}, {kSecAttrAccount, account}};
}
Any::Dictionary with(Any::Dictionary d, const char* key, Any value) {
    d[key] = std::move(value);
    return d;
}
Data bytes(const char* text) { return Data::fromString(text); }

std::optional<std::string> readSecret(Any::Dictionary query, OSStatus* status = nullptr) {
    query[kSecReturnData] = true;
    Any out;
    const OSStatus s = SecItemCopyMatching(query, &out);
    if (status) *status = s;
    if (s != errSecSuccess || !out.isData()) return std::nullopt;
    return out.asData()->toString();
}

TEST(SecItem, AddsOnceAndReadsBackTheSecret) {
    qvtest::KeychainHome home;
    EXPECT_EQ(SecItemAdd(with(generic("app", "alice"), kSecValueData, bytes("pw1")), nullptr), errSecSuccess);
    EXPECT_EQ(readSecret(generic("app", "alice")), "pw1");
    EXPECT_EQ(SecItemAdd(with(generic("app", "alice"), kSecValueData, bytes("pw2")), nullptr), errSecDuplicateItem);
    EXPECT_EQ(readSecret(generic("app", "alice")), "pw1");
    // An empty secret stays an empty secret, not a missing one.
    EXPECT_EQ(SecItemAdd(with(generic("app", "empty"), kSecValueData, Data()), nullptr), errSecSuccess);
    EXPECT_EQ(readSecret(generic("app", "empty")), "");
}

TEST(SecItem, RejectsMalformedDictionariesWithParam) {
    qvtest::KeychainHome home;
    Any::Dictionary noClass{{kSecAttrService, "app"}, {kSecAttrAccount, "a"}};
    EXPECT_EQ(SecItemAdd(noClass, nullptr), errSecParam);
    EXPECT_EQ(SecItemCopyMatching(noClass, nullptr), errSecParam);
    EXPECT_EQ(SecItemDelete(noClass), errSecParam);
    EXPECT_EQ(SecItemAdd(with(generic("app", "a"), "bogus", 1), nullptr), errSecParam);
    EXPECT_EQ(SecItemCopyMatching(with(generic("app", "a"), "bogus", 1), nullptr), errSecParam);
    EXPECT_EQ(SecItemAdd(with(generic("app", "a"), kSecAttrSynchronizable, kSecAttrSynchronizableAny), nullptr),
              errSecParam);
    EXPECT_EQ(SecItemAdd(with(generic("app", "a"), kSecAttrServer, "host"), nullptr), errSecParam);  // wrong class
    EXPECT_EQ(SecItemAdd(with(generic("app", "a"), kSecValueData, "text, not data"), nullptr), errSecParam);
    CFErrorRef error;
    auto acl = SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleAlways, 0, &error);
    auto both = with(with(generic("app", "a"), kSecAttrAccessControl, acl), kSecAttrAccessible,
                     kSecAttrAccessibleAlways);
    EXPECT_EQ(SecItemAdd(both, nullptr), errSecParam);
    EXPECT_EQ(SecItemAdd(with(generic("app", "a"), kSecAttrAccessible, "nonsense"), nullptr), errSecParam);
    // Nothing of the above was stored.
    EXPECT_EQ(SecItemCopyMatching({{kSecClass, kSecClassGenericPassword}, {kSecAttrSynchronizable, kSecAttrSynchronizableAny}},
                                  nullptr),
              errSecItemNotFound);
    // Search, return and use keys in an add are ignored, not stored.
    auto add = with(with(with(generic("app", "a"), kSecReturnData, true), kSecMatchLimit, kSecMatchLimitAll),
                    kSecUseOperationPrompt, "why");
    EXPECT_EQ(SecItemAdd(add, nullptr), errSecSuccess);
}

TEST(SecItem, MatchesEveryGivenAttributeExactly) {
    qvtest::KeychainHome home;
    ASSERT_EQ(SecItemAdd(with(generic("App", "alice"), kSecValueData, bytes("x")), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemCopyMatching(generic("App", "alice"), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemCopyMatching(generic("app", "alice"), nullptr), errSecItemNotFound);
    EXPECT_EQ(SecItemCopyMatching(generic("App", "alice "), nullptr), errSecItemNotFound);
    EXPECT_EQ(SecItemCopyMatching(with(generic("App", "alice"), kSecAttrService, bytes("App")), nullptr),
              errSecParam);  // a service is a text
    EXPECT_EQ(SecItemCopyMatching(with(generic("App", "alice"), kSecAttrLabel, "l"), nullptr), errSecItemNotFound);
}

TEST(SecItem, SynchronizableTwinsLiveUnderOneKey) {
    qvtest::KeychainHome home;
    ASSERT_EQ(SecItemAdd(with(generic("s", "k"), kSecValueData, bytes("local")), nullptr), errSecSuccess);
    ASSERT_EQ(SecItemAdd(with(with(generic("s", "k"), kSecValueData, bytes("synced")), kSecAttrSynchronizable, true),
                         nullptr),
              errSecSuccess);
    EXPECT_EQ(readSecret(generic("s", "k")), "local");  // no sync key: non-synchronizable only
    EXPECT_EQ(readSecret(with(generic("s", "k"), kSecAttrSynchronizable, true)), "synced");
    Any all;
    EXPECT_EQ(SecItemCopyMatching(with(with(with(generic("s", "k"), kSecAttrSynchronizable, kSecAttrSynchronizableAny),
                                            kSecMatchLimit, kSecMatchLimitAll),
                                       kSecReturnData, true),
                                  &all),
              errSecSuccess);
    ASSERT_EQ(all.count(), 2u);
    EXPECT_EQ(all[0].asData()->toString(), "local");  // oldest first
    // Flipping the local twin onto the synced one collides and changes nothing.
    EXPECT_EQ(SecItemUpdate(generic("s", "k"), {{kSecAttrSynchronizable, true}}), errSecDuplicateItem);
    EXPECT_EQ(readSecret(generic("s", "k")), "local");
    EXPECT_EQ(readSecret(with(generic("s", "k"), kSecAttrSynchronizable, true)), "synced");
}

TEST(SecItem, ReturnsThePlatformShapesWithTypedValues) {
    qvtest::KeychainHome home;
    Any::Dictionary item{{kSecClass, kSecClassInternetPassword}, {kSecAttrServer, "example.com"},
                         {kSecAttrPort, 8443}, {kSecAttrProtocol, kSecAttrProtocolHTTPS},
                         {kSecAttrAuthenticationType, kSecAttrAuthenticationTypeDefault},
                         {kSecAttrAccount, "bob"}, {kSecValueData, bytes("hunter2")}, {kSecAttrLabel, "L"}};
    ASSERT_EQ(SecItemAdd(item, nullptr), errSecSuccess);
    Any::Dictionary query{{kSecClass, kSecClassInternetPassword}, {kSecAttrServer, "example.com"}};

    Any out;
    EXPECT_EQ(SecItemCopyMatching(with(query, kSecReturnAttributes, true), &out), errSecSuccess);
    ASSERT_TRUE(out.isDictionary());
    EXPECT_EQ(out[kSecAttrPort], Any(8443));
    EXPECT_TRUE(out[kSecAttrPort].isInteger());
    EXPECT_TRUE(out[kSecAttrSynchronizable].isBool());
    EXPECT_FALSE(out[kSecAttrSynchronizable].boolValue());
    EXPECT_TRUE(out[kSecAttrCreationDate].isDate());
    EXPECT_TRUE(out[kSecAttrModificationDate].isDate());
    EXPECT_EQ(out[kSecAttrLabel].string(), "L");
    EXPECT_EQ(out[kSecClass].string(), kSecClassInternetPassword);
    EXPECT_TRUE(out[kSecValueData].isNull());  // not asked for

    EXPECT_EQ(SecItemCopyMatching(with(with(with(query, kSecReturnAttributes, true), kSecReturnData, true),
                                       kSecReturnPersistentRef, true),
                                  &out),
              errSecSuccess);
    EXPECT_EQ(*out[kSecValueData].asData(), bytes("hunter2"));
    ASSERT_TRUE(out[kSecValuePersistentRef].isData());
    const Data ref = *out[kSecValuePersistentRef].asData();

    EXPECT_EQ(SecItemCopyMatching(with(query, kSecReturnPersistentRef, true), &out), errSecSuccess);
    EXPECT_EQ(*out.asData(), ref);
    EXPECT_EQ(readSecret({{kSecClass, kSecClassInternetPassword}, {kSecValuePersistentRef, ref}}), "hunter2");

    EXPECT_EQ(SecItemCopyMatching(with(with(query, kSecReturnAttributes, true), kSecMatchLimit, kSecMatchLimitAll), &out),
              errSecSuccess);
    ASSERT_TRUE(out.isList());
    EXPECT_EQ(out.count(), 1u);
}

TEST(SecItem, NamedAttributesReturnOnlyThoseAttributes) {
    qvtest::KeychainHome home;
    auto acl = SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleAlways, 0, nullptr);
    ASSERT_EQ(SecItemAdd(with(with(generic("s", "a"), kSecValueData, bytes("A")), kSecAttrLabel, "L"), nullptr),
              errSecSuccess);
    ASSERT_EQ(SecItemAdd(with(with(generic("s", "b"), kSecValueData, bytes("B")), kSecAttrAccessControl, acl), nullptr),
              errSecSuccess);
    const Any::Dictionary all{{kSecClass, kSecClassGenericPassword}, {kSecAttrService, "s"},
                              {kSecMatchLimit, kSecMatchLimitAll}};
    Any out;
    ASSERT_EQ(SecItemCopyMatching(with(all, kSecReturnAttributeKeys, Any::List{kSecAttrAccount, kSecAttrLabel}), &out),
              errSecSuccess);
    ASSERT_EQ(out.count(), 2u);
    EXPECT_EQ(out[0].asDictionary()->size(), 2u);  // no class, no dates, no secret
    EXPECT_EQ(out[0][kSecAttrAccount].string(), "a");
    EXPECT_EQ(out[0][kSecAttrLabel].string(), "L");
    EXPECT_EQ(out[1].asDictionary()->size(), 1u);  // b has no label: left out, as for all attributes
    // With the secret and the reference, and with the access control object alone.
    const auto account = with(generic("s", "a"), kSecReturnAttributeKeys, Any::List{kSecAttrAccount});
    ASSERT_EQ(SecItemCopyMatching(with(with(account, kSecReturnData, true), kSecReturnPersistentRef, true), &out),
              errSecSuccess);
    EXPECT_EQ(out[kSecAttrAccount].string(), "a");
    EXPECT_EQ(*out[kSecValueData].asData(), bytes("A"));
    EXPECT_TRUE(out[kSecValuePersistentRef].isData());
    EXPECT_EQ(out.count(), 3u);
    ASSERT_EQ(SecItemCopyMatching(with(generic("s", "b"), kSecReturnAttributeKeys, Any::List{kSecAttrAccessControl}),
                                  &out),
              errSecSuccess);
    ASSERT_EQ(out.count(), 1u);
    const auto control = out[kSecAttrAccessControl].objectAs<SecAccessControl>();
    ASSERT_TRUE(control);
    EXPECT_EQ(control->protection(), kSecAttrAccessibleAlways);
    // Names of no attribute of the class, or a list of other things: errSecParam.
    EXPECT_EQ(SecItemCopyMatching(with(all, kSecReturnAttributeKeys, Any::List{kSecAttrServer}), &out), errSecParam);
    EXPECT_EQ(SecItemCopyMatching(with(all, kSecReturnAttributeKeys, Any::List{1}), &out), errSecParam);
    EXPECT_EQ(SecItemCopyMatching(with(all, kSecReturnAttributeKeys, kSecAttrAccount), &out), errSecParam);
}

TEST(SecItem, ManySearchShapesKeepAnsweringRightly) {
    qvtest::KeychainHome home;
    ASSERT_EQ(SecItemAdd(with(with(generic("s", "a"), kSecValueData, bytes("A")), kSecAttrLabel, "L"), nullptr),
              errSecSuccess);
    // Far more distinct statements than a connection keeps prepared: every subset of five
    // attributes, each search followed by a read through a statement made earlier.
    const char* names[] = {kSecAttrAccount, kSecAttrLabel, kSecAttrService, kSecAttrAccessible, kSecAttrCreationDate};
    for (unsigned subset = 1; subset < 32; ++subset) {
        for (const bool withData : {false, true}) {
            Any::List keys;
            for (unsigned bit = 0; bit < 5; ++bit) {
                if (subset & (1u << bit)) keys.emplace_back(names[bit]);
            }
            Any out;
            ASSERT_EQ(SecItemCopyMatching(with(with(generic("s", "a"), kSecReturnAttributeKeys, keys), kSecReturnData,
                                               withData),
                                          &out),
                      errSecSuccess);
            EXPECT_EQ(out.count(), keys.size() + (withData ? 1 : 0)) << subset;
            if (subset & 2u) {
                EXPECT_EQ(out[kSecAttrLabel].string(), "L");
            }
            if (withData) {
                EXPECT_EQ(out[kSecValueData], Any(bytes("A")));
            }
            EXPECT_EQ(readSecret(generic("s", "a")), "A");
        }
    }
    // Match limits are bound, not written into the statement.
    ASSERT_EQ(SecItemAdd(with(generic("s", "b"), kSecValueData, bytes("B")), nullptr), errSecSuccess);
    for (const std::int64_t limit : {1, 2, 3, 100}) {
        Any out;
        ASSERT_EQ(SecItemCopyMatching({{kSecClass, kSecClassGenericPassword}, {kSecMatchLimit, limit},
                                       {kSecReturnData, true}},
                                      &out),
                  errSecSuccess);
        if (limit == 1) {
            EXPECT_EQ(out, Any(bytes("A")));
        } else {
            EXPECT_EQ(out.count(), 2u) << limit;
        }
    }
}

TEST(SecItem, InternetUniquenessIncludesPortPathAndDomain) {
    qvtest::KeychainHome home;
    Any::Dictionary base{{kSecClass, kSecClassInternetPassword}, {kSecAttrServer, "h"}, {kSecAttrAccount, "a"}};
    EXPECT_EQ(SecItemAdd(base, nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(base, nullptr), errSecDuplicateItem);
    EXPECT_EQ(SecItemAdd(with(base, kSecAttrPort, 1), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(with(base, kSecAttrPath, "/x"), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(with(base, kSecAttrSecurityDomain, "d"), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(with(base, kSecAttrProtocol, kSecAttrProtocolFTP), nullptr), errSecSuccess);
    // A label is not part of the rule.
    EXPECT_EQ(SecItemAdd(with(base, kSecAttrLabel, "other"), nullptr), errSecDuplicateItem);
}

TEST(SecItem, UpdateAndDeleteAnswerNotFoundAndCollisionsChangeNothing) {
    qvtest::KeychainHome home;
    EXPECT_EQ(SecItemUpdate(generic("s", "a"), {{kSecValueData, bytes("x")}}), errSecItemNotFound);
    EXPECT_EQ(SecItemDelete(generic("s", "a")), errSecItemNotFound);
    ASSERT_EQ(SecItemAdd(with(generic("s", "a"), kSecValueData, bytes("A")), nullptr), errSecSuccess);
    ASSERT_EQ(SecItemAdd(with(generic("s", "b"), kSecValueData, bytes("B")), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemUpdate(generic("s", "a"), {{kSecAttrAccount, "b"}, {kSecValueData, bytes("lost?")}}),
              errSecDuplicateItem);
    EXPECT_EQ(readSecret(generic("s", "a")), "A");
    EXPECT_EQ(readSecret(generic("s", "b")), "B");
    // Renaming keeps the secret readable: it is bound to the row, not to its attributes.
    EXPECT_EQ(SecItemUpdate(generic("s", "a"), {{kSecAttrAccount, "c"}}), errSecSuccess);
    EXPECT_EQ(readSecret(generic("s", "c")), "A");
    EXPECT_EQ(SecItemUpdate(generic("s", "c"), {{kSecClass, kSecClassGenericPassword}}), errSecParam);
    EXPECT_EQ(SecItemDelete({{kSecClass, kSecClassGenericPassword}, {kSecAttrService, "s"}}), errSecSuccess);
    EXPECT_EQ(SecItemCopyMatching(generic("s", "b"), nullptr), errSecItemNotFound);
    EXPECT_EQ(SecItemCopyMatching(generic("s", "c"), nullptr), errSecItemNotFound);
}

TEST(SecAccessControl, RefusesUnknownBitsOrWithAndAndUnknownProtections) {
    CFErrorRef error;
    EXPECT_TRUE(SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleWhenUnlocked,
                                                kSecAccessControlBiometryAny | kSecAccessControlDevicePasscode |
                                                    kSecAccessControlOr,
                                                &error));
    EXPECT_FALSE(SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleWhenUnlocked, 1u << 2, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(CFErrorGetCode(*error), errSecParam);
    EXPECT_EQ(CFErrorGetDomain(*error), NSOSStatusErrorDomain);
    EXPECT_TRUE(CFErrorCopyUserInfo(*error).count(NSLocalizedDescriptionKey));
    EXPECT_FALSE(SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleWhenUnlocked,
                                                 kSecAccessControlOr | kSecAccessControlAnd, &error));
    EXPECT_FALSE(SecAccessControlCreateWithFlags(nullptr, "sometimes", kSecAccessControlUserPresence, &error));
    EXPECT_FALSE(SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleAlways, 1ull << 40, nullptr));
}

TEST(SecItem, ProtectedItemsNeedTheAgentUnderEachUIMode) {
    qvtest::KeychainHome home;
    auto acl = SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleWhenUnlocked, kSecAccessControlUserPresence,
                                               nullptr);
    ASSERT_EQ(SecItemAdd(with(with(generic("s", "p"), kSecValueData, bytes("guarded")), kSecAttrAccessControl, acl),
                         nullptr),
              errSecSuccess);
    ASSERT_EQ(SecItemAdd(with(generic("s", "q"), kSecValueData, bytes("open")), nullptr), errSecSuccess);
    const auto probe = with(generic("s", "p"), kSecUseAuthenticationUI, kSecUseAuthenticationUIFail);
    EXPECT_EQ(SecItemCopyMatching(probe, nullptr), errSecInteractionNotAllowed);
    EXPECT_EQ(SecItemCopyMatching(with(generic("s", "p"), kSecUseAuthenticationUI, kSecUseAuthenticationUISkip), nullptr),
              errSecItemNotFound);
    Any all;
    EXPECT_EQ(SecItemCopyMatching({{kSecClass, kSecClassGenericPassword}, {kSecMatchLimit, kSecMatchLimitAll},
                                   {kSecReturnAttributes, true}, {kSecUseAuthenticationUI, kSecUseAuthenticationUISkip}},
                                  &all),
              errSecSuccess);
    EXPECT_EQ(all.count(), 1u);
    SecItemSetAuthenticationAgent(nullptr);
    EXPECT_EQ(readSecret(generic("s", "p")), std::nullopt);
    OSStatus status = 0;
    readSecret(generic("s", "p"), &status);
    EXPECT_EQ(status, errSecUserCanceled);
    std::string askedWith;
    SecItemSetAuthenticationAgent([&](const std::string& prompt, const std::shared_ptr<LAContext>&) {
        askedWith = prompt;
        return false;
    });
    readSecret(with(generic("s", "p"), kSecUseOperationPrompt, "Unlock"), &status);
    EXPECT_EQ(status, errSecUserCanceled);
    EXPECT_EQ(askedWith, "Unlock");
    SecItemSetAuthenticationAgent([](const std::string&, const std::shared_ptr<LAContext>&) { return true; });
    EXPECT_EQ(readSecret(generic("s", "p")), "guarded");
    auto context = LAContext::make();
    context->setInteractionNotAllowed(true);
    readSecret(with(generic("s", "p"), kSecUseAuthenticationContext, context), &status);
    EXPECT_EQ(status, errSecInteractionNotAllowed);
    // Update and delete read no secret and ask no one.
    SecItemSetAuthenticationAgent(nullptr);
    EXPECT_EQ(SecItemUpdate(generic("s", "p"), {{kSecValueData, bytes("new")}}), errSecSuccess);
    EXPECT_EQ(SecItemDelete(generic("s", "p")), errSecSuccess);
}

}  // namespace
}  // namespace platform
