#include "sync/PortalSyncSteps.h"

#include "net/CancelToken.h"
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
    if (IsCancelled())
        return;
    outcome.time = m_clock.Now();
    WriteSyncOutcome(SyncKind::Used, outcome);
}

bool CPortalSync::UpdateNeuFzPictureList() {
    SyncOutcome outcome;
    CNeuFzSync(m_store, m_options, outcome).UpdateNeuFzPictureList();
    if (IsCancelled())
        return false;
    outcome.time = m_clock.Now();
    WriteSyncOutcome(SyncKind::NeuFz, outcome);
    return outcome.bListed;
}

bool CPortalSync::IsCancelled() const {
    return m_options.pCancel && m_options.pCancel->IsCancelled();
}
