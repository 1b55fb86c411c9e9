#pragma once
// Fixed sizes and codes of the HTTP client. Text capacities include the terminating zero.

#include <chrono>
#include <cstddef>

namespace net {

// A TCP port as the operator types it: 1 to 65535, so five digits at most.
inline constexpr int kMaxPort = 65535;
inline constexpr int kPortDigits = 5;

inline constexpr std::size_t kReceiveBufferSize = 1000;
inline constexpr std::size_t kLineBufferSize = 500; // a header line keeps 499 characters
inline constexpr std::size_t kHeaderTextSize = 2048;
// A header line may run to kMaxHeaderLine bytes with its line end (a proxy's cookie can take
// thousands), the whole header to kMaxHeaderSize; longer ones end the request.
inline constexpr std::size_t kMaxHeaderLine = 8 * 1024;
inline constexpr std::size_t kMaxHeaderSize = 32 * 1024;
inline constexpr std::size_t kRequestTextSize = 2176;
inline constexpr std::size_t kExceptionNameSize = 1000;
inline constexpr std::size_t kErrorMessageSize = 1024;

// Header-value fields.
inline constexpr std::size_t kTransferEncodingSize = 256;
inline constexpr std::size_t kServerSize = 64;
inline constexpr std::size_t kDateSize = 64;
inline constexpr std::size_t kHeaderValueSize = 1024;

// A chunked body is read up to this many bytes; a body without a length (or with length 0)
// starts in a buffer of this size and is read to the close, up to kMaxContentLength.
inline constexpr int kMaxUnsizedBody = 200000;
// Spare zero bytes after every body, so it can also be read as text.
inline constexpr int kBodySpare = 100;
// Larger announced lengths, and longer bodies without one, are refused: no portal answer comes
// near, and an announced length's buffer is allocated up front.
inline constexpr long long kMaxContentLength = 64LL * 1024 * 1024;

// A request ends after this long in all, however its single waits go: a portal that trickles
// a byte now and then must not hold it for ever.
inline constexpr std::chrono::seconds kMaxRequestTime{120};

// Status codes of requests that ended without an HTTP answer.
inline constexpr int kStatusHeaderClosed = 1000;
inline constexpr int kStatusReceiveTimeout = 1001;
inline constexpr int kStatusSendTimeout = 1002;

inline constexpr int kStreamSocket = 1;

} // namespace net
