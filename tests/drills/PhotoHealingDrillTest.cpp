// A photo fails to come for a few runs (a bad answer, a cut body, a photo too large), long
// enough for its record to be stored without it. One honest run later every vehicle is back on
// screen; only a photo refused for its size waits for its record to change. Each sync books its
// own failures. A read-only Bilder/ is drilled with the other read-only folders.

#include "DrillFixture.h"
#include "catalogue/CatalogueLimits.h"
#include "sync/SyncConstants.h"

namespace {

enum class Bad { Fault, Oversized };

struct HealingRow {
    const char* name;
    Bad bad;
    const char* photo; // the portal path of the photo that fails
    const char* fault = "";
};

constexpr char kUsedPhoto[] = "kunden_occasionen/12/41_1b.jpg";
constexpr char kNewPhoto[] = "standard_bilder/aurex/501_1b.jpg";
constexpr char kNewPhotoOfNewVehicle[] = "standard_bilder/aurex/502_1.jpg";

const HealingRow kRows[] = {
    {"Status404", Bad::Fault, kUsedPhoto, "=status:404"},
    {"HtmlPage", Bad::Fault, kUsedPhoto,
     "=body:<html><body>Wartung%3A bitte sp%C3%A4ter</body></html>"},
    {"CutBodyWithoutLength", Bad::Fault, kUsedPhoto, "=cut-no-length"},
    {"UsedPhotoOver16MB", Bad::Oversized, kUsedPhoto},
    {"NewVehiclePhotoOver16MB", Bad::Oversized, kNewPhoto},
    {"NewVehiclePhoto404", Bad::Fault, kNewPhotoOfNewVehicle, "=status:404"},
};

class PhotoHealingDrill : public CDrillFixture, public ::testing::WithParamInterface<HealingRow> {
protected:
    int AskedFor(const char* photo) { return TakeRequests().filter(QLatin1String(photo)).size(); }
    // A decoder fills a cut photo up and calls it read: each photo must be the portal's own.
    void ExpectWholePhotos(const char* when) {
        for (const auto& [name, bytes] : Snapshot()) {
            if (name.startsWith(QLatin1String("Bilder/"))) {
                EXPECT_TRUE(m_good[name] == bytes || m_changed[name] == bytes)
                    << when << ": " << name.toStdString() << " is not the photo served";
            }
        }
    }
};

} // namespace

TEST_P(PhotoHealingDrill, OneHonestRunBringsEveryVehicleBack) {
    const HealingRow& row = GetParam();
    const QString photo = QString::fromLatin1(row.photo);
    const QByteArray served = CTempWorkDir::ReadFile(m_data.filePath(photo));
    if (row.bad == Bad::Fault)
        SetFault(QLatin1Char('/') + photo + QLatin1String(row.fault));
    if (row.bad == Bad::Oversized)
        WritePortalFile(photo, served + QByteArray(kMaxPictureFileSize, '\0'));
    // Long enough for a record whose photos do not come to be stored without them.
    for (int nRun = 0; nRun < portalsync::kMaxHeldBackRuns; ++nRun)
        SyncBoth();
    const int nBadRequests = AskedFor(row.photo);
    EXPECT_GE(nBadRequests, 1) << "the bad runs asked for the photo";
    ExpectWholePhotos("bad runs");
    if (photo == QLatin1String(kNewPhotoOfNewVehicle)) {
        // The used sync fetched the missing new-vehicle photo on its way, and did not book it.
        EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::None);
        EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).failure, SyncFailure::Status);
    }

    SetFault({});
    WritePortalFile(photo, served);
    if (row.bad == Bad::Oversized) {
        EXPECT_EQ(nBadRequests, 1) << "refused for its size: not asked again";
        SyncBoth();
        EXPECT_EQ(AskedFor(row.photo), 0) << "its record has not changed";
        if (photo == QLatin1String(kUsedPhoto))
            WriteVehicle(
                41, "2024-07-01 09:00:00", 7400,
                {QStringLiteral("41_1b"), QStringLiteral("41_2"), QStringLiteral("41_3b")});
        else
            WriteNeuFz(QStringLiteral("501"), QStringLiteral("AUREX"),
                       {QStringLiteral("aurex/501_1b"), QStringLiteral("aurex/501_2")},
                       QStringLiteral("rot gelb"));
    }
    SyncBoth();
    EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides));
    ExpectWholePhotos("honest run");
}

INSTANTIATE_TEST_SUITE_P(Drills, PhotoHealingDrill, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });
