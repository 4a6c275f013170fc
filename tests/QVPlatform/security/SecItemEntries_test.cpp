// The readers that take entries beside a query (SecItemCopyMatching with entries,
// SecItemCopyData, SecItemCopyAttributeTexts) answer exactly what SecItemCopyMatching answers for the query
// with those entries written into it: the same statuses under every rule, the same results.
#include "support/KeychainHome.h"

#include <QVPlatform/security/SecAccessControl.h>
#include <QVPlatform/security/SecItem.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace platform {
namespace {

// A store with twins, synchronizable items, labels, protected items and an undecryptable
// nothing: every rule a search applies has rows to act on.
void populate() {
    CFErrorRef error;
    const auto presence =
        SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleWhenUnlocked, kSecAccessControlUserPresence, &error);
    int n = 0;
    for (const char* service : {"s1", "s2"}) {
        for (const char* account : {"a", "b", "c", ""}) {
            for (const bool synchronizable : {false, true}) {
                Any::Dictionary item{{kSecClass, kSecClassGenericPassword}, {kSecAttrService, service},
                                     {kSecAttrAccount, account}, {kSecAttrSynchronizable, synchronizable},
                                     {kSecValueData, Data::fromString("v" + std::to_string(n))}};
                if (n % 3 == 0) item[kSecAttrLabel] = "L";
                if (n % 5 == 1) item[kSecAttrAccessControl] = presence;
                ASSERT_EQ(SecItemAdd(item, nullptr), errSecSuccess) << n;
                ++n;
            }
        }
    }
}

// The result with each access control object (made anew per search) replaced by its flags and
// protection, so two results compare by value.
Any comparable(const Any& result) {
    if (const Any::List* list = result.asList()) {
        Any::List out;
        for (const Any& item : *list) out.push_back(comparable(item));
        return out;
    }
    if (const Any::Dictionary* dictionary = result.asDictionary()) {
        Any::Dictionary out;
        for (const auto& [key, value] : *dictionary) out[key] = comparable(value);
        return out;
    }
    if (const auto acl = result.objectAs<SecAccessControl>()) {
        return acl->protection() + "/" + std::to_string(static_cast<std::int64_t>(acl->flags()));
    }
    return result;
}

// One random entry of a search: a key and a value, some of them of the wrong kind.
std::pair<std::string, Any> randomEntry(std::mt19937& random) {
    auto pick = [&](std::initializer_list<Any> values) {
        return *(values.begin() + std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random));
    };
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
    case 0: return {kSecAttrService, pick({"s1", "s2", "s3", 7})};
    case 1: return {kSecAttrAccount, pick({"a", "b", "c", "", "A"})};
    case 2: return {kSecAttrSynchronizable, pick({true, false, kSecAttrSynchronizableAny, "maybe"})};
    case 3: return {kSecAttrLabel, pick({"L", "M"})};
    case 4: return {kSecUseAuthenticationUI, pick({kSecUseAuthenticationUIAllow, kSecUseAuthenticationUIFail,
                                                   kSecUseAuthenticationUISkip, "other"})};
    case 5: return {kSecMatchLimit, pick({kSecMatchLimitOne, kSecMatchLimitAll, 2, 0})};
    case 6: return {kSecReturnData, pick({true, false})};
    case 7: return {kSecReturnAttributes, pick({true, false})};
    case 8: return {kSecUseOperationPrompt, pick({"approve", "refuse"})};
    default: return {"bogus", 1};
    }
}

TEST(SecItemEntries, AnswerAsTheQueryWithTheEntriesWrittenIn) {
    qvtest::KeychainHome home;
    populate();
    SecItemSetAuthenticationAgent([](const std::string& prompt, const std::shared_ptr<LAContext>&) {
        return prompt != "refuse";
    });
    std::mt19937 random(20261208);
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        Any::Dictionary query{{kSecClass, kSecClassGenericPassword}};
        Any::Dictionary given;
        for (int i = std::uniform_int_distribution<int>(0, 4)(random); i > 0; --i) query.insert(randomEntry(random));
        for (int i = std::uniform_int_distribution<int>(0, 3)(random); i > 0; --i) given.insert(randomEntry(random));
        std::vector<SecItemQueryEntry> entries;
        Any::Dictionary merged = query;
        for (const auto& [key, value] : given) {
            entries.push_back({key, &value});
            merged[key] = value;
        }
        Any expected, actual;
        const OSStatus expectedStatus = SecItemCopyMatching(merged, &expected);
        ASSERT_EQ(SecItemCopyMatching(query, entries, &actual), expectedStatus) << round;
        EXPECT_EQ(comparable(actual), comparable(expected)) << round;
        found += expectedStatus == errSecSuccess;

        // The one secret against the data search it stands for.
        Any::Dictionary secret = merged;
        secret[kSecMatchLimit] = kSecMatchLimitOne;
        secret[kSecReturnData] = true;
        secret.erase(kSecReturnAttributes);
        Any expectedData;
        const OSStatus dataStatus =
            expectedStatus == errSecParam ? errSecParam : SecItemCopyMatching(secret, &expectedData);
        Data data = Data::fromString("left over");
        ASSERT_EQ(SecItemCopyData(query, entries, data), dataStatus) << round;
        EXPECT_EQ(Any(data), dataStatus == errSecSuccess ? expectedData : Any(Data())) << round;

        // The listing of accounts against the named-attribute search it stands for.
        Any::Dictionary listing = merged;
        listing[kSecMatchLimit] = kSecMatchLimitAll;
        listing[kSecReturnAttributeKeys] = Any::List{kSecAttrAccount};
        listing.erase(kSecReturnData);
        listing.erase(kSecReturnAttributes);
        Any items;
        // Entries are checked as given (a bad match limit is refused even though the listing
        // reads every match).
        const OSStatus listingStatus =
            expectedStatus == errSecParam ? errSecParam : SecItemCopyMatching(listing, &items);
        std::vector<std::string> accounts{"left over"};
        ASSERT_EQ(SecItemCopyAttributeTexts(query, entries, kSecAttrAccount, accounts), listingStatus) << round;
        std::vector<std::string> expectedAccounts;
        if (listingStatus == errSecSuccess) {
            for (const Any& item : *items.asList()) expectedAccounts.push_back(item[kSecAttrAccount].string());
        }
        EXPECT_EQ(accounts, expectedAccounts) << round;
    }
    EXPECT_GT(found, 40);  // the searches were not all misses
    SecItemSetAuthenticationAgent(nullptr);
}

TEST(SecItemEntries, RefuseRepeatedOrMissingEntriesAndForeignAttributes) {
    qvtest::KeychainHome home;
    populate();
    const Any::Dictionary query{{kSecClass, kSecClassGenericPassword}, {kSecAttrService, "s1"}};
    const Any a("a"), b("b");
    const SecItemQueryEntry twice[] = {{kSecAttrAccount, &a}, {kSecAttrAccount, &b}};
    EXPECT_EQ(SecItemCopyMatching(query, twice, nullptr), errSecParam);
    const SecItemQueryEntry missing[] = {{kSecAttrAccount, nullptr}};
    EXPECT_EQ(SecItemCopyMatching(query, missing, nullptr), errSecParam);
    // The class may come from the entries; without one anywhere the search is refused.
    const Any generic(kSecClassGenericPassword);
    const SecItemQueryEntry classAndAccount[] = {{kSecClass, &generic}, {kSecAttrAccount, &a}};
    EXPECT_EQ(SecItemCopyMatching({{kSecAttrService, "s1"}}, classAndAccount, nullptr), errSecSuccess);
    EXPECT_EQ(SecItemCopyMatching({{kSecAttrService, "s1"}}, std::span(twice + 1, 1), nullptr), errSecParam);
    std::vector<std::string> texts;
    EXPECT_EQ(SecItemCopyAttributeTexts(query, {}, kSecAttrServer, texts), errSecParam);  // not a generic attribute
    EXPECT_EQ(SecItemCopyAttributeTexts(query, {}, "bogus", texts), errSecParam);
    // Under Skip the protected item of s1 (account "") is left out; under Fail any protected
    // match refuses the whole listing.
    const Any skip(kSecUseAuthenticationUISkip);
    const SecItemQueryEntry skipping[] = {{kSecUseAuthenticationUI, &skip}};
    ASSERT_EQ(SecItemCopyAttributeTexts(query, skipping, kSecAttrAccount, texts), errSecSuccess);
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "b", "c"}));
    const Any fail(kSecUseAuthenticationUIFail);
    const Any any(kSecAttrSynchronizableAny);
    const SecItemQueryEntry failing[] = {{kSecUseAuthenticationUI, &fail}, {kSecAttrSynchronizable, &any}};
    EXPECT_EQ(SecItemCopyAttributeTexts(query, failing, kSecAttrAccount, texts), errSecInteractionNotAllowed);
    EXPECT_TRUE(texts.empty());
}

}  // namespace
}  // namespace platform
