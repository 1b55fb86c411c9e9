#include "catalogue/SatzStore.h"

#include <utility>

#include "catalogue/CacheFile.h"
#include "catalogue/PictureLoader.h"
#include "settings/Trace.h"

#include <algorithm>

CSatzStore::CSatzStore()
    : m_satzNrList(kSatzNrListSize), m_pPictures(kMaxPictures), m_pictureSize(kMaxPictures),
      m_satz(kMaxSatz) {}

CSatzStore::~CSatzStore() {
    ResetBilderUndDaten();
}

void CSatzStore::SetConnectionTarget(const QByteArray& host, int nPort) {
    m_szServer.fill('\0');
    std::copy_n(host.constData(), std::min<qsizetype>(host.size(), kServerNameSize - 1),
                m_szServer.begin());
    m_nServerPort = nPort;
}

void CSatzStore::ResetBilderUndDaten() {
    Trace(QStringLiteral("ResetBilderUndDaten"));
    ++m_nGeneration;
    for (const uint32_t nSlot : m_loadedPictures) {
        TraceF("Release pict %d", static_cast<int>(nSlot));
        m_pPictures[nSlot] = PictureSource();
    }
    m_pictureCache.Clear();
    for (int i = 0; i < m_nSatzCount; ++i)
        m_satz[i] = Satz();
    m_nPictureCount = 0;
    m_nSatzCount = 0;
    m_loadedPictures.clear();
    Trace(QStringLiteral("ResetBilderUndDaten fertig"));
}

void CSatzStore::TakeCatalogue(CSatzStore& built) {
    ResetBilderUndDaten();
    m_satz.swap(built.m_satz);
    m_pPictures.swap(built.m_pPictures);
    m_pictureSize.swap(built.m_pictureSize);
    m_loadedPictures.swap(built.m_loadedPictures);
    std::swap(m_nSatzCount, built.m_nSatzCount);
    std::swap(m_nPictureCount, built.m_nPictureCount);
    m_bSatzLoaded = built.m_bSatzLoaded;
}

namespace {
// Case matters: the settings dialog stores the filter in upper case.
bool BrandPasses(const QString& strFilter, const QString& strMarke) {
    return strFilter.isEmpty() || strFilter.contains(strMarke);
}

bool InRange(int nValue, int nVon, int nBis) {
    return (nVon == 0 && nBis == 0) || (nVon <= nValue && nValue <= nBis);
}
} // namespace

bool CSatzStore::IsSatzVisible(int nSatz) const {
    if (nSatz < 0 || nSatz >= m_nSatzCount)
        return false;
    const Satz& satz = m_satz[nSatz];
    switch (satz.nArt) {
    case 1:
        return (m_nAnzeige == 0 || m_nAnzeige == 2) &&
               BrandPasses(m_strMarkenOccAnzeigen, satz.strMarke) &&
               InRange(satz.nPreis, m_nPreisVonOcc, m_nPreisBisOcc) &&
               InRange(satz.nKm, m_nKmVon, m_nKmBis) &&
               (m_nKatIDOcc == 0 || m_nKatIDOcc == satz.nKatID);
    case 2:
        return (m_nAnzeige == 1 || m_nAnzeige == 2) &&
               BrandPasses(m_strMarkenNeuFzAnzeigen, satz.strMarke) &&
               InRange(satz.nPreis, m_nPreisVon, m_nPreisBis) &&
               (m_nKatID == 0 || m_nKatID == satz.nKatID);
    default:
        return false;
    }
}

void CSatzStore::GetNextSatz(int nStep) {
    if (m_nSatzCount == 0) {
        m_nCurrentSatz = -1;
        return;
    }
    for (int nTries = 1;; ++nTries) {
        m_nCurrentSatz += nStep;
        if (m_nCurrentSatz < 0)
            m_nCurrentSatz = m_nSatzCount - 1;
        // Modulo rather than one subtraction: an index left from a larger catalogue stays in
        // range.
        if (m_nCurrentSatz >= m_nSatzCount)
            m_nCurrentSatz %= m_nSatzCount;
        const bool bFound = IsSatzVisible(m_nCurrentSatz);
        if (nTries > kMaxNextSatzTries) {
            m_nCurrentSatz = -1;
            return;
        }
        if (bFound)
            return;
    }
}

QString CSatzStore::FormatThousands(int nValue) {
    if (nValue < 1000)
        return QString::asprintf("%d", nValue);
    return QString::asprintf("%d'%3d", nValue / 1000, nValue % 1000).replace(u' ', u'0');
}

bool CSatzStore::LoadPictureFile(int nSlot, const QString& path, int& nHeight, int& nWidth) {
    nHeight = nWidth = 0;
    if (nSlot < -1 || nSlot >= kMaxPictures)
        return false;
    QByteArray format;
    QSize size;
    if (!CPictureLoader().ProbePictureFile(path, format, size))
        return false;
    if (nSlot >= 0) {
        ++m_nGeneration;
        m_pPictures[nSlot] = PictureSource{path, format};
        m_pictureSize[nSlot] = PictureSize{size.width(), size.height()};
        m_pictureCache.Remove(nSlot);
        m_loadedPictures.push_back(static_cast<uint32_t>(nSlot));
    }
    nHeight = size.height();
    nWidth = size.width();
    return true;
}

bool CSatzStore::AppendPicture(const QString& path, int32_t& nBild, int& nHeight, int& nWidth) {
    nHeight = nWidth = 0;
    if (m_nPictureCount >= kMaxPictures || !LoadPictureFile(m_nPictureCount, path, nHeight, nWidth))
        return false;
    nBild = m_nPictureCount++;
    return true;
}

QImage CSatzStore::Picture(int nSlot) {
    QImage picture = m_pictureCache.Find(nSlot);
    if (!picture.isNull())
        return picture;
    picture = Decoded(nSlot);
    if (!picture.isNull())
        m_pictureCache.Insert(nSlot, picture);
    return picture;
}

bool CSatzStore::KeptScaled(const QSize& drawn) {
    // One too large for the cache would be rescaled at every paint: the painter stretches the
    // decoded one instead.
    return drawn.isValid() && !drawn.isEmpty() &&
           qint64(drawn.width()) * drawn.height() * kBytesPerPixel <= kPictureCacheBytes;
}

QImage CSatzStore::Picture(int nSlot, const QSize& drawn) {
    if (!KeptScaled(drawn))
        return Picture(nSlot);
    QImage picture = m_pictureCache.Find(nSlot, drawn);
    if (!picture.isNull())
        return picture;
    // Only the scaled picture is kept: on a large screen the decoded one is never drawn. One
    // held as decoded is scaled from; otherwise the photo is decoded straight at the drawn size.
    picture = m_pictureCache.Find(nSlot);
    if (!picture.isNull())
        picture = picture.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else
        picture = Decoded(nSlot, drawn);
    if (picture.isNull())
        return {};
    m_pictureCache.Insert(nSlot, picture, drawn);
    return picture;
}

QImage CSatzStore::Decoded(int nSlot, const QSize& drawn) {
    if (nSlot < 0 || nSlot >= kMaxPictures || m_pPictures[nSlot].strPath.isEmpty() ||
        m_pPictures[nSlot].bUndecodable)
        return {};
    // Decoded with the decoder its load checked the file for: a file replaced since by another
    // format has not passed that check.
    PictureSource& source = m_pPictures[nSlot];
    const auto bytes = cache::ReadWholeFile(source.strPath, kMaxPictureFileSize);
    QImage picture;
    int nWidth = 0;
    int nHeight = 0;
    if (!bytes || !CPictureLoader().CreatePictureFromMemory(*bytes, picture, nWidth, nHeight,
                                                            source.format, drawn)) {
        TraceF("Foto fehlt %d %s", nSlot, qUtf8Printable(source.strPath));
        source.bUndecodable = true;
        return {};
    }
    return picture;
}

bool CSatzStore::Decodes(int nSlot, const QSize& drawn) {
    const bool bFilled =
        nSlot >= 0 && nSlot < kMaxPictures && !m_pPictures[nSlot].strPath.isEmpty();
    return !bFilled || !Picture(nSlot, drawn).isNull();
}

bool CSatzStore::PrefetchPictures(int nSatz, const std::array<QSize, kBilderProSatz>& drawn) {
    if (nSatz < 0 || nSatz >= m_nSatzCount)
        return true;
    Satz& satz = m_satz[nSatz];
    if (!Decodes(satz.nBild[0], drawn[0])) {
        TraceF("Folie %d ausgelassen: Hauptfoto nicht lesbar", nSatz);
        satz.nArt = 0;
        ++m_nGeneration;
        return false;
    }
    for (int k = 1; k < kBilderProSatz; ++k) {
        if (satz.nBild[k] != 0 && !Decodes(satz.nBild[k], drawn[size_t(k)])) {
            TraceF("Folie %d ohne Foto %d: nicht lesbar", nSatz, k);
            satz.nBild[k] = 0;
            ++m_nGeneration;
        }
    }
    return true;
}

bool CSatzStore::HasPictures(int nSatz, const std::array<QSize, kBilderProSatz>& drawn) const {
    if (nSatz < 0 || nSatz >= std::min<int>(m_nSatzCount, int(m_satz.size())))
        return false;
    const Satz& satz = m_satz[size_t(nSatz)];
    for (size_t k = 0; k < satz.nBild.size(); ++k) {
        const int nSlot = satz.nBild[k];
        if (k > 0 && nSlot == 0)
            continue;
        if (nSlot < 0 || nSlot >= kMaxPictures || m_pPictures[size_t(nSlot)].strPath.isEmpty() ||
            m_pPictures[size_t(nSlot)].bUndecodable)
            return false;
        // The paint scales a held decoded picture without reading its file.
        if ((KeptScaled(drawn[k]) && m_pictureCache.Contains(nSlot, drawn[k])) ||
            m_pictureCache.Contains(nSlot))
            continue;
        const PictureSource& source = m_pPictures[size_t(nSlot)];
        QByteArray format;
        QSize size;
        if (!CPictureLoader().ProbePictureFile(source.strPath, format, size) ||
            format != source.format)
            return false;
    }
    return true;
}
