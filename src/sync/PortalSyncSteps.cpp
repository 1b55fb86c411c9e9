#include "sync/PortalSyncSteps.h"

#include "sync/NeuFzSync.h"
#include "sync/PhotoSweep.h"
#include "sync/UsedSync.h"

CPortalSync::CPortalSync(CSatzStore& store, SyncOptions options, const IClock& clock)
    : m_store(store), m_options(std::move(options)), m_clock(clock) {}

void CPortalSync::UpdatePictureList() {
    SyncOutcome outcome;
    CUsedSync(m_store, m_options, outcome).UpdatePictureList();
    outcome.time = m_clock.Now();
    WriteSyncOutcome(SyncKind::Used, outcome);
    (outcome.bListed ? m_bListed : m_bListFailed) = true;
    // Hourly, new-vehicle photos that the list's own sync could not bring: that may be a
    // week away. They are the new-vehicle sync's requests, booked to it when there were any.
    SyncOutcome photos;
    CNeuFzSync(m_store, m_options, photos).FetchMissingPhotos();
    if (photos.nRequests > 0) {
        photos.time = m_clock.Now();
        photos.bPhotosOnly = true;
        WriteSyncOutcome(SyncKind::NeuFz, photos);
    }
}

void CPortalSync::UpdateNeuFzPictureList() {
    SyncOutcome outcome;
    CNeuFzSync(m_store, m_options, outcome).UpdateNeuFzPictureList();
    outcome.time = m_clock.Now();
    WriteSyncOutcome(SyncKind::NeuFz, outcome);
    if (!outcome.bListed)
        m_bListFailed = true;
}

void CPortalSync::FinishJob() {
    if (m_bListed && !m_bListFailed)
        SweepUnnamedPhotos(m_clock.Now());
}
