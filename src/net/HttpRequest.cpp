#include "net/HttpRequest.h"

#include "net/HttpSocket.h"
#include "net/SocketException.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr char kRequestFormat[] =
    "GET %s HTTP/1.0\r\nUser-Agent: TarrelZelvoraexe\r\nHost: %s\r\n\r\n";

// The first 15 characters of a length line, in any case; any character stands at the ninth
// position.
constexpr char kContentLengthName[] = "Content-*ength:";
constexpr std::size_t kContentLengthNameLength = sizeof kContentLengthName - 1;
constexpr std::size_t kAnyCharacterAt = 8;
constexpr std::size_t kStatusAt = 8;
constexpr std::size_t kStatusLength = 4;

struct FailureStatus {
    const char* message;
    int status;
};
constexpr FailureStatus kFailureStatus[] = {
    {"ReadHeaderLine Fehler", net::kStatusHeaderClosed},
    {"Receive timeout Fehler", net::kStatusReceiveTimeout},
    {"Send timeout Fehler", net::kStatusSendTimeout},
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Unreserved and reserved characters a path or query may carry as they are.
bool StaysInTarget(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) ||
           (c != '\0' && std::strchr("-._~!$&'()*+,;=:@/?", c) != nullptr);
}

std::string EncodeTarget(const char* path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string target;
    for (const char* p = path; *p != '\0'; ++p) {
        const bool escaped = *p == '%' && IsHexDigit(p[1]) && IsHexDigit(p[2]);
        if (escaped || StaysInTarget(*p)) {
            target += *p;
            continue;
        }
        const auto byte = static_cast<unsigned char>(*p);
        target += '%';
        target += kHex[byte >> 4];
        target += kHex[byte & 0x0f];
    }
    return target;
}

bool IsHeaderSafe(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte <= 0x20 || byte == 0x7f)
            return false;
    }
    return *text != '\0';
}

void CopyCut(const char* text, std::size_t length, char* field, std::size_t size) {
    const std::size_t copied = std::min(length, size - 1);
    std::memcpy(field, text, copied);
    field[copied] = '\0';
}

[[noreturn]] void BadLength() {
    throw CSocketException("Content-Length", sockapi::kProtocolError);
}

// Header names and the coding's name are compared in any case, as HTTP has it.
bool SameLetters(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

bool IsContentLengthLine(const char* line, std::size_t length) {
    if (length < kContentLengthNameLength)
        return false;
    for (std::size_t i = 0; i < kContentLengthNameLength; ++i) {
        if (i != kAnyCharacterAt && !SameLetters(line[i], kContentLengthName[i]))
            return false;
    }
    return true;
}

bool IsChunkedCoding(const char* value) {
    std::string_view coding(value);
    while (!coding.empty() && IsBlank(coding.back()))
        coding.remove_suffix(1);
    constexpr std::string_view kChunked = "chunked";
    return coding.size() == kChunked.size() &&
           std::equal(coding.begin(), coding.end(), kChunked.begin(), SameLetters);
}

// The value after the colon without surrounding blanks and the line end. Empty gives 0; any
// other value that is not a plain count within kMaxContentLength ends the request.
long long ContentLength(const char* line, std::size_t length) {
    const char* begin = line + kContentLengthNameLength;
    const char* end = line + length;
    while (end > begin && (end[-1] == '\n' || end[-1] == '\r' || IsBlank(end[-1])))
        --end;
    while (begin < end && IsBlank(*begin))
        ++begin;
    long long value = 0;
    for (const char* p = begin; p < end; ++p) {
        if (!IsDigit(*p))
            BadLength();
        value = value * 10 + (*p - '0');
        if (value > net::kMaxContentLength)
            BadLength();
    }
    return value;
}

// The blank and three digits after "HTTP/1.x".
int StatusOf(const char* line, std::size_t length) {
    std::size_t i = kStatusAt;
    const std::size_t end = std::min(length, kStatusAt + kStatusLength);
    while (i < end && line[i] == ' ')
        ++i;
    int status = 0;
    for (; i < end && IsDigit(line[i]); ++i)
        status = status * 10 + (line[i] - '0');
    return status;
}

} // namespace

CHttpRequest::CHttpRequest(sockapi::Resolver resolve) : m_resolve(std::move(resolve)) {
    m_szRequest[0] = '\0';
    ClearResponse();
}

bool CHttpRequest::FormatRequest(const char* path, const char* host) {
    m_szRequest[0] = '\0';
    if (path == nullptr || host == nullptr || !IsHeaderSafe(host))
        return false;
    const std::string target = EncodeTarget(path);
    const int written =
        std::snprintf(m_szRequest, sizeof m_szRequest, kRequestFormat, target.c_str(), host);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof m_szRequest) {
        m_szRequest[0] = '\0';
        return false;
    }
    return true;
}

void CHttpRequest::ClearResponse() {
    m_nResultCode = 0;
    m_nBodyLength = 0;
    m_nStatusCode = 0;
    m_bChunked = false;
    m_szHeader[0] = '\0';
    for (char* field : {m_szTransferEncoding, m_szExpires, m_szLastModified, m_szCacheControl,
                        m_szContentEncoding, m_szETag, m_szSetCookie, m_szServer, m_szDate,
                        m_szContentType, m_szConnection, m_szLocation})
        field[0] = '\0';
}

int CHttpRequest::RequestURL(const char* host, std::uint16_t port, int timeoutSeconds) noexcept {
    ClearResponse();
    const std::size_t requestLength = std::strlen(m_szRequest);
    CHttpSocket socket;
    socket.SetCancelToken(m_pCancel);
    socket.SetDeadline(m_deadline != CMySocket::Clock::time_point::max()
                           ? m_deadline
                           : CMySocket::Clock::now() + net::kMaxRequestTime);
    m_pBody.reset();
    try {
        socket.Create(net::kStreamSocket);
        socket.Connect(socket.GetHostByName(host, port, timeoutSeconds, m_resolve), timeoutSeconds);
        socket.SendAll(m_szRequest, requestLength, timeoutSeconds);
        const long long contentLength = ReadHeader(socket, timeoutSeconds);
        if (m_nStatusCode == 200)
            ReadBody(socket, contentLength, timeoutSeconds);
        else
            AllocateBody(0);
        socket.Close();
    } catch (const CSocketException& e) {
        char message[net::kErrorMessageSize];
        m_nResultCode = e.GetErrorMessage(message, sizeof message);
        for (const auto& failure : kFailureStatus) {
            if (std::strcmp(message, failure.message) == 0)
                m_nStatusCode = failure.status;
        }
        EndWithEmptyBody(socket);
    } catch (const std::exception&) {
        // Out of memory for the body, or no thread for the lookup.
        EndWithEmptyBody(socket);
    }
    return m_nResultCode;
}

long long CHttpRequest::ReadHeader(CHttpSocket& socket, int timeoutSeconds) {
    char line[net::kLineBufferSize];
    std::optional<long long> contentLength;
    std::size_t headerSize = 0;
    for (bool statusLine = true;; statusLine = false) {
        const std::size_t whole = socket.ReadHeaderLine(line, sizeof line, timeoutSeconds);
        headerSize += whole;
        if (headerSize > net::kMaxHeaderSize)
            throw CSocketException("ReadHeader", sockapi::kHeaderTooLong);
        const std::size_t length = std::min(whole, sizeof line - 1);
        if (IsContentLengthLine(line, length)) {
            // A length cut in the line buffer, or two that differ, leave the body's end unknown.
            if (whole != length)
                BadLength();
            const long long value = ContentLength(line, length);
            if (contentLength && *contentLength != value)
                BadLength();
            contentLength = value;
        }
        // Only the first line is the status line; a header named "HTTP..." must not pass as one.
        if (statusLine && std::strncmp(line, "HTTP", 4) == 0)
            m_nStatusCode = StatusOf(line, length);
        const std::size_t used = std::strlen(m_szHeader);
        CopyCut(line, length, m_szHeader + used, sizeof m_szHeader - used);
        // Line by line, so a value is kept even when the header text is full.
        EncodeHeader(line);
        if (std::strcmp(line, "\r\n") == 0 || std::strcmp(line, "\n") == 0)
            return contentLength.value_or(0);
    }
}

void CHttpRequest::AllocateBody(std::size_t size) {
    m_pBody = std::make_unique<char[]>(size + net::kBodySpare);
}

void CHttpRequest::ReadBody(CHttpSocket& socket, long long contentLength, int timeoutSeconds) {
    if (m_bChunked) {
        AllocateBody(net::kMaxUnsizedBody);
        m_nBodyLength = static_cast<int>(
            socket.ReadChunkedBody(m_pBody.get(), net::kMaxUnsizedBody, timeoutSeconds));
    } else if (contentLength > 0) {
        const auto length = static_cast<std::size_t>(contentLength);
        AllocateBody(length);
        // A body cut short is a broken file, not an answer.
        if (socket.ReadBody(m_pBody.get(), length, timeoutSeconds) < length)
            throw CSocketException("ReadBody", sockapi::kProtocolError);
        m_nBodyLength = static_cast<int>(contentLength);
    } else {
        m_nBodyLength = static_cast<int>(ReadToClose(socket, timeoutSeconds));
    }
}

std::size_t CHttpRequest::ReadToClose(CHttpSocket& socket, int timeoutSeconds) {
    // Only the close ends the body: one that fills the buffer is grown into, and one that
    // goes on beyond what an announced length may be is refused rather than cut.
    std::size_t capacity = net::kMaxUnsizedBody;
    AllocateBody(capacity);
    std::size_t stored = 0;
    for (;;) {
        stored += socket.ReadBody(m_pBody.get() + stored, capacity - stored, timeoutSeconds);
        if (stored < capacity)
            return stored;
        if (capacity > static_cast<std::size_t>(net::kMaxContentLength))
            throw CSocketException("ReadBody", sockapi::kProtocolError);
        const std::size_t grown =
            std::min(capacity * 2, static_cast<std::size_t>(net::kMaxContentLength) + 1);
        auto body = std::make_unique<char[]>(grown + net::kBodySpare);
        std::memcpy(body.get(), m_pBody.get(), stored);
        m_pBody = std::move(body);
        capacity = grown;
    }
}

void CHttpRequest::EndWithEmptyBody(CHttpSocket& socket) noexcept {
    socket.Abort();
    m_pBody.reset(new (std::nothrow) char[net::kBodySpare]());
    m_nBodyLength = 0;
}

void CHttpRequest::EncodeHeader(const char* headerText) {
    struct Field {
        const char* name;
        char* value;
        std::size_t size;
    };
    const Field fields[] = {
        {"Server: ", m_szServer, sizeof m_szServer},
        {"ETag: ", m_szETag, sizeof m_szETag},
        {"Set-Cookie: ", m_szSetCookie, sizeof m_szSetCookie},
        {"Date: ", m_szDate, sizeof m_szDate},
        {"Content-Type: ", m_szContentType, sizeof m_szContentType},
        {"Connection: ", m_szConnection, sizeof m_szConnection},
        {"Location: ", m_szLocation, sizeof m_szLocation},
        {"Content-Encoding: ", m_szContentEncoding, sizeof m_szContentEncoding},
        {"Cache-Control: ", m_szCacheControl, sizeof m_szCacheControl},
        {"Expires: ", m_szExpires, sizeof m_szExpires},
        {"Last-Modified: ", m_szLastModified, sizeof m_szLastModified},
        {"Transfer-Encoding: ", m_szTransferEncoding, sizeof m_szTransferEncoding},
    };
    for (const char* line = headerText; *line != '\0';) {
        const char* lineFeed = std::strchr(line, '\n');
        const std::size_t length =
            lineFeed ? static_cast<std::size_t>(lineFeed - line) : std::strlen(line);
        for (const Field& field : fields)
            ParseHeaderLine(line, length, field.name, field.value, field.size);
        if (lineFeed == nullptr)
            break;
        line = lineFeed + 1;
    }
    m_bChunked = IsChunkedCoding(m_szTransferEncoding);
}

void CHttpRequest::ParseHeaderLine(const char* line, std::size_t length, const char* name,
                                   char* field, std::size_t size) {
    const std::size_t nameLength = std::strlen(name);
    if (length < nameLength || !std::equal(name, name + nameLength, line, SameLetters))
        return;
    std::size_t valueLength = length - nameLength;
    // Only the CR goes; a line cut in the line buffer has none and keeps its last character.
    if (valueLength > 0 && line[length - 1] == '\r')
        --valueLength;
    CopyCut(line + nameLength, valueLength, field, size);
}
