#pragma once
// Fixed values of the application shell: where the settings live, the window sizes, the kiosk
// menu bar, the restart guard, the lock of the working folder and the screenshot socket.

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

// In the working folder, for its owner only: the running show's frame on request. The request
// is this one line; the answer the PNG's length as four bytes, most significant first, then
// the PNG, or a length of 0 when there is no frame.
inline constexpr char kScreenshotSocket[] = "zelvora-screenshot.sock";
inline constexpr char kScreenshotRequest[] = "screenshot\n";
// The client's whole wait, the time a connection has to send its request, the largest answer
// (a 3840x2160 frame with nothing to compress stays well under it) and the connections served
// at once.
inline constexpr int kScreenshotWaitMs = 5000;
inline constexpr int kScreenshotRequestWaitMs = 2000;
inline constexpr int kMaxScreenshotBytes = 64 * 1024 * 1024;
inline constexpr int kMaxScreenshotClients = 4;
} // namespace app
