#pragma once
// The catalogue: every slide, the photos they show, the record-number list of the used-vehicle
// sync, the connection target, the credentials as the portal requests need them, and the
// display filters. One object, owned by the view for the whole run and never copied.

#include "catalogue/CatalogueLimits.h"
#include "catalogue/PictureCache.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <ctime>
#include <vector>

struct PictureSize {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    bool operator==(const PictureSize&) const = default;
};

// One slide. Used vehicles have nArt 1, new vehicles nArt 2; a field that a loader does not
// set for its kind keeps what the position held before and is not read.
struct Satz {
    QString strMarke;
    int32_t nPreis = 0;
    int32_t nKatID = 0;
    int32_t nKm = 0;
    int32_t nArt = 0;
    std::array<int32_t, kBilderProSatz> nBild{}; // picture slots; 0 in 1..4 means none
    QString strTitel;
    QString strKmText;
    QString strPreis;
    QString strZustand;
    double dRate = 0;
    std::array<QString, kMaxZeilen> strZeilen;
    QString strPreisZeile;
    int32_t nZeilen = 0;
    // The record it was loaded from: a used vehicle's file name, a new vehicle's main photo
    // name. It finds the vehicle again in a rebuilt catalogue.
    QString strRecord;
    bool operator==(const Satz&) const = default;
};

// One line of the record-number list. Kept as the portal's bytes: they are compared with the
// record files byte for byte and name files, and are never shown.
struct SatzNrEntry {
    int32_t nSatzNr = 0;
    QByteArray strStand;
    std::array<QByteArray, kBilderProSatz> strBild;
};

// Where a filled picture slot's photo comes from; decoded on demand (see PictureCache.h).
// An empty path marks a slot without a picture.
struct PictureSource {
    QString strPath;
    QByteArray format;         // as detected when the slot was filled
    bool bUndecodable = false; // its decode failed once: it is not tried again
    bool operator==(const PictureSource&) const = default;
};

class CSatzStore {
public:
    CSatzStore();
    CSatzStore(const CSatzStore&) = delete;
    CSatzStore& operator=(const CSatzStore&) = delete;
    ~CSatzStore();

    // Display and filter values from the settings store.
    void LoadSettings();
    // Appends the used-vehicle slides from Daten/satz_*.txt.
    void LadeBilderUndDaten();
    // Appends the new-vehicle slides from Daten/NeufahrzeugeListe.txt.
    void LadeNeuFzDatenUndBilder();
    // Releases every picture and empties the catalogue.
    void ResetBilderUndDaten();
    // Replaces the slides and picture slots by those loaded into built, in one step: a
    // catalogue loaded on another thread is taken over without a pause. built is left empty.
    void TakeCatalogue(CSatzStore& built);

    bool IsSatzVisible(int nSatz) const;
    // Moves m_nCurrentSatz to the next visible slide in direction nStep (+1 or -1), or -1.
    void GetNextSatz(int nStep);

    // A price or mileage: 12500 gives "12'500"; only the last three digits are set apart.
    static QString FormatThousands(int nValue);

    // Fills picture slot nSlot from the photo file at path; nSlot -1 only measures.
    // Width and height are 0 on failure; on failure no slot is used.
    bool LoadPictureFile(int nSlot, const QString& path, int& nHeight, int& nWidth);
    // Fills the next free slot (m_nPictureCount) and sets nBild to it. False, leaving nBild,
    // when the photo is refused or every slot is used.
    bool AppendPicture(const QString& path, int32_t& nBild, int& nHeight, int& nWidth);

    // The decoded picture of a filled slot, or a null image when the slot is empty or the
    // photo no longer decodes. Decoded pictures are kept only for the slides around the
    // current one.
    QImage Picture(int nSlot);
    // The same picture smoothly scaled to the drawn size; an invalid size gives it as decoded.
    QImage Picture(int nSlot, const QSize& drawn);
    // Decodes ahead the photos of the slide nSatz, each at the size its paint will draw it
    // (invalid: as decoded), so that the paint need not wait. A photo that does not decode is
    // dropped as its load would have dropped it: a further photo leaves the slide, a main photo
    // takes the slide out of the show (nArt 0, never visible). False when the slide can no
    // longer be shown.
    bool PrefetchPictures(int nSatz, const std::array<QSize, kBilderProSatz>& drawn = {});

    // Whether every photo of the slide nSatz can be drawn at the drawn sizes without decoding
    // one now: it is held decoded, or its file is still there with the header its load read.
    // A photo the running sync deleted or replaced fails; nothing is decoded or evicted.
    bool HasPictures(int nSatz, const std::array<QSize, kBilderProSatz>& drawn = {}) const;

    // Changes whenever the catalogue is emptied, loaded or reread from the settings, or a
    // slide loses a photo: a slide composed at another stamp is composed again.
    quint64 Generation() const { return m_nGeneration; }

    // Sets m_szServer (cut to its capacity) and m_nServerPort.
    void SetConnectionTarget(const QByteArray& host, int nPort);

    int32_t m_nCurrentSatz = 0;
    std::array<char, kServerNameSize> m_szServer{};
    int32_t m_nServerPort = 0;
    QString m_strAdresse;
    QString m_strPromoText;
    std::vector<SatzNrEntry> m_satzNrList; // kSatzNrListSize entries; 0 is never used
    QString m_strKundenNr;
    int32_t m_nKundenNr = 0;
    int32_t m_nResMode = 0;
    QByteArray m_strPasswordDigest; // 32 upper-case hex digits
    int32_t m_nSatzNrCount = 0;
    QString m_strMarken;
    int32_t m_nAnzeige = 0;
    std::vector<uint32_t> m_loadedPictures;
    int32_t m_nPreisVon = 0;
    int32_t m_nPreisBis = 0;
    int32_t m_nPreisVonOcc = 0;
    int32_t m_nPreisBisOcc = 0;
    int32_t m_nKmVon = 0;
    int32_t m_nKmBis = 0;
    int32_t m_nKatID = 0;
    int32_t m_nKatIDOcc = 0;
    QString m_strMarkenOccAnzeigen;
    QString m_strMarkenNeuFzAnzeigen;
    bool m_bManuellUpdate = false;
    bool m_bShutDown = false;
    std::time_t m_timeShutDown = 0;
    bool m_bSatzLoaded = false;
    std::vector<PictureSource> m_pPictures; // kMaxPictures slots
    std::vector<PictureSize> m_pictureSize; // kMaxPictures slots
    std::vector<Satz> m_satz;               // kMaxSatz slides
    int32_t m_nSatzCount = 0;
    int32_t m_nPictureCount = 0;
    int32_t m_nSprache = 0;

private:
    // Whether the photo of a filled slot decodes at the drawn size; an empty slot has nothing
    // to fail.
    bool Decodes(int nSlot, const QSize& drawn);
    // Whether a picture at the drawn size is kept scaled rather than taken as decoded.
    static bool KeptScaled(const QSize& drawn);
    // The picture decoded from its file at the drawn size (an invalid size: as it is), not
    // cached.
    QImage Decoded(int nSlot, const QSize& drawn = {});

    CPictureCache m_pictureCache;
    quint64 m_nGeneration = 0;
};
