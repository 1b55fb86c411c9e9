#pragma once
// What is known about the running show, gathered in one place: the status page, the line for
// the service manager, the status file and the metrics file all read these facts, so that
// they never disagree.

#include "sync/SyncJob.h"
#include "sync/SyncStatus.h"

#include <QSize>
#include <QString>
#include <QtGlobal>
#include <ctime>

class CSatzStore;
class IClock;

// The screen the show stands on.
struct ScreenState {
    QString strName; // empty: none known
    QSize size;
    qreal dDevicePixelRatio = 1.0;
    qreal dRefreshRate = 0.0;
    QString strMissing; // the output chosen when it is not present
};

// What only the view knows.
struct ShowState {
    bool bAdvancing = false;      // the slide timer is armed
    int nSpeed = 0;               // its period in milliseconds
    unsigned nBlankingHeldBy = 0; // the blanking:: means that keep the screen on
};

// The sync job behind the show.
struct JobState {
    bool bRunning = false;
    SyncProgress progress;
    qint64 nElapsedMs = 0;
    qint64 nLastMs = -1; // -1: no job has ended yet
};

struct FolderUsage {
    int nFiles = 0;
    qint64 nBytes = 0;
};

// The files directly in folder, relative to the working folder; nothing when it is missing.
FolderUsage MeasureFolder(const char* folder);

// The paints of slide changes over the last hour.
struct PaintFigures {
    int nCount = 0;
    double dMedianMs = 0;
    double dLongestMs = 0;
};

struct ShowFacts {
    std::time_t now = 0;
    int nSprache = 0;
    QString strKundenNr;
    // Where the requests actually go, not what the settings say now.
    QString strServer;
    int nServerPort = 0;
    bool bDirect = true;
    SyncOutcome used;
    SyncOutcome neuFz;

    bool bSatzLoaded = false;
    int nRecords = 0;  // slides in the catalogue
    int nVisible = 0;  // of those, the ones the settings let show
    int nPosition = 0; // the slide on screen among the visible ones, from 1; 0 for none
    int nPictures = 0;

    // Measured only where asked for: walking Bilder/ takes a while.
    bool bFolders = false;
    FolderUsage daten;
    FolderUsage bilder;
    qint64 nFreeBytes = -1; // on the working folder's file system; -1 unknown
    QString strWorkDir;

    bool bShutDown = false;
    std::time_t shutDownTime = 0;
    bool bTrace = false;
    QString strSkippedWrite; // a settings write that did not reach the store

    ShowState show;
    JobState job;
    ScreenState screen;
    // Running with slides to show and nothing over them.
    bool bShouldAdvance = false;
    std::time_t lastSlideChange = 0; // 0: none yet
    PaintFigures paint;
    int nRestarts = 0; // restarts in place within the last day
};

// The facts the catalogue, the settings store and, with bFolders, the working folder give;
// the view adds what only it knows.
ShowFacts GatherShowFacts(const CSatzStore& store, const IClock& clock, bool bFolders);

// Why a show counts as stale; none for a healthy one.
namespace stale {
inline constexpr unsigned kNoShow = 1;        // no show holds the working folder
inline constexpr unsigned kOldSync = 2;       // no used-vehicle sync succeeded for too long
inline constexpr unsigned kNoSlideChange = 4; // the show should advance, yet does not
// A show whose status file is this old, or another's, no longer runs its event loop.
inline constexpr unsigned kSilent = 8;
} // namespace stale

// The reasons, at now, for a show whose used vehicles last synced at usedSuccess (0: never)
// and whose slide last changed at lastSlideChange (0: never).
unsigned StaleReasons(std::time_t now, bool bShowRunning, std::time_t usedSuccess,
                      bool bShouldAdvance, std::time_t lastSlideChange);
