#include "show/PaintTimes.h"

#include "show/ViewConstants.h"

#include <algorithm>
#include <vector>

using namespace view;

namespace {
constexpr double kNsPerMs = 1e6;
}

void CPaintTimes::Record(qint64 nNowMs, qint64 nDurationNs) {
    while (!m_samples.empty() && (nNowMs - m_samples.front().nAtMs > kPaintWindowMs ||
                                  m_samples.size() >= kMaxPaintSamples))
        m_samples.pop_front();
    m_samples.push_back({nNowMs, nDurationNs});
}

PaintFigures CPaintTimes::Figures(qint64 nNowMs) const {
    std::vector<qint64> durations;
    for (const Sample& sample : m_samples) {
        if (nNowMs - sample.nAtMs <= kPaintWindowMs)
            durations.push_back(sample.nDurationNs);
    }
    PaintFigures figures;
    figures.nCount = static_cast<int>(durations.size());
    if (durations.empty())
        return figures;
    std::sort(durations.begin(), durations.end());
    const size_t nMiddle = durations.size() / 2;
    // An even count has two middles: their mean.
    const double dMedian = durations.size() % 2 != 0
                               ? double(durations[nMiddle])
                               : (double(durations[nMiddle - 1]) + double(durations[nMiddle])) / 2;
    figures.dMedianMs = dMedian / kNsPerMs;
    figures.dLongestMs = double(durations.back()) / kNsPerMs;
    return figures;
}
