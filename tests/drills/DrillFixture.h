#pragma once
// A fault drill: a cache synced from a good portal, then a portal that has changed (records,
// photos and the new-vehicle list), and a fault while the cache follows it. Whatever the fault
// leaves behind must be made of whole files of the good cache or of the completed one, the
// show must load every vehicle it showed before (old or new), and the next sync without the
// fault must complete.

#include "sync/SyncFixture.h"

#include <QStringList>
#include <map>
#include <string>

using CacheFiles = std::map<QString, QByteArray>;

class CDrillFixture : public CSyncFixture {
protected:
    // Syncs the good portal, then learns what the changed one leads to and puts the good cache
    // back, so every drill starts from the good cache with the changed portal.
    CDrillFixture();

    // Both sync steps in this process, as the show's first load runs them.
    void SyncBoth();
    // Every cache file again as the good sync left it; nothing else.
    void RestoreGoodCache();

    // What a fault left: every file a whole file of either cache, every record and list
    // complete, every photo decodable, and every vehicle still shown in one of its versions,
    // but a new vehicle whose new main photo has not come yet.
    void ExpectLastGoodCache(const QString& drill);
    // The next sync without a fault ends where a sync without any fault ends. Photos of
    // vehicles the portal dropped may stay when they could not be deleted at the time: nothing
    // names them any more, so nothing shows them or deletes them later.
    enum class DroppedPhotos { Go, MayStay };
    void ExpectCompletedAfterSync(const QString& drill, DroppedPhotos dropped = DroppedPhotos::Go);

    CacheFiles m_good;
    QStringList m_goodSlides;
    CacheFiles m_changed;
    QStringList m_changedSlides;

    // A used vehicle, or a new one, on the portal with its photos.
    void WriteVehicle(int nSatzNr, const char* stand, int nPreis, const QStringList& bilder);
    void WriteNew(const char* id, const char* marke, const QStringList& bilder);

private:
    void WriteGoodPortal();
    void ChangePortal();
};

// The vehicles of the slides, title to slide line.
std::map<QString, QString> SlidesByTitle(const QStringList& slides);

// One line for each file that is missing, extra or different in actual; empty when the two
// caches hold the same files.
std::string CacheDifferences(const CacheFiles& actual, const CacheFiles& expected);
// Slides one to a line, for readable comparisons.
std::string Lines(const QStringList& slides);
