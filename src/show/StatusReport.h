#pragma once
// The status page for support: what the show is doing and how its last portal syncs went, in
// the show's language. Built from the catalogue, the settings store, the working folder and a
// clock; reads only, so opening the page changes nothing in the show.

#include "sync/SyncJob.h"

#include <QSize>
#include <QString>
#include <QtGlobal>
#include <vector>

class CSatzStore;
class IClock;
struct StatusTexts;

struct StatusLine {
    QString strLabel;
    QString strValue;
    bool bWarning = false; // something that needs a look: a failed sync, no credentials
};

struct StatusPage {
    QString strTitle;
    std::vector<StatusLine> lines;
    QString strHint;
    QString strSeparator;

    // The page as plain text: the title, one "label: value" line each, the hint.
    QString Text() const;
};

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

class CStatusReport {
public:
    CStatusReport(const CSatzStore& store, const IClock& clock);

    // Without a screen's name and size the page has no line for it.
    StatusPage Page(const ShowState& show, const JobState& job = {},
                    const ScreenState& screen = {}) const;
    // The sync job's progress while the show waits for it: the sync that runs, then its counts.
    StatusPage JobPage(const SyncProgress& progress) const;

private:
    QString Connection() const;
    StatusLine Sync(const char* szLabel, bool bNeuFz) const;
    StatusLine LastSuccess(const char* szLabel, bool bNeuFz) const;
    QString Folder(const char* folder) const;
    QString Shutdown() const;
    QString Screen(const ScreenState& screen) const;
    StatusLine Blanking(unsigned nHeldBy) const;
    QString Job(const JobState& job) const;
    QString Counted(qint64 nCount, const char* szOne, const char* szMany) const;
    QString Size(qint64 nBytes) const;
    QString Seconds(int nMilliseconds) const;

    const CSatzStore& m_store;
    const IClock& m_clock;
    const StatusTexts& m_texts;
};
