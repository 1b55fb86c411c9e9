#include "net/SocketException.h"

#include <cstdio>

namespace {

void FormatMessage(char* buffer, std::size_t size, const char* operation, int errorCode) {
    if (buffer == nullptr || size == 0)
        return;
    if (errorCode != 0)
        std::snprintf(buffer, size, "%s Fehler #%d", operation, errorCode);
    else
        std::snprintf(buffer, size, "%s Fehler", operation);
}

} // namespace

CSocketException::CSocketException(const char* operation, int errorCode) : m_nError(errorCode) {
    std::snprintf(m_szOperation, sizeof m_szOperation, "%s", operation != nullptr ? operation : "");
    FormatMessage(m_szMessage, sizeof m_szMessage, m_szOperation, m_nError);
}

int CSocketException::GetErrorMessage(char* buffer, std::size_t size) const {
    FormatMessage(buffer, size, m_szOperation, m_nError);
    return m_nError;
}
