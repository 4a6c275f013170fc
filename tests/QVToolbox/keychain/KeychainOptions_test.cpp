#include <QVToolbox/keychain/KeychainAttributes.h>
#include <QVToolbox/keychain/KeychainOptions.h>

#include <gtest/gtest.h>

#include <set>

namespace QVToolbox {
namespace {

using namespace platform;

Options internet(const char* url) {
    Options o;
    o.itemClass = ItemClass::internetPassword;
    o.server = URL::string(url);
    o.protocolType = ProtocolType::https;
    return o;
}

TEST(KeychainOptions, DefaultQueryHasClassSynchronizableAndService) {
    Options o;
    o.service = "S";
    EXPECT_EQ(o.query(true), (Any::Dictionary{{kSecClass, kSecClassGenericPassword},
                                              {kSecAttrSynchronizable, kSecAttrSynchronizableAny},
                                              {kSecAttrService, "S"}}));
    EXPECT_EQ(o.query(false), (Any::Dictionary{{kSecClass, kSecClassGenericPassword},
                                               {kSecAttrSynchronizable, false},
                                               {kSecAttrService, "S"}}));
    o.service = "";
    EXPECT_EQ(o.query(true).at(kSecAttrService).string(), "");
    o.accessGroup = "G";
    o.label = "never in a query";
    o.attributes = {{"custom", 1}};
    EXPECT_EQ(o.query(true).size(), 4u);
}

TEST(KeychainOptions, InternetQueryCarriesServerPortProtocolAndType) {
    const auto q = internet("https://example.com:8443/x").query(true);
    EXPECT_EQ(q.at(kSecAttrServer).string(), "example.com");
    EXPECT_EQ(q.at(kSecAttrPort), Any(8443));
    EXPECT_EQ(q.at(kSecAttrProtocol).string(), kSecAttrProtocolHTTPS);
    EXPECT_EQ(q.at(kSecAttrAuthenticationType).string(), kSecAttrAuthenticationTypeDefault);
    EXPECT_FALSE(q.count(kSecAttrService));
    EXPECT_FALSE(internet("https://example.com/").query(true).count(kSecAttrPort));
    // A URL without a host addresses the server "", never every server.
    ASSERT_TRUE(internet("weixin://").server);
    EXPECT_EQ(internet("weixin://").query(true).at(kSecAttrServer).string(), "");
}

TEST(KeychainOptions, AttributesCarryAccessibilityOrAccessControl) {
    Options o;
    o.service = "S";
    o.label = "L";
    auto plain = o.attributesFor("K", Data::fromString("v"));
    EXPECT_FALSE(plain.error);
    EXPECT_EQ(plain.attributes.at(kSecAttrAccount).string(), "K");
    EXPECT_EQ(plain.attributes.at(kSecAttrAccessible).string(), kSecAttrAccessibleAfterFirstUnlock);
    EXPECT_FALSE(plain.attributes.count(kSecAttrAccessControl));
    EXPECT_EQ(plain.attributes.at(kSecAttrSynchronizable), Any(false));  // replaces the query's Any
    o.authenticationPolicy = AuthenticationPolicy::userPresence;
    o.authenticationPrompt = "P";
    auto guarded = o.attributesFor("K", Data::fromString("v"));
    EXPECT_TRUE(guarded.attributes.count(kSecAttrAccessControl));
    EXPECT_FALSE(guarded.attributes.count(kSecAttrAccessible));
    EXPECT_EQ(guarded.attributes.at(kSecUseOperationPrompt).string(), "P");
    auto fields = o.attributesFor(std::nullopt, Data::fromString("v"));
    EXPECT_FALSE(fields.attributes.count(kSecClass));
    EXPECT_FALSE(fields.attributes.count(kSecAttrAccount));
    EXPECT_EQ(fields.attributes.size(), 4u);  // data, label, access control, synchronizable
    o.authenticationPolicy = AuthenticationPolicy(1u << 2);  // a bit with no member
    auto refused = o.attributesFor("K", Data::fromString("v"));
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code(), errSecParam);
    // Built up to the failure only: synchronizable is still the query's Any.
    EXPECT_EQ(refused.attributes.at(kSecAttrSynchronizable).string(), kSecAttrSynchronizableAny);
}

TEST(KeychainOptions, EnumerationsMapRawValuesAndDescriptions) {
    EXPECT_EQ(fromRawValue<ProtocolType>(rawValue(ProtocolType::pop3S)), ProtocolType::pop3S);
    EXPECT_FALSE(fromRawValue<ProtocolType>("nope"));
    EXPECT_EQ(allCases<ProtocolType>().size(), 31u);
    EXPECT_EQ(allCases<AuthenticationType>().size(), 8u);
    EXPECT_EQ(allCases<Accessibility>().size(), 7u);
    EXPECT_EQ(description(AuthenticationType::default_), "Default");
    EXPECT_EQ(description(ProtocolType::telnetS), "TelnetS");
    EXPECT_EQ(description(Accessibility::alwaysThisDeviceOnly), "AlwaysThisDeviceOnly");
    EXPECT_EQ(description(AuthenticationUI::skip), "skip");
    EXPECT_EQ(description(ItemClass::internetPassword), "InternetPassword");
    // Raw values are one-to-one.
    std::set<std::string> raws;
    for (ProtocolType p : allCases<ProtocolType>()) raws.insert(rawValue(p));
    EXPECT_EQ(raws.size(), 31u);
}

TEST(KeychainOptions, PolicyIsASetOverTheCreationFlags) {
    const AuthenticationPolicy p{AuthenticationPolicy::touchIDAny, AuthenticationPolicy::devicePasscode,
                                 AuthenticationPolicy::or_};
    EXPECT_EQ(p.rawValue, 0x4012u);
    EXPECT_EQ(AuthenticationPolicy::biometryAny, AuthenticationPolicy::touchIDAny);
    EXPECT_EQ(AuthenticationPolicy::biometryCurrentSet.rawValue, 8u);
    EXPECT_EQ(AuthenticationPolicy::applicationPassword.rawValue, 0x80000000u);
    EXPECT_TRUE(p.contains(AuthenticationPolicy::or_));
    AuthenticationPolicy q = p;
    q.remove(AuthenticationPolicy::or_);
    q.insert(AuthenticationPolicy::and_);
    EXPECT_EQ(q.rawValue, 0x8012u);
    EXPECT_EQ((p ^ q).rawValue, 0xC000u);
    EXPECT_EQ((p & q).rawValue, 0x12u);
}

TEST(KeychainAttributes, AnswersOnlyValuesOfTheStatedKind) {
    const Attributes a({{kSecAttrAccount, "alice"}, {kSecAttrPort, 443}, {kSecAttrSynchronizable, true},
                        {kSecAttrLabel, 5}, {kSecAttrCreationDate, Date(10)}, {"custom", "x"}});
    EXPECT_EQ(a.account(), "alice");
    EXPECT_EQ(a.port(), 443);
    EXPECT_EQ(a.synchronizable(), true);
    EXPECT_EQ(a.label(), std::nullopt);  // a number is not a text
    EXPECT_EQ(a.creationDate(), Date(10));
    EXPECT_EQ(a.server(), std::nullopt);
    EXPECT_EQ(a["custom"], Any("x"));
    EXPECT_EQ(a["missing"], std::nullopt);
    EXPECT_EQ(a.description(), a.debugDescription());
}

}  // namespace
}  // namespace QVToolbox
