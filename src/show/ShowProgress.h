#pragma once
// What the service manager learns about the show: whether it still makes progress, which feeds
// its watchdog, and a one-line status. A show that should advance but no longer does, or that
// no longer paints, is not vouched for, and the manager restarts it.

#include "show/ShowFacts.h"

#include <QString>
#include <QtGlobal>

class IClock;

struct ShowActivity {
    // Running with slides to show and nothing over them; otherwise the show is still on purpose
    // (stopped, a dialog, menu or the status page open, waiting for its first data, nothing to
    // show).
    bool bShouldAdvance = false;
    int nPeriodMs = 0; // the slide period
    // Nothing reaches a window that is not on screen, so it is judged by the event loop alone.
    bool bExposed = true;
};

class CShowProgress {
public:
    explicit CShowProgress(const IClock& clock);

    // A paint completed; true for the first one.
    bool Painted();
    // A step of the slide timer reached the screen.
    void Stepped();
    // On each watchdog tick: whether the show makes progress.
    bool Judge(const ShowActivity& activity);

    // "Fahrzeug 12 von 87 · Abgleich 10:03 ok", in the show's language.
    static QString StatusLine(const ShowFacts& facts);

private:
    const IClock& m_clock;
    qint64 m_nLastPaint = -1;
    // The last step, or the last tick at which the show was still: a show that starts again
    // gets its full period before it counts as stalled.
    qint64 m_nLastStep;
    // The journal has named the stall that goes on.
    bool m_bStalled = false;
};
