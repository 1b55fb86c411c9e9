#include "sync/PortalSyncSteps.h"

#include "net/CancelToken.h"
#include "sync/NeuFzSync.h"
#include "sync/PhotoSweep.h"
#include "sync/UsedSync.h"

CPortalSync::CPortalSync(CSatzStore& store, SyncOptions options, const IClock& clock)
    : m_store(store), m_options(std::move(options)), m_clock(clock) {}

void CPortalSync::UpdatePictureList() {
    SyncOutcome outcome;
    CUsedSync(m_store, m_options, outcome).UpdatePictureList();
    if (IsCancelled())
        return;
    outcome.time = m_clock.Now();
    m_options.Record(SyncKind::Used, outcome);
    (outcome.bListed ? m_bListed : m_bListFailed) = true;
    // Hourly, new-vehicle photos that the list's own sync could not bring: that may be a
    // week away. They are the new-vehicle sync's requests, booked to it when there were any.
    SyncOutcome photos;
    CNeuFzSync(m_store, m_options, photos).FetchMissingPhotos();
    if (photos.nRequests > 0 && !IsCancelled()) {
        photos.time = m_clock.Now();
        photos.bPhotosOnly = true;
        m_options.Record(SyncKind::NeuFz, photos);
    }
}

bool CPortalSync::UpdateNeuFzPictureList() {
    SyncOutcome outcome;
    CNeuFzSync(m_store, m_options, outcome).UpdateNeuFzPictureList();
    if (IsCancelled())
        return false;
    outcome.time = m_clock.Now();
    m_options.Record(SyncKind::NeuFz, outcome);
    if (!outcome.bListed)
        m_bListFailed = true;
    return outcome.bListed;
}

bool CPortalSync::IsCancelled() const {
    return m_options.pCancel && m_options.pCancel->IsCancelled();
}

void CPortalSync::FinishJob() {
    if (m_bListed && !m_bListFailed)
        SweepUnnamedPhotos(m_clock.Now());
}
