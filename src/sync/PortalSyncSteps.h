#pragma once
// The two sync steps against the portal, each recording its outcome in the settings group
// "Status" when it ends, and the tidying of Bilder/ at the end of their job; a step its job
// cancelled records none, as the failures it met were the cancel's.

#include "settings/Clock.h"
#include "sync/PortalConnection.h"
#include "sync/PortalSync.h"

class CSatzStore;

class CPortalSync final : public IPortalSync {
public:
    explicit CPortalSync(CSatzStore& store, SyncOptions options = {},
                         const IClock& clock = SystemClock());

    void UpdatePictureList() override;
    bool UpdateNeuFzPictureList() override;
    // Sweeps the photos no cache file names when every list this object asked for came
    // through, the record list at least once.
    void FinishJob() override;

private:
    bool IsCancelled() const;

    CSatzStore& m_store;
    SyncOptions m_options;
    const IClock& m_clock;
    bool m_bListed = false;
    bool m_bListFailed = false;
};
