#pragma once
// Fixed values of the application shell: where the settings live, the window sizes, the kiosk
// menu bar, the restart guard and the lock of the working folder.

#include <QSize>
#include <array>

namespace app {
inline constexpr char kOrganization[] = "TarrelZelvora";
inline constexpr char kApplication[] = "Zelvora";

// The restored window size by "ScrRes"; any other value leaves the size to Qt. 1980 is not a
// typing error: it is the third choice of the settings dialog, 1920 the fourth.
inline constexpr std::array<QSize, 4> kWindowSizes{
    {QSize(1366, 768), QSize(1680, 1050), QSize(1980, 1080), QSize(1920, 1080)}};

// The editions: "Ausgabe" chooses the language written at every start and the title.
inline constexpr int kDeutsch = 1;
inline constexpr int kFranzoesisch = 2;
inline constexpr char kTitlePrefix[] = "   Unsere Fahrzeuge im ";
inline constexpr char kTitlePrefixFr[] = "   Nos véhicules sur ";

// The hidden menu bar of the kiosk window hides again this long after its last use.
inline constexpr int kMenuBarHideMs = 10000;
// The pointer within this many pixels of the screen's top edge brings the menu bar back.
inline constexpr int kMenuBarRevealEdge = 2;

// At most this many restarts in place within the window; the next request leaves the show up.
inline constexpr int kMaxRestarts = 3;
inline constexpr int kRestartWindowSeconds = 300;
// The status tells the restarts of the last day: their times are kept that long, and no more
// of them than the limit above lets happen in a day.
inline constexpr int kRestartCountSeconds = 24 * 3600;
inline constexpr int kMaxRestartHistory =
    kMaxRestarts * (kRestartCountSeconds / kRestartWindowSeconds + 1);
// Carries the times of the recent restarts across the exec: a start by the session or the user
// unit begins with none.
inline constexpr char kRestartHistoryVariable[] = "ZELVORA_RESTARTS";

// In the working folder: one show per cache. A crash leaves it behind, and the next start
// takes it over.
inline constexpr char kLockFile[] = "zelvora.lock";
} // namespace app
