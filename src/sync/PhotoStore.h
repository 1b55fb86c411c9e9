#pragma once
// How both syncs take photo answers into Bilder/: only a photo that decodes whole is stored,
// and a photo the portal refused for what it is waits for its record to change instead of
// being fetched again at every run.

#include "sync/PortalConnection.h"
#include "sync/SyncStatus.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <initializer_list>
#include <map>
#include <vector>

// What became of one photo answer.
enum class PhotoVerdict {
    Stored,    // decodes whole and is in Bilder/ now
    NotStored, // came whole but could not be written (a full or read-only disk)
    NoAnswer,  // the portal or the way to it failed
    Refused,   // a status other than 200, or a page in the photo's place
    Cut,       // begins like a picture but does not decode whole
    NotAPhoto, // the portal's own answer, but no picture
    Oversized  // larger than the loader takes
};

struct PhotoResult {
    PhotoVerdict verdict = PhotoVerdict::Stored;
    SyncFailure failure = SyncFailure::None; // what the outcome books
};

// Writes the answer to path when it holds a photo that decodes whole.
PhotoResult StorePhotoAnswer(const PortalAnswer& answer, const QString& path);

// Whether the photo file at path is there and decodes whole; one that does not counts as
// missing.
bool HasWholePhoto(const QString& path);

// Small cache files in Daten/ that map photo names to a value, one "value;name" line each,
// always replaced whole.
std::map<QByteArray, QByteArray> ReadPhotoMap(const char* fileName);
bool WritePhotoMap(const char* fileName, const std::map<QByteArray, QByteArray>& map);

// A photo a record names that Bilder/ lacks or holds cut: what to ask for, its local name and
// the stamp of its record.
struct MissingPhoto {
    QByteArray request;
    QByteArray name;
    QByteArray stamp;
};

// The photos refused for what they are, each with the stamp of the record that named it then:
// asked for again only once that record has changed.
class CPhotoRefusals {
public:
    CPhotoRefusals();

    bool Waits(const QByteArray& name, const QByteArray& stamp) const;
    // Notes the verdict of a photo the record of stamp names: refusedFor are the verdicts that
    // make it wait.
    void Note(const QByteArray& name, const QByteArray& stamp, PhotoVerdict verdict,
              std::initializer_list<PhotoVerdict> refusedFor);
    // Forgets the photos no cache file names any more.
    void KeepOnly(const QSet<QByteArray>& named);
    void Save();

private:
    std::map<QByteArray, QByteArray> m_stamps;
    bool m_bChanged = false;
};

// With more photos missing than a run may fail to fetch, the run starts at a point that moves
// on at every run: otherwise photos the portal lacks for good, listed first, would take every
// run's bound and those after them would never be asked for. Fewer keep their order.
void RotateMissingPhotos(std::vector<MissingPhoto>& photos);
