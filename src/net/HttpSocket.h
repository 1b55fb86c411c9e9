#pragma once
// A socket with a receive buffer and a line reader for the response header; the body is read
// through the same buffer, so bytes that arrived with the header are not lost.

#include "net/MySocket.h"
#include "net/NetLimits.h"

#include <cstddef>

class CHttpSocket : public CMySocket {
public:
    // The next line up to and including its line feed, cut to size - 1 characters and
    // NUL-terminated; the whole line is consumed. Returns the whole line's length, which may be
    // more than was copied. Fails as "ReadHeaderLine" when the peer closes first, and with
    // sockapi::kHeaderTooLong when the line runs over net::kMaxHeaderLine bytes.
    std::size_t ReadHeaderLine(char* destination, std::size_t size, int timeoutSeconds);
    // Up to limit body bytes, buffered ones first; ends early when the peer closes.
    std::size_t ReadBody(char* destination, std::size_t limit, int timeoutSeconds);
    // A body in chunked transfer coding, decoded. Fails as "ReadChunk" when the coding is
    // broken or cut off, or the body holds more than limit bytes.
    std::size_t ReadChunkedBody(char* destination, std::size_t limit, int timeoutSeconds);

private:
    // Length of the next complete line with its line feed; 0 when none will come.
    std::size_t FillLine(int timeoutSeconds);
    void Consume(std::size_t count);
    void ReadChunkLine(char* destination, std::size_t size, int timeoutSeconds);

    char m_receive[net::kReceiveBufferSize];
    std::size_t m_nBuffered = 0;
    std::size_t m_nSearched = 0; // bytes already known to hold no line feed
};
