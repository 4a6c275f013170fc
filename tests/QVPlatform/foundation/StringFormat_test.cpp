#include <QVPlatform/foundation/StringFormat.h>

#include <gtest/gtest.h>

using namespace platform;

TEST(StringFormat, WritesFoundationConversions) {
    EXPECT_EQ(stringWithFormat("%@ has %ld items", {"cart", 3}), "cart has 3 items");
    EXPECT_EQ(stringWithFormat("%d %i %u", {-5, 7, 9}), "-5 7 9");
    EXPECT_EQ(stringWithFormat("%x %X %o %#x", {255, 255, 8, 255}), "ff FF 10 0xff");
    EXPECT_EQ(stringWithFormat("%f|%.2f|%e|%g", {1.5, 3.14159, 1234.5, 0.0001}), "1.500000|3.14|1.234500e+03|0.0001");
    EXPECT_EQ(stringWithFormat("%5d|%-5d|%05d|%+d|% d", {42, 42, 42, 42, 42}), "   42|42   |00042|+42| 42");
    EXPECT_EQ(stringWithFormat("%*d|%.*f", {4, 7, 1, 2.25}), "   7|2.2");
    EXPECT_EQ(stringWithFormat("%c%C", {65, 0x4E2D}), "A中");
    EXPECT_EQ(stringWithFormat("%s and %@", {"text", "object"}), "text and object");
    EXPECT_EQ(stringWithFormat("%5@|%-3@|%.2@", {"ab", "x", "中文字"}), "   ab|x  |中文");
    EXPECT_EQ(stringWithFormat("100%%", {}), "100%");
    EXPECT_EQ(stringWithFormat("%lld %llu %hd %hhd", {1LL << 40, 7, 70000, 300}), "1099511627776 7 4464 44");
    EXPECT_EQ(stringWithFormat("%d", {5000000000LL}), "5000000000");  // the whole value, not its low bits
}

TEST(StringFormat, PositionalArgumentsReorder) {
    EXPECT_EQ(stringWithFormat("%2$@ %1$@", {"world", "hello"}), "hello world");
    EXPECT_EQ(stringWithFormat("%1$@ %1$@", {"echo"}), "echo echo");
    EXPECT_EQ(stringWithFormat("%2$.1f / %1$ld", {3, 2.25}), "2.2 / 3");
    EXPECT_EQ(stringWithFormat("%1$*2$d", {5, 4}), "   5");
}

TEST(StringFormat, UntrustedFormatsNeverReadPastTheArguments) {
    EXPECT_EQ(stringWithFormat("50% off", {}), "50% off");
    EXPECT_EQ(stringWithFormat("%ld% done", {42}), "42% done");
    EXPECT_EQ(stringWithFormat("%@ and %@ and %d", {"one"}), "one and %@ and %d");
    EXPECT_EQ(stringWithFormat("%3$@", {"a", "b"}), "%3$@");
    EXPECT_EQ(stringWithFormat("%0$@", {"a"}), "%0$@");
    EXPECT_EQ(stringWithFormat("%*d", {}), "%*d");
    EXPECT_EQ(stringWithFormat("%n%p%k", {1, 2, 3}), "%n%p%k");  // never written, never consumed
    EXPECT_EQ(stringWithFormat("%n %d", {1}), "%n 1");
    EXPECT_EQ(stringWithFormat("trailing %", {1}), "trailing %");
    EXPECT_EQ(stringWithFormat("%99999999d|%.99999999f", {1, 2.0}), "%99999999d|%.99999999f");
    EXPECT_EQ(stringWithFormat("%*d", {1000000000, 1}), "%*d");
    EXPECT_EQ(stringWithFormat("%-*d|", {-3, 1}), "1  |");
}

TEST(StringFormat, KindMismatchesConvertByValue) {
    EXPECT_EQ(stringWithFormat("%d", {3.99}), "3");
    EXPECT_EQ(stringWithFormat("%d", {-1e30}), "-9223372036854775808");
    EXPECT_EQ(stringWithFormat("%.1f", {2}), "2.0");
    EXPECT_EQ(stringWithFormat("%d items", {"five"}), "five items");
    EXPECT_EQ(stringWithFormat("%@ %@ %@ %@", {7, 0.1, true, nullptr}), "7 0.1 1 (null)");
    EXPECT_EQ(stringWithFormat("%x", {-1}), "ffffffffffffffff");
}
