// The show's health for those who watch it from elsewhere: the paint times it measures, the
// status file only its owner reads, and the metrics file node exporter's collector takes.

#include "show/HealthFiles.h"
#include "show/PaintTimes.h"
#include "show/ViewConstants.h"

#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

constexpr std::time_t kNow = 1'800'000'000;
constexpr qint64 kMs = 1'000'000; // nanoseconds

ShowFacts SampleFacts() {
    ShowFacts facts;
    facts.now = kNow;
    facts.used.time = kNow - 600;
    facts.used.successTime = kNow - 600;
    facts.neuFz.time = kNow - 900;
    facts.nRecords = 87;
    facts.nVisible = 80;
    facts.nPictures = 240;
    facts.bFolders = true;
    facts.daten = {87, 120'000};
    facts.bilder = {240, 52'000'000};
    facts.nFreeBytes = 9'000'000'000;
    facts.bShouldAdvance = true;
    facts.lastSlideChange = kNow - 2;
    facts.paint = {1200, 3.5, 11.25};
    facts.nRestarts = 1;
    return facts;
}

} // namespace

TEST(PaintTimes, MedianAndLongestOfTheLastHourWithinTheBound) {
    struct Case {
        const char* szName;
        std::vector<std::pair<qint64, qint64>> samples; // at ms, duration ns
        PaintFigures expected;
    };
    constexpr qint64 kHour = view::kPaintWindowMs;
    const Case cases[] = {
        {"none", {}, {0, 0, 0}},
        {"odd count", {{0, 3 * kMs}, {10, 1 * kMs}, {20, 8 * kMs}}, {3, 3, 8}},
        {"even count: the middles' mean", {{0, 2 * kMs}, {10, 4 * kMs}}, {2, 3, 4}},
        {"older than an hour left out",
         {{0, 90 * kMs}, {kHour + 10, 2 * kMs}, {kHour + 20, 4 * kMs}},
         {2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szName);
        CPaintTimes times;
        for (const auto& [nAt, nNs] : c.samples)
            times.Record(nAt, nNs);
        const PaintFigures figures = times.Figures(c.samples.empty() ? 0 : c.samples.back().first);
        EXPECT_EQ(figures.nCount, c.expected.nCount);
        EXPECT_DOUBLE_EQ(figures.dMedianMs, c.expected.dMedianMs);
        EXPECT_DOUBLE_EQ(figures.dLongestMs, c.expected.dLongestMs);
    }

    // Faster slides than the bound foresees keep the latest samples only.
    CPaintTimes times;
    for (size_t n = 0; n < view::kMaxPaintSamples + 10; ++n)
        times.Record(qint64(n), n < 10 ? 500 * kMs : kMs);
    EXPECT_EQ(times.Figures(qint64(view::kMaxPaintSamples)).nCount, int(view::kMaxPaintSamples));
    EXPECT_DOUBLE_EQ(times.Figures(qint64(view::kMaxPaintSamples)).dLongestMs, 1);
}

TEST(HealthFiles, MetricsPassPromtoolAndTellStaleness) {
    ShowFacts facts = SampleFacts();
    const QByteArray healthy = MetricsText(facts);
    for (const char* szLine :
         {"zelvora_sync_last_success_timestamp_seconds{kind=\"used\"} 1799999400\n",
          "zelvora_sync_last_success_timestamp_seconds{kind=\"new\"} 0\n",
          "zelvora_cache_bytes{folder=\"Bilder\"} 52000000\n",
          "zelvora_slide_change_paint_longest_seconds 0.01125\n", "zelvora_restarts_last_day 1\n",
          "zelvora_stale 0\n"})
        EXPECT_TRUE(healthy.contains(szLine)) << szLine << healthy.toStdString();
    facts.lastSlideChange = kNow - view::kNoSlideChangeSeconds - 1;
    EXPECT_TRUE(MetricsText(facts).contains("zelvora_stale 1\n"));

    const QString promtool = QStandardPaths::findExecutable(QStringLiteral("promtool"));
    if (promtool.isEmpty())
        GTEST_SKIP() << "promtool is missing (Debian package prometheus)";
    QProcess check;
    check.start(promtool, {QStringLiteral("check"), QStringLiteral("metrics")});
    ASSERT_TRUE(check.waitForStarted());
    check.write(healthy);
    check.closeWriteChannel();
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0)
        << check.readAll().toStdString() << check.readAllStandardError().toStdString();
}

TEST(HealthFiles, TheStatusFileIsTheOwnersAloneAndTheMetricsFileGoesWhereTheSettingSays) {
    CTempWorkDir dir;
    CHealthFiles files([] { return SampleFacts(); });
    const QString status = QString::fromLatin1(view::kStatusFile);
    // Also one a careless copy left readable by all.
    ASSERT_TRUE(QFile(status).open(QIODevice::WriteOnly));
    QFile(status).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);
    for (int nWrite = 0; nWrite < 2; ++nWrite) {
        files.Write();
        EXPECT_EQ(QFile(status).permissions() & 0x0777,
                  QFileDevice::ReadUser | QFileDevice::WriteUser);
    }
    const QJsonObject json = QJsonDocument::fromJson(CTempWorkDir::ReadFile(status)).object();
    EXPECT_EQ(json["slide"].toObject()["last_change"].toInteger(), kNow - 2);
    EXPECT_FALSE(QFile::exists(QStringLiteral("metrics.prom"))) << "none by default";

    WriteProfileString(setting::kSection, setting::kMetrikDatei,
                       dir.Path() + QStringLiteral("/metrics.prom"));
    files.Write();
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("metrics.prom")), MetricsText(SampleFacts()));
    EXPECT_TRUE(QFile(QStringLiteral("metrics.prom")).permissions() & QFileDevice::ReadOther)
        << "the exporter runs as another user";
}
