// The portal's answer as the HTTP client reads it: the input is the whole response of a server
// on loopback, which then closes its side, so the client always sees the end and never waits.

#include "net/HttpRequest.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

// Long enough never to run out on loopback: the server has closed, so a wait that ends by
// time-out is a fault of the client.
constexpr int kTimeoutSeconds = 5;

int g_listen = -1;
std::uint16_t g_port = 0;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "http fuzz: %s\n", what);
    std::abort();
}

void Listen() {
    g_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (g_listen < 0 || ::bind(g_listen, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(g_listen, 1) != 0 ||
        ::getsockname(g_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        Fail("cannot listen on loopback");
    g_port = ntohs(address.sin_port);
}

void Answer(const std::uint8_t* data, std::size_t size) {
    const int connection = ::accept(g_listen, nullptr, nullptr);
    if (connection < 0)
        Fail("cannot accept");
    // A client that has read what it wants closes; the rest is then refused.
    for (std::size_t sent = 0; sent < size;) {
        const ssize_t n = ::send(connection, data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(connection, SHUT_WR);
    // Closing before the client has would reset the connection under its unread answer.
    char sink[1024];
    while (::recv(connection, sink, sizeof sink, 0) > 0) {
    }
    ::close(connection);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Listen();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto request = std::make_unique<CHttpRequest>();
    if (!request->FormatRequest("/wsgateway/zelvora/zelvora.php?fn=1", "gateway.test"))
        Fail("cannot format the request");
    std::thread server(Answer, data, size);
    const auto start = std::chrono::steady_clock::now();
    request->RequestURL("127.0.0.1", g_port, kTimeoutSeconds);
    // Not told by the status: a server may send 1001 or 1002 itself.
    if (std::chrono::steady_clock::now() - start >= std::chrono::seconds(kTimeoutSeconds))
        Fail("waited for an answer that had ended");
    server.join();
    // The body is NUL-terminated after its length, whatever the answer was.
    if (request->BodyLength() < 0 || request->Body()[request->BodyLength()] != '\0')
        Fail("body not terminated after its length");
    return 0;
}
