#pragma once
// Fixed values of the portal synchronisation.

#include <array>

namespace credential {
// The "code" setting: the password field's hex digits, then the customer number's.
inline constexpr int kPasswordFieldSize = 32;
inline constexpr int kKundenNrFieldSize = 16;
inline constexpr int kCodeLength = 2 * (kPasswordFieldSize + kKundenNrFieldSize);

// Our own key bytes. Changing them makes every stored "code" unreadable: the operator would
// have to enter the credentials again.
inline constexpr std::array<unsigned char, 13> kPasswordKey{
    0x5B, 0x07, 0xE3, 0x91, 0x2C, 0xA8, 0x00, 0x4F, 0xD6, 0x1E, 0x83, 0xB9, 0x6A};
inline constexpr std::array<unsigned char, 9> kKundenNrKey{0xC4, 0x19, 0x7F, 0xE0, 0x03,
                                                           0x5D, 0xAA, 0x92, 0x36};
} // namespace credential
