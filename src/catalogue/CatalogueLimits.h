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
