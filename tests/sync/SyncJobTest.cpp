#include "sync/SyncJob.h"
#include "SyncFixture.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/PortalSyncSteps.h"
#include "sync/SyncStatus.h"
#include "sync/UpdateScheduler.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <future>
#include <netdb.h>

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
    // The photo the portal lacks is asked for again by each used-vehicle sync.
    const QStringList missing{PhotoRequest(QStringLiteral("40104_3.jpg")),
                              PhotoRequest(QStringLiteral("0104_3.jpg"))};
    EXPECT_EQ(TakeRequests().join(u'\n').toStdString(),
              (QStringList{ListRequest()} + missing + QStringList{ListRequest()} + missing +
               QStringList{NeuFzListRequest(QStringLiteral("AUREX,BRAVO"))})
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

// The week counts from the last new-vehicle list that came, and only as the job found it: a
// refused list, or a value changed while the job ran (a settings change empties it), stays.
TEST_F(SyncJob, LastUpdateIsWrittenOnlyForAListThatCameAndOnlyOverWhatTheJobFound) {
    const QString old = QStringLiteral("2026-02-01 10:00:00");
    struct Case {
        const char* szFault;
        const char* szChangedTo; // written while the job runs; nullptr: left as it is
        bool bWritten;
    };
    const Case cases[] = {
        {"fn=1=delay:300", nullptr, true},
        {"fn=101=fehler", nullptr, false},
        {"fn=101=status:503", nullptr, false},
        {"fn=1=delay:300", "", false},
    };
    for (const Case& c : cases) {
        WriteProfileString(setting::kSection, setting::kLastUpdate, old);
        SetFault(QString::fromLatin1(c.szFault));
        CSyncJob job(Factory(), m_clock);
        ASSERT_TRUE(job.Start(SyncJobKind::Start, TakeSyncJobInput(m_store)));
        const QString expected = c.szChangedTo ? QString::fromLatin1(c.szChangedTo) : old;
        if (c.szChangedTo)
            WriteProfileString(setting::kSection, setting::kLastUpdate, expected);
        WaitWhileRunning(job, 20000);
        EXPECT_EQ(GetProfileString(setting::kSection, setting::kLastUpdate) != expected, c.bWritten)
            << c.szFault;
        TakeRequests();
    }
}

// A lookup that never answers: the cancel ends its wait at once, the job records nothing of
// what the cancel caused, and the next job may start.
TEST_F(SyncJob, ACancelEndsAHangingNameLookupAndTheJobRecordsNoOutcome) {
    auto gate = std::make_shared<std::promise<void>>();
    SyncOptions options;
    options.resolve = [open = gate->get_future().share()](const std::string&, in_addr&) {
        open.wait();
        return EAI_NONAME;
    };
    m_store.SetConnectionTarget("portal.test", m_portal.Port());
    CSyncJob job(Factory(), m_clock, options);
    ASSERT_TRUE(job.Start(SyncJobKind::Start, TakeSyncJobInput(m_store)));
    WaitWhileRunning(job, 300);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(job.CancelAndWait(1000));
    EXPECT_LT(elapsed.elapsed(), 500);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).time, 0) << "no lookup failure of its own making";
    EXPECT_TRUE(job.Start(SyncJobKind::Hourly, TakeSyncJobInput(m_store)));
    EXPECT_TRUE(job.CancelAndWait(1000));
    gate->set_value();
}

// A step that no cancel reaches leaves its job behind; no other job starts beside it.
TEST_F(SyncJob, NoJobStartsBesideOneLeftBehind) {
    struct CDeafSync final : IPortalSync {
        std::shared_future<void> open;
        void UpdatePictureList() override { open.wait(); }
        bool UpdateNeuFzPictureList() override { return false; }
    };
    std::promise<void> gate;
    CSyncJob job(
        [open = gate.get_future().share()](CSatzStore&, const SyncOptions&) {
            auto sync = std::make_unique<CDeafSync>();
            sync->open = open;
            return sync;
        },
        m_clock);
    ASSERT_TRUE(job.Start(SyncJobKind::Hourly, TakeSyncJobInput(m_store)));
    EXPECT_FALSE(job.CancelAndWait(100));
    EXPECT_FALSE(job.Start(SyncJobKind::Manual, TakeSyncJobInput(m_store)));
    gate.set_value();
    QElapsedTimer elapsed;
    elapsed.start();
    while (!job.Start(SyncJobKind::Manual, TakeSyncJobInput(m_store)) && elapsed.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_LT(elapsed.elapsed(), 5000) << "once it has ended, the next may start";
    EXPECT_TRUE(job.CancelAndWait(1000));
}

// The journal's line of each job: its fields in their order, the requests the portal saw, the
// bytes the syncs recorded, and the first failure with the sync that met it.
TEST_F(SyncJob, EachJobGivesOneJournalLineOfWhatItDid) {
    struct Case {
        const char* szFault;
        bool bStockChanged; // the portal has the photo it lacked and one vehicle less
        SyncJobKind kind;
        // %1: the requests the portal saw, %2: the bytes the syncs recorded.
        const char* szLine;
    };
    const Case cases[] = {
        // Both lists refused: the rule's query also matches the new-vehicle list's.
        {"fn=1=status:503", false, SyncJobKind::Start,
         "job start failed requests=%1 bytes=%2 seconds=S records=0 removed=0 photos=0 "
         "failure=Occasion:status-503"},
        // The missing photo fails first, the new-vehicle list is what counts.
        {"fn=101=fehler", false, SyncJobKind::Hourly,
         "job hourly failed requests=%1 bytes=%2 seconds=S records=6 removed=0 photos=17 "
         "failure=Neufahrzeug:error-answer"},
        {"", false, SyncJobKind::Hourly,
         "job hourly partial requests=%1 bytes=%2 seconds=S records=0 removed=0 photos=2 "
         "failure=Occasion:status-404"},
        {"", true, SyncJobKind::Hourly,
         "job hourly ok requests=%1 bytes=%2 seconds=S records=0 removed=1 photos=1"},
    };
    const QRegularExpression seconds(QStringLiteral("seconds=[0-9]+\\.[0-9] "));
    for (const Case& c : cases) {
        SetFault(QString::fromLatin1(c.szFault));
        if (c.bStockChanged) {
            WriteOccasionPhoto(QStringLiteral("40104_3.jpg"), Photo(99));
            RemoveOccasion(40106);
        }
        QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora"))
            .remove(QStringLiteral("Status"));
        CSyncJob job(Factory(), m_clock);
        QString line = JobJournalLine(RunJob(job, c.kind));
        const qint64 nBytes =
            ReadSyncOutcome(SyncKind::Used).nBytes + ReadSyncOutcome(SyncKind::NeuFz).nBytes;
        EXPECT_EQ(
            line.replace(seconds, QStringLiteral("seconds=S ")).toStdString(),
            QString::fromLatin1(c.szLine).arg(TakeRequests().size()).arg(nBytes).toStdString())
            << c.szFault;
    }

    SyncJobResult cancelled;
    cancelled.kind = SyncJobKind::Manual;
    cancelled.bCancelled = true;
    cancelled.nDurationMs = 30049;
    EXPECT_EQ(JobJournalLine(cancelled),
              "job manual cancelled requests=0 bytes=0 seconds=30.0 records=0 removed=0 photos=0");
    EXPECT_TRUE(JobJournalLine(cancelled, true).startsWith("job manual abandoned "));
}
