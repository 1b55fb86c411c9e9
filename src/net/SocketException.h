#pragma once
// The one failure type of the network layer: the name of the operation that failed and the
// socket layer's error code, 0 when no socket call failed (a time-out, a peer that closed).

#include "net/NetLimits.h"

#include <cstddef>
#include <exception>

class CSocketException : public std::exception {
public:
    CSocketException(const char* operation, int errorCode);

    // "<operation> Fehler #<code>", or "<operation> Fehler" for code 0, cut to size - 1
    // characters. Returns the error code.
    int GetErrorMessage(char* buffer, std::size_t size) const;
    const char* what() const noexcept override { return m_szMessage; }

    int ErrorCode() const { return m_nError; }
    const char* Operation() const { return m_szOperation; }

private:
    int m_nError;
    char m_szOperation[net::kExceptionNameSize];
    char m_szMessage[net::kErrorMessageSize]; // room for the longest name and any code
};
