// The portal goes away in the middle of a sync: stopped, slower than the time-out, or cut off
// in the middle of an answer, at each kind of request of both sync steps.

#include "DrillFixture.h"

#include <QThread>
#include <atomic>
#include <thread>

namespace {

// Where the sync is when the portal goes: a piece of the request target.
struct DrillPoint {
    const char* name;
    const char* pattern;
};

enum class Way { Stopped, SlowerThanTimeOut, CutOff };
constexpr const char* kWayNames[] = {"Stopped", "SlowerThanTimeOut", "CutOff"};

constexpr DrillPoint kPoints[] = {
    {"RecordList", "fn=1&"},
    {"ChangedRecord", "sn=41&"},
    {"NewMainPhotoOfAChangedRecord", "/41_1b.jpg"},
    {"PhotoOfANewRecord", "/44_2.jpg"},
    {"NewVehicleList", "fn=101&"},
    {"NewMainPhotoOfANewVehicle", "/501_1b.jpg"},
};

// Long enough to outlast a one-second time-out, short enough to keep the drills quick.
constexpr int kSlowAnswerMs = 2500;
// Held until the portal is stopped; never reached.
constexpr int kHeldAnswerMs = 60000;
constexpr int kShortTimeout = 1;

// Stops the portal from a thread of its own once a request whose target holds pattern has
// come in from now on (a delay fault holds that request until then), as a portal that goes
// down does.
class CPortalStopper {
public:
    CPortalStopper(demoportal::CPortalServer& portal, const QString& pattern)
        : m_thread([this, &portal, pattern, nSeen = portal.Requests().size()] {
              while (!m_bDone) {
                  for (const QString& line : portal.Requests().mid(nSeen)) {
                      if (line.contains(pattern)) {
                          portal.Stop();
                          m_bStopped = true;
                          return;
                      }
                  }
                  QThread::msleep(1);
              }
          }) {}
    ~CPortalStopper() {
        m_bDone = true;
        m_thread.join();
    }
    CPortalStopper(const CPortalStopper&) = delete;
    CPortalStopper& operator=(const CPortalStopper&) = delete;

    bool Stopped() const { return m_bStopped; }

private:
    std::atomic<bool> m_bDone{false};
    std::atomic<bool> m_bStopped{false};
    std::thread m_thread;
};

class PortalFaultDrill : public CDrillFixture,
                         public ::testing::WithParamInterface<std::tuple<DrillPoint, Way>> {};

} // namespace

TEST_P(PortalFaultDrill, ShowKeepsTheLastGoodCacheAndTheNextSyncCompletes) {
    const auto& [point, way] = GetParam();
    const QString pattern = QString::fromLatin1(point.pattern);
    const int nPort = m_portal.Port();
    const SyncOptions normal = m_options;
    switch (way) {
    case Way::Stopped: {
        SetFault(pattern + QStringLiteral("=delay:%1").arg(kHeldAnswerMs));
        CPortalStopper stopper(m_portal, pattern);
        SyncBoth();
        ASSERT_TRUE(stopper.Stopped()) << "the sync never asked for " << point.pattern;
        break;
    }
    case Way::SlowerThanTimeOut:
        m_options.nRequestTimeout = kShortTimeout;
        m_options.nNeuFzListTimeout = kShortTimeout;
        SetFault(pattern + QStringLiteral("=delay:%1").arg(kSlowAnswerMs));
        SyncBoth();
        break;
    case Way::CutOff:
        SetFault(pattern + QStringLiteral("=cut-body"));
        SyncBoth();
        break;
    }
    ASSERT_FALSE(TakeRequests().filter(pattern).isEmpty())
        << "the sync never asked for " << point.pattern;

    ExpectLastGoodCache(QString::fromLatin1(point.name));

    if (m_portal.Port() == 0) {
        ASSERT_TRUE(m_portal.Start(QStringLiteral("127.0.0.1"), nPort)) << "restarted";
    }
    m_options = normal;
    ExpectCompletedAfterSync(QString::fromLatin1(point.name));
}

INSTANTIATE_TEST_SUITE_P(
    Drills, PortalFaultDrill,
    ::testing::Combine(::testing::ValuesIn(kPoints),
                       ::testing::Values(Way::Stopped, Way::SlowerThanTimeOut, Way::CutOff)),
    [](const auto& info) {
        return std::string(kWayNames[static_cast<int>(std::get<1>(info.param))]) + "At" +
               std::get<0>(info.param).name;
    });
