#pragma once
// The used-vehicle sync: brings the record files in Daten/ and their photos in Bilder/ in line
// with the dealer's record list on the portal. Changes only files and settings; the callers
// rebuild the catalogue from the folders afterwards.

#include "catalogue/SatzStore.h"
#include "sync/PhotoStore.h"
#include "sync/PortalConnection.h"
#include "sync/SyncStatus.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <vector>

// Fills entries 1 to n of list from the record lines of a list (its lines from 1 on), at most
// kSatzNrListSize - 1 of them; lines beyond are left out as if not listed. Returns n.
// Each line for a record number after the first, and each line whose number leaves the 32-bit
// range, is left out. One carriage return at the end of a line is ignored.
int ParseSatzNrList(const std::vector<QByteArray>& lines, std::vector<SatzNrEntry>& list);

// How far a list answer has the form of a record list. It has when its first line, the
// address, is at most portalsync::kMaxAdresseLength long and holds no markup ("<"), no refusal
// marker and no control character, and every further line that is not empty begins with a
// record number and ";": a web page or a warning text the portal did not mean as a list has
// not. It is whole when, besides, the address is not empty, every further line has all its
// fields with a plain record number and a change time "YYYY-MM-DD HH:MM:SS", and the text ends
// with a line feed: no list cut short is.
ListForm RecordListForm(const QByteArray& text);

// The names on the photo lines of a record text, as far as it has them.
std::vector<QByteArray> RecordPhotoNames(const QByteArray& text);

class CUsedSync {
public:
    CUsedSync(CSatzStore& store, const SyncOptions& options, SyncOutcome& outcome);

    // Fetches the record list and hands it on; without a customer number, asks nothing.
    void UpdatePictureList();
    // Takes the list just received: its first line becomes the setting "adresse", the others
    // the record-number list, and the files follow. A text it would not take is not parsed.
    // The address shown is reloaded from the setting in every case.
    void ReadSatzNrList(const QByteArray& text);
    // Deletes the record files the list no longer names, fetches the stale ones and their
    // missing photos.
    void SyncSatzFiles();

private:
    // Whether a list answer is taken: it has the list's form, and it is whole if it would
    // remove more than half of the record files in Daten/.
    bool IsListToTake(const QByteArray& text) const;
    // Also gathers the photos still in use: those of the remaining record files and of the
    // new-vehicle list. Only a photo no one of them names goes with its record.
    void RemoveUnlistedRecords();
    void RemoveUnusedPhoto(const QByteArray& name) const;
    // Compares the record file with its list entry, deleting at once each photo whose name
    // differs, unless in use: the photo under the list's name is about to be replaced.
    bool IsStale(const SatzNrEntry& entry);
    // The record's new text; empty when no good answer came.
    QByteArray FetchRecord(CPortalConnection& portal, const SatzNrEntry& entry);
    // The photos the record of stamp names that Bilder/ lacks or holds cut, but those refused
    // for their size under the same stamp.
    std::vector<MissingPhoto> MissingPhotos(const QByteArray& record, const QByteArray& stamp);
    // Fetches them as far as the run's bound allows. True when each is in Bilder/ now or was
    // refused by the portal; false when one may still come (no answer, cut, not stored, or
    // left for the next run).
    bool FetchPhotos(CPortalConnection& portal, const std::vector<MissingPhoto>& photos);
    // Under its name, then under the shorter one; true when it may still come.
    bool FetchMissingPhoto(CPortalConnection& portal, const MissingPhoto& photo);
    // Writes the photo to path when the answer is one that decodes whole.
    PhotoResult FetchPhoto(CPortalConnection& portal, const QByteArray& requestName,
                           const QString& path);
    QString RecordPath(int nSatzNr) const;

    CSatzStore& m_store;
    const SyncOptions& m_options;
    SyncOutcome& m_outcome;
    QSet<QByteArray> m_photosInUse;
    CPhotoRefusals m_refusals;
    int m_nFailedPhotoRequests = 0;
};
