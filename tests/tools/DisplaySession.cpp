#include "tools/DisplaySession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPoint>
#include <QRect>
#include <QStandardPaths>
#include <QtEndian>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr int kStartMs = 20000;
constexpr int kToolMs = 60000;
// How far a slide reaches at least, in each direction, as a share of the screen.
constexpr double kSlideReach = 0.8;

QString Tool(const char* szPath) {
    return QString::fromUtf8(szPath);
}

bool Run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
         const QString& workingDirectory = {}) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    return process.waitForFinished(kToolMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A socket of the loopback that reads with a bound wait.
class CLoopbackSocket {
public:
    explicit CLoopbackSocket(quint16 nPort) {
        m_hSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        timeval wait{5, 0};
        ::setsockopt(m_hSocket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(nPort);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_bConnected =
            ::connect(m_hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    CLoopbackSocket(const CLoopbackSocket&) = delete;
    CLoopbackSocket& operator=(const CLoopbackSocket&) = delete;
    ~CLoopbackSocket() { ::close(m_hSocket); }
    bool IsConnected() const { return m_bConnected; }
    // Exactly n bytes; empty on an error or end.
    QByteArray Read(qsizetype n) {
        QByteArray data(n, Qt::Uninitialized);
        for (qsizetype nRead = 0; nRead < n;) {
            const ssize_t nGot = ::recv(m_hSocket, data.data() + nRead, size_t(n - nRead), 0);
            if (nGot <= 0)
                return {};
            nRead += nGot;
        }
        return data;
    }
    bool Write(const QByteArray& data) {
        return ::send(m_hSocket, data.constData(), size_t(data.size()), MSG_NOSIGNAL) ==
               ssize_t(data.size());
    }

private:
    int m_hSocket = -1;
    bool m_bConnected = false;
};

quint16 Be16(const QByteArray& data, int at) {
    return qFromBigEndian<quint16>(data.constData() + at);
}

// The folder the demo portal's slides are synced into, once per test program.
const QTemporaryDir* SyncedCache() {
    static QTemporaryDir dir;
    static const bool bSynced = [] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString data = dir.filePath(QStringLiteral("portal"));
        const QString work = dir.filePath(QStringLiteral("work"));
        if (!QDir().mkpath(work) ||
            !Run(Tool(ZELVORA_PORTAL_TOOL), {QStringLiteral("--generate"), data}, env))
            return false;
        CChild portal;
        portal.Start(
            Tool(ZELVORA_PORTAL_TOOL),
            {QStringLiteral("--data"), data, QStringLiteral("--port"), QStringLiteral("0")}, env,
            {}, CChild::Output::Piped);
        QByteArray out;
        for (QDeadlineTimer deadline(kStartMs); !out.contains('\n') && !deadline.hasExpired();)
            if (portal.Process().waitForReadyRead(1000))
                out += portal.Process().readAllStandardOutput();
        const QByteArray prefix = "listening on ";
        if (!out.startsWith(prefix))
            return false;
        const QString address = QString::fromLatin1(out.mid(prefix.size()).trimmed());
        return Run(Tool(ZELVORA_CONFIGURE_TOOL),
                   {QStringLiteral("--customer"), QStringLiteral("12345"),
                    QStringLiteral("--password"), QStringLiteral("demo"), QStringLiteral("--proxy"),
                    address},
                   env) &&
               Run(Tool(ZELVORA_RENDER_TOOL),
                   {QStringLiteral("--sync"), QStringLiteral("--list"), QStringLiteral("--dir"),
                    work},
                   env, work);
    }();
    return bSynced ? &dir : nullptr;
}

} // namespace

void CChild::Start(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& env, const QString& workingDirectory, Output output) {
    const QString log = m_logDir.filePath(QStringLiteral("output"));
    m_process.setStandardErrorFile(log, QIODevice::Append);
    m_process.setStandardOutputFile(output == Output::Logged ? log : QString(), QIODevice::Append);
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(workingDirectory);
    m_process.start(program, arguments);
}

QString CChild::LogTail() const {
    constexpr qint64 kTailBytes = 4000;
    QFile log(m_logDir.filePath(QStringLiteral("output")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    log.seek(std::max<qint64>(0, log.size() - kTailBytes));
    return QString::fromLocal8Bit(log.readAll());
}

void CChild::Stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000))
        m_process.kill();
    m_process.waitForFinished(10000);
}

CXServer::CXServer(const QString& program, QStringList arguments, const QString& parent) {
    // -displayfd 1: the server picks a free display and names it on its output.
    arguments << QStringLiteral("-displayfd") << QStringLiteral("1") << QStringLiteral("-nolisten")
              << QStringLiteral("tcp");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!parent.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), parent);
    m_server.Start(program, arguments, env, {}, CChild::Output::Piped);
    QByteArray display;
    for (QDeadlineTimer deadline(kStartMs); !display.endsWith('\n') && !deadline.hasExpired();)
        if (m_server.Process().waitForReadyRead(1000))
            display += m_server.Process().readAllStandardOutput();
    if (display.endsWith('\n'))
        m_display = QLatin1Char(':') + QString::fromLatin1(display.trimmed());
}

CFrameBufferServer::CFrameBufferServer(const QSize& size)
    : m_server(std::make_unique<CXServer>(
          QStringLiteral("Xvfb"),
          QStringList{QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()),
                      QStringLiteral("-fbdir"), m_dir.path(), QStringLiteral("-wr")})) {}

QImage CFrameBufferServer::Picture() const {
    QFile file(m_dir.filePath(QStringLiteral("Xvfb_screen0")));
    return file.open(QIODevice::ReadOnly) ? FromWindowDump(file.readAll()) : QImage();
}

QString RunOn(const QString& display, const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QImage FromWindowDump(const QByteArray& data) {
    constexpr int kHeaderFields = 25;
    constexpr int kColourBytes = 12;
    if (data.size() < kHeaderFields * 4)
        return {};
    const auto field = [&data](int n) {
        return qFromBigEndian<quint32>(data.constData() + 4 * n);
    };
    const int nWidth = int(field(4));
    const int nHeight = int(field(5));
    const qsizetype nBytesPerLine = field(12);
    const qsizetype nPixels = qsizetype(field(0)) + qsizetype(field(19)) * kColourBytes;
    if (field(11) != 32 || nPixels + nBytesPerLine * nHeight > data.size())
        return {};
    // 32 bits a pixel in the machine's order: blue, green, red, unused, as QImage's RGB32.
    return QImage(reinterpret_cast<const uchar*>(data.constData() + nPixels), nWidth, nHeight,
                  nBytesPerLine, QImage::Format_RGB32)
        .copy();
}

QImage ReadVncScreen(quint16 nPort) {
    CLoopbackSocket socket(nPort);
    // Protocol 3.3: the server chooses the security type, and gives none here.
    if (!socket.IsConnected() || !socket.Read(12).startsWith("RFB ") ||
        !socket.Write("RFB 003.003\n") || socket.Read(4) != QByteArray("\0\0\0\1", 4) ||
        !socket.Write(QByteArray(1, '\1')))
        return {};
    const QByteArray init = socket.Read(24);
    if (init.size() != 24)
        return {};
    const int nWidth = Be16(init, 0);
    const int nHeight = Be16(init, 2);
    // 32 bits a pixel, true colour, little-endian, red at bit 16: QImage's RGB32 as it is.
    const QByteArray format = init.mid(4, 16);
    if (format[0] != 32 || format[2] != 0 || format[3] == 0 || format[10] != 16 ||
        format[11] != 8 || format[12] != 0)
        return {};
    const quint32 nNameLength = qFromBigEndian<quint32>(init.constData() + 20);
    if (nNameLength > 4096 || socket.Read(nNameLength).size() != qsizetype(nNameLength))
        return {};
    // SetEncodings: raw only; then the whole screen, not incremental.
    QByteArray request = QByteArray::fromHex("020000010000000003000000000000000000");
    qToBigEndian<quint16>(quint16(nWidth), request.data() + 14);
    qToBigEndian<quint16>(quint16(nHeight), request.data() + 16);
    if (!socket.Write(request))
        return {};
    const QByteArray header = socket.Read(4);
    if (header.size() != 4 || header[0] != 0)
        return {};
    QImage picture(nWidth, nHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int nRect = Be16(header, 2); nRect > 0; --nRect) {
        const QByteArray rect = socket.Read(12);
        if (rect.size() != 12 || qFromBigEndian<qint32>(rect.constData() + 8) != 0)
            return {};
        const QRect area(Be16(rect, 0), Be16(rect, 2), Be16(rect, 4), Be16(rect, 6));
        if (!picture.rect().contains(area))
            return {};
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QByteArray line = socket.Read(qsizetype(area.width()) * 4);
            if (line.isEmpty())
                return {};
            std::copy(line.cbegin(), line.cend(),
                      reinterpret_cast<char*>(picture.scanLine(y)) + area.left() * 4);
        }
    }
    return picture;
}

quint16 FreeLoopbackPort() {
    const int hSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof address;
    quint16 nPort = 0;
    if (::bind(hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(hSocket, reinterpret_cast<sockaddr*>(&address), &nLength) == 0)
        nPort = ntohs(address.sin_port);
    ::close(hSocket);
    return nPort;
}

bool Covered(const QImage& picture) {
    const QSize size = picture.size();
    if (size.width() < 4 || size.height() < 4)
        return false;
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(size.width() - 4, 0), QPoint(0, size.height() - 4),
          QPoint(size.width() - 4, size.height() - 4)})
        for (int dy = 0; dy < 4; ++dy)
            for (int dx = 0; dx < 4; ++dx)
                if ((picture.pixel(corner.x() + dx, corner.y() + dy) & 0xffffff) != 0)
                    return false;
    return true;
}

bool SlideFills(const QImage& picture, const QSize& size) {
    if (picture.size() != size || !Covered(picture))
        return false;
    // Every other line and column is enough to find the slide's edges.
    QRect drawn;
    for (int y = 0; y < size.height(); y += 2) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < size.width(); x += 2)
            if ((line[x] & 0xffffff) != 0)
                drawn |= QRect(x, y, 1, 1);
    }
    return drawn.width() >= size.width() * kSlideReach &&
           drawn.height() >= size.height() * kSlideReach;
}

bool Installed(const QStringList& programs, QString* missing) {
    for (const QString& program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            *missing = program;
            return false;
        }
    }
    return true;
}

CShowFolder::CShowFolder() {
    const QTemporaryDir* cache = SyncedCache();
    m_bValid = cache && m_dir.isValid() &&
               Run(QStringLiteral("cp"),
                   {QStringLiteral("-a"), cache->filePath(QStringLiteral("work")),
                    cache->filePath(QStringLiteral("config")), m_dir.path()},
                   QProcessEnvironment::systemEnvironment());
}

QProcessEnvironment CShowFolder::Environment(const QString& platform) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), ConfigPath());
    // What a window manager or compositor keeps stays in the test's folder too.
    for (const char* szVariable : {"XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        env.insert(QString::fromLatin1(szVariable), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    for (const char* szVariable : {"DISPLAY", "WAYLAND_DISPLAY", "NOTIFY_SOCKET"})
        env.remove(QString::fromLatin1(szVariable));
    return env;
}

bool CShowFolder::GiveTo(uint nUid) const {
    return ::GiveTo(m_dir.path(), nUid);
}

QString Unavailable(const QStringList& programs) {
    QString missing;
    if (!Installed(programs, &missing))
        return missing + QStringLiteral(" is not installed");
    const QStringList drop = DropPrivileges();
    // A build root that only root may enter lets no other user run any program.
    if (programs.contains(QStringLiteral("setpriv")) && !drop.isEmpty() &&
        !Run(drop.first(), drop.mid(1) + QStringList{QStringLiteral("true")},
             QProcessEnvironment::systemEnvironment()))
        return QStringLiteral("user %1 may not run programs here").arg(kUnprivilegedUid);
    return {};
}

bool GiveTo(const QString& path, uint nUid) {
    return Run(QStringLiteral("chown"),
               {QStringLiteral("-R"), QStringLiteral("%1:%1").arg(nUid), path},
               QProcessEnvironment::systemEnvironment());
}

QStringList DropPrivileges() {
    if (::geteuid() != 0)
        return {};
    return {QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(kUnprivilegedUid),
            QStringLiteral("--regid=%1").arg(kUnprivilegedUid), QStringLiteral("--clear-groups")};
}
