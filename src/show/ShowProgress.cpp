#include "show/ShowProgress.h"

#include "settings/Clock.h"
#include "show/StatusTexts.h"
#include "show/SyncNotice.h"
#include "show/ViewConstants.h"

using namespace view;

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
    return bPainting && nNow - m_nLastStep <= activity.nPeriodMs + kStepMarginMs;
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
