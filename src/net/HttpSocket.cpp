#include "net/HttpSocket.h"

#include "net/SocketException.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t CopyLine(const char* line, std::size_t length, char* destination, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t copied = std::min(length, size - 1);
    std::memcpy(destination, line, copied);
    destination[copied] = '\0';
    return copied;
}

bool IsEmptyLine(const char* line) {
    return !std::strcmp(line, "\r\n") || !std::strcmp(line, "\n");
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

[[noreturn]] void BrokenChunk() {
    throw CSocketException("ReadChunk", sockapi::kProtocolError);
}

// The size of a chunk line ("1f4;ext=1\r\n"); fails above limit.
std::size_t ChunkSize(const char* line, std::size_t limit) {
    std::size_t size = 0;
    const char* p = line;
    for (; HexValue(*p) >= 0; ++p) {
        size = size * 16 + static_cast<std::size_t>(HexValue(*p));
        if (size > limit)
            BrokenChunk();
    }
    if (p == line)
        BrokenChunk();
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p != ';' && *p != '\r' && *p != '\n' && *p != '\0')
        BrokenChunk();
    return size;
}

} // namespace

std::size_t CHttpSocket::FillLine(int timeoutSeconds) {
    for (;;) {
        if (const void* lineFeed =
                std::memchr(m_receive + m_nSearched, '\n', m_nBuffered - m_nSearched))
            return static_cast<std::size_t>(static_cast<const char*>(lineFeed) - m_receive) + 1;
        m_nSearched = m_nBuffered;
        if (m_nBuffered == sizeof m_receive)
            return 0;
        const std::size_t received =
            Receive(m_receive + m_nBuffered, sizeof m_receive - m_nBuffered, timeoutSeconds);
        if (received == 0)
            return 0;
        m_nBuffered += received;
    }
}

void CHttpSocket::Consume(std::size_t count) {
    std::memmove(m_receive, m_receive + count, m_nBuffered - count);
    m_nBuffered -= count;
    m_nSearched = 0;
}

std::size_t CHttpSocket::ReadHeaderLine(char* destination, std::size_t size, int timeoutSeconds) {
    // A line longer than the receive buffer passes through it a buffer at a time.
    std::size_t whole = 0;
    std::size_t copied = CopyLine(m_receive, 0, destination, size);
    for (;;) {
        std::size_t length = FillLine(timeoutSeconds);
        const bool bEnd = length > 0;
        if (!bEnd && m_nBuffered < sizeof m_receive)
            throw CSocketException("ReadHeaderLine", 0);
        if (!bEnd)
            length = m_nBuffered;
        whole += length;
        if (whole > net::kMaxHeaderLine)
            throw CSocketException("ReadHeaderLine", sockapi::kHeaderTooLong);
        copied += CopyLine(m_receive, length, destination + copied, size - copied);
        Consume(length);
        if (bEnd)
            return whole;
    }
}

std::size_t CHttpSocket::ReadBody(char* destination, std::size_t limit, int timeoutSeconds) {
    std::size_t stored = std::min(m_nBuffered, limit);
    std::memcpy(destination, m_receive, stored);
    Consume(stored);
    while (stored < limit) {
        const std::size_t received = Receive(
            destination + stored, std::min(sizeof m_receive, limit - stored), timeoutSeconds);
        if (received == 0)
            break;
        stored += received;
    }
    return stored;
}

void CHttpSocket::ReadChunkLine(char* destination, std::size_t size, int timeoutSeconds) {
    const std::size_t length = FillLine(timeoutSeconds);
    if (length == 0)
        BrokenChunk();
    CopyLine(m_receive, length, destination, size);
    Consume(length);
}

std::size_t CHttpSocket::ReadChunkedBody(char* destination, std::size_t limit, int timeoutSeconds) {
    char line[net::kLineBufferSize];
    std::size_t stored = 0;
    for (;;) {
        ReadChunkLine(line, sizeof line, timeoutSeconds);
        const std::size_t chunk = ChunkSize(line, limit - stored);
        if (chunk == 0)
            break;
        if (ReadBody(destination + stored, chunk, timeoutSeconds) < chunk)
            BrokenChunk();
        stored += chunk;
        ReadChunkLine(line, sizeof line, timeoutSeconds);
        if (!IsEmptyLine(line))
            BrokenChunk();
    }
    // Trailer fields are skipped up to the closing empty line.
    do
        ReadChunkLine(line, sizeof line, timeoutSeconds);
    while (!IsEmptyLine(line));
    return stored;
}
