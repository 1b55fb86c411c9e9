#include "sync/PortalSyncSteps.h"

#include "sync/NeuFzSync.h"
#include "sync/UsedSync.h"

CPortalSync::CPortalSync(CSatzStore& store, SyncOptions options, const IClock& clock)
    : m_store(store), m_options(std::move(options)), m_clock(clock) {}

void CPortalSync::UpdatePictureList() {
    SyncOutcome outcome;
    CUsedSync(m_store, m_options, outcome).UpdatePictureList();
    // Hourly, new-vehicle photos that the list's own sync could not bring: that may be a
    // week away.
    CNeuFzSync(m_store, m_options, outcome).FetchMissingPhotos();
    outcome.time = m_clock.Now();
    WriteSyncOutcome(SyncKind::Used, outcome);
}

void CPortalSync::UpdateNeuFzPictureList() {
    SyncOutcome outcome;
    CNeuFzSync(m_store, m_options, outcome).UpdateNeuFzPictureList();
    outcome.time = m_clock.Now();
    WriteSyncOutcome(SyncKind::NeuFz, outcome);
}
