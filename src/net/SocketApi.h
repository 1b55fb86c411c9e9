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

// The first IPv4 address of a host name or dotted address; 0 or an error code. A name is
// resolved on a helper thread, given up after timeoutSeconds with kLookupTimedOut.
int Lookup(const char* host, int timeoutSeconds, in_addr& address,
           const Resolver& resolve = ResolveBlocking);

} // namespace sockapi
