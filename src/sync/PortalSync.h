#pragma once
// The two conversations with the portal that refresh the cache folders. The scheduler and the
// view call them through this seam, so they can be tested without a portal.

class IPortalSync {
public:
    virtual ~IPortalSync() = default;
    // Used vehicles: the record list, the record files and their photos.
    virtual void UpdatePictureList() = 0;
    // New vehicles: the list for the dealer's brands and its photos. True when the list came.
    virtual bool UpdateNeuFzPictureList() = 0;
    // At the end of a job that was not cancelled, once no step works on the folders any more.
    virtual void FinishJob() {}
};
