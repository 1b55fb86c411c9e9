#pragma once
// The sync job: the used-vehicle sync, the weekly new-vehicle check and, on the operator's
// command, both syncs once more, on a worker thread of their own so that the show goes on
// meanwhile. The job works on copies taken when it starts, never on the catalogue being
// drawn, and reports back through queued signals. At most one job runs at a time.

#include "catalogue/SatzStore.h"
#include "sync/CredentialStore.h"
#include "sync/PortalConnection.h"
#include "sync/SyncStatus.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CCancelToken;
class IClock;
class IPortalSync;
class QThread;

enum class SyncJobKind {
    Start,  // the used-vehicle sync and the weekly check
    Hourly, // the same, behind the show
    Manual  // the same, then both syncs again whether due or not
};

// What a job takes from the show when it starts. Changes made later apply to the next job.
struct SyncJobInput {
    QByteArray server;
    int nServerPort = 0;
    int nSprache = 0;
    int nResMode = 0;
    CredentialBytes credentials;
    QString marken;
    QString strAdresse; // shown until a list brings another
    // "LastUpdate" as it stood: the job writes it only while it still does.
    std::optional<QString> lastUpdate;
};

// The connection target, language and layout mode of store, the stored credentials and brands.
SyncJobInput TakeSyncJobInput(const CSatzStore& store);

struct SyncProgress {
    int nListed = 0;  // records the latest list named
    int nRecords = 0; // record files stored
    int nPhotos = 0;  // photos stored
    qint64 nBytes = 0;
    SyncKind eSync = SyncKind::Used; // the sync that runs
    int nRemoved = 0;                // record files removed
    int nRequests = 0;
};

// What went wrong in a job: the first failure of a sync whose list did not come through, else
// the first failure at all (a photo), and the sync that met it.
struct SyncJobFailure {
    SyncKind eSync = SyncKind::Used;
    SyncFailure failure = SyncFailure::None;
    int nStatusCode = 0;
    bool bListFailed = false; // the data is not as fresh as the portal's
};

// What the catalogue takes over from the job's own copy when it ends.
struct SyncJobResult {
    SyncJobKind kind = SyncJobKind::Start;
    bool bCancelled = false;
    QString strAdresse;
    std::vector<SatzNrEntry> satzNrList;
    int nSatzNrCount = 0;
    QString strKundenNr;
    int nKundenNr = 0;
    QByteArray strPasswordDigest;
    // The catalogue loaded from the folders once the syncs ended, for the show to take over;
    // none when the job was cancelled or ends the program.
    std::shared_ptr<CSatzStore> catalogue;
    SyncProgress progress;
    std::optional<SyncJobFailure> failure;
    qint64 nDurationMs = 0;
};

// The journal's line of a job that ended, without the prefix: "job hourly ok requests=12
// bytes=345678 seconds=4.2 records=3 removed=0 photos=7". The outcome is ok, partial (the lists
// came, a photo failed), failed, cancelled or abandoned (it did not end in time and was left
// behind); after a failure " failure=Occasion:time-out" ends the line.
QString JobJournalLine(const SyncJobResult& result, bool bAbandoned = false);

// The steps of a job, in the order the blocking update ran them. A job cancelled before the
// new-vehicle sync ended, or whose sync brought no list, leaves "LastUpdate" as it was, so that
// sync stays due; so does one that finds it changed since lastUpdate.
void RunSyncSteps(SyncJobKind kind, CSatzStore& store, IPortalSync& sync, const IClock& clock,
                  const CCancelToken& cancel, const std::optional<QString>& lastUpdate = {});

class CSyncJob : public QObject {
    Q_OBJECT

public:
    // The sync a job runs, made on the worker thread for the job's own catalogue copy.
    using SyncFactory =
        std::function<std::unique_ptr<IPortalSync>(CSatzStore&, const SyncOptions&)>;

    // options gives the time-outs and name lookup; the job adds its cancel, progress and
    // copies. clock must be safe to read from the worker.
    CSyncJob(SyncFactory makeSync, const IClock& clock, SyncOptions options = {},
             QObject* parent = nullptr);
    // Cancels a running job and waits for it, and for one left behind, at most kCancelWait.
    ~CSyncJob() override;

    // False, starting nothing, while a job runs, also one left behind by CancelAndWait.
    bool Start(SyncJobKind kind, SyncJobInput input);
    bool IsRunning() const { return m_pThread != nullptr; }
    // Closes the socket of the request in flight; the job then ends without another request.
    void Cancel();
    // Cancels and waits at most nMilliseconds; true when no job runs any more.
    bool CancelAndWait(int nMilliseconds);

    SyncJobKind Kind() const { return m_kind; }
    const SyncProgress& Progress() const { return m_progress; }
    // Since the running job started.
    qint64 ElapsedMs() const { return m_elapsed.isValid() ? m_elapsed.elapsed() : 0; }
    // Of the job that ended last; -1 before the first.
    qint64 LastDurationMs() const { return m_nLastDurationMs; }

signals:
    void ProgressChanged(const SyncProgress& progress);
    // The job has ended and its thread with it: the next job may start.
    void Finished(const SyncJobResult& result);

private:
    struct Channel;
    // Called queued, by name, from the worker's channel.
    Q_INVOKABLE void TakeProgress();
    void TakeResult(const SyncJobResult& result);
    // Leaves a job that did not end in time to finish alone, with nobody to report to.
    void Abandon();

    SyncFactory m_makeSync;
    const IClock& m_clock;
    SyncOptions m_options;
    SyncJobKind m_kind = SyncJobKind::Start;
    SyncProgress m_progress;
    QElapsedTimer m_elapsed;
    qint64 m_nLastDurationMs = -1;
    QThread* m_pThread = nullptr;
    // A job that did not end in time: it reports to nobody, but no other starts beside it.
    QPointer<QThread> m_pLeftBehind;
    std::shared_ptr<CCancelToken> m_pCancel;
    std::shared_ptr<Channel> m_pChannel;
    // A job that has run this long gives up; the next tick starts a fresh one.
    QTimer m_giveUp;
};
