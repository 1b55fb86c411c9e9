#pragma once
// A dealer's stock on the demo portal for the benchmarks: used vehicles of five photos each,
// the photos repeating a few photo-like JPEGs.

#include <QByteArray>
#include <QSize>
#include <QString>

namespace benchstock {

inline constexpr int kPhotosPerVehicle = 5;
inline constexpr int kKundenNr = 12345;
inline constexpr char kPasswort[] = "demo";
inline constexpr int kFirstSatzNr = 40001;

// Gradients and grain, so the JPEG has the size of a real photo.
QByteArray PhotoLikeJpeg(int nSeed, QSize size);
bool WriteFile(const QString& path, const QByteArray& bytes);
bool WriteOccasion(const QString& root, int nSatzNr, const QString& stand);
// The dealer and nVehicles used vehicles with their photos, below the portal's folder root.
bool WritePortalData(const QString& root, int nVehicles);

} // namespace benchstock
