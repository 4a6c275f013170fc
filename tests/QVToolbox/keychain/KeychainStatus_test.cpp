#include <QVToolbox/keychain/KeychainStatus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace QVToolbox {
namespace {

TEST(KeychainStatus, MapsCodesToCasesAndUnknownCodesToUnexpectedError) {
    EXPECT_EQ(Status(platform::OSStatus(0)), Status::success);
    EXPECT_EQ(Status(platform::OSStatus(0)).description(), "No error.");
    EXPECT_EQ(Status(platform::OSStatus(-25300)), Status::itemNotFound);
    const Status unknown(platform::OSStatus(12345));
    EXPECT_EQ(unknown, Status::unexpectedError);
    EXPECT_EQ(unknown.errorCode(), -99999);
    EXPECT_EQ(unknown.description(), "Unexpected error has occurred.");
    EXPECT_FALSE(Status::fromRawValue(12345).has_value());
    EXPECT_EQ(Status::fromRawValue(-67827)->value(), Status::invaldCRLAuthority);  // name kept as written
    EXPECT_EQ(Status::fromRawValue(-34011)->value(), Status::returnPersitentRefUnsupported);
}

TEST(KeychainStatus, HasFourHundredThreeDistinctCasesInDeclarationOrder) {
    const auto cases = Status::allCases();
    ASSERT_EQ(cases.size(), 403u);
    std::set<std::int32_t> codes;
    for (Status::Case c : cases) {
        codes.insert(c);
        const Status s(c);
        EXPECT_EQ(Status::fromRawValue(c)->value(), c);
        if (c != Status::internalComponent) {
            EXPECT_FALSE(s.description().empty()) << c;
        }
    }
    EXPECT_EQ(codes.size(), 403u);
    EXPECT_EQ(cases.front(), Status::success);
    EXPECT_EQ(cases.back(), Status::unexpectedError);
    // aclNotSimple and its neighbours follow inDarkWake.
    const auto at = [&](Status::Case c) { return std::find(cases.begin(), cases.end(), c) - cases.begin(); };
    EXPECT_EQ(at(Status::aclNotSimple), at(Status::inDarkWake) + 1);
    EXPECT_EQ(at(Status::trustNotAvailable), at(Status::inDarkWake) + 6);
}

TEST(KeychainStatus, QuotedMessagesStandByteForByte) {
    EXPECT_EQ(Status(Status::io).description(), "I/O error (bummers)");
    EXPECT_EQ(Status(Status::opWr).description(), "file already open with with write permission");
    EXPECT_EQ(Status(Status::wrPerm).description(), "write permissions error");
    EXPECT_EQ(Status(Status::internalComponent).description(), "");
    EXPECT_EQ(Status(Status::inDarkWake).description(), "In dark wake, no UI possible");
    EXPECT_EQ(Status(Status::returnMissingPointer).description(),
              "The caller passed asked for something to be returned but did not pass in a result pointer.");
    EXPECT_EQ(Status(Status::otrIDTooNew).description(), "Key ID is too new to use! Message from the future?");
    EXPECT_EQ(Status(Status::notAvailable).description(),
              "No keychain is available. You may need to restart your computer.");
    EXPECT_EQ(Status(Status::noSuchKeychain).description(), "The specified keychain could not be found.");
    EXPECT_EQ(Status(Status::invalidGUID).description(), "An invalid GUID was encountered.");
}

TEST(KeychainStatus, IsAnErrorWithDomainCodeAndUserInfo) {
    const Status duplicate(Status::duplicateItem);
    EXPECT_EQ(duplicate.domain(), KeychainErrorDomain);
    EXPECT_EQ(Status::errorDomain(), KeychainErrorDomain);
    EXPECT_EQ(duplicate.code(), -25299);
    EXPECT_STREQ(duplicate.what(), "The specified item already exists in the keychain.");
    ASSERT_EQ(duplicate.errorUserInfo().size(), 1u);
    EXPECT_EQ(duplicate.errorUserInfo().at(platform::NSLocalizedDescriptionKey).string(),
              "The specified item already exists in the keychain.");
    const Status empty(Status::internalComponent);
    EXPECT_EQ(empty.errorUserInfo().at(platform::NSLocalizedDescriptionKey).string(), "");
    try {
        throw Status(Status::param);
    } catch (const KeychainError& e) {
        EXPECT_EQ(e.code(), -50);
    }
    const auto cf = platform::CFError::make("Domain", 7, {{platform::NSLocalizedDescriptionKey, "seven"}});
    const KeychainError converted = KeychainError::fromCFError(*cf);
    EXPECT_EQ(converted.domain(), "Domain");
    EXPECT_EQ(converted.code(), 7);
    EXPECT_STREQ(converted.what(), "seven");
}

}  // namespace
}  // namespace QVToolbox
