#pragma once
// What the show tells when its syncs brought no list: a line under the waiting message while
// nothing can be shown, and the message after a failed manual update. The failure is worded
// as on the status page, in the show's language.

#include "sync/SyncStatus.h"

#include <QString>
#include <ctime>
#include <optional>

class QPainter;
struct SlideFrame;
struct StatusTexts;

// The failure as the status page words it, with the HTTP status it names.
QString FailureWords(const SyncOutcome& outcome, const StatusTexts& texts);

// The latest used-vehicle sync, or else new-vehicle sync that could not reach the portal, that
// met a failure and brought no list; none when no sync is on record or none failed so.
std::optional<SyncOutcome> FailedSync();

// The line under the waiting message: the portal could not be reached, why, and when the
// next try comes.
QString WaitingNotice(const SyncOutcome& failed, int nSprache, std::time_t nextTry);
void PaintWaitingNotice(QPainter& dc, const SlideFrame& frame, int nResMode, int nViewWidth,
                        const QString& text);

struct NoticeMessage {
    QString strText;
    QString strCaption;
};
// The manual update's message when it failed: no new data, the show goes on as it was.
NoticeMessage ManualUpdateFailedMessage(const SyncOutcome& failed, int nSprache);
