#include "sync/SyncJob.h"
#include "SyncFixture.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/PortalSyncSteps.h"
#include "sync/UpdateScheduler.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>

namespace {

// A first sync's stock: records with every photo, one photo kept only under the shorter name,
// one missing photo, and two new vehicles.
class SyncJob : public CSyncFixture {
protected:
    SyncJob() { WriteStock(); }

    void WriteStock() {
        int nSeed = 0;
        for (int nSatzNr = 40101; nSatzNr <= 40106; ++nSatzNr) {
            QStringList bilder;
            for (int k = 1; k <= 3; ++k)
                bilder << QStringLiteral("%1_%2").arg(nSatzNr).arg(k);
            WriteOccasion(nSatzNr, QStringLiteral("2024-05-01 10:00:00"), bilder);
            for (const QString& bild : bilder)
                if (bild != QLatin1String("40104_3"))
                    WriteOccasionPhoto(bild + QStringLiteral(".jpg"), Photo(++nSeed));
        }
        WriteNeuFz(QStringLiteral("5001"), QStringLiteral("AUREX"), {QStringLiteral("a/1")});
        WriteNeuFz(QStringLiteral("5002"), QStringLiteral("BRAVO"), {QStringLiteral("b/2")});
        WriteNeuFzPhoto(QStringLiteral("a/1.jpg"), Photo(++nSeed));
        WriteNeuFzPhoto(QStringLiteral("b/2.jpg"), Photo(++nSeed));
        WriteProfileString(setting::kSection, setting::kMarken, QStringLiteral("AUREX,BRAVO"));
    }

    CSyncJob::SyncFactory Factory() {
        return [this](CSatzStore& store, const SyncOptions& options) {
            SyncOptions shortened = options;
            shortened.nRequestTimeout = m_options.nRequestTimeout;
            shortened.nNeuFzListTimeout = m_options.nNeuFzListTimeout;
            return std::make_unique<CPortalSync>(store, shortened, m_clock);
        };
    }

    // Runs a job to its end as the event loop would; its result.
    SyncJobResult RunJob(CSyncJob& job, SyncJobKind kind) {
        SyncJobResult result;
        QObject::connect(&job, &CSyncJob::Finished, [&](const SyncJobResult& r) { result = r; });
        EXPECT_TRUE(job.Start(kind, TakeSyncJobInput(m_store)));
        WaitWhileRunning(job, 20000);
        return result;
    }
    static void WaitWhileRunning(const CSyncJob& job, int nMilliseconds) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (job.IsRunning() && elapsed.elapsed() < nMilliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

QStringList ReferenceRequests() {
    QFile file(QStringLiteral(ZELVORA_SYNC_TEST_DATA "/first-sync-requests.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("reference log missing")};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Every photo in Bilder/ decodes and no temporary file is left beside the cache files.
void ExpectWholeFiles() {
    QDirIterator it(QStringLiteral("."), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        EXPECT_TRUE(path.endsWith(QLatin1String(".txt")) || path.endsWith(QLatin1String(".jpg")))
            << path.toStdString();
        if (path.startsWith(QLatin1String("./Bilder/"))) {
            EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
        }
    }
}

} // namespace

// The reference was recorded from the sync as it ran on the user-interface thread.
TEST_F(SyncJob, FirstSyncSendsTheRecordedRequestsAndWritesWhatTheBlockingSyncWrote) {
    CSyncJob job(Factory(), m_clock);
    const SyncJobResult result = RunJob(job, SyncJobKind::Start);
    EXPECT_EQ(TakeRequests(), ReferenceRequests());
    EXPECT_FALSE(result.bCancelled);
    EXPECT_EQ(result.nSatzNrCount, 6);
    EXPECT_EQ(result.satzNrList[1].nSatzNr, 40101);
    EXPECT_EQ(result.strAdresse, QStringLiteral("Motos Muster AG, Z\u00FCrich"));
    EXPECT_EQ(result.nKundenNr, kKundenNr);
    EXPECT_EQ(result.progress.nListed, 6);
    EXPECT_EQ(result.progress.nRecords, 6);
    EXPECT_EQ(result.progress.nPhotos, 17 + 2);
    EXPECT_GT(result.progress.nBytes, 19 * 1000);
    EXPECT_EQ(job.LastDurationMs(), result.nDurationMs);
    EXPECT_FALSE(GetProfileString(setting::kSection, setting::kLastUpdate).isEmpty());
    const auto jobFiles = Snapshot();

    CTempWorkDir blocking;
    SaveCredentials(QString::number(kKundenNr), QString::fromLatin1(kPasswort));
    WriteProfileString(setting::kSection, setting::kMarken, QStringLiteral("AUREX,BRAVO"));
    CPortalSync sync(m_store, m_options, m_clock);
    sync.UpdatePictureList();
    CUpdateScheduler(m_store, sync, m_clock).WeeklyNeuFzUpdateCheck();
    EXPECT_EQ(TakeRequests(), ReferenceRequests());
    EXPECT_EQ(Snapshot(), jobFiles);
}

TEST_F(SyncJob, OneAtATimeWithCopiesTakenAtItsStartAndTheManualStepsLast) {
    SetFault(QStringLiteral("fn=1=delay:300"));
    CSyncJob job(Factory(), m_clock);
    ASSERT_TRUE(job.Start(SyncJobKind::Start, TakeSyncJobInput(m_store)));
    EXPECT_FALSE(job.Start(SyncJobKind::Hourly, TakeSyncJobInput(m_store)));
    // Changed while the job runs: the next job uses it, this one never does.
    SaveCredentials(QStringLiteral("99"), QStringLiteral("anders"));
    m_store.SetConnectionTarget("127.0.0.1", 1);
    WaitWhileRunning(job, 20000);
    const QStringList requests = TakeRequests();
    EXPECT_EQ(requests, ReferenceRequests());

    SetFault(QString());
    SaveCredentials(QString::number(kKundenNr), QString::fromLatin1(kPasswort));
    m_store.SetConnectionTarget("127.0.0.1", m_portal.Port());
    RunJob(job, SyncJobKind::Manual);
    EXPECT_EQ(
        TakeRequests().join(u'\n').toStdString(),
        QStringList({ListRequest(), ListRequest(), NeuFzListRequest(QStringLiteral("AUREX,BRAVO"))})
            .join(u'\n')
            .toStdString())
        << "the weekly check is not due; the manual steps run both syncs again";
    EXPECT_EQ(job.Progress().eSync, SyncKind::NeuFz) << "the step that ran last";
}

TEST_F(SyncJob, ACancelEndsTheJobWithinASecondLeavingWholeFilesAndTheWeekDue) {
    SetFault(QStringLiteral("/kunden_occasionen/=delay:5000"));
    CSyncJob job(Factory(), m_clock);
    ASSERT_TRUE(job.Start(SyncJobKind::Start, TakeSyncJobInput(m_store)));
    QElapsedTimer elapsed;
    elapsed.start();
    // The list, a record, and the first photo, whose answer is held back.
    while (m_portal.Requests().size() < 3 && elapsed.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(job.Progress().nListed, 6);
    EXPECT_EQ(job.Progress().eSync, SyncKind::Used);

    elapsed.restart();
    EXPECT_TRUE(job.CancelAndWait(1000));
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_FALSE(job.IsRunning());
    EXPECT_EQ(TakeRequests().size(), 3) << "the list, a record, and the photo that was cut off";
    ExpectWholeFiles();
    EXPECT_TRUE(GetProfileString(setting::kSection, setting::kLastUpdate).isEmpty())
        << "the new-vehicle sync it never ran stays due";
}

TEST_F(SyncJob, AJobOverItsTimeGivesUpAndTheNextStartsAfresh) {
    SetFault(QStringLiteral("/kunden_occasionen/=delay:5000"));
    SyncOptions options;
    options.nMaxJobTime = 300;
    CSyncJob job(Factory(), m_clock, options);
    QElapsedTimer elapsed;
    elapsed.start();
    const SyncJobResult result = RunJob(job, SyncJobKind::Start);
    EXPECT_LT(elapsed.elapsed(), 1300) << "the held-back photo would keep it 5 s";
    EXPECT_TRUE(result.bCancelled);
    EXPECT_FALSE(result.catalogue);
    ExpectWholeFiles();
    EXPECT_TRUE(GetProfileString(setting::kSection, setting::kLastUpdate).isEmpty());

    EXPECT_FALSE(job.IsRunning());
    EXPECT_TRUE(job.Start(SyncJobKind::Hourly, TakeSyncJobInput(m_store)))
        << "the next tick starts a fresh job";
    EXPECT_TRUE(job.CancelAndWait(1000));
}
