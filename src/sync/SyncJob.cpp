#include "sync/SyncJob.h"

#include "net/CancelToken.h"
#include "settings/Journal.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "sync/PortalSync.h"
#include "sync/SyncConstants.h"
#include "sync/UpdateScheduler.h"

#include <QThread>
#include <array>
#include <mutex>
#include <optional>

// Where the worker reports to. The owner leaves it when it gives up waiting for a job, so a
// job that ends later reports to nobody.
struct CSyncJob::Channel {
    std::mutex mutex;
    CSyncJob* pJob = nullptr;
    std::optional<SyncJobResult> result;
    SyncProgress latest;

    // The counts go through the mutex, not through the event: a sanitizer sees the one. The
    // call by name carries nothing of the program's memory, only the wake-up.
    void PostProgress(const SyncProgress& progress) {
        const std::lock_guard lock(mutex);
        latest = progress;
        if (pJob)
            QMetaObject::invokeMethod(pJob, "TakeProgress", Qt::QueuedConnection);
    }
    SyncProgress Latest() {
        const std::lock_guard lock(mutex);
        return latest;
    }
    void KeepResult(SyncJobResult r) {
        const std::lock_guard lock(mutex);
        result = std::move(r);
    }
    std::optional<SyncJobResult> TakeResult() {
        const std::lock_guard lock(mutex);
        return std::exchange(result, std::nullopt);
    }
};

namespace {

void Count(SyncProgress& progress, SyncStep step, qint64 nCount) {
    switch (step) {
    case SyncStep::UsedBegins:
        progress.eSync = SyncKind::Used;
        break;
    case SyncStep::NeuFzBegins:
        progress.eSync = SyncKind::NeuFz;
        break;
    case SyncStep::Listed:
        progress.nListed = static_cast<int>(nCount);
        break;
    case SyncStep::Record:
        progress.nRecords += static_cast<int>(nCount);
        break;
    case SyncStep::Photo:
        progress.nPhotos += static_cast<int>(nCount);
        break;
    case SyncStep::RecordRemoved:
        progress.nRemoved += static_cast<int>(nCount);
        break;
    case SyncStep::Request:
        progress.nRequests += static_cast<int>(nCount);
        break;
    case SyncStep::Bytes:
        progress.nBytes += nCount;
        break;
    }
}

constexpr std::array<const char*, 3> kJobKindNames{"start", "hourly", "manual"};

} // namespace

QString JobJournalLine(const SyncJobResult& result, bool bAbandoned) {
    const char* szOutcome = bAbandoned                    ? "abandoned"
                            : result.bCancelled           ? "cancelled"
                            : !result.failure             ? "ok"
                            : result.failure->bListFailed ? "failed"
                                                          : "partial";
    const SyncProgress& p = result.progress;
    QString line =
        QStringLiteral("job %1 %2 requests=%3 bytes=%4 seconds=%5 records=%6 removed=%7 photos=%8")
            .arg(QLatin1String(kJobKindNames.at(static_cast<size_t>(result.kind))),
                 QLatin1String(szOutcome))
            .arg(p.nRequests)
            .arg(p.nBytes)
            .arg(static_cast<double>(result.nDurationMs) / 1000.0, 0, 'f', 1)
            .arg(p.nRecords)
            .arg(p.nRemoved)
            .arg(p.nPhotos);
    if (const auto& f = result.failure) {
        // The record's names, with a dash for their space: one field, however it failed.
        QString reason = QString::fromLatin1(FailureName(f->failure)).replace(u' ', u'-');
        if (f->failure == SyncFailure::Status)
            reason += QStringLiteral("-%1").arg(f->nStatusCode);
        line += QStringLiteral(" failure=%1:%2")
                    .arg(f->eSync == SyncKind::Used ? QStringLiteral("Occasion")
                                                    : QStringLiteral("Neufahrzeug"),
                         reason);
    }
    return line;
}

SyncJobInput TakeSyncJobInput(const CSatzStore& store) {
    SyncJobInput input;
    input.server = QByteArray(store.m_szServer.data());
    input.nServerPort = store.m_nServerPort;
    input.nSprache = store.m_nSprache;
    input.nResMode = store.m_nResMode;
    input.credentials = LoadCredentialBytes();
    input.marken = GetProfileString(setting::kSection, setting::kMarken);
    input.strAdresse = GetProfileString(setting::kSection, setting::kAdresse);
    input.lastUpdate = GetProfileString(setting::kSection, setting::kLastUpdate);
    return input;
}

void RunSyncSteps(SyncJobKind kind, CSatzStore& store, IPortalSync& sync, const IClock& clock,
                  const CCancelToken& cancel, const std::optional<QString>& lastUpdate) {
    CUpdateScheduler scheduler(store, sync, clock, &cancel);
    if (lastUpdate)
        scheduler.GuardLastUpdate(*lastUpdate);
    sync.UpdatePictureList();
    scheduler.WeeklyNeuFzUpdateCheck();
    if (kind != SyncJobKind::Manual)
        return;
    sync.UpdatePictureList();
    if (sync.UpdateNeuFzPictureList() && !cancel.IsCancelled())
        scheduler.SetLastUpdate();
}

CSyncJob::CSyncJob(SyncFactory makeSync, const IClock& clock, SyncOptions options, QObject* parent)
    : QObject(parent), m_makeSync(std::move(makeSync)), m_clock(clock),
      m_options(std::move(options)) {
    m_giveUp.setSingleShot(true);
    m_giveUp.setInterval(m_options.nMaxJobTime);
    connect(&m_giveUp, &QTimer::timeout, this, [this] {
        Trace(QStringLiteral("Sync-Job abgebrochen: zu lange"));
        Cancel();
    });
}

CSyncJob::~CSyncJob() {
    CancelAndWait(portalsync::kCancelWait);
    if (m_pLeftBehind && m_pLeftBehind->wait(portalsync::kCancelWait))
        delete m_pLeftBehind.data();
}

bool CSyncJob::Start(SyncJobKind kind, SyncJobInput input) {
    if (IsRunning() || (m_pLeftBehind && !m_pLeftBehind->isFinished())) {
        Trace(QStringLiteral("Sync-Job läuft noch, kein zweiter"));
        return false;
    }
    m_kind = kind;
    m_progress = {};
    m_elapsed.start();
    m_pCancel = std::make_shared<CCancelToken>();
    m_pChannel = std::make_shared<Channel>();
    m_pChannel->pJob = this;
    m_pThread = QThread::create([makeSync = m_makeSync, &clock = m_clock, options = m_options, kind,
                                 input = std::move(input), cancel = m_pCancel,
                                 channel = m_pChannel]() mutable {
        QElapsedTimer elapsed;
        elapsed.start();
        auto pStore = std::make_shared<CSatzStore>();
        CSatzStore& store = *pStore;
        store.SetConnectionTarget(input.server, input.nServerPort);
        store.m_strAdresse = input.strAdresse;
        store.m_nSprache = input.nSprache;
        store.m_nResMode = input.nResMode;
        SyncProgress progress;
        options.pCancel = cancel.get();
        options.credentials = std::move(input.credentials);
        options.marken = std::move(input.marken);
        options.onProgress = [&](SyncStep step, qint64 nCount) {
            Count(progress, step, nCount);
            channel->PostProgress(progress);
        };
        std::optional<SyncJobFailure> failure;
        options.onOutcome = [&failure](SyncKind eSync, const SyncOutcome& outcome) {
            const bool bListFailed = !outcome.bListed && !outcome.bPhotosOnly;
            if (outcome.failure != SyncFailure::None &&
                (!failure || (bListFailed && !failure->bListFailed)))
                failure = SyncJobFailure{eSync, outcome.failure, outcome.nStatusCode, bListFailed};
        };
        const std::unique_ptr<IPortalSync> sync = makeSync(store, options);
        RunSyncSteps(kind, store, *sync, clock, *cancel, input.lastUpdate);
        if (!cancel->IsCancelled())
            sync->FinishJob();
        // Loaded here, so the show takes the new catalogue over without a pause.
        const bool bLoad = !cancel->IsCancelled() && kind != SyncJobKind::Manual;
        if (bLoad) {
            store.LadeBilderUndDaten();
            store.LadeNeuFzDatenUndBilder();
        }

        SyncJobResult result;
        result.kind = kind;
        result.bCancelled = cancel->IsCancelled();
        result.strAdresse = store.m_strAdresse;
        result.nSatzNrCount = store.m_nSatzNrCount;
        result.satzNrList = std::move(store.m_satzNrList);
        result.strKundenNr = store.m_strKundenNr;
        result.nKundenNr = store.m_nKundenNr;
        result.strPasswordDigest = store.m_strPasswordDigest;
        if (bLoad)
            result.catalogue = std::move(pStore);
        result.progress = progress;
        result.failure = failure;
        result.nDurationMs = elapsed.elapsed();
        channel->KeepResult(std::move(result));
    });
    // Queued: the thread object lives here, the signal comes from the worker.
    connect(m_pThread, &QThread::finished, this, [this] {
        if (!m_pThread || !m_pThread->isFinished())
            return;
        const std::optional<SyncJobResult> result = m_pChannel->TakeResult();
        m_pThread->wait();
        delete std::exchange(m_pThread, nullptr);
        m_giveUp.stop();
        if (result) {
            m_nLastDurationMs = result->nDurationMs;
            Journal(JobJournalLine(*result));
            emit Finished(*result);
        }
    });
    m_giveUp.start();
    m_pThread->start();
    return true;
}

void CSyncJob::TakeProgress() {
    m_progress = m_pChannel->Latest();
    emit ProgressChanged(m_progress);
}

void CSyncJob::Cancel() {
    if (m_pCancel)
        m_pCancel->Cancel();
}

bool CSyncJob::CancelAndWait(int nMilliseconds) {
    if (!IsRunning())
        return true;
    Cancel();
    m_giveUp.stop();
    if (!m_pThread->wait(nMilliseconds)) {
        Abandon();
        return false;
    }
    // Ended by its owner: its results are not taken over.
    if (const auto result = m_pChannel->TakeResult()) {
        m_nLastDurationMs = result->nDurationMs;
        Journal(JobJournalLine(*result));
    }
    delete std::exchange(m_pThread, nullptr);
    return true;
}

void CSyncJob::Abandon() {
    Trace(QStringLiteral("Sync-Job endet nicht, wird zurückgelassen"));
    SyncJobResult left;
    left.kind = m_kind;
    left.progress = m_pChannel->Latest();
    left.nDurationMs = ElapsedMs();
    Journal(JobJournalLine(left, true));
    {
        const std::lock_guard lock(m_pChannel->mutex);
        m_pChannel->pJob = nullptr;
    }
    // A running thread must not be destroyed: it deletes itself once it ends.
    m_pThread->disconnect(this);
    connect(m_pThread, &QThread::finished, m_pThread, &QObject::deleteLater);
    m_pLeftBehind = std::exchange(m_pThread, nullptr);
}
