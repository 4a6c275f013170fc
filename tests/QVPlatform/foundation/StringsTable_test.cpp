#include <QVPlatform/foundation/StringsTable.h>

#include "support/DebugMessages.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace platform;

namespace {

std::string text(const StringsTable& table, std::string_view key) {
    const std::string* found = table.find(key);
    return found ? *found : "<missing>";
}

// UTF-16 bytes of an ASCII text, with a byte-order mark.
std::string utf16(std::string_view ascii, bool bigEndian) {
    std::string out = bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
    for (char c : ascii) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

}  // namespace

TEST(StringsTable, ReadsEntriesCommentsEscapesAndShorthand) {
    const auto table = StringsTable::parse(
        "/* A comment\n spanning lines */\n"
        "\"hello\" = \"Bonjour\";  // line comment\n"
        "'single' = 'quoted';\n"
        "unquoted_key = value.with-dots;\n"
        "\"escapes\" = \"a\\n\\\"b\\\"\\\\ \\U4e2d \\101\";\n"
        "\"same\";\n"
        "\"dup\" = \"first\";\n\"dup\" = \"second\";\n"
        "\"中文\" = \"Chinese\";\n");
    ASSERT_TRUE(table);
    EXPECT_EQ(text(*table, "hello"), "Bonjour");
    EXPECT_EQ(text(*table, "single"), "quoted");
    EXPECT_EQ(text(*table, "unquoted_key"), "value.with-dots");
    EXPECT_EQ(text(*table, "escapes"), "a\n\"b\"\\ 中 A");
    EXPECT_EQ(text(*table, "same"), "same");
    EXPECT_EQ(text(*table, "dup"), "second");
    EXPECT_EQ(text(*table, "中文"), "Chinese");
    EXPECT_EQ(table->count(), 7u);
}

TEST(StringsTable, ReadsBracedUtf16AndXmlTables) {
    EXPECT_EQ(text(*StringsTable::parse("{ \"a\" = \"b\"; }"), "a"), "b");
    EXPECT_EQ(text(*StringsTable::parse("\xEF\xBB\xBF\"a\" = \"b\";"), "a"), "b");
    EXPECT_EQ(text(*StringsTable::parse(utf16("\"k\" = \"v\";", false)), "k"), "v");
    EXPECT_EQ(text(*StringsTable::parse(utf16("\"k\" = \"v\";", true)), "k"), "v");
    const auto xml = StringsTable::parse(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>title</key><string>Titre</string><key>count</key><integer>3</integer></dict></plist>");
    ASSERT_TRUE(xml);
    EXPECT_EQ(text(*xml, "title"), "Titre");
    EXPECT_EQ(xml->count(), 1u);  // only text values are translations
    EXPECT_EQ(StringsTable::parse("")->count(), 0u);
    // Invalid UTF-8 inside quotes becomes U+FFFD, with or without escapes around it.
    EXPECT_EQ(text(*StringsTable::parse("\"a\" = \"x\xFFy\";"), "a"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(text(*StringsTable::parse("\"a\" = \"\\n\xFF\";"), "a"), "\n\xEF\xBF\xBD");
}

TEST(StringsTable, MalformedTablesAreRejectedWithALine) {
    std::string error;
    for (const char* bad : {"\"a\" = \"b\"", "\"a\" = ;", "\"a\" \"b\";", "/* open", "\"a\" = \"open;", "{ \"a\" = \"b\";",
                            "= \"b\";", "\"a\" = \"b\"; }"}) {
        EXPECT_FALSE(StringsTable::parse(bad, &error)) << bad;
    }
    EXPECT_FALSE(StringsTable::parse("\"a\" = \"b\";\n\"c\" = ;", &error));
    EXPECT_EQ(error, "expected a value at line 2");
    EXPECT_FALSE(StringsTable::parse("\xFF\xFE\x41", &error));  // odd UTF-16 byte count
    EXPECT_FALSE(StringsTable::parse("<plist version=\"1.0\"><array/></plist>", &error));
}

TEST(StringsTable, ReadFileGivesAnEmptyTableForMissingOrBrokenFiles) {
    qvtest::TemporaryFolder folder;
    const std::string path = folder.folder + "/Broken.strings";
    std::ofstream(path) << "\"a\" = ";
    qvtest::DebugMessages messages;
    EXPECT_EQ(StringsTable::readFile(path).count(), 0u);
    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_NE(messages.seen[0].find("Broken.strings does not parse"), std::string::npos);
    EXPECT_EQ(StringsTable::readFile(folder.folder + "/Missing.strings").count(), 0u);
    EXPECT_EQ(messages.seen.size(), 1u);
}
