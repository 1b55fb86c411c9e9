#include "catalogue/SatzStore.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class SatzStoreTest : public ::testing::Test {
protected:
    int Add(int nArt, const QString& strMarke = {}, int nPreis = 0, int nKm = 0, int nKat = 0) {
        Satz& satz = m_store->m_satz[m_store->m_nSatzCount];
        satz.nArt = nArt;
        satz.strMarke = strMarke;
        satz.nPreis = nPreis;
        satz.nKm = nKm;
        satz.nKatID = nKat;
        return m_store->m_nSatzCount++;
    }
    bool Visible(int nSatz) const { return m_store->IsSatzVisible(nSatz); }

    CTempWorkDir m_dir;
    // The catalogue is large; the heap keeps it off the test's stack.
    std::unique_ptr<CSatzStore> m_store = std::make_unique<CSatzStore>();
};

TEST_F(SatzStoreTest, BrandFilterIsACaseSensitiveSubstring) {
    const int honda = Add(1, "HONDA");
    const int lower = Add(1, "Honda");
    const int piece = Add(1, "DA");
    const int none = Add(1, "");
    const int ktm = Add(1, "KTM");
    m_store->m_strMarkenOccAnzeigen = "HONDA,YAMAHA";
    EXPECT_TRUE(Visible(honda));
    EXPECT_FALSE(Visible(lower));
    EXPECT_TRUE(Visible(piece));
    EXPECT_TRUE(Visible(none)) << "the empty brand occurs in any filter";
    EXPECT_FALSE(Visible(ktm));
    m_store->m_strMarkenOccAnzeigen.clear();
    EXPECT_TRUE(Visible(ktm)) << "an empty filter passes every brand";

    const int neu = Add(2, "KTM");
    m_store->m_nAnzeige = 2;
    m_store->m_strMarkenOccAnzeigen = "HONDA";
    EXPECT_TRUE(Visible(neu)) << "new vehicles have their own brand filter";
    m_store->m_strMarkenNeuFzAnzeigen = "YAMAHA";
    EXPECT_FALSE(Visible(neu));
}

TEST_F(SatzStoreTest, RangesAreInclusiveAndZeroToZeroPassesAll) {
    const int free = Add(1, {}, 0, 0, 3);
    const int thousand = Add(1, {}, 1000, 1000, 5);
    const int dear = Add(1, {}, 5000, 20000, 5);
    EXPECT_TRUE(Visible(free) && Visible(thousand) && Visible(dear));

    m_store->m_nPreisVonOcc = m_store->m_nPreisBisOcc = 1000;
    EXPECT_FALSE(Visible(free));
    EXPECT_TRUE(Visible(thousand));
    EXPECT_FALSE(Visible(dear));
    m_store->m_nPreisVonOcc = 3000; // 3000 to 0: nothing passes
    m_store->m_nPreisBisOcc = 0;
    EXPECT_FALSE(Visible(free) || Visible(thousand) || Visible(dear));
    m_store->m_nPreisVonOcc = 5000;
    m_store->m_nPreisBisOcc = 9999999;
    EXPECT_TRUE(Visible(dear));
    m_store->m_nPreisVonOcc = m_store->m_nPreisBisOcc = 0;

    m_store->m_nKmVon = 0;
    m_store->m_nKmBis = 1000;
    EXPECT_TRUE(Visible(free) && Visible(thousand));
    EXPECT_FALSE(Visible(dear));
    m_store->m_nKmBis = 0;

    m_store->m_nKatIDOcc = 5;
    EXPECT_FALSE(Visible(free));
    EXPECT_TRUE(Visible(thousand));

    const int neu = Add(2, {}, 1000, 999999, 3);
    m_store->m_nAnzeige = 2;
    m_store->m_nKmVon = m_store->m_nKmBis = 1; // no mileage test for new vehicles
    EXPECT_TRUE(Visible(neu));
    m_store->m_nPreisVon = m_store->m_nPreisBis = 999;
    EXPECT_FALSE(Visible(neu));
    m_store->m_nPreisBis = 1000;
    m_store->m_nKatID = 4;
    EXPECT_FALSE(Visible(neu));
}

TEST_F(SatzStoreTest, AnzeigeChoosesTheKinds) {
    const int occ = Add(1);
    const int neu = Add(2);
    const int unknown = Add(0);
    const std::pair<int, std::pair<bool, bool>> cases[] = {
        {0, {true, false}}, {1, {false, true}}, {2, {true, true}}, {3, {false, false}}};
    for (const auto& [nAnzeige, expected] : cases) {
        m_store->m_nAnzeige = nAnzeige;
        EXPECT_EQ(Visible(occ), expected.first) << nAnzeige;
        EXPECT_EQ(Visible(neu), expected.second) << nAnzeige;
        EXPECT_FALSE(Visible(unknown));
    }
    EXPECT_FALSE(Visible(-1));
    EXPECT_FALSE(Visible(m_store->m_nSatzCount)) << "beyond the slides";
}

TEST_F(SatzStoreTest, GetNextSatzStepsAroundTheVisibleSlides) {
    m_store->GetNextSatz(+1);
    EXPECT_EQ(m_store->m_nCurrentSatz, -1) << "empty catalogue";

    for (int i = 0; i < 3; ++i)
        Add(1);
    m_store->m_nCurrentSatz = 0; // as after a load
    std::vector<int> shown;
    for (int i = 0; i < 4; ++i) {
        m_store->GetNextSatz(+1);
        shown.push_back(m_store->m_nCurrentSatz);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1}));
    m_store->m_nCurrentSatz = 0;
    m_store->GetNextSatz(-1);
    EXPECT_EQ(m_store->m_nCurrentSatz, 2) << "left of the first is the last";

    m_store->m_satz[0].strMarke = "KTM";
    m_store->m_satz[1].strMarke = m_store->m_satz[2].strMarke = "BMW";
    m_store->m_strMarkenOccAnzeigen = "KTM";
    for (int i = 0; i < 3; ++i) {
        m_store->GetNextSatz(+1);
        EXPECT_EQ(m_store->m_nCurrentSatz, 0) << "the only passing slide, again and again";
    }
    m_store->m_nCurrentSatz = 7; // left from a larger catalogue
    m_store->GetNextSatz(+1);
    EXPECT_EQ(m_store->m_nCurrentSatz, 0);
}

TEST_F(SatzStoreTest, GetNextSatzGivesUpWhenNothingPasses) {
    for (int i = 0; i < 1000; ++i)
        Add(1, "BMW");
    m_store->m_strMarkenOccAnzeigen = "KTM";
    m_store->GetNextSatz(+1);
    EXPECT_EQ(m_store->m_nCurrentSatz, -1);
    m_store->GetNextSatz(-1);
    EXPECT_EQ(m_store->m_nCurrentSatz, -1);

    m_store->m_satz[999].strMarke = "KTM";
    m_store->GetNextSatz(+1);
    EXPECT_EQ(m_store->m_nCurrentSatz, 999) << "from -1 the search goes on and finds it";
}

TEST(FormatThousands, OnlyTheLastThreeDigitsAreSetApart) {
    const std::pair<int, const char*> cases[] = {
        {0, "0"},        {-5, "-5"},        {999, "999"},        {1000, "1'000"},
        {1005, "1'005"}, {12500, "12'500"}, {100001, "100'001"}, {1234567, "1234'567"},
    };
    for (const auto& [nValue, text] : cases)
        EXPECT_EQ(CSatzStore::FormatThousands(nValue), QString::fromLatin1(text)) << nValue;
}

} // namespace
