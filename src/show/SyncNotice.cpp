#include "show/SyncNotice.h"

#include "settings/Clock.h"
#include "show/SlideFrame.h"
#include "show/SlideLayout.h"
#include "show/StatusTexts.h"
#include "show/ViewConstants.h"
#include "sync/PortalConnection.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {
struct NoticeTexts {
    const char* szWaiting;    // "%1" the failure, "%2" the time of the next try
    const char* szFailedText; // "%1" the failure
    const char* szFailedCaption;
};

constexpr NoticeTexts kNoticeDe{
    "Portal nicht erreichbar – %1 – nächster Versuch um %2 Uhr",
    "Manuelles Daten update fehlgeschlagen (%1). Die Show läuft mit den bisherigen Daten weiter.",
    "Daten update fehlgeschlagen"};
constexpr NoticeTexts kNoticeFr{
    "Portail injoignable – %1 – prochain essai à %2",
    "Échec de la mise à jour manuelle (%1). La présentation continue avec les données actuelles.",
    "Échec de la mise à jour"};

const NoticeTexts& NoticeTextsFor(int nSprache) {
    return nSprache == 2 ? kNoticeFr : kNoticeDe;
}

// A dealer without standard brands may get no new-vehicle list at all: only a portal out of
// reach counts there.
bool Failed(SyncKind kind, const SyncOutcome& outcome) {
    return outcome.time != 0 && outcome.failure != SyncFailure::None && !outcome.bListed &&
           (kind == SyncKind::Used || IsNoAnswer(outcome.failure));
}
} // namespace

QString FailureWords(const SyncOutcome& outcome, const StatusTexts& texts) {
    const char* szWords = texts.szSyncOk;
    switch (outcome.failure) {
    case SyncFailure::None:
        break;
    case SyncFailure::NameLookup:
        szWords = texts.szNameLookup;
        break;
    case SyncFailure::Connect:
        szWords = texts.szConnect;
        break;
    case SyncFailure::TimeOut:
        szWords = texts.szTimeOut;
        break;
    case SyncFailure::Status:
        szWords = texts.szStatus;
        break;
    case SyncFailure::ErrorAnswer:
        szWords = texts.szErrorAnswer;
        break;
    case SyncFailure::NoCredentials:
        szWords = texts.szNoCredentials;
        break;
    case SyncFailure::HeaderTooLong:
        szWords = texts.szHeaderTooLong;
        break;
    }
    QString words = QString::fromUtf8(szWords);
    if (outcome.failure == SyncFailure::Status && outcome.nStatusCode > 0)
        words += u' ' + QString::number(outcome.nStatusCode);
    return words;
}

std::optional<SyncOutcome> FailedSync() {
    for (const SyncKind kind : {SyncKind::Used, SyncKind::NeuFz}) {
        if (const SyncOutcome outcome = ReadSyncOutcome(kind); Failed(kind, outcome))
            return outcome;
    }
    return std::nullopt;
}

QString WaitingNotice(const SyncOutcome& failed, int nSprache, std::time_t nextTry) {
    return QString::fromUtf8(NoticeTextsFor(nSprache).szWaiting)
        .arg(FailureWords(failed, StatusTextsFor(nSprache)), FormatLocalTime(nextTry, "%H:%M"));
}

void PaintWaitingNotice(QPainter& dc, const SlideFrame& frame, int nResMode, int nViewWidth,
                        const QString& text) {
    const int nMode = nResMode == slide::kLargeResMode ? slide::kLarge : slide::kSmall;
    // The place of the sign-in hint, which shows only while no customer number is stored.
    const QPoint place = slide::kAnmeldenOrtPos[nMode];
    const QPoint topLeft =
        frame.origin + QPoint(qRound(place.x() * frame.dScale), qRound(place.y() * frame.dScale));
    QFont font(QString::fromLatin1(slide::kFontFamily));
    font.setPixelSize(qMax(1, qRound(view::kWaitingNoticePixels * frame.dScale)));
    const QFontMetrics metrics(font);
    const QRect line(topLeft, QPoint(nViewWidth - 1, topLeft.y() + metrics.height()));
    dc.save();
    dc.setFont(font);
    dc.setPen(slide::kTextColour);
    dc.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                metrics.elidedText(text, Qt::ElideRight, line.width()));
    dc.restore();
}

NoticeMessage ManualUpdateFailedMessage(const SyncOutcome& failed, int nSprache) {
    const NoticeTexts& texts = NoticeTextsFor(nSprache);
    return {
        QString::fromUtf8(texts.szFailedText).arg(FailureWords(failed, StatusTextsFor(nSprache))),
        QString::fromUtf8(texts.szFailedCaption)};
}
