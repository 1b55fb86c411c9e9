#pragma once
// The dealer portal's fixed values, in one place.

namespace portal {
// The gateway host: the Host line of every request names it, also through a proxy.
inline constexpr char kHost[] = "gateway.zelvora-portal.example";
inline constexpr int kPort = 80;
// Web addresses shown on every slide and in the window title; short enough to fit the slide.
inline constexpr char kWebAddressDe[] = "www.zelvora.example";
inline constexpr char kWebAddressFr[] = "fr.zelvora.example";
// Path prefixes of the gateway.
inline constexpr char kGatewayPath[] = "/wsgateway/zelvora/";
inline constexpr char kOccasionPhotoPath[] = "/kunden_occasionen/";
} // namespace portal
