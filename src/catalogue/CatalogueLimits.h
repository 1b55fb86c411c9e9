#pragma once
// Fixed capacities of the catalogue and the size rules of its photos.

#include <cstdint>

inline constexpr int kMaxSatz = 1000;
inline constexpr int kMaxPictures = 5000;
inline constexpr int kSatzNrListSize = 1000; // entry 0 unused: 999 records at most
inline constexpr int kBilderProSatz = 5;
inline constexpr int kMaxZeilen = 50;
inline constexpr int kMaxZubehoerZeilen = 10;
inline constexpr int kServerNameSize = 52; // 51 characters and the terminating zero

// Photo files are read whole; anything larger is refused rather than trusted.
inline constexpr std::int64_t kMaxPictureFileSize = 16 * 1024 * 1024;

// A used vehicle's main photo must be wider than this.
inline constexpr int kMinOccMainWidth = 576;
// A new vehicle's main photo must be wider than kMinNeuFzMainWidth and lower than
// kMaxNeuFzMainHeight.
inline constexpr int kMinNeuFzMainWidth = 720;
inline constexpr int kMaxNeuFzMainHeight = 610;

// Record and list files are read whole; a text this large is no cache file the portal wrote.
inline constexpr std::int64_t kMaxCacheTextSize = 64 * 1024 * 1024;

// A used-vehicle record file is read up to line 51.
inline constexpr int kOccMaxLines = 52;
// A new-vehicle record has lines 0 to 99, its closing "<neufz>" line included.
inline constexpr int kNeuFzMaxLines = 100;
inline constexpr int kMaxFarbZeilen = 5;
inline constexpr int kNeuFzSpecZeilen = 10;

// GetNextSatz gives up after this many steps (more than there can be slides).
inline constexpr int kMaxNextSatzTries = 1000;

// Decoded pictures kept for the slides around the current one: about thirty 1024 x 768
// photos, the current slide's five and the next slides' prefetched ones.
inline constexpr std::int64_t kPictureCacheBytes = 96 * 1024 * 1024;
// Pictures are held as 32-bit pixels.
inline constexpr int kBytesPerPixel = 4;
// A JPEG drawn smaller than decoded is decoded at the smallest of these eighths of its size
// that still covers the drawn size: libjpeg-turbo's fast reduced decodes (the other eighths
// take longer than a full decode and a smooth scale).
inline constexpr int kJpegScaleDenominator = 8;
inline constexpr int kJpegScaleNumerators[] = {1, 2, 4};

// m_nSprache
inline constexpr int kDeutsch = 1;
inline constexpr int kFranzoesisch = 2;

// Layout of a used-vehicle record file (Daten/satz_*.txt): the line of each value.
namespace occ {
inline constexpr int kTitel = 0;
inline constexpr int kPreis = 2;
inline constexpr int kErstzulassung = 4;
inline constexpr int kKm = 5;
inline constexpr int kHauptfoto = 7; // further photos on the four lines after it
inline constexpr int kZusatz = 13;
inline constexpr int kLeistung = 14;
inline constexpr int kZustand = 15;
inline constexpr int kRate = 16;
inline constexpr int kKategorie = 17;
inline constexpr int kMarke = 18;

inline constexpr int kVorfuehrmodell = 2; // condition codes of kZustand
inline constexpr int kVorjahresmodell = 3;
} // namespace occ

// Layout of a record of the new-vehicle list (Daten/NeufahrzeugeListe.txt), lines counted
// from the record's "<neufz>" line.
namespace neufz {
inline constexpr int kMarke = 1;
inline constexpr int kModell = 2;
inline constexpr int kPreis = 3;
inline constexpr int kKategorie = 5;
inline constexpr int kSitzhoehe = 11; // in mm
inline constexpr int kRate = 16;
inline constexpr int kFarben = 17;
inline constexpr int kHauptfoto = 22;  // further photos on the four lines after it
inline constexpr int kKategorien = 14; // category numbers run from 1 to this
} // namespace neufz

// A photo name must be longer than this to be looked up.
inline constexpr int kMinFotoName = 2;
inline constexpr int kMinNeuFzNebenfotoName = 5;
