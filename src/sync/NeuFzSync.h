#pragma once
// The new-vehicle sync: refreshes the cached new-vehicle list for the dealer's brands and
// fetches every photo it names that is not yet in Bilder/. It never deletes a file.

#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "sync/PhotoStore.h"
#include "sync/PortalConnection.h"
#include "sync/SyncStatus.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>
#include <array>
#include <functional>
#include <span>
#include <vector>

// The line store of the list as the sync reads it: each line goes to the slot of its position
// within its record, the "<neufz>" line to slot 0. Slots are not cleared between records, so
// a short record leaves the photo slots of an earlier, longer one in place.
class CNeuFzSlots {
public:
    // True when the line is a "<neufz>" line that closes a record (any but the first line of
    // the list); PhotoPaths() then gives that record's photo paths. Lines past the last slot
    // are dropped: an over-long record keeps its first lines.
    bool Add(QByteArrayView line);
    std::span<const QByteArray, kBilderProSatz> PhotoPaths() const;
    // Changes whenever a line of the closed record changes.
    QByteArray Stamp() const;

private:
    std::array<QByteArray, kNeuFzMaxLines> m_slots;
    int m_nLine = 0;
    int m_nSlot = 0;
};

// "/" becomes "_": the local name of a photo path, to be checked before it names a file. One
// carriage return at the end of the path is no part of it.
QByteArray NeuFzPhotoName(const QByteArray& path);

// Calls take with the line store at each record the list closes, at most as many records as
// the catalogue can show.
void ForEachNeuFzRecord(const QByteArray& list,
                        const std::function<void(const CNeuFzSlots& record)>& take);
// The local names of the photos the list's records name.
QSet<QByteArray> NeuFzPhotoNames(const QByteArray& list);
// How far an answer has the form of a new-vehicle list. It has when it holds a "<neufz>" line
// and no other line begins with markup ("<"). It is whole when, besides, it begins and ends
// with a "<neufz>" line and a line feed, and every record reaches its main photo line and fits
// the loader's line table.
ListForm NeuFzListForm(const QByteArray& text);

class CNeuFzSync {
public:
    CNeuFzSync(CSatzStore& store, const SyncOptions& options, SyncOutcome& outcome);

    // Asks for the list of the brands in "Marken"; without a customer number, asks nothing.
    void UpdateNeuFzPictureList();
    // Fetches the photos the cached list names and Bilder/ lacks, without asking for the
    // list; no request when none is missing.
    void FetchMissingPhotos();

private:
    void FetchListPhotos(CPortalConnection& portal, const QByteArray& list);
    // The record's photos that Bilder/ lacks or holds cut, but those refused for their size or
    // content while the record was as it is.
    void AddMissingPhotos(const CNeuFzSlots& record, std::vector<MissingPhoto>& missing) const;
    // Fetches them as far as the run's bound allows.
    void FetchPhotos(CPortalConnection& portal, const std::vector<MissingPhoto>& photos);

    CSatzStore& m_store;
    const SyncOptions& m_options;
    SyncOutcome& m_outcome;
    bool m_bOutOfReach = false; // a photo got no answer: the rest wait for the next run
    CPhotoRefusals m_refusals;
    int m_nFailedPhotoRequests = 0;
};
