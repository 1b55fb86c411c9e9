#pragma once
// The only place that calls the platform's socket layer (POSIX today). Every other part of the
// client speaks to sockets through these functions, so another layer can stand in for them.

#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace sockapi {

using Handle = int;
// Descriptor 0 is a valid socket on POSIX, so "none" needs its own value.
inline constexpr Handle kNoSocket = -1;

// Error codes the client raises itself, in the platform's numbering.
extern const int kTimedOut;       // a connect that did not finish in time
extern const int kLookupTimedOut; // a name lookup that did not finish in time
extern const int kProtocolError;  // an answer that breaks its own framing
extern const int kHeaderTooLong;  // an answer whose header runs over the client's bounds
extern const int kCancelled;      // a request its job ended from another thread

// Start and stop of the socket layer around a group of requests.
int Startup();
void Cleanup();

// The last failure of a call on this thread.
int LastError();

// A non-blocking IPv4 socket of the given type, or kNoSocket.
Handle Open(int type);
int Close(Handle socket);
// Ends both directions without releasing the descriptor: safe from another thread.
void Shutdown(Handle socket);

// 0: connected; 1: under way, wait until writable and ask ConnectError; -1: failed.
int StartConnect(Handle socket, const sockaddr_in& address);
// The outcome of a connect that was under way: 0 or its error code.
int ConnectError(Handle socket);

// The wait's result: > 0 ready (or failed, which the next call reports), 0 time-out,
// < 0 the wait itself failed.
int WaitReadable(Handle socket, std::chrono::milliseconds timeout);
int WaitWritable(Handle socket, std::chrono::milliseconds timeout);

// One send or receive; -1 on failure. A send to a closed peer never raises a signal.
long Send(Handle socket, const char* bytes, std::size_t count);
long Receive(Handle socket, char* buffer, std::size_t size);

// A blocking name lookup: 0 and the first IPv4 address, or an error code.
using Resolver = std::function<int(const std::string& host, in_addr& address)>;
int ResolveBlocking(const std::string& host, in_addr& address);

// Ends a lookup's wait from another thread, as a job's cancel does.
class LookupCancel {
public:
    // wake is called on the cancelling thread when the cancel comes while it is held. False,
    // holding nothing, once cancelled.
    virtual bool HoldWake(std::function<void()> wake) = 0;
    // Called before the wait's state goes, so a late cancel never reaches it.
    virtual void ReleaseWake() noexcept = 0;

protected:
    ~LookupCancel() = default;
};

// The first IPv4 address of a host name or dotted address; 0 or an error code. A name is
// resolved on a helper thread whose blocking call neither a time-out nor a cancel can end:
// the wait for it is given up after timeout with kLookupTimedOut, or at once with kCancelled
// on a cancel, and the helper finishes alone.
int Lookup(const char* host, std::chrono::milliseconds timeout, in_addr& address,
           const Resolver& resolve = ResolveBlocking, LookupCancel* pCancel = nullptr);

} // namespace sockapi
