#include "support/KeychainHome.h"

#include <QVToolbox/keychain/Keychain.h>

#include <QVPlatform/security/SecItem.h>

#include <gtest/gtest.h>

#include <future>
#include <sys/wait.h>
#include <unistd.h>

namespace QVToolbox {
namespace {

using namespace platform;

TEST(Keychain, SetAddsThenUpdatesAndReadsBack) {
    qvtest::KeychainHome home;
    auto keychain = Keychain::make("svc");
    EXPECT_FALSE(keychain->contains("K"));
    keychain->set("A", "K");
    EXPECT_EQ(keychain->get("K"), "A");
    keychain->set("B", "K");
    EXPECT_EQ(keychain->get("K"), "B");
    EXPECT_EQ(keychain->getString("K"), "B");
    EXPECT_EQ(keychain->getData("K"), Data::fromString("B"));
    EXPECT_TRUE(keychain->contains("K"));
    // A new instance with the same options sees the same item; another service does not.
    EXPECT_EQ(Keychain::make("svc")->get("K"), "B");
    EXPECT_EQ(Keychain::make("other")->get("K"), std::nullopt);
    keychain->remove("K");
    keychain->remove("K");  // removing a missing key is no error
    EXPECT_EQ(keychain->getData("K"), std::nullopt);
    EXPECT_FALSE(keychain->contains("K"));
}

TEST(Keychain, TextsMustBeUtf8BothWays) {
    qvtest::KeychainHome home;
    auto keychain = Keychain::make("svc");
    EXPECT_THROW(keychain->set(std::string("\xff\xfe"), "bad"), Status);
    EXPECT_FALSE(keychain->contains("bad"));  // nothing stored
    keychain->set(Data::fromString("\xc3\x28"), "binary");
    try {
        keychain->get("binary");
        FAIL() << "expected conversionError";
    } catch (const Status& s) {
        EXPECT_EQ(s, Status::conversionError);
    }
    EXPECT_EQ(keychain->getData("binary"), Data::fromString("\xc3\x28"));
    EXPECT_EQ((*keychain)["binary"].value(), std::nullopt);  // keyed reads swallow errors
}

TEST(Keychain, ModifiersReturnNewKeychainsAndShapeTheItem) {
    qvtest::KeychainHome home;
    auto base = Keychain::make("svc");
    auto labelled = base->label("Work")->comment("note")->attributes({{kSecAttrDescription, "custom"}});
    EXPECT_EQ(base->label(), std::nullopt);
    EXPECT_EQ(labelled->label(), "Work");
    labelled->set("v", "k");
    auto attributes = base->get("k", true, [](std::optional<Attributes> a) { return a; });
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->label(), "Work");
    EXPECT_EQ(attributes->comment(), "note");
    EXPECT_EQ(attributes->attributeDescription(), "custom");
    EXPECT_EQ(attributes->data(), Data::fromString("v"));
    EXPECT_TRUE(attributes->persistentRef().has_value());
    EXPECT_EQ(attributes->accessible(), kSecAttrAccessibleAfterFirstUnlock);
    // Custom attributes override computed ones in an update too.
    base->attributes({{kSecAttrLabel, "Custom label"}})->label("Computed")->set("w", "k");
    EXPECT_EQ(base->attributes("k")->label(), "Custom label");
    EXPECT_EQ(base->get("k"), "w");
    // The handler form answers its own result, absent attributes for a missing key.
    EXPECT_EQ(base->get("missing", true, [](std::optional<Attributes> a) { return a.has_value(); }), false);
}

class LabelledKeychain : public Keychain {
public:
    using Keychain::Keychain;
    std::shared_ptr<Keychain> copyWith(Options options) const override {
        return std::make_shared<LabelledKeychain>(std::move(options));
    }
};

TEST(Keychain, ModifiersKeepTheReceiversClass) {
    Options options;
    options.service = "svc";
    auto derived = std::make_shared<LabelledKeychain>(options)->synchronizable(true)->label("x");
    EXPECT_TRUE(std::dynamic_pointer_cast<LabelledKeychain>(derived));
    EXPECT_TRUE(derived->synchronizable());
}

TEST(Keychain, SynchronizableTwinsAndTheUpdateThatWouldMergeThem) {
    qvtest::KeychainHome home;
    auto local = Keychain::make("svc");
    auto synced = local->synchronizable(true);
    local->set("local", "k", false);
    synced->set("synced", "k", false);
    EXPECT_EQ(local->get("k", false), "local");
    EXPECT_EQ(synced->get("k", false), "synced");
    // The update path searches with kSecAttrSynchronizableAny: it reaches both twins, and
    // making both non-synchronizable would collide, so the store refuses and keeps both.
    try {
        local->set("merged", "k");
        FAIL() << "expected duplicateItem";
    } catch (const Status& s) {
        EXPECT_EQ(s, Status::duplicateItem);
    }
    EXPECT_EQ(local->get("k", false), "local");
    EXPECT_EQ(synced->get("k", false), "synced");
}

TEST(Keychain, ProtectedItemsUnderEachAuthenticationUIMode) {
    qvtest::KeychainHome home;
    SecItemSetAuthenticationAgent(nullptr);
    auto guarded = Keychain::make("svc")->accessibility(Accessibility::whenUnlocked, AuthenticationPolicy::userPresence);
    guarded->set("secret", "k");
    EXPECT_TRUE(guarded->attributes("k") == std::nullopt);  // the read needs the (missing) agent
    // Probe under fail: -25308 counts as present only without UI.
    EXPECT_TRUE(guarded->authenticationUI(AuthenticationUI::fail)->contains("k", true));
    EXPECT_FALSE(guarded->authenticationUI(AuthenticationUI::fail)->contains("k", false));
    EXPECT_FALSE(guarded->authenticationUI(AuthenticationUI::skip)->contains("k", true));
    try {
        guarded->get("k");
        FAIL() << "expected userCanceled";
    } catch (const Status& s) {
        EXPECT_EQ(s, Status::userCanceled);
    }
    // set on a protected item takes the update path (probe -25308) and needs no agent.
    guarded->set("changed", "k");
    SecItemSetAuthenticationAgent([](const std::string& prompt, const std::shared_ptr<LAContext>&) {
        return prompt == "Unlock";
    });
    EXPECT_THROW(guarded->get("k"), Status);
    EXPECT_EQ(guarded->authenticationPrompt("Unlock")->get("k"), "changed");
    SecItemSetAuthenticationAgent(nullptr);
    // A policy with a bit the platform does not know is refused as the platform's error.
    auto refused = Keychain::make("svc")->accessibility(Accessibility::always, AuthenticationPolicy(1u << 2));
    try {
        refused->set("x", "other");
        FAIL() << "expected the access-control error";
    } catch (const KeychainError& e) {
        EXPECT_EQ(e.code(), errSecParam);
    }
    EXPECT_FALSE(refused->contains("other"));
}

TEST(Keychain, InternetKeychainsAndServersWithoutHost) {
    qvtest::KeychainHome home;
    auto site = Keychain::make("https://example.com:8443", ProtocolType::https);
    site->set("pw", "bob");
    EXPECT_EQ(site->server()->host(), "example.com");
    EXPECT_EQ(site->protocolType(), ProtocolType::https);
    auto hostless = Keychain::make("weixin://", ProtocolType::https);
    EXPECT_EQ(hostless->server()->host(), std::nullopt);
    EXPECT_EQ(hostless->get("bob"), std::nullopt);
    hostless->set("other", "bob");
    hostless->removeAll();  // never reaches example.com's items
    EXPECT_EQ(site->get("bob"), "pw");
    EXPECT_EQ(Keychain::allKeys(ItemClass::internetPassword),
              (std::vector<std::pair<std::string, std::string>>{{"example.com", "bob"}}));
    EXPECT_THROW(Keychain::make("example.com", ProtocolType::https), Status);  // not a URL here: param
    EXPECT_THROW(Keychain::make("http://[::1", ProtocolType::https), Status);
    EXPECT_EQ(Keychain::make("svc")->server(), std::nullopt);
    EXPECT_EQ(Keychain::make("svc")->protocolType(), std::nullopt);
}

TEST(Keychain, ListingsPrettifyAndSkipItemsWithoutAccount) {
    qvtest::KeychainHome home;
    auto keychain = Keychain::make("svc");
    EXPECT_EQ(keychain->description(), "[]");
    keychain->set("one", "a");
    keychain->synchronizable(true)->set("two", "b");
    ASSERT_EQ(SecItemAdd({{kSecClass, kSecClassGenericPassword}, {kSecAttrService, "svc"}, {kSecValueData, Data()}},
                         nullptr),
              errSecSuccess);  // an item whose account is ""
    EXPECT_EQ(keychain->allKeys(), (std::vector<std::string>{"a", "b", ""}));  // the store's default account
    const auto items = keychain->allItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].at("class").string(), "GenericPassword");
    EXPECT_EQ(items[0].at("service").string(), "svc");
    EXPECT_EQ(items[0].at("value").string(), "one");
    EXPECT_EQ(items[0].at("accessibility").string(), "AfterFirstUnlock");
    EXPECT_EQ(items[0].at("synchronizable").string(), "false");
    EXPECT_EQ(items[1].at("synchronizable").string(), "true");
    // A raw item without an account has no "key"; bytes that are not UTF-8 stay bytes.
    const auto pretty = Keychain::prettify(ItemClass::internetPassword,
                                           {Any::Dictionary{{kSecAttrServer, "h"}, {kSecValueData, Data::fromString("\xff")},
                                                            {kSecAttrProtocol, kSecAttrProtocolSSH}}});
    EXPECT_FALSE(pretty[0].count("key"));
    EXPECT_EQ(pretty[0].at("protocol").string(), "SSH");
    EXPECT_EQ(pretty[0].at("server").string(), "h");
    EXPECT_TRUE(pretty[0].at("value").isData());
    // The class listing without a synchronizable entry leaves out synchronizable items.
    EXPECT_EQ(Keychain::allItems(ItemClass::genericPassword).size(), 2u);
    EXPECT_EQ(Keychain::allKeys(ItemClass::genericPassword).size(), 3u);
    const std::string text = keychain->description();
    EXPECT_EQ(text.substr(0, 4), "[\n  ");
    EXPECT_EQ(text.substr(text.size() - 2), "\n]");
    EXPECT_NE(keychain->debugDescription().find("svce"), std::string::npos);
    keychain->removeAll();
    EXPECT_EQ(keychain->description(), "[]");
    keychain->removeAll();  // on an empty store: no error
}

TEST(Keychain, KeyedAccessStoresRemovesAndSwallowsErrors) {
    qvtest::KeychainHome home;
    auto keychain = Keychain::make("svc");
    (*keychain)["k"] = "v";
    EXPECT_EQ(keychain->get("k"), "v");
    std::optional<std::string> read = (*keychain)["k"];
    EXPECT_EQ(read, "v");
    keychain->data("d") = Data::fromString("bytes");
    EXPECT_EQ(keychain->data("d").value(), Data::fromString("bytes"));
    (*keychain)["k"] = std::nullopt;
    EXPECT_FALSE(keychain->contains("k"));
    keychain->string("d") = std::nullopt;
    EXPECT_FALSE(keychain->contains("d"));
    EXPECT_EQ(keychain->attributes("nothing"), std::nullopt);
}

TEST(Keychain, SharedPasswordsNeedAServerHost) {
    qvtest::KeychainHome home;
    auto site = Keychain::make("https://example.com", ProtocolType::https);
    std::promise<Keychain::OptionalError> stored;
    site->setSharedPassword("pw", "alice", [&](Keychain::OptionalError e) { stored.set_value(e); });
    EXPECT_FALSE(stored.get_future().get());
    std::promise<std::pair<std::optional<std::string>, std::optional<std::string>>> got;
    site->getSharedPassword([&](auto account, auto password, auto) { got.set_value({account, password}); });
    EXPECT_EQ(got.get_future().get(), std::make_pair(std::optional<std::string>("alice"), std::optional<std::string>("pw")));
    std::promise<std::optional<std::string>> one;
    site->getSharedPassword("alice", [&](auto password, auto) { one.set_value(password); });
    EXPECT_EQ(one.get_future().get(), "pw");
    std::promise<Keychain::OptionalError> removed;
    site->removeSharedPassword("alice", [&](Keychain::OptionalError e) { removed.set_value(e); });
    EXPECT_FALSE(removed.get_future().get());
    // A generic keychain has no host: param, synchronously.
    std::optional<KeychainError> error;
    Keychain::make("svc")->getSharedPassword("alice", [&](auto, auto e) { error = e; });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), errSecParam);
    EXPECT_EQ(Keychain::generatePassword().size(), 15u);
}

TEST(Keychain, TwoProcessesSettingOneNewKeyNeverThrowOrLoseAWrite) {
    qvtest::KeychainHome home;
    auto keychain = Keychain::make("race");
    keychain->set("warm", "warm-up");
    constexpr int kRounds = 1000;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    int failures = 0;
    const std::string me = child == 0 ? "child" : "parent";
    for (int i = 0; i < kRounds; ++i) {
        try {
            keychain->set(me + std::to_string(i), "key" + std::to_string(i));
        } catch (const KeychainError&) {
            ++failures;
        }
    }
    if (child == 0) ::_exit(failures == 0 ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int i = 0; i < kRounds; ++i) {
        const auto value = keychain->get("key" + std::to_string(i));
        ASSERT_TRUE(value) << i;
        EXPECT_TRUE(*value == "child" + std::to_string(i) || *value == "parent" + std::to_string(i)) << *value;
    }
}

}  // namespace
}  // namespace QVToolbox
