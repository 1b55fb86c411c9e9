#include "PortalServer.h"

#include "PortalAnswers.h"
#include "PortalData.h"
#include "catalogue/CacheText.h"
#include "sync/Portal.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <sys/socket.h>
#include <thread>

#include <httplib.h>

namespace demoportal {
namespace {

constexpr char kTextType[] = "text/plain; charset=windows-1252";
constexpr char kPhotoType[] = "image/jpeg";

struct Answer {
    int nStatus = 200;
    QByteArray body;
    const char* type = kTextType;
};

Answer TextAnswer(int nStatus, const char* text) {
    return {nStatus, QByteArray(text), kTextType};
}

int IntParam(const httplib::Request& req, const char* name) {
    return cache::ParseInt(QByteArrayView(req.get_param_value(name)));
}

QString StringParam(const httplib::Request& req, const char* name) {
    return QString::fromStdString(req.get_param_value(name));
}

const FaultRule* ShapingFault(const std::vector<FaultRule>& faults, QByteArrayView target) {
    for (const FaultRule& rule : faults)
        if (rule.kind != FaultKind::Delay && rule.Matches(target))
            return &rule;
    return nullptr;
}

// Every answer goes through a content provider: it is never compressed or chunked, gets a
// Content-Length unless a fault takes it away, and can be cut short at a chosen byte.
void Send(httplib::Response& res, Answer answer, const FaultRule* fault) {
    const auto is = [fault](FaultKind kind) {
        return fault && fault->kind == kind;
    };
    if (is(FaultKind::CrLf) && answer.type == kTextType)
        answer.body.replace("\n", "\r\n");
    if (is(FaultKind::LongHeader))
        res.set_header("Set-Cookie", std::string(std::size_t(fault->nValue), 'z'));
    if (is(FaultKind::ContentEncoding))
        res.set_header("Content-Encoding", fault->text.toStdString());
    const std::string type =
        is(FaultKind::ContentType) ? fault->text.toStdString() : std::string(answer.type);
    auto bytes = std::make_shared<std::string>(answer.body.toStdString());
    res.status = answer.nStatus;
    if (is(FaultKind::TwoLengths)) {
        res.set_header("Content-Length", std::to_string(bytes->size()));
        res.set_header("Content-Length", std::to_string(bytes->size() / 2));
    }
    if (is(FaultKind::NoLength) || is(FaultKind::TwoLengths) || is(FaultKind::CutNoLength)) {
        // Without a length of its own the close ends the body, wherever it comes.
        const std::size_t sent = is(FaultKind::CutNoLength) ? bytes->size() / 2 : bytes->size();
        res.set_content_provider(type, [bytes, sent](std::size_t, httplib::DataSink& sink) {
            const bool bSent = sink.write(bytes->data(), sent);
            sink.done();
            return bSent;
        });
        return;
    }
    std::size_t announced = bytes->size();
    std::size_t sent = bytes->size();
    if (is(FaultKind::CloseBeforeBody))
        sent = 0;
    else if (is(FaultKind::CutBody))
        sent = bytes->size() / 2;
    else if (is(FaultKind::LongLength))
        announced += kLongLengthExtra;
    if (announced == 0) {
        res.set_header("Content-Length", "0");
        return;
    }
    res.set_content_provider(
        announced, type, [bytes, sent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            // Returning false closes the connection: the rest never comes.
            return offset < sent && sink.write(bytes->data() + offset, sent - offset);
        });
}

} // namespace

struct CPortalServer::Impl {
    QString strFolder;
    mutable std::mutex mutex;
    PortalConfig config;
    QStringList requests;
    std::map<int, int> resModeOfDealer;
    std::condition_variable stopping;
    bool bStopping = false;
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int nPort = 0;

    void Handle(const httplib::Request& req, httplib::Response& res);
    PortalConfig LogAndSnapshot(const httplib::Request& req);
    // Waits unless the server stops meanwhile.
    void Delay(int nMilliseconds);
    Answer Gateway(const httplib::Request& req);
    Answer Photo(const httplib::Request& req) const;
};

PortalConfig CPortalServer::Impl::LogAndSnapshot(const httplib::Request& req) {
    const std::string host = req.has_header("Host") ? req.get_header_value("Host") : "-";
    const QByteArray line =
        QByteArray::fromStdString(req.method + ' ' + req.target + " Host: " + host);
    std::lock_guard lock(mutex);
    if (config.bKeepRequests)
        requests.append(QString::fromLatin1(line));
    if (!config.strLogFile.isEmpty()) {
        QFile log(config.strLogFile);
        if (log.open(QIODevice::WriteOnly | QIODevice::Append))
            log.write(line + '\n');
    }
    return config;
}

void CPortalServer::Impl::Delay(int nMilliseconds) {
    std::unique_lock lock(mutex);
    stopping.wait_for(lock, std::chrono::milliseconds(nMilliseconds), [this] { return bStopping; });
}

void CPortalServer::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
    const PortalConfig snapshot = LogAndSnapshot(req);
    const QByteArrayView target(req.target.data(), qsizetype(req.target.size()));
    int nDelay = 0;
    for (const FaultRule& rule : snapshot.faults)
        if (rule.kind == FaultKind::Delay && rule.Matches(target))
            nDelay += rule.nValue;
    if (nDelay > 0)
        Delay(nDelay);

    const FaultRule* fault = ShapingFault(snapshot.faults, target);
    if (fault && fault->kind == FaultKind::Status)
        return Send(res, TextAnswer(fault->nValue, kInjectedError), nullptr);
    if (fault && fault->kind == FaultKind::Fehler)
        return Send(res, TextAnswer(200, kInjectedError), nullptr);
    if (fault && fault->kind == FaultKind::Body)
        return Send(res, Answer{200, fault->text, kTextType}, nullptr);

    const std::string gateway = std::string(portal::kGatewayPath) + kGatewayPage;
    Send(res, req.path == gateway ? Gateway(req) : Photo(req), fault);
}

Answer CPortalServer::Impl::Gateway(const httplib::Request& req) {
    const CPortalData data(strFolder);
    const Sprache la = req.get_param_value("la") == "fr" ? Sprache::Fr : Sprache::De;
    const int nKundenNr = IntParam(req, "kn");
    const int nFn = IntParam(req, "fn");
    const auto resMode = [&] {
        return IntParam(req, "rm") == kLargeResMode ? kLargeResMode : 1;
    };

    if (nFn == kFnRecord) {
        const auto record = data.Occasion(IntParam(req, "sn"));
        if (!record)
            return TextAnswer(404, kNotFoundError);
        return {200, RecordFile(*record, la, resMode()), kTextType};
    }
    if (nFn != kFnRecordList && nFn != kFnNeuFzList)
        return TextAnswer(400, kBadRequestError);

    const auto dealer = data.Dealer(nKundenNr);
    if (!CheckLogin(dealer, QByteArrayView(req.get_param_value("ap"))))
        return TextAnswer(200, kLoginError);
    if (nFn == kFnRecordList) {
        const int nResMode = resMode();
        {
            std::lock_guard lock(mutex);
            resModeOfDealer[nKundenNr] = nResMode;
        }
        return {200, RecordList(*dealer, data.Occasionen(nKundenNr), la, nResMode), kTextType};
    }
    int nResMode = 1;
    if (req.has_param("rm")) {
        nResMode = resMode();
    } else {
        std::lock_guard lock(mutex);
        if (const auto it = resModeOfDealer.find(nKundenNr); it != resModeOfDealer.end())
            nResMode = it->second;
    }
    const QStringList brands = StringParam(req, "ma").split(QLatin1Char(','));
    return {200, NeuFzList(data.NeuFahrzeuge(), brands, la, nResMode), kTextType};
}

Answer CPortalServer::Impl::Photo(const httplib::Request& req) const {
    const QString path = CPortalData(strFolder).PhotoFile(QString::fromStdString(req.path));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return TextAnswer(404, kNotFoundError);
    return {200, file.readAll(), kPhotoType};
}

CPortalServer::CPortalServer(const QString& dataFolder, PortalConfig config)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->strFolder = QDir(dataFolder).absolutePath();
    m_impl->config = std::move(config);
}

CPortalServer::~CPortalServer() {
    Stop();
}

bool CPortalServer::Start(const QString& address, int nPort) {
    Impl& d = *m_impl;
    if (d.server)
        return false;
    {
        std::lock_guard lock(d.mutex);
        d.bStopping = false;
        d.requests.clear();
        d.resModeOfDealer.clear();
    }
    auto server = std::make_unique<httplib::Server>();
    server->set_keep_alive_timeout(kKeepAliveSeconds);
    server->set_read_timeout(kReadTimeoutSeconds);
    // The library's default adds SO_REUSEPORT, which lets a second server share a busy port
    // and take half its connections. Only reuse an address left in TIME_WAIT.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->Get(".*",
                [&d](const httplib::Request& req, httplib::Response& res) { d.Handle(req, res); });
    const std::string host = address.toStdString();
    const int nBound = nPort == 0 ? server->bind_to_any_port(host)
                                  : (server->bind_to_port(host, nPort) ? nPort : -1);
    if (nBound <= 0)
        return false;

    httplib::Server* raw = server.get();
    d.thread = std::thread([raw] { raw->listen_after_bind(); });
    // stop() does nothing before the accept loop runs, so Stop must not come earlier.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (!raw->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!raw->is_running()) {
        raw->stop();
        d.thread.join();
        return false;
    }
    d.server = std::move(server);
    d.nPort = nBound;
    return true;
}

void CPortalServer::Stop() {
    Impl& d = *m_impl;
    if (!d.server)
        return;
    {
        std::lock_guard lock(d.mutex);
        d.bStopping = true;
    }
    d.stopping.notify_all();
    d.server->stop();
    d.thread.join();
    d.server.reset();
    d.nPort = 0;
}

int CPortalServer::Port() const {
    return m_impl->nPort;
}

void CPortalServer::SetConfig(PortalConfig config) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->config = std::move(config);
}

PortalConfig CPortalServer::Config() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->config;
}

QStringList CPortalServer::Requests() const {
    std::lock_guard lock(m_impl->mutex);
    // A list of its own, not a shared one: the caller lets go of it without the lock while a
    // server thread may append to the server's list, and Qt sees an unshared list as its own
    // to grow in place without any ordering against that release.
    return QStringList(m_impl->requests.cbegin(), m_impl->requests.cend());
}

void CPortalServer::ClearRequests() {
    std::lock_guard lock(m_impl->mutex);
    m_impl->requests.clear();
}

} // namespace demoportal
