#pragma once
// One HTTP/1.0 GET over its own connection: the caller writes the request text, names the
// host and port to connect to, and reads the body and its length afterwards. No keep-alive,
// no redirects, no retries. The object is large (all buffers inline); hold it as a local.

#include "net/NetLimits.h"
#include "net/SocketApi.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

class CCancelToken;
class CHttpSocket;

class CHttpRequest {
public:
    // The resolver is a seam for tests: name lookups must not leave the machine there.
    explicit CHttpRequest(sockapi::Resolver resolve = sockapi::ResolveBlocking);
    CHttpRequest(const CHttpRequest&) = delete;
    CHttpRequest& operator=(const CHttpRequest&) = delete;

    // Writes the request text for path (origin form, with its query) and the Host line.
    // Bytes a request target may not hold are percent-encoded; "%" stays when two hex digits
    // follow it. False, leaving the request text empty, when host is empty or holds a blank or
    // control character, or when the text would not fit.
    [[nodiscard]] bool FormatRequest(const char* path, const char* host);

    // A cancel from another thread ends the request at once, with an empty body.
    void SetCancelToken(CCancelToken* pCancel) { m_pCancel = pCancel; }
    // The end of the request when it began before RequestURL, with a name lookup of its own;
    // otherwise it ends net::kMaxRequestTime after RequestURL is called.
    void SetDeadline(std::chrono::steady_clock::time_point deadline) { m_deadline = deadline; }

    // Sends the request text to host:port and reads the answer; every single wait lasts at
    // most timeoutSeconds, the whole request at most net::kMaxRequestTime. Returns the result code:
    // 0, or the error code of the failure that ended the request. Callers that need the answer
    // check the body length.
    int RequestURL(const char* host, std::uint16_t port, int timeoutSeconds) noexcept;

    const char* RequestText() const { return m_szRequest; }
    const char* HeaderText() const { return m_szHeader; }
    // Always NUL-terminated, also before the first request.
    const char* Body() const { return m_pBody ? m_pBody.get() : ""; }
    int BodyLength() const { return m_nBodyLength; }
    int StatusCode() const { return m_nStatusCode; }
    int ResultCode() const { return m_nResultCode; }
    bool IsChunked() const { return m_bChunked; }

    const char* TransferEncoding() const { return m_szTransferEncoding; }
    const char* Expires() const { return m_szExpires; }
    const char* LastModified() const { return m_szLastModified; }
    const char* CacheControl() const { return m_szCacheControl; }
    const char* ContentEncoding() const { return m_szContentEncoding; }
    const char* ETag() const { return m_szETag; }
    const char* SetCookie() const { return m_szSetCookie; }
    const char* Server() const { return m_szServer; }
    const char* Date() const { return m_szDate; }
    const char* ContentType() const { return m_szContentType; }
    const char* Connection() const { return m_szConnection; }
    const char* Location() const { return m_szLocation; }

private:
    void ClearResponse();
    // The announced content length, 0 when none; fills status, header text and values.
    long long ReadHeader(CHttpSocket& socket, int timeoutSeconds);
    void ReadBody(CHttpSocket& socket, long long contentLength, int timeoutSeconds);
    // A body without a length, up to the peer's close; its length.
    std::size_t ReadToClose(CHttpSocket& socket, int timeoutSeconds);
    void AllocateBody(std::size_t size);
    void EndWithEmptyBody(CHttpSocket& socket) noexcept;
    void EncodeHeader(const char* headerText);
    static void ParseHeaderLine(const char* line, std::size_t length, const char* name, char* field,
                                std::size_t size);

    char m_szHeader[net::kHeaderTextSize];
    char m_szRequest[net::kRequestTextSize];
    char m_szTransferEncoding[net::kTransferEncodingSize];
    char m_szExpires[net::kHeaderValueSize];
    char m_szLastModified[net::kHeaderValueSize];
    char m_szCacheControl[net::kHeaderValueSize];
    char m_szContentEncoding[net::kHeaderValueSize];
    char m_szETag[net::kHeaderValueSize];
    char m_szSetCookie[net::kHeaderValueSize];
    char m_szServer[net::kServerSize];
    char m_szDate[net::kDateSize];
    char m_szContentType[net::kHeaderValueSize];
    char m_szConnection[net::kHeaderValueSize];
    char m_szLocation[net::kHeaderValueSize];
    bool m_bChunked = false;
    int m_nBodyLength = 0;
    int m_nStatusCode = 0;
    int m_nResultCode = 0;
    std::unique_ptr<char[]> m_pBody;
    sockapi::Resolver m_resolve;
    CCancelToken* m_pCancel = nullptr;
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
};
