#pragma once
// Starts the socket layer for a group of requests and stops it when they are done.

#include "net/SocketApi.h"

class CSocketLibrary {
public:
    CSocketLibrary() : m_nStartup(sockapi::Startup()) {}
    ~CSocketLibrary() {
        if (m_nStartup == 0)
            sockapi::Cleanup();
    }
    CSocketLibrary(const CSocketLibrary&) = delete;
    CSocketLibrary& operator=(const CSocketLibrary&) = delete;

    // 0 when the layer is ready; otherwise the platform's code and requests will fail.
    int StartupResult() const { return m_nStartup; }

private:
    int m_nStartup;
};
