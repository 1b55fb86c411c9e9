#pragma once
// Fixed numbers of the slideshow view: its window timers, the menu commands it handles, the
// key codes it answers, the shutdown window and the note on stale data.

#include <QtGlobal>
#include <array>
#include <cstddef>

namespace view {
// Window timers by fixed identifier, and their periods in milliseconds.
inline constexpr int TIMER_START_LOAD = 1312;
inline constexpr int TIMER_ONLINE_UPDATE = 1905;
inline constexpr int TIMER_NEXT_SATZ = 1703;
inline constexpr int TIMER_SETTINGS_CHANGED = 2398;
inline constexpr int TIMER_SHUTDOWN_CHECK = 6666;

inline constexpr int kStartLoadPeriod = 200;
inline constexpr int kOnlineUpdatePeriod = 3600000;
inline constexpr int kSettingsChangedPeriod = 200;
inline constexpr int kShutdownCheckPeriod = 800;
// A job's progress on screen is repainted at least this often.
inline constexpr int kProgressRepaintPeriod = 1000;

// A stored "Speed" below the minimum is taken as the default interval.
inline constexpr int kMinSpeed = 1000;
inline constexpr int kDefaultSpeed = 10000;

// The power-off starts at the first check up to this many seconds after the shutdown time;
// the check period puts several ticks inside the window.
inline constexpr int kShutdownWindowSeconds = 29;

// The slide notes stale used vehicles once their last successful sync is older than this.
inline constexpr int kStaleAfterSeconds = 48 * 3600;
// The note sits in the bottom right corner, below the lowest text of both layouts (705 of 768
// and 984 of 1050 pixels), small and grey.
inline constexpr int kStaleMarkerPixels = 14;
inline constexpr int kStaleMarkerMargin = 6;
inline constexpr int kStaleMarkerGrey = 110;

// The line under the waiting message when a sync brought nothing, in layout pixels.
inline constexpr int kWaitingNoticePixels = 24;

// The watchdog is fed while a paint completed this recently, and while a show that should
// advance stepped within its period and this margin: more than one watchdog tick, and time
// to decode a slide's photos at 4K.
inline constexpr int kPaintedWithinMs = 60000;
inline constexpr int kStepMarginMs = 30000;

// The paints of slide changes are judged over this span, and at most this many are kept: an
// hour of the fastest slides.
inline constexpr qint64 kPaintWindowMs = 3600 * 1000;
inline constexpr size_t kMaxPaintSamples = 3600;
// A show that should advance but has not changed its slide for this long is stale.
inline constexpr int kNoSlideChangeSeconds = 5 * 60;

// The status file in the working folder, and how often it and the metrics file are written.
inline constexpr char kStatusFile[] = "zelvora-status.json";
inline constexpr int kHealthWritePeriodMs = 30000;
} // namespace view

namespace command {
inline constexpr int kStart = 32771;
inline constexpr int kSpeed3s = 32772;
inline constexpr int kSpeed5s = 32773;
inline constexpr int kSpeed10s = 32774;
inline constexpr int kSpeed30s = 32775;
inline constexpr int kSpeed60s = 32776;
inline constexpr int kAuthorisation = 32777;
inline constexpr int kUpdate = 32778;
inline constexpr int kEinstellungen = 32779;
inline constexpr int kProxyServer = 32780;
inline constexpr int kVersion = 32781;

struct SpeedCommand {
    int nCommand;
    int nSpeed; // milliseconds
    const char* szTrace;
};
inline constexpr std::array<SpeedCommand, 5> kSpeedCommands{{
    {kSpeed3s, 3000, "Keypressed 3s"},
    {kSpeed5s, 5000, "Keypressed 5s"},
    {kSpeed10s, 10000, "Keypressed 10s"},
    {kSpeed30s, 30000, "Keypressed 30s"},
    {kSpeed60s, 60000, "Keypressed 60s"},
}};
} // namespace command

// Key codes the view answers, as the show has always numbered them.
namespace key {
inline constexpr int kEnter = 13;
inline constexpr int kSpace = 32;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
} // namespace key
