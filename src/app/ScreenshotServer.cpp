#include "app/ScreenshotServer.h"

#include "app/AppConstants.h"
#include "settings/Journal.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLocalSocket>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtEndian>
#include <cstring>
#include <memory>

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
    // A frame still being encoded holds its thread, which must end before it is destroyed.
    for (QThread* encoder : findChildren<QThread*>(Qt::FindDirectChildrenOnly))
        encoder->wait();
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
        // Nothing longer than the request is ever taken in.
        socket->setReadBufferSize(qsizetype(std::strlen(app::kScreenshotRequest)) + 1);
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
    if (socket.bytesAvailable() < request.size())
        return;
    if (socket.read(request.size()) != request || socket.bytesAvailable() > 0) {
        Drop(socket);
        return;
    }
    socket.setProperty(kServed, true);
    // Encoding a large frame takes a noticeable time: the show goes on meanwhile.
    auto png = std::make_shared<QByteArray>();
    QThread* encoder = QThread::create([frame = Frame(), png] {
        if (frame.isNull())
            return;
        QBuffer buffer(png.get());
        buffer.open(QIODevice::WriteOnly);
        if (!frame.save(&buffer, "PNG"))
            png->clear();
    });
    encoder->setParent(this);
    connect(encoder, &QThread::finished, this,
            [encoder, png, target = QPointer<QLocalSocket>(&socket)] {
                encoder->deleteLater();
                if (!target)
                    return;
                const bool bFits = png->size() <= app::kMaxScreenshotBytes;
                char length[4];
                qToBigEndian<quint32>(bFits ? static_cast<quint32>(png->size()) : 0U, length);
                target->write(length, sizeof length);
                if (bFits)
                    target->write(*png);
                target->disconnectFromServer();
            });
    encoder->start();
}

QImage CScreenshotServer::Frame() const {
    QWidget* window = m_window.window();
    if (!window->isVisible())
        return {};
    // What reached the screen; a platform that gives no window's pixels (Wayland) gets the
    // window painted afresh.
    QPixmap frame;
    if (QScreen* screen = window->screen())
        frame = screen->grabWindow(window->winId());
    if (frame.isNull())
        frame = window->grab();
    return frame.toImage();
}
