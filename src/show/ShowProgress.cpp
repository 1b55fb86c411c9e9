#include "show/ShowProgress.h"

#include "settings/Clock.h"
#include "settings/Journal.h"
#include "show/StatusTexts.h"
#include "show/SyncNotice.h"
#include "show/ViewConstants.h"

#include <utility>

using namespace view;

namespace {
QString Seconds(qint64 nMs) {
    return QString::number(static_cast<double>(nMs) / 1000.0, 'f', 1);
}
} // namespace

CShowProgress::CShowProgress(const IClock& clock) : m_clock(clock), m_nLastStep(clock.SteadyMs()) {}

bool CShowProgress::Painted() {
    const bool bFirst = m_nLastPaint < 0;
    m_nLastPaint = m_clock.SteadyMs();
    return bFirst;
}

void CShowProgress::Stepped() {
    m_nLastStep = m_clock.SteadyMs();
}

bool CShowProgress::Judge(const ShowActivity& activity) {
    const qint64 nNow = m_clock.SteadyMs();
    if (!activity.bExposed) {
        m_nLastStep = nNow;
        return true;
    }
    const bool bPainting = m_nLastPaint >= 0 && nNow - m_nLastPaint <= kPaintedWithinMs;
    if (!activity.bShouldAdvance)
        m_nLastStep = nNow;
    const bool bProgress = bPainting && nNow - m_nLastStep <= activity.nPeriodMs + kStepMarginMs;
    // Once per stall: the watchdog restarts the show soon after, and the line says why.
    if (!bProgress && !std::exchange(m_bStalled, true))
        Journal(QStringLiteral("stall paint-age=%1 step-age=%2 period=%3")
                    .arg(m_nLastPaint < 0 ? QStringLiteral("none") : Seconds(nNow - m_nLastPaint),
                         Seconds(nNow - m_nLastStep), Seconds(activity.nPeriodMs)));
    if (bProgress)
        m_bStalled = false;
    return bProgress;
}

QString CShowProgress::StatusLine(const ShowFacts& facts) {
    const StatusTexts& t = StatusTextsFor(facts.nSprache);
    const int nVisible = facts.bSatzLoaded ? facts.nVisible : 0;
    QString line = nVisible > 0
                       ? QString::fromUtf8(t.szServiceSlide).arg(facts.nPosition).arg(nVisible)
                       : QString::fromUtf8(t.szServiceNoSlides);
    line += QStringLiteral(" · ");
    if (facts.used.time == 0)
        return line + QString::fromUtf8(t.szServiceNoSync);
    return line + QString::fromUtf8(t.szServiceSync)
                      .arg(FormatLocalTime(facts.used.time, "%H:%M"),
                           facts.used.failure == SyncFailure::None ? QStringLiteral("ok")
                                                                   : FailureWords(facts.used, t));
}
