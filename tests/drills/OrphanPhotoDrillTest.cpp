// A dealer renames a vehicle's main photo every day: the old files must not pile up in
// Bilder/. A photo no cache file names goes a week after it was first seen unnamed, at the end
// of a job whose lists came through, and never after a job whose list failed.

#include "DrillFixture.h"
#include "sync/PortalSyncSteps.h"
#include "sync/SyncConstants.h"

#include <QDir>
#include <QSet>

namespace {

constexpr std::time_t kDay = 24 * 60 * 60;

class OrphanPhotoDrill : public CDrillFixture {
protected:
    void RunJob() {
        CPortalSync sync(m_store, m_options, m_clock);
        sync.UpdatePictureList();
        sync.UpdateNeuFzPictureList();
        sync.FinishJob();
    }
    static QSet<QString> Photos() {
        const QStringList files = QDir(QStringLiteral("Bilder")).entryList(QDir::Files);
        return {files.begin(), files.end()};
    }
    static QSet<QString> ShownPhotos() {
        QSet<QString> shown;
        for (const QString& slide : Slides())
            for (const QString& field : slide.split(u'|').mid(2))
                shown.insert(field.section(u'/', 1));
        return shown;
    }
};

} // namespace

TEST_F(OrphanPhotoDrill, UnnamedPhotosGoAWeekAfterTheyWereFirstSeenUnnamed) {
    CTempWorkDir::WriteFile(QStringLiteral("Bilder/41_1.jpg.Xq3ZbT"), "left by a killed save");
    const std::time_t t0 = m_clock.m_now;
    constexpr int kRenames = 14;
    for (int nDay = 0; nDay < kRenames; ++nDay) {
        SCOPED_TRACE(nDay);
        m_clock.m_now = t0 + nDay * kDay;
        const QByteArray stand =
            QStringLiteral("2024-07-%1 10:00:00").arg(nDay + 1, 2, 10, QLatin1Char('0')).toLatin1();
        WriteVehicle(40, stand.constData(), 8500,
                     {QStringLiteral("40_1_%1").arg(nDay), QStringLiteral("40_2")});
        RunJob();
        // The named photos, and at most one renamed photo a day for a week, the first day's
        // orphans from the changed portal and the leftover included.
        const QSet<QString> orphans = Photos() - ShownPhotos();
        EXPECT_LE(orphans.size(), nDay < 7 ? nDay + 5 : 7);
        EXPECT_EQ(orphans.contains(QStringLiteral("41_1.jpg")), nDay < 7);
    }

    // A job whose record list failed deletes nothing, however long the photos were unnamed.
    const QSet<QString> before = Photos();
    m_clock.m_now = t0 + (kRenames + 7) * kDay;
    SetFault(QStringLiteral("fn=1&=status:503"));
    RunJob();
    EXPECT_EQ(Photos(), before);

    SetFault({});
    RunJob();
    EXPECT_EQ(Photos(), ShownPhotos());
    EXPECT_EQ(Slides().size(), m_changedSlides.size());
}
