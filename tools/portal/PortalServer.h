#pragma once
// The demo portal's gateway: a small HTTP server that answers the program's requests from a
// data folder (PortalData.h). It runs on a thread of its own, so a test can start it
// in-process, point the program's sync at 127.0.0.1 and the port, and change the data or the
// faults between two requests.
//
// A new-vehicle list request carries no layout mode; its photo paths follow the mode of the
// dealer's latest record list, as the program always fetches that list first (mode 1 before
// any), or an "rm" value in the request when there is one.

#include "PortalConfig.h"
#include "PortalConstants.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace demoportal {

class CPortalServer {
public:
    explicit CPortalServer(const QString& dataFolder, PortalConfig config = {});
    ~CPortalServer();
    CPortalServer(const CPortalServer&) = delete;
    CPortalServer& operator=(const CPortalServer&) = delete;

    // Listens on address and port (0: a free port) and serves on a thread of its own.
    // Returns once connections are accepted; false when the address cannot be bound or the
    // server runs already.
    bool Start(const QString& address = QLatin1String(kDefaultBind), int nPort = 0);
    // Ends answers in progress (a delay is cut short), closes the port and joins the thread.
    void Stop();
    // The port listened on, 0 when not running.
    int Port() const;

    // Takes effect from the next request on.
    void SetConfig(PortalConfig config);
    PortalConfig Config() const;
    // The log line of every request since Start or ClearRequests that came while the config
    // kept requests: "GET <target> Host: <host>", the target as sent and "-" for a missing
    // Host line.
    QStringList Requests() const;
    void ClearRequests();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace demoportal
