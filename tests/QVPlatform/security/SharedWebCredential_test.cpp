#include "support/KeychainHome.h"

#include <QVPlatform/security/SecBase.h>
#include <QVPlatform/security/SharedWebCredential.h>

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <set>

namespace platform {
namespace {

CFErrorRef add(const std::string& domain, const std::string& account, std::optional<std::string> password) {
    std::promise<CFErrorRef> done;
    SecAddSharedWebCredential(domain, account, password, [&](CFErrorRef error) { done.set_value(error); });
    return done.get_future().get();
}

std::pair<std::optional<Any::List>, CFErrorRef> request(std::optional<std::string> domain,
                                                        std::optional<std::string> account) {
    std::promise<std::pair<std::optional<Any::List>, CFErrorRef>> done;
    SecRequestSharedWebCredential(domain, account, [&](std::optional<Any::List> list, CFErrorRef error) {
        done.set_value({std::move(list), error});
    });
    return done.get_future().get();
}

TEST(SharedWebCredential, StoresReplacesListsAndRemovesPasswords) {
    qvtest::KeychainHome home;
    EXPECT_EQ(add("example.com", "alice", "one"), nullptr);
    EXPECT_EQ(add("example.com", "alice", "two"), nullptr);
    EXPECT_EQ(add("example.com", "bob", "three"), nullptr);
    EXPECT_EQ(add("other.org", "alice", "four"), nullptr);
    auto [list, error] = request("example.com", std::nullopt);
    EXPECT_EQ(error, nullptr);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    std::map<std::string, std::string> byAccount;
    for (const Any& credential : *list) {
        EXPECT_EQ(credential[kSecAttrServer].string(), "example.com");
        byAccount[credential[kSecAttrAccount].string()] = credential[kSecSharedPassword].string();
    }
    EXPECT_EQ(byAccount, (std::map<std::string, std::string>{{"alice", "two"}, {"bob", "three"}}));
    EXPECT_EQ(request(std::nullopt, std::nullopt).first->size(), 3u);
    EXPECT_EQ(request("example.com", "carol").first->size(), 0u);
    EXPECT_EQ(add("example.com", "alice", std::nullopt), nullptr);
    EXPECT_EQ(request("example.com", "alice").first->size(), 0u);
    CFErrorRef missing = add("example.com", "alice", std::nullopt);
    ASSERT_TRUE(missing);
    EXPECT_EQ(CFErrorGetCode(*missing), errSecItemNotFound);
    CFErrorRef bad = add("", "alice", "x");
    ASSERT_TRUE(bad);
    EXPECT_EQ(CFErrorGetCode(*bad), errSecParam);
}

TEST(SharedWebCredential, GeneratedPasswordsAreFourGroupsOfThree) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const auto password = SecCreateSharedWebCredentialPassword();
        ASSERT_TRUE(password);
        ASSERT_EQ(password->size(), 15u);
        for (std::size_t p = 0; p < 15; ++p) {
            if (p % 4 == 3) {
                EXPECT_EQ((*password)[p], '-') << *password;
            } else {
                EXPECT_TRUE(std::isalnum(static_cast<unsigned char>((*password)[p]))) << *password;
            }
        }
        seen.insert(*password);
    }
    EXPECT_EQ(seen.size(), 200u);
}

}  // namespace
}  // namespace platform
