#include "show/ShowFacts.h"

#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/Trace.h"
#include "show/ViewConstants.h"
#include "sync/Portal.h"

#include <QDir>
#include <QDirIterator>
#include <QStorageInfo>

FolderUsage MeasureFolder(const char* folder) {
    FolderUsage usage;
    QDirIterator it(QString::fromLatin1(folder), QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        ++usage.nFiles;
        usage.nBytes += it.fileInfo().size();
    }
    return usage;
}

ShowFacts GatherShowFacts(const CSatzStore& store, const IClock& clock, bool bFolders) {
    ShowFacts facts;
    facts.now = clock.Now();
    facts.nSprache = store.m_nSprache;
    facts.strKundenNr = store.m_strKundenNr;
    facts.strServer = QString::fromLatin1(store.m_szServer.data());
    facts.nServerPort = store.m_nServerPort;
    facts.bDirect = qstrcmp(store.m_szServer.data(), portal::kHost) == 0 &&
                    store.m_nServerPort == portal::kPort;
    facts.used = ReadSyncOutcome(SyncKind::Used);
    facts.neuFz = ReadSyncOutcome(SyncKind::NeuFz);

    facts.bSatzLoaded = store.m_bSatzLoaded;
    facts.nRecords = store.m_nSatzCount;
    for (int n = 0; n < store.m_nSatzCount; ++n) {
        if (!store.IsSatzVisible(n))
            continue;
        ++facts.nVisible;
        if (store.m_bSatzLoaded && n <= store.m_nCurrentSatz)
            facts.nPosition = facts.nVisible;
    }
    facts.nPictures = store.m_nPictureCount;

    facts.bFolders = bFolders;
    if (bFolders) {
        facts.daten = MeasureFolder(cache::kDaten);
        facts.bilder = MeasureFolder(cache::kBilder);
        const QStorageInfo storage(QDir::currentPath());
        if (storage.isValid())
            facts.nFreeBytes = storage.bytesAvailable();
    }
    facts.strWorkDir = QDir::toNativeSeparators(QDir::currentPath());

    facts.bShutDown = store.m_bShutDown;
    facts.shutDownTime = store.m_timeShutDown;
    facts.bTrace = lcZelvoraTrace().isDebugEnabled();
    facts.strSkippedWrite = SkippedProfileWrite();
    return facts;
}

unsigned StaleReasons(std::time_t now, bool bShowRunning, std::time_t usedSuccess,
                      bool bShouldAdvance, std::time_t lastSlideChange) {
    unsigned reasons = 0;
    if (!bShowRunning)
        reasons |= stale::kNoShow;
    if (usedSuccess == 0 || now - usedSuccess > view::kStaleAfterSeconds)
        reasons |= stale::kOldSync;
    // A show that should advance but never changed a slide counts from nothing: it is stuck.
    if (bShowRunning && bShouldAdvance && now - lastSlideChange > view::kNoSlideChangeSeconds)
        reasons |= stale::kNoSlideChange;
    return reasons;
}
