// `zelvora --status` on a working folder: healthy, stale, without a show or with a stalled one,
// from the folder's lock, the status file the show writes and the settings store.

#include "app/StatusCommand.h"
#include "app/ShowLock.h"
#include "show/HealthFiles.h"
#include "show/ViewConstants.h"
#include "support/TempWorkDir.h"
#include "sync/SyncStatus.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

constexpr std::time_t kNow = 1'800'000'000;

struct ShowOnFolder {
    bool bRuns = true;
    std::optional<int> usedSuccessAge = 3600; // seconds; none: never synced
    bool bShouldAdvance = true;
    int nSlideChangeAge = 3;
    int nWrittenAge = 10;
    bool bEarlierShowsFile = false; // the status file names another process
};

// Prepares the current working folder and the settings store as such a show leaves them.
std::unique_ptr<CShowLock> Prepare(const ShowOnFolder& show) {
    if (show.usedSuccessAge) {
        SyncOutcome outcome;
        outcome.time = kNow - *show.usedSuccessAge;
        outcome.bListed = true;
        WriteSyncOutcome(SyncKind::Used, outcome);
    }
    ShowFacts facts;
    facts.now = kNow - show.nWrittenAge;
    facts.nRecords = facts.nVisible = 87;
    facts.bSatzLoaded = true;
    facts.nPosition = 12;
    facts.bShouldAdvance = show.bShouldAdvance;
    facts.lastSlideChange = kNow - show.nSlideChangeAge;
    facts.paint = {900, 3.5, 11.25};
    QJsonObject json = StatusJson(facts);
    if (show.bEarlierShowsFile)
        json["pid"] = QCoreApplication::applicationPid() + 1;
    CTempWorkDir::WriteFile(QString::fromLatin1(view::kStatusFile), QJsonDocument(json).toJson());
    return show.bRuns ? std::make_unique<CShowLock>() : nullptr;
}

} // namespace

TEST(StatusCommand, HealthyOnlyWithARunningShowFreshDataAndAdvancingSlides) {
    struct Case {
        const char* szState;
        ShowOnFolder show;
        int nExit;
        const char* szReason; // the one reason given, or none
    };
    const Case cases[] = {
        {"healthy", {}, 0, nullptr},
        {"stopped on purpose", {.bShouldAdvance = false, .nSlideChangeAge = 7200}, 0, nullptr},
        {"old data", {.usedSuccessAge = 48 * 3600 + 1}, 1, "no successful used-vehicle sync"},
        {"never synced", {.usedSuccessAge = std::nullopt}, 1, "no successful used-vehicle sync"},
        {"not running", {.bRuns = false}, 1, "no show runs"},
        {"stalled", {.nSlideChangeAge = 5 * 60 + 1}, 1, "no slide change for 5 minutes"},
        {"frozen", {.bShouldAdvance = false, .nWrittenAge = 5 * 60 + 1}, 1, "not written"},
        {"just started", {.bEarlierShowsFile = true}, 1, "not written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szState);
        CTempWorkDir dir;
        const auto lock = Prepare(c.show);
        const StatusAnswer answer = StatusCommand({true, ""}, kNow);
        EXPECT_EQ(answer.nExit, c.nExit);
        EXPECT_TRUE(answer.strErr.empty());
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray::fromStdString(answer.strOut)).object();
        const QJsonArray stale = json["stale"].toArray();
        EXPECT_EQ(stale.size(), c.szReason ? 1 : 0) << answer.strOut;
        if (c.szReason && !stale.isEmpty()) {
            EXPECT_TRUE(stale[0].toString().contains(QString::fromLatin1(c.szReason)))
                << answer.strOut;
        }
        // The text says the same.
        const std::string text = StatusCommand({false, ""}, kNow).strOut;
        EXPECT_NE(text.find(c.nExit == 0 ? "State: healthy\n" : "State: stale: "),
                  std::string::npos)
            << text;
    }

    CTempWorkDir dir;
    const StatusAnswer missing = StatusCommand({false, "no such folder"}, kNow);
    EXPECT_EQ(missing.nExit, 2);
    EXPECT_EQ(missing.strErr, "zelvora: no folder no such folder\n");
}

TEST(StatusCommand, TheJsonNamesTheShowItsFactsAndTheSyncsOfTheSettingsStore) {
    CTempWorkDir dir;
    const auto lock = Prepare({});
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(StatusCommand({true, ""}, kNow).strOut))
            .object();
    const std::pair<const char*, QJsonValue> fields[] = {
        {"/show_running", true},
        {"/pid", QCoreApplication::applicationPid()},
        {"/healthy", true},
        {"/folder", dir.Path()},
        {"/syncs/used/last_success", qint64(kNow - 3600)},
        {"/syncs/new/last_attempt", 0},
        {"/status/slide/number", 12},
        {"/status/slide/count", 87},
        {"/status/slide/last_change", qint64(kNow - 3)},
        {"/status/show/should_advance", true},
        {"/status/paint_ms/median", 3.5},
        {"/status/paint_ms/longest", 11.25},
        {"/status/restarts_last_day", 0},
        {"/status/written", qint64(kNow - 10)},
    };
    for (const auto& [szPath, expected] : fields) {
        QJsonValue value = json;
        for (const QString& key : QString::fromLatin1(szPath).split(u'/', Qt::SkipEmptyParts))
            value = value.toObject()[key];
        EXPECT_EQ(value, expected) << szPath;
    }
}
