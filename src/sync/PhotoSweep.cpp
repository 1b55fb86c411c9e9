#include "sync/PhotoSweep.h"

#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/CatalogueLimits.h"
#include "settings/Trace.h"
#include "sync/NeuFzSync.h"
#include "sync/PhotoStore.h"
#include "sync/SyncConstants.h"
#include "sync/UsedSync.h"

#include <QDir>
#include <QFile>
#include <optional>

namespace {

// Every photo name the cache files give; nothing when one of them cannot be read.
std::optional<QSet<QByteArray>> NamedPhotos() {
    QSet<QByteArray> named;
    const QDir daten(QString::fromLatin1(cache::kDaten));
    for (const QString& file :
         daten.entryList({QString::fromLatin1(portalsync::kRecordFilePattern)}, QDir::Files)) {
        const auto text = cache::ReadWholeFile(daten.filePath(file), kMaxCacheTextSize);
        if (!text)
            return std::nullopt;
        for (const QByteArray& name : RecordPhotoNames(*text))
            named.insert(name);
    }
    // An absent list names nothing; one that cannot be read stops the sweep.
    const auto readList = [](const char* fileName) -> std::optional<QByteArray> {
        const QString path = cache::CachePath(cache::kDaten, fileName);
        if (!QFile::exists(path))
            return QByteArray();
        return cache::ReadWholeFile(path, kMaxCacheTextSize);
    };
    const auto records = readList(portalsync::kSatzNrListe);
    const auto neuFz = readList(portalsync::kNeuFzListe);
    if (!records || !neuFz)
        return std::nullopt;
    named.unite(NeuFzPhotoNames(*neuFz));
    // A listed record's photos stay while it is held back, its file still naming others.
    for (const QByteArray& line : cache::SplitLines(*records))
        for (const QByteArray& field : cache::WithoutTrailingCr(line).toByteArray().split(';'))
            named.insert(field);
    return named;
}

} // namespace

void SweepUnnamedPhotos(std::time_t now) {
    const auto named = NamedPhotos();
    if (!named)
        return;
    std::map<QByteArray, QByteArray> unnamed = ReadPhotoMap(portalsync::kUnnamedPhotos);
    std::map<QByteArray, QByteArray> stillUnnamed;
    QDir bilder(QString::fromLatin1(cache::kBilder));
    for (const QString& file : bilder.entryList(QDir::Files)) {
        const QByteArray name = cache::ToCp1252(file);
        if (named->contains(name))
            continue;
        const auto it = unnamed.find(name);
        // A clock put back starts the wait again rather than stretching it.
        const long long since =
            it == unnamed.end() ? now : std::min<long long>(it->second.toLongLong(), now);
        if (now - since >= portalsync::kUnnamedPhotoGrace && bilder.remove(file)) {
            TraceF("Foto ohne Satz geloescht: %s", name.constData());
            continue;
        }
        stillUnnamed[name] = QByteArray::number(since);
    }
    if (stillUnnamed != unnamed)
        WritePhotoMap(portalsync::kUnnamedPhotos, stillUnnamed);
    CPhotoRefusals refusals;
    refusals.KeepOnly(*named);
    refusals.Save();
}
