#include "sync/PhotoStore.h"

#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/PictureLoader.h"
#include "settings/Profile.h"
#include "sync/SafeCache.h"
#include "sync/SyncConstants.h"

#include <QFile>
#include <algorithm>

namespace {

// A web page in the photo's place: a proxy's or a captive portal's, never the portal's photo.
bool IsPage(const PortalAnswer& answer) {
    const QByteArrayView body = QByteArrayView(answer.body).trimmed();
    return answer.bEncoded || answer.contentType.trimmed().toLower().startsWith("text/html") ||
           body.startsWith('<');
}

PhotoVerdict Judge(const PortalAnswer& answer) {
    if (answer.failure != SyncFailure::None)
        return IsNoAnswer(answer.failure) ? PhotoVerdict::NoAnswer : PhotoVerdict::Refused;
    if (IsPage(answer))
        return PhotoVerdict::Refused;
    if (answer.body.size() > kMaxPictureFileSize)
        return PhotoVerdict::Oversized;
    if (answer.PhotoFailure() != SyncFailure::None)
        return PhotoVerdict::NotAPhoto;
    return CPictureLoader().IsWholePicture(answer.body) ? PhotoVerdict::Stored : PhotoVerdict::Cut;
}

} // namespace

PhotoResult StorePhotoAnswer(const PortalAnswer& answer, const QString& path) {
    PhotoResult result;
    result.verdict = Judge(answer);
    if (result.verdict == PhotoVerdict::Stored) {
        if (!ReplaceCacheFile(path, answer.body))
            result.verdict = PhotoVerdict::NotStored;
        return result;
    }
    result.failure =
        answer.failure != SyncFailure::None ? answer.failure : SyncFailure::ErrorAnswer;
    return result;
}

bool HasWholePhoto(const QString& path) {
    return CPictureLoader().IsWholePictureFile(path);
}

std::map<QByteArray, QByteArray> ReadPhotoMap(const char* fileName) {
    std::map<QByteArray, QByteArray> map;
    const auto text =
        cache::ReadWholeFile(cache::CachePath(cache::kDaten, fileName), kMaxCacheTextSize);
    if (!text)
        return map;
    cache::CLineReader lines(*text);
    while (const auto line = lines.Next()) {
        const qsizetype separator = line->indexOf(';');
        const QByteArrayView name = line->sliced(separator + 1);
        if (separator > 0 && IsSafeCacheName(name))
            map[name.toByteArray()] = line->first(separator).toByteArray();
    }
    return map;
}

bool WritePhotoMap(const char* fileName, const std::map<QByteArray, QByteArray>& map) {
    const QString path = cache::CachePath(cache::kDaten, fileName);
    if (map.empty())
        return !QFile::exists(path) || QFile::remove(path);
    QByteArray text;
    for (const auto& [name, value] : map)
        text += value + ';' + name + '\n';
    return ReplaceCacheFile(path, text);
}

CPhotoRefusals::CPhotoRefusals() : m_stamps(ReadPhotoMap(portalsync::kRefusedPhotos)) {}

bool CPhotoRefusals::Waits(const QByteArray& name, const QByteArray& stamp) const {
    const auto it = m_stamps.find(name);
    return it != m_stamps.end() && it->second == stamp;
}

void CPhotoRefusals::Note(const QByteArray& name, const QByteArray& stamp, PhotoVerdict verdict,
                          std::initializer_list<PhotoVerdict> refusedFor) {
    // A stamp must stay on its line and before the name's separator.
    const bool bRefused =
        std::find(refusedFor.begin(), refusedFor.end(), verdict) != refusedFor.end() &&
        !stamp.isEmpty() && !stamp.contains(';') && !stamp.contains('\n');
    if (bRefused) {
        m_bChanged |= std::exchange(m_stamps[name], stamp) != stamp;
    } else if (verdict == PhotoVerdict::Stored) {
        m_bChanged |= m_stamps.erase(name) > 0;
    }
}

void CPhotoRefusals::KeepOnly(const QSet<QByteArray>& named) {
    m_bChanged |= std::erase_if(m_stamps, [&named](const auto& entry) {
                      return !named.contains(entry.first);
                  }) > 0;
}

void CPhotoRefusals::Save() {
    if (m_bChanged && WritePhotoMap(portalsync::kRefusedPhotos, m_stamps))
        m_bChanged = false;
}

void RotateMissingPhotos(std::vector<MissingPhoto>& photos) {
    if (std::ssize(photos) <= portalsync::kMaxFailedPhotoRequests)
        return;
    const int nRound = GetProfileInt(portalsync::kHeldBackSection, portalsync::kPhotoRoundKey, 0);
    WriteProfileInt(portalsync::kHeldBackSection, portalsync::kPhotoRoundKey,
                    (nRound + 1) % (kSatzNrListSize * kBilderProSatz));
    const qint64 nStart = qint64(nRound) * portalsync::kMaxFailedPhotoRequests % std::ssize(photos);
    std::rotate(photos.begin(), photos.begin() + nStart, photos.end());
}
