#pragma once
// A real TCP server on 127.0.0.1 for the client's tests: it answers each accepted connection
// with scripted bytes, records what the client sent, and is joined when it goes out of scope.

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

struct ServerReply {
    std::string bytes; // sent once the request has arrived
    bool closeAtOnce = false;
    bool holdOpen = false;       // after the bytes, wait for the client to close first
    bool resetAfterSend = false; // end with a reset instead of an orderly close
};

class CScriptedServer {
public:
    // One reply per connection, in order of arrival.
    explicit CScriptedServer(std::vector<ServerReply> replies);
    ~CScriptedServer();
    CScriptedServer(const CScriptedServer&) = delete;
    CScriptedServer& operator=(const CScriptedServer&) = delete;

    std::uint16_t Port() const { return m_nPort; }
    // Waits for the script to end; then Requests() holds every byte each connection received.
    void Join();
    const std::vector<std::string>& Requests() const { return m_requests; }

private:
    void Run();
    void Serve(int connection, const ServerReply& reply, std::string& received);

    int m_hListen = -1;
    std::uint16_t m_nPort = 0;
    std::vector<ServerReply> m_replies;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// A loopback port that nothing listens on.
std::uint16_t ClosedPort();

// A listener that never accepts: data sent to a queued connection is never read. With a full
// queue, a further connect to it never completes.
class CIdleListener {
public:
    explicit CIdleListener(bool fullQueue);
    ~CIdleListener();
    CIdleListener(const CIdleListener&) = delete;
    CIdleListener& operator=(const CIdleListener&) = delete;
    std::uint16_t Port() const { return m_nPort; }

private:
    int m_hListen = -1;
    int m_hFiller = -1;
    std::uint16_t m_nPort = 0;
};
