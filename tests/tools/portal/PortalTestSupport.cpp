#include "PortalTestSupport.h"

#include "SampleData.h"
#include "sync/Portal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Long enough for any answer of the loopback server; a hang fails instead of blocking.
constexpr int kReceiveTimeoutSeconds = 20;

} // namespace

const QString& SampleFolder() {
    static QTemporaryDir dir;
    static const QString folder = [] {
        // ctest generates one set for all test processes.
        const QString shared = qEnvironmentVariable("ZELVORA_SAMPLE_DATA");
        if (!shared.isEmpty())
            return shared;
        if (!dir.isValid() || !demoportal::GenerateSampleData(dir.path()))
            throw std::runtime_error("cannot generate the sample data");
        return dir.path();
    }();
    return folder;
}

void WriteDataFile(const QString& folder, const QString& relative, const QByteArray& bytes) {
    const QString path = folder + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test data");
}

void WriteDataFile(const QString& folder, const QString& relative,
                   const demoportal::CDataFile& data) {
    WriteDataFile(folder, relative, data.ToUtf8());
}

RawAnswer RawGet(int nPort, const QByteArray& target, const QByteArray& extraHeaders) {
    RawAnswer answer;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return answer;
    timeval timeout{kReceiveTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const QByteArray request = "GET " + target + " HTTP/1.0\r\nUser-Agent: TarrelZelvoraexe\r\n" +
                               "Host: " + portal::kHost + "\r\n" + extraHeaders + "\r\n";
    QByteArray received;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) == request.size()) {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, n);
    }
    ::close(fd);

    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0)
        return answer;
    answer.head = received.left(end);
    answer.body = received.mid(end + 4);
    answer.nStatus = answer.head.mid(9, 3).toInt();
    for (const QByteArray& line : answer.head.split('\n'))
        if (line.toLower().startsWith("content-length:"))
            answer.nContentLength = line.mid(15).trimmed().toLongLong();
    return answer;
}
