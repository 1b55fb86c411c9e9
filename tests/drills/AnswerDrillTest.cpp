// Answers that look like the portal's and are not: texts in place of the record list, lists cut
// short, and answers whose HTTP framing is unusual or broken. Nothing cached may be lost, and
// what the client can read must show as the portal meant it.

#include "DrillFixture.h"

#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"

#include <QDir>

namespace {

// An answer that is no list is refused whole; one that is gets the cache to the new state.
enum class Outcome { Refused, Taken, TakenFromAFreshCache };

struct ListCase {
    const char* name;
    const char* rule;
    Outcome outcome;
};

// The good cache holds records 40 to 43; the portal now lists 40, 41, 43 and 44.
constexpr ListCase kListCases[] = {
    {"OneLineText", "fn=1&=body:Service Unavailable", Outcome::Refused},
    {"LongFehlerText",
     "fn=1&=body:FEHLER: Die Datenbank ist zurzeit nicht erreichbar. Bitte versuchen Sie es in "
     "einigen Minuten noch einmal.%0A",
     Outcome::Refused},
    {"HtmlPage", "fn=1&=body: <html><body><h1>503 Service Unavailable</h1></body></html>%0A",
     Outcome::Refused},
    {"ListCutShortThatDropsMostRecords",
     "fn=1&=body:Motos Muster AG%0A43;2024-05-01 10:00:00;43_1.jpg;43_2.jpg;;;", Outcome::Refused},
    {"WholeListThatDropsMostRecords",
     "fn=1&=body:Motos Muster AG%0A43;2024-05-01 10:00:00;43_1.jpg;43_2.jpg;;;%0A", Outcome::Taken},
    {"CrLf", "zelvora.php=crlf", Outcome::TakenFromAFreshCache},
};

class ListAnswerDrill : public CDrillFixture, public ::testing::WithParamInterface<ListCase> {};

int RecordFiles() {
    return int(QDir(QStringLiteral("Daten")).entryList({QStringLiteral("satz_*.txt")}).size());
}

} // namespace

TEST_P(ListAnswerDrill, OnlyAListOfTheListsShapeChangesTheCache) {
    const ListCase& c = GetParam();
    const QString adresse = GetProfileString(setting::kSection, setting::kAdresse);
    ASSERT_FALSE(adresse.isEmpty());
    SetFault(QString::fromUtf8(c.rule));
    switch (c.outcome) {
    case Outcome::Refused:
        SyncUsed();
        EXPECT_EQ(CacheDifferences(Snapshot(), m_good), "");
        EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), adresse);
        EXPECT_EQ(m_store.m_strAdresse, adresse);
        EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::ErrorAnswer);
        break;
    case Outcome::Taken:
        SyncUsed();
        EXPECT_EQ(RecordFiles(), 1);
        EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), "Motos Muster AG");
        // The photos the good cache kept under their old names went with their records.
        SetFault({});
        SyncBoth();
        EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides));
        return;
    case Outcome::TakenFromAFreshCache:
        for (const auto& [name, bytes] : m_good)
            QFile::remove(name);
        SyncBoth();
        EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides));
        EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), adresse);
        // Its record files keep their CR LF: the cache cannot end as the LF sync leaves it.
        return;
    }
    ExpectCompletedAfterSync(QString::fromLatin1(c.name));
}

INSTANTIATE_TEST_SUITE_P(Drills, ListAnswerDrill, ::testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct FramingCase {
    const char* name;
    const char* rule;
    SyncFailure failure; // of the used-vehicle sync; None: both syncs complete
};

constexpr FramingCase kFramingCases[] = {
    {"CapitalCChunkedList", "fn=101&=chunked:Chunked", SyncFailure::None},
    {"HeaderLineOf3000Bytes", "=long-header:3000", SyncFailure::None},
    {"HeaderLineOver8KB", "=long-header:9000", SyncFailure::HeaderTooLong},
    {"TwoContentLengthsOfAPhoto", "/44_2.jpg=two-lengths", SyncFailure::Connect},
};

class FramingDrill : public CDrillFixture, public ::testing::WithParamInterface<FramingCase> {};

} // namespace

TEST_P(FramingDrill, AnswersAreReadWholeOrRefused) {
    const FramingCase& c = GetParam();
    const QString name = QString::fromLatin1(c.name);
    SetFault(QString::fromLatin1(c.rule));
    SyncBoth();
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, c.failure);
    if (c.failure == SyncFailure::None) {
        EXPECT_EQ(CacheDifferences(Snapshot(), m_changed), "");
        EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides));
        return;
    }
    ExpectLastGoodCache(name);
    ExpectCompletedAfterSync(name);
}

INSTANTIATE_TEST_SUITE_P(Drills, FramingDrill, ::testing::ValuesIn(kFramingCases),
                         [](const auto& info) { return std::string(info.param.name); });
