#include "catalogue/CacheFile.h"
#include "support/TempWorkDir.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(CacheFile, ReadWholeFileKeepsToItsBound) {
    CTempWorkDir dir;
    const QByteArray bytes = QByteArray(70000, 'x') + QByteArray("\0tail", 5);
    CTempWorkDir::WriteFile("Daten/big.txt", bytes);
    EXPECT_EQ(cache::ReadWholeFile("Daten/big.txt", 70005), bytes);
    EXPECT_FALSE(cache::ReadWholeFile("Daten/big.txt", 70004));
    EXPECT_FALSE(cache::ReadWholeFile("Daten/missing.txt", 100));
    EXPECT_FALSE(cache::ReadWholeFile("Daten", 100)) << "a folder";
    CTempWorkDir::WriteFile("Daten/empty.txt", {});
    EXPECT_EQ(cache::ReadWholeFile("Daten/empty.txt", 100), QByteArray());
}

TEST(CacheFile, PhotoPathStaysInsideBilder) {
    EXPECT_EQ(cache::PhotoPath("a b\xe9.jpg"), QStringLiteral("Bilder/a b\u00e9.jpg"));
    EXPECT_EQ(cache::PhotoPath("..\\x.jpg"), QStringLiteral("Bilder/..\\x.jpg"));
    EXPECT_TRUE(cache::PhotoPath("../x.jpg").isEmpty());
    EXPECT_TRUE(cache::PhotoPath("/etc/passwd").isEmpty());
}

TEST(CacheFile, NaturalOrderComparesNumbersAsNumbers) {
    using cache::NaturalLess;
    EXPECT_TRUE(NaturalLess(u"satz_12_2.txt", u"satz_12_10.txt"));
    EXPECT_FALSE(NaturalLess(u"satz_12_10.txt", u"satz_12_2.txt"));
    EXPECT_TRUE(NaturalLess(u"satz_3_1.txt", u"satz_12_1.txt"));
    EXPECT_TRUE(NaturalLess(u"satz_1.txt", u"satz_1_1.txt"));
    EXPECT_TRUE(NaturalLess(u"satz_9", u"satz_10"));
    EXPECT_TRUE(NaturalLess(u"satz_", u"satz_0"));
    EXPECT_TRUE(NaturalLess(u"satz_02", u"satz_2")) << "equal numbers: a fixed order";
    EXPECT_FALSE(NaturalLess(u"satz_2", u"satz_02"));
    EXPECT_FALSE(NaturalLess(u"satz_2", u"satz_2"));
    EXPECT_TRUE(NaturalLess(u"satz_99999999999999999998", u"satz_99999999999999999999"))
        << "no overflow on long numbers";
    EXPECT_TRUE(NaturalLess(u"a1b", u"a1c"));
}
