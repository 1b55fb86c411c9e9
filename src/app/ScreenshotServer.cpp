#include "app/ScreenshotServer.h"

#include "app/AppConstants.h"
#include "settings/Journal.h"

#include <QBuffer>
#include <QDir>
#include <QLocalSocket>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#ifdef __linux__
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// The socket's file mode keeps other users out; the peer's credentials are checked as well,
// in case the folder's or the socket's mode was changed by hand.
bool IsOwnersPeer(const QLocalSocket& socket) {
#ifdef __linux__
    ucred peer{};
    socklen_t nSize = sizeof peer;
    if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                     &nSize) != 0)
        return false;
    return peer.uid == ::geteuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

// Marks a connection whose request has been answered.
constexpr char kServed[] = "zelvoraServed";

void Drop(QLocalSocket& socket) {
    socket.abort();
    socket.deleteLater();
}

} // namespace

CScreenshotServer::CScreenshotServer(QWidget& window, QObject* parent)
    : QObject(parent), m_window(window) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    const QString path =
        QDir::current().absoluteFilePath(QString::fromLatin1(app::kScreenshotSocket));
    QLocalServer::removeServer(path);
    if (!m_server.listen(path)) {
        Journal(QStringLiteral("screenshot off reason=%1")
                    .arg(m_server.errorString().replace(u' ', u'-')));
        return;
    }
    connect(&m_server, &QLocalServer::newConnection, this, &CScreenshotServer::Accept);
}

CScreenshotServer::~CScreenshotServer() {
    // Also removes the socket file.
    m_server.close();
}

void CScreenshotServer::Accept() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        // The sockets are the server's children until they are deleted.
        const auto nOpen = m_server.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size();
        if (nOpen > app::kMaxScreenshotClients || !IsOwnersPeer(*socket)) {
            Drop(*socket);
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Serve(*socket); });
        QTimer::singleShot(app::kScreenshotRequestWaitMs, socket, [socket] {
            if (!socket->property(kServed).toBool())
                Drop(*socket);
        });
        // Nor does a client that stops reading keep the frame here.
        QTimer::singleShot(app::kScreenshotWaitMs, socket, [socket] { Drop(*socket); });
    }
}

void CScreenshotServer::Serve(QLocalSocket& socket) {
    const QByteArray request(app::kScreenshotRequest);
    if (socket.property(kServed).toBool()) {
        Drop(socket);
        return;
    }
    // The request is read whole or not at all: nothing longer is ever taken in.
    if (socket.bytesAvailable() < request.size())
        return;
    if (socket.read(request.size()) != request || socket.bytesAvailable() > 0) {
        Drop(socket);
        return;
    }
    socket.setProperty(kServed, true);
    const QByteArray png = FramePng();
    const bool bFits = png.size() <= app::kMaxScreenshotBytes;
    char length[4];
    qToBigEndian<quint32>(bFits ? static_cast<quint32>(png.size()) : 0U, length);
    socket.write(length, sizeof length);
    if (bFits)
        socket.write(png);
    socket.disconnectFromServer();
}

QByteArray CScreenshotServer::FramePng() const {
    QWidget* window = m_window.window();
    QPixmap frame;
    // What reached the screen; a platform that gives no window's pixels (Wayland) gets the
    // window painted afresh.
    if (QScreen* screen = window->screen(); screen && window->isVisible())
        frame = screen->grabWindow(window->winId());
    if (frame.isNull() && window->isVisible())
        frame = window->grab();
    if (frame.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return frame.save(&buffer, "PNG") ? png : QByteArray();
}
