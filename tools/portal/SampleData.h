#pragma once
// The sample data set of the demo portal, made up by this program: three dealers, used and
// new vehicles of invented brands over all 14 categories, German and French texts, and
// procedurally drawn photos in both layout modes. Every run writes the same files.
// Drawing the photos needs a QGuiApplication.

#include <QString>
#include <optional>

namespace demoportal {

// The documented demo login.
inline constexpr int kDemoKundenNr = 12345;
inline constexpr char kDemoPasswort[] = "demo";

struct SampleSummary {
    int nDealers = 0;
    int nOccasionen = 0;
    int nNeuFahrzeuge = 0;
    int nPhotos = 0;
};

// Writes the data set into folder (made when missing; files of the same names are replaced).
// Nothing, with the reason in error, when a file cannot be written.
std::optional<SampleSummary> GenerateSampleData(const QString& folder, QString* error = nullptr);

} // namespace demoportal
