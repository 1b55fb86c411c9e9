#include "catalogue/CacheText.h"

#include <gtest/gtest.h>

using cache::SplitLines;

TEST(CacheText, LinesEndAtLineFeedsOrCrLfs) {
    const auto lines = SplitLines(QByteArray("a\r\n\nlast"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], QByteArray("a"));
    EXPECT_EQ(lines[1], QByteArray());
    EXPECT_EQ(lines[2], QByteArray("last"));
    EXPECT_EQ(SplitLines(QByteArray("a\r\r\nlast\r")), (std::vector<QByteArray>{"a\r", "last\r"}))
        << "one CR before the LF goes, no other";
    EXPECT_EQ(SplitLines(QByteArray("a\nb\n")).size(), 2u) << "no empty line after the last LF";
    EXPECT_TRUE(SplitLines(QByteArray()).empty());
}

TEST(CacheText, TextEndsAtItsFirstZeroByteAndLinesAreCut) {
    const auto lines = SplitLines(QByteArray("one\ntwo\0three\n", 14));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], QByteArray("two"));
    EXPECT_EQ(SplitLines(QByteArray("1\n2\n3\n4"), 2).size(), 2u);
    const auto longLine = SplitLines(QByteArray(7000, 'x') + "\nnext");
    ASSERT_EQ(longLine.size(), 2u);
    EXPECT_EQ(longLine[0].size(), cache::kMaxLineLength);
    EXPECT_EQ(longLine[1], QByteArray("next"));
}

TEST(CacheText, LineReaderGivesTheLinesOfSplitLinesOneAtATime) {
    const QByteArray text =
        "a\r\n\n" + QByteArray(7000, 'x') + "\nlast" + QByteArray(1, '\0') + "after\n";
    cache::CLineReader reader(text);
    for (const QByteArray& expected : SplitLines(text)) {
        const auto line = reader.Next();
        ASSERT_TRUE(line);
        EXPECT_EQ(*line, expected);
    }
    EXPECT_FALSE(reader.Next()) << "nothing after the first zero byte";
    const QByteArray empty;
    EXPECT_FALSE(cache::CLineReader(empty).Next());
}

TEST(CacheText, NumbersComeFromTheLeadingDigits) {
    EXPECT_EQ(cache::ParseInt("  12'000"), 12);
    EXPECT_EQ(cache::ParseInt("-42x"), -42);
    EXPECT_EQ(cache::ParseInt("+7"), 7);
    EXPECT_EQ(cache::ParseInt("abc"), 0);
    EXPECT_EQ(cache::ParseInt(""), 0);
    EXPECT_EQ(cache::ParseInt("0998"), 998);
    EXPECT_EQ(cache::ParseInt("99999999999999999999"), 2147483647) << "saturates";
    EXPECT_EQ(cache::ParseInt("-99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(cache::ParseInt(QStringView(u" 5000 km")), 5000);
}

TEST(CacheText, RatesAreDecimalsWithAPoint) {
    EXPECT_DOUBLE_EQ(cache::ParseRate("189.50"), 189.5);
    EXPECT_DOUBLE_EQ(cache::ParseRate(" 20.01 CHF"), 20.01);
    EXPECT_DOUBLE_EQ(cache::ParseRate("189,50"), 189.0);
    EXPECT_DOUBLE_EQ(cache::ParseRate("-3.5"), -3.5);
    EXPECT_DOUBLE_EQ(cache::ParseRate("inf"), 0.0);
    EXPECT_DOUBLE_EQ(cache::ParseRate("1e300"), 1.0);
    EXPECT_DOUBLE_EQ(cache::ParseRate(""), 0.0);
}

TEST(CacheText, Windows1252RoundTrips) {
    const QByteArray bytes("Mod\xe8le de l\x92"
                           "ann\xe9"
                           "e pass\xe9"
                           "e \x80 \x9c");
    const QString text = cache::FromCp1252(bytes);
    EXPECT_EQ(text, QStringLiteral("Modèle de l\u2019année passée \u20AC \u0153"));
    EXPECT_EQ(text.size(), bytes.size()) << "one character per byte";
    EXPECT_EQ(cache::ToCp1252(text), bytes);
    EXPECT_EQ(cache::ToCp1252(QStringLiteral("\u4e2d")), QByteArray("?"));
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        EXPECT_EQ(cache::ToCp1252(cache::FromCp1252(one)), one) << b;
    }
}
