#pragma once
// How long the paints of slide changes take in the running show, over the last hour. Bounded:
// the oldest samples go first when even an hour of the fastest slides would not fit.

#include "show/ShowFacts.h"

#include <QtGlobal>
#include <deque>

class CPaintTimes {
public:
    // A slide change's paint took nDurationNs, ending at nNowMs on the steady clock.
    void Record(qint64 nNowMs, qint64 nDurationNs);
    // The samples of the hour ending at nNowMs.
    PaintFigures Figures(qint64 nNowMs) const;

private:
    struct Sample {
        qint64 nAtMs;
        qint64 nDurationNs;
    };
    std::deque<Sample> m_samples;
};
