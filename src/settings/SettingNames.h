#pragma once
// Section and value names of the settings store. Kinds and defaults are those of the profile
// operations: integers default to 0, texts to empty, unless a value names its own default.

namespace setting {
inline constexpr char kSection[] = "Settings";

inline constexpr char kSprache[] = "Sprache";
inline constexpr char kScrRes[] = "ScrRes";
inline constexpr char kSpeed[] = "Speed";
inline constexpr char kLastUpdate[] = "LastUpdate";
inline constexpr char kMarken[] = "Marken";
inline constexpr char kPreisVon[] = "PreisVon";
inline constexpr char kPreisBis[] = "PreisBis";
inline constexpr char kPreisVonOcc[] = "PreisVonOcc";
inline constexpr char kPreisBisOcc[] = "PreisBisOcc";
inline constexpr char kKmVon[] = "KmVon";
inline constexpr char kKmBis[] = "KmBis";
inline constexpr char kKatID[] = "KatID";
inline constexpr char kKatIDOcc[] = "KatIDOcc";
inline constexpr char kMarkenOccAnzeigen[] = "MarkenOccAnzeigen";
inline constexpr char kMarkenNeuFzAnzeigen[] = "MarkenNeuFzAnzeigen";
inline constexpr char kPromoText[] = "PromoText";
inline constexpr char kManuellUpdate[] = "ManuellUpdate";
inline constexpr char kShutDown[] = "ShutDown";
inline constexpr char kShutDownTime[] = "ShutDownTime";
inline constexpr char kAnzeige[] = "Anzeige";
// 0 keeps the slide at its layout's size in the top-left corner of a larger screen.
inline constexpr char kFitScreen[] = "FitScreen";
inline constexpr char kAdresse[] = "adresse";
inline constexpr char kCode[] = "code";
inline constexpr char kProxyIP[] = "ProxyIP";
inline constexpr char kProxyPort[] = "ProxyPort";
inline constexpr char kProxyOn[] = "ProxyOn";

// The language edition written into "Sprache" at every start: 1 German, 2 French.
inline constexpr char kAusgabe[] = "Ausgabe";
inline constexpr int kAusgabeDefault = 1;
// The output that shows the slides, by its name ("HDMI-1"); empty for the primary screen.
inline constexpr char kBildschirm[] = "Bildschirm";
// Non-zero: a full-screen window whose menu bar shows only on demand.
inline constexpr char kKiosk[] = "Kiosk";
inline constexpr int kKioskDefault = 1;
// Non-zero: a slide says since when the used vehicles could not be brought up to date.
inline constexpr char kVeraltetHinweis[] = "VeraltetHinweis";
inline constexpr int kVeraltetHinweisDefault = 1;
// A file the show keeps its metrics in, for node exporter's textfile collector; empty for none.
inline constexpr char kMetrikDatei[] = "MetrikDatei";
} // namespace setting
