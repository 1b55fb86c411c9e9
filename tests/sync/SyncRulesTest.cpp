#include "catalogue/CacheText.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "support/TempWorkDir.h"
#include "sync/NeuFzSync.h"
#include "sync/PortalConnection.h"
#include "sync/SafeCache.h"
#include "sync/UsedSync.h"

#include <QDir>
#include <climits>
#include <gtest/gtest.h>

namespace {

std::vector<SatzNrEntry> Parse(const QByteArray& list, int& nCount) {
    std::vector<SatzNrEntry> entries(kSatzNrListSize);
    nCount = ParseSatzNrList(cache::SplitLines(list), entries);
    return entries;
}

// The photo paths of every record the line store closes, in order.
std::vector<QByteArrayList> ClosedRecords(const QByteArrayList& lines) {
    CNeuFzSlots lineStore;
    std::vector<QByteArrayList> records;
    for (const QByteArray& line : lines)
        if (lineStore.Add(line)) {
            const auto paths = lineStore.PhotoPaths();
            records.emplace_back(paths.begin(), paths.end());
        }
    return records;
}

// A record of the new-vehicle list: "<neufz>", then nLines lines; its photo lines 22 to 26
// (as far as it reaches them) hold "<tag>/<n>.jpg".
QByteArrayList NeuFzRecord(const QByteArray& tag, int nLines) {
    QByteArrayList lines{"<neufz>"};
    for (int n = 1; n <= nLines; ++n)
        lines << (n >= 22 && n <= 26 ? tag + '/' + QByteArray::number(n) + ".jpg"
                                     : "line " + QByteArray::number(n));
    return lines;
}

QByteArrayList Paths(const QByteArray& tag) {
    QByteArrayList paths;
    for (int n = 22; n <= 26; ++n)
        paths << tag + '/' + QByteArray::number(n) + ".jpg";
    return paths;
}

} // namespace

TEST(SyncRules, OnlyNamesThatStayInsideACacheFolderAreSafe) {
    for (const QByteArray name : {"a.jpg", "x12345_1.jpg", "_standard_bilder_x_123.jpg", "a b.jpg",
                                  "\xE9t\xE9.jpg", "a.b.c"})
        EXPECT_TRUE(IsSafeCacheName(name)) << name.constData();
    for (const QByteArray name : {"", ".", "..", "../x.jpg", "a..b.jpg", "a/b.jpg", "/etc/passwd",
                                  "a\\b.jpg", "\\x.jpg", "C:x.jpg", "a.jpg:stream",
                                  "a\x01"
                                  "b.jpg",
                                  "a\tb.jpg", "x.jpg\r", "a\x7F.jpg"})
        EXPECT_FALSE(IsSafeCacheName(name)) << name.toHex().constData();
    EXPECT_FALSE(IsSafeCacheName(QByteArray("a\0b", 3)));
}

TEST(SyncRules, ACacheFileIsReplacedWholeOrNotAtAll) {
    CTempWorkDir work;
    ASSERT_TRUE(ReplaceCacheFile(QStringLiteral("Daten/a.txt"), "first version, longer"));
    ASSERT_TRUE(ReplaceCacheFile(QStringLiteral("Daten/a.txt"), "second"));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Daten/a.txt")), "second");

    // A name taken by a folder cannot be written: the folder stays, no temporary file is left.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Daten/b.txt")));
    EXPECT_FALSE(ReplaceCacheFile(QStringLiteral("Daten/b.txt"), "text"));
    EXPECT_TRUE(QFileInfo(QStringLiteral("Daten/b.txt")).isDir());
    EXPECT_FALSE(ReplaceCacheFile(QStringLiteral("Fehlt/c.txt"), "text"));
    EXPECT_EQ(QDir(QStringLiteral("Daten"))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
}

TEST(SyncRules, ErrorAnswersAreShortRefusalsAndEmptyTexts) {
    const QByteArray refusal = "FEHLER: Kundennummer oder Passwort falsch";
    EXPECT_TRUE(IsErrorAnswer(refusal));
    EXPECT_TRUE(IsErrorAnswer(QByteArray(99 - 6, 'x') + "FEHLER"));
    EXPECT_FALSE(IsErrorAnswer(QByteArray(100 - 6, 'x') + "FEHLER")) << "100 bytes are parsed";
    EXPECT_FALSE(IsErrorAnswer("fehler: lower case is no refusal"));
    EXPECT_FALSE(IsErrorAnswer("Adresse\n"));
    EXPECT_TRUE(IsErrorAnswer(""));
    // The text ends at its first zero byte: a refusal after it does not count, and an answer
    // of zero bytes is empty however long.
    EXPECT_FALSE(IsErrorAnswer(QByteArray("Adresse\n\0FEHLER", 15)));
    EXPECT_TRUE(IsErrorAnswer(QByteArray(150, '\0')));
}

TEST(SyncRules, ListLinesGiveNumberChangeTimeAndFivePhotoNames) {
    int nCount = 0;
    auto entries = Parse("Adresse\n"
                         "17;2024-05-01 10:00:00;a.jpg;b.jpg;c.jpg;d.jpg;e.jpg\n"
                         "  +18x;s;a;b;c;d;e;f;g\n"
                         "abc;s;only\n"
                         "\n"
                         "20;s;a;b;c;d;e.jpg\r\n"
                         "21;2024-05-02 11:00:00;;;;;last.jpg",
                         nCount);
    ASSERT_EQ(nCount, 5);
    EXPECT_EQ(entries[1].nSatzNr, 17);
    EXPECT_EQ(entries[1].strStand, "2024-05-01 10:00:00");
    EXPECT_EQ(entries[1].strBild,
              (std::array<QByteArray, 5>{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
    EXPECT_EQ(entries[2].nSatzNr, 18);
    EXPECT_EQ(entries[2].strBild[4], "e") << "fields after the seventh are ignored";
    EXPECT_EQ(entries[3].nSatzNr, 0);
    EXPECT_EQ(entries[3].strBild, (std::array<QByteArray, 5>{"only", "", "", "", ""}))
        << "missing fields are empty";
    EXPECT_EQ(entries[4].nSatzNr, 20) << "an empty line is record 0 again, left out";
    EXPECT_EQ(entries[4].strBild[4], "e.jpg") << "one carriage return at the end is no part";
    EXPECT_EQ(entries[5].strBild[4], "last.jpg") << "a last line without a line feed is whole";
}

TEST(SyncRules, APhotoBeginsLikeAPictureAndIsNoLargerThanTheLoaderTakes) {
    const QByteArray tail(2000, 'p');
    PortalAnswer photo;
    for (const auto& [start, failure] :
         {std::pair{"\xFF\xD8\xFF", SyncFailure::None},
          std::pair{"\x89PNG\r\n\x1A\n", SyncFailure::None}, std::pair{"GIF89a", SyncFailure::None},
          std::pair{"<html>", SyncFailure::ErrorAnswer},
          std::pair{"\x1F\x8B\x08", SyncFailure::ErrorAnswer},
          std::pair{"RIFF1234AVI ", SyncFailure::ErrorAnswer}}) {
        photo.body = start + tail;
        EXPECT_EQ(photo.PhotoFailure(), failure) << QByteArray(start).toHex().constData();
    }
    photo.body = "\xFF\xD8\xFF" + QByteArray(kMaxPictureFileSize - 3, 'p');
    EXPECT_EQ(photo.PhotoFailure(), SyncFailure::None);
    photo.body += 'p';
    EXPECT_EQ(photo.PhotoFailure(), SyncFailure::ErrorAnswer);
}

TEST(SyncRules, NeuFzListsAreHandledUpToAsManyRecordsAsTheCatalogueShows) {
    QByteArray list;
    for (int i = 0; i < kMaxSatz + 5; ++i)
        list += NeuFzRecord(QByteArray::number(i), 26).join('\n') + '\n';
    list += "<neufz>\n";
    int nRecords = 0;
    ForEachNeuFzRecord(list, [&nRecords](const CNeuFzSlots&) { ++nRecords; });
    EXPECT_EQ(nRecords, kMaxSatz);
    const QSet<QByteArray> names = NeuFzPhotoNames(list);
    EXPECT_EQ(names.size(), kMaxSatz * kBilderProSatz);
    EXPECT_TRUE(names.contains("999_22.jpg"));
    EXPECT_FALSE(names.contains("1000_22.jpg"));
}

TEST(SyncRules, ListsAreTakenWholeUpToTheCapacityOf999Records) {
    QByteArray list = "Adresse\n";
    for (int i = 2; i <= 1201; ++i)
        list += QByteArray::number(i) + ";2024-05-01 10:00:00;" + QByteArray(60, 'p') + ".jpg\n";
    ASSERT_GT(list.size(), 65536);
    int nCount = 0;
    const auto entries = Parse(list, nCount);
    EXPECT_EQ(nCount, kSatzNrListSize - 1);
    EXPECT_EQ(entries[999].nSatzNr, 1000);
    EXPECT_EQ(entries[999].strBild[0], QByteArray(60, 'p') + ".jpg");

    // Lines of 5000 characters or more are cut, not overrun.
    EXPECT_EQ(Parse("A\n7;" + QByteArray(6000, 's'), nCount)[1].strStand.size(),
              cache::kMaxLineLength - 2);
}

TEST(SyncRules, NeuFzRecordsAreTakenUpAtTheDelimiterThatFollowsThem) {
    const QByteArrayList a = NeuFzRecord("a", 26);
    const QByteArrayList b = NeuFzRecord("b", 26);
    EXPECT_EQ(ClosedRecords(a + b + QByteArrayList{"<neufz>"}),
              (std::vector<QByteArrayList>{Paths("a"), Paths("b")}));
    EXPECT_EQ(ClosedRecords(a + b), std::vector<QByteArrayList>{Paths("a")})
        << "lines after the last delimiter form no record";
    EXPECT_TRUE(ClosedRecords({"<neufz>"}).empty()) << "a first-line delimiter closes nothing";

    // Without a delimiter first, the first line of the file is line 0 of the first record.
    QByteArrayList headless = a.mid(1);
    headless.prepend("line 0");
    EXPECT_EQ(ClosedRecords(headless + QByteArrayList{"<neufz>"}),
              std::vector<QByteArrayList>{Paths("a")});
}

TEST(SyncRules, NeuFzSlotsKeepAnEarlierLongerRecordAndCutOverlongOnes) {
    // A record of 20 lines and its closing delimiter after one of 30 looks at the earlier
    // record's photo slots again; before any long record they are empty.
    const QByteArrayList closing{"<neufz>"};
    EXPECT_EQ(ClosedRecords(NeuFzRecord("a", 30) + NeuFzRecord("b", 20) + closing),
              (std::vector<QByteArrayList>{Paths("a"), Paths("a")}));
    EXPECT_EQ(ClosedRecords(NeuFzRecord("b", 20) + closing),
              std::vector<QByteArrayList>{QByteArrayList(5)});
    // One line more, and the closing delimiter itself lands in the first photo slot.
    QByteArrayList delimiterFirst = Paths("a");
    delimiterFirst[0] = "<neufz>";
    EXPECT_EQ(ClosedRecords(NeuFzRecord("a", 30) + NeuFzRecord("b", 21) + closing)[1],
              delimiterFirst);

    // 150 lines do not fit the 100 slots: the rest of the record is dropped, and the next
    // record is read as usual.
    EXPECT_EQ(ClosedRecords(NeuFzRecord("a", 150) + NeuFzRecord("b", 26) + closing),
              (std::vector<QByteArrayList>{Paths("a"), Paths("b")}));
    QByteArrayList overlong = NeuFzRecord("a", 150);
    overlong[122] = "b/22.jpg"; // would land in slot 22 only if slots wrapped
    EXPECT_EQ(ClosedRecords(overlong + closing), std::vector<QByteArrayList>{Paths("a")});
}

TEST(SyncRules, NeuFzPhotoPathsBecomeFlatLocalNames) {
    EXPECT_EQ(NeuFzPhotoName("/standard_bilder/x/123.jpg"), "_standard_bilder_x_123.jpg");
    EXPECT_TRUE(IsSafeCacheName(NeuFzPhotoName("/standard_bilder/x/123.jpg")));
    EXPECT_FALSE(IsSafeCacheName(NeuFzPhotoName("/standard_bilder/../../x.jpg")));
    EXPECT_FALSE(IsSafeCacheName(NeuFzPhotoName("/standard_bilder/a\\b.jpg")));
    EXPECT_FALSE(IsSafeCacheName(NeuFzPhotoName("http://elsewhere/x.jpg")));
    EXPECT_FALSE(IsSafeCacheName(NeuFzPhotoName("")));
}
