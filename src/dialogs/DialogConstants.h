#pragma once
// Fixed numbers of the operator dialogs: control identifiers (also each control's objectName),
// the settings dialog's clock timer and the field limits.

namespace dlg {
// Shared by every dialog.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
// A message before a restart closes by itself after this long.
inline constexpr int kMessageCloseSeconds = 30;

// Settings dialog.
inline constexpr int kIdMarken = 1002;
inline constexpr int kIdMarkenNeuFzAnzeigen = 1003;
inline constexpr int kIdMarkenOccAnzeigen = 1004;
inline constexpr int kIdOccAktiv = 1009;
inline constexpr int kIdNeuFzAktiv = 1010;
inline constexpr int kIdPreisVon = 1011;
inline constexpr int kIdPreisBis = 1012;
inline constexpr int kIdPreisVonOcc = 1013;
inline constexpr int kIdKmVon = 1014;
inline constexpr int kIdKmBis = 1015;
inline constexpr int kIdPreisBisOcc = 1016;
inline constexpr int kIdKatID = 1017;
inline constexpr int kIdKatIDOcc = 1018;
inline constexpr int kIdScrRes = 1021;
inline constexpr int kIdPromoText = 1022;
inline constexpr int kIdShutDown = 1023;
inline constexpr int kIdManuellUpdate = 1025;
inline constexpr int kIdTestShutdown = 1026;
inline constexpr int kIdShutDownTime = 1027;
inline constexpr int kIdSysTime = 1028;

inline constexpr int kClockTimer = 6969;
inline constexpr int kClockTimerMs = 800;
inline constexpr int kMaxPromoText = 110;

// Authorization dialog.
inline constexpr int kIdKundenNr = 1000;
inline constexpr int kIdPasswort = 1001;

// Proxy dialog.
inline constexpr int kIdProxyIP = 1018;
inline constexpr int kIdProxyPort = 1019;
inline constexpr int kIdProxyOn = 1020;

// The stored shutdown time is shown as a time of day on this date; the date itself is unused.
inline constexpr int kShutDownYear = 2007;
inline constexpr int kShutDownMonth = 12;
inline constexpr int kShutDownDay = 13;

// The menu bar, the dialogs and the status page are laid out for this screen; larger screens
// scale them up.
inline constexpr int kChromeBaseWidth = 1920;
inline constexpr int kChromeBaseHeight = 1080;
} // namespace dlg
