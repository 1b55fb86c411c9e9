#pragma once
// The status page for support: what the show is doing and how its last portal syncs went, in
// the show's language. Built from the show's facts; reads only, so opening the page changes
// nothing in the show.

#include "show/ShowFacts.h"

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

class CStatusReport {
public:
    CStatusReport(const CSatzStore& store, const IClock& clock);

    // Without a screen's name and size the page has no line for it.
    StatusPage PageOf(const ShowFacts& facts) const;
    // The page of the facts the catalogue, the settings and the working folder give, with
    // what the view tells.
    StatusPage Page(const ShowState& show, const JobState& job = {},
                    const ScreenState& screen = {}) const;
    // The sync job's progress while the show waits for it: the sync that runs, then its counts.
    StatusPage JobPage(const SyncProgress& progress) const;

private:
    QString Connection(const ShowFacts& facts) const;
    StatusLine Sync(const char* szLabel, const SyncOutcome& outcome) const;
    StatusLine LastSuccess(const char* szLabel, const SyncOutcome& outcome) const;
    QString Folder(const FolderUsage& usage) const;
    QString Shutdown(const ShowFacts& facts) const;
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
