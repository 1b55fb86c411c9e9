#pragma once
// Fixed values of the application shell: where the settings live and the window sizes.

#include <QSize>
#include <array>

namespace app {
inline constexpr char kOrganization[] = "TarrelZelvora";
inline constexpr char kApplication[] = "Zelvora";

// The restored window size by "ScrRes"; any other value leaves the size to Qt. 1980 is not a
// typing error: it is the third choice of the settings dialog, 1920 the fourth.
inline constexpr std::array<QSize, 4> kWindowSizes{
    {QSize(1366, 768), QSize(1680, 1050), QSize(1980, 1080), QSize(1920, 1080)}};

// The German edition: it writes this language at every start and shows this title.
inline constexpr int kSprache = 1;
inline constexpr char kTitlePrefix[] = "   Unsere Fahrzeuge im ";
} // namespace app
