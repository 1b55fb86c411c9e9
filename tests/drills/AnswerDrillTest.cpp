// Answers to the list request that look like the portal's list and are not: texts in its place
// and lists cut short delete nothing; CR LF line ends show as line feeds do.

#include "DrillFixture.h"

#include "settings/Profile.h"
#include "settings/SettingNames.h"

#include <QFile>

namespace {

struct ListCase {
    const char* name;
    const char* rule;
    bool bRefused; // else a fresh cache synced with it shows what the portal meant
};

// The good cache holds records 40 to 43; the portal now lists 40, 41, 43 and 44.
constexpr ListCase kListCases[] = {
    {"OneLineText", "fn=1&=body:Service Unavailable", true},
    {"HtmlPage", "fn=1&=body: <html><body><h1>503 Service Unavailable</h1></body></html>%0A", true},
    {"ListCutShortThatDropsMostRecords",
     "fn=1&=body:Motos Muster AG%0A43;2024-05-01 10:00:00;43_1.jpg;43_2.jpg;;;", true},
    {"CrLf", "zelvora.php=crlf", false},
};

class ListAnswerDrill : public CDrillFixture, public ::testing::WithParamInterface<ListCase> {};

} // namespace

TEST_P(ListAnswerDrill, OnlyAListOfTheListsShapeChangesTheCache) {
    const ListCase& c = GetParam();
    const QString adresse = GetProfileString(setting::kSection, setting::kAdresse);
    ASSERT_FALSE(adresse.isEmpty());
    SetFault(QString::fromUtf8(c.rule));
    if (!c.bRefused) {
        for (const auto& [name, bytes] : m_good)
            QFile::remove(name);
        SyncBoth();
        EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides));
        EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), adresse);
        return;
    }
    SyncUsed();
    EXPECT_EQ(CacheDifferences(Snapshot(), m_good), "");
    EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), adresse);
    EXPECT_EQ(m_store.m_strAdresse, adresse);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::ErrorAnswer);
    ExpectCompletedAfterSync(QString::fromLatin1(c.name));
}

INSTANTIATE_TEST_SUITE_P(Drills, ListAnswerDrill, ::testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.name); });
