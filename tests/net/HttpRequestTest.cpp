#include "ScriptedServer.h"

#include "net/CancelToken.h"
#include "net/HttpRequest.h"
#include "net/MySocket.h"
#include "net/SocketApi.h"
#include "net/SocketException.h"
#include "net/SocketLibrary.h"
#include "support/Emulation.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netdb.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr int kTimeout = 2;
constexpr char kHost[] = "gateway.test";
constexpr char kPath[] = "/wsgateway/zelvora/?fn=2&kn=4711";

std::string Response(const std::string& headerLines, const std::string& body = {}) {
    return "HTTP/1.0 200 OK\r\n" + headerLines + "\r\n" + body;
}

ServerReply Reply(std::string bytes) {
    return ServerReply{std::move(bytes)};
}

void ExpectEmptyBody(const CHttpRequest& request) {
    EXPECT_EQ(request.BodyLength(), 0);
    EXPECT_STREQ(request.Body(), "");
}

class HttpRequestTest : public ::testing::Test {
protected:
    void TearDown() override { m_server.reset(); }

    CScriptedServer& Serve(std::vector<ServerReply> replies) {
        m_server = std::make_unique<CScriptedServer>(std::move(replies));
        return *m_server;
    }

    int Run(CHttpRequest& request, int timeout = kTimeout) {
        EXPECT_TRUE(request.FormatRequest(kPath, kHost));
        return request.RequestURL("127.0.0.1", m_server->Port(), timeout);
    }

    CSocketLibrary m_library;
    std::unique_ptr<CScriptedServer> m_server;
};

TEST_F(HttpRequestTest, SendsTheRequestTextExactlyAndReadsASizedBody) {
    auto& server = Serve({Reply(Response("Content-Length: 5\r\n", "helloNOT-MINE"))});
    CHttpRequest request;
    EXPECT_STREQ(request.Body(), "") << "valid before the first request";
    EXPECT_EQ(Run(request), 0);
    server.Join();
    EXPECT_EQ(server.Requests()[0], "GET /wsgateway/zelvora/?fn=2&kn=4711 HTTP/1.0\r\n"
                                    "User-Agent: TarrelZelvoraexe\r\nHost: gateway.test\r\n\r\n");
    EXPECT_EQ(request.StatusCode(), 200);
    EXPECT_EQ(request.BodyLength(), 5);
    EXPECT_STREQ(request.Body(), "hello") << "bytes beyond the length are not read";
    EXPECT_STREQ(request.HeaderText(), "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
}

TEST_F(HttpRequestTest, RequestTargetIsPercentEncodedWhereItMustBe) {
    CHttpRequest request;
    ASSERT_TRUE(request.FormatRequest("/x/?marke=Harley Davidson&f=a\tb\x7f\xe9%41%4g%,;=:@!$'()*+~"
                                      "\"<>\\^`{|}#[]",
                                      kHost));
    EXPECT_STREQ(request.RequestText(),
                 "GET /x/?marke=Harley%20Davidson&f=a%09b%7F%E9%41%254g%25,;=:@!$'()*+~"
                 "%22%3C%3E%5C%5E%60%7B%7C%7D%23%5B%5D HTTP/1.0\r\n"
                 "User-Agent: TarrelZelvoraexe\r\nHost: gateway.test\r\n\r\n");

    for (const char* host : {"", "gate way", "gate\r\nX-Injected: 1", "\x01"}) {
        EXPECT_FALSE(request.FormatRequest("/", host)) << host;
        EXPECT_STREQ(request.RequestText(), "");
    }
    EXPECT_TRUE(request.FormatRequest(std::string(2100, 'a').c_str(), kHost));
    EXPECT_FALSE(request.FormatRequest(std::string(2200, 'a').c_str(), kHost)) << "never cut";
    EXPECT_STREQ(request.RequestText(), "");
    EXPECT_FALSE(request.FormatRequest(std::string(800, ' ').c_str(), kHost))
        << "fits only before encoding";
}

TEST_F(HttpRequestTest, BodiesWithoutLengthAreReadToTheCloseWholeOrNotAtAll) {
    std::string big(600000, 'b');
    big[199999] = 'x';
    big.back() = 'z';
    const std::string overlong(64 * 1024 * 1024 + 1, 'o');
    Serve({Reply(Response("", "no length")), Reply(Response("Content-Length: 0\r\n", "zero")),
           Reply(Response("", big)), Reply(Response("", overlong)),
           Reply(Response("", std::string(overlong.size() - 1, 'o')))});
    CHttpRequest request;
    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.BodyLength(), 9);
    EXPECT_STREQ(request.Body(), "no length");

    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.BodyLength(), 4) << "length 0 reads like no length";
    EXPECT_STREQ(request.Body(), "zero");

    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.BodyLength(), 600000);
    EXPECT_EQ(std::string(request.Body()), big);

    EXPECT_NE(Run(request), 0) << "beyond the longest length allowed";
    ExpectEmptyBody(request);
    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.BodyLength(), 64 * 1024 * 1024);
}

TEST_F(HttpRequestTest, ContentLengthNameAndValueRules) {
    Serve({Reply(Response("Content-length: 3\r\n", "abcdef")),
           Reply(Response("content-length: 3\r\n", "abcdef")),
           Reply(Response("Content-Length:512\r\n", std::string(512, 'x'))),
           Reply(Response("Content-Length: \t 7 \t\r\n", "sevenbytes"))});
    CHttpRequest request;
    EXPECT_EQ(Run(request), 0);
    EXPECT_STREQ(request.Body(), "abc") << "lower-case l is recognised";
    EXPECT_EQ(Run(request), 0);
    EXPECT_STREQ(request.Body(), "abc") << "nor is the name's case";
    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.BodyLength(), 512) << "no blank after the colon loses no digit";
    EXPECT_EQ(Run(request), 0);
    EXPECT_STREQ(request.Body(), "sevenby");
}

TEST_F(HttpRequestTest, ImpossibleLengthsAndShortBodiesAreFailures) {
    const char* lengths[] = {"-5", "12abc", "99999999999999999999", "67108865", "+4"};
    std::vector<ServerReply> replies;
    for (const char* length : lengths)
        replies.push_back(
            Reply(Response(std::string("Content-Length: ") + length + "\r\n", "body")));
    replies.push_back(Reply(Response("Content-Length: 10\r\n", "four")));
    Serve(std::move(replies));

    CHttpRequest request;
    for (const char* length : lengths) {
        EXPECT_EQ(Run(request), EPROTO) << length;
        EXPECT_EQ(request.StatusCode(), 200);
        ExpectEmptyBody(request);
    }
    EXPECT_EQ(Run(request), EPROTO) << "a body shorter than announced";
    EXPECT_EQ(request.StatusCode(), 200);
    ExpectEmptyBody(request);
}

TEST_F(HttpRequestTest, OtherStatusesReadNoBody) {
    Serve({Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found")});
    CHttpRequest request;
    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.StatusCode(), 404);
    ExpectEmptyBody(request);
}

TEST_F(HttpRequestTest, ChunkedBodiesAreDecoded) {
    std::string many;
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        const std::string chunk(4099, static_cast<char>('a' + i % 26));
        many += "1003\r\n" + chunk + "\r\n";
        expected += chunk;
    }
    Serve({Reply(Response("Transfer-Encoding: chunked\r\nContent-Length: 3\r\n",
                          "5\r\nhello\r\n6;name=value\r\n world\r\n0\r\nX-Trailer: 1\r\n\r\n")),
           Reply(Response("Transfer-Encoding: chunked\r\n", many + "0\r\n\r\n"))});
    CHttpRequest request;
    EXPECT_EQ(Run(request), 0);
    EXPECT_TRUE(request.IsChunked());
    EXPECT_EQ(request.BodyLength(), 11) << "the coding wins over a length";
    EXPECT_STREQ(request.Body(), "hello world");

    EXPECT_EQ(Run(request), 0);
    ASSERT_EQ(request.BodyLength(), static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(request.Body()), expected) << "chunks across receive buffers";
}

TEST_F(HttpRequestTest, BrokenChunkedBodiesAreFailures) {
    const std::string header = "Transfer-Encoding: chunked\r\n";
    const std::string bodies[] = {
        "zz\r\nhello\r\n0\r\n\r\n",                               // no size
        "5\r\nhel",                                               // cut in a chunk
        "5\r\nhelloX\r\n0\r\n\r\n",                               // no line end after the data
        "5\r\nhello\r\n0\r\n",                                    // no end of the trailer
        "30d41\r\n" + std::string(200001, 'x') + "\r\n0\r\n\r\n", // over the limit
        "fffffffffffffffffffff\r\n",                              // size overflow
    };
    std::vector<ServerReply> replies;
    for (const auto& body : bodies)
        replies.push_back(Reply(Response(header, body)));
    Serve(std::move(replies));
    CHttpRequest request;
    for (const auto& body : bodies) {
        EXPECT_EQ(Run(request), EPROTO) << body.substr(0, 20);
        EXPECT_EQ(request.StatusCode(), 200);
        ExpectEmptyBody(request);
    }
}

TEST_F(HttpRequestTest, SilentPeersTimeOut) {
    ServerReply silent;
    silent.holdOpen = true;
    ServerReply halfBody = Reply(Response("Content-Length: 10\r\n", "four"));
    halfBody.holdOpen = true;
    ServerReply noEmptyLine = Reply("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n");
    noEmptyLine.holdOpen = true;
    Serve({silent, halfBody, noEmptyLine});
    CHttpRequest request;
    for (const char* what : {"no answer", "body stops", "header never ends"}) {
        EXPECT_EQ(Run(request, 1), 0) << what;
        EXPECT_EQ(request.StatusCode(), 1001) << what;
        ExpectEmptyBody(request);
    }
}

TEST_F(HttpRequestTest, PeersClosingInTheHeaderGiveStatus1000) {
    ServerReply closeAtOnce;
    closeAtOnce.closeAtOnce = true;
    Serve({closeAtOnce, Reply("HTTP/1.0 200 OK\r\nServer: x\r\n"),
           Reply("HTTP/1.0 200 OK\r\nX-Huge: " + std::string(1200, 'h'))});
    CHttpRequest request;
    for (const char* what :
         {"closed at once", "closed in the header", "closed in a line longer than the buffer"}) {
        EXPECT_EQ(Run(request), 0) << what;
        EXPECT_EQ(request.StatusCode(), 1000) << what;
        ExpectEmptyBody(request);
    }
}

TEST_F(HttpRequestTest, HeaderLinesEndInEitherWayRunTo8KBAndNamesHaveNoCase) {
    const auto line = [](std::size_t length) { // with its CR LF
        return "X-Cookie: " + std::string(length - 12, 'c') + "\r\n";
    };
    std::string manyLines;
    for (int i = 0; i < 8; ++i)
        manyLines += line(4096);
    const std::string chunks = "5\r\nhello\r\n0\r\n\r\n";
    struct Case {
        const char* what;
        std::string reply;
        int result;
        const char* body;
    };
    const Case cases[] = {
        {"bare line feeds", "HTTP/1.0 200 OK\nContent-Length: 2\n\nok", 0, "ok"},
        {"a line of 8 KB", Response(line(8192) + "Content-Length: 2\r\n", "ok"), 0, "ok"},
        {"a line over 8 KB", Response(line(8193), "ok"), EMSGSIZE, ""},
        {"a header over 32 KB", Response(manyLines, "ok"), EMSGSIZE, ""},
        {"any case", Response("TRANSFER-ENCODING: cHUNKED \r\n", chunks), 0, "hello"},
        {"two lengths", Response("Content-Length: 4\r\nContent-Length: 2\r\n", "abcd"), EPROTO, ""},
        {"the same length twice", Response("Content-Length: 4\r\ncontent-length: 4\r\n", "abcd"), 0,
         "abcd"},
        {"a length cut in the line buffer",
         Response("Content-Length:" + std::string(600, ' ') + "4\r\n", "abcd"), EPROTO, ""},
    };
    std::vector<ServerReply> replies;
    for (const Case& c : cases)
        replies.push_back(Reply(c.reply));
    Serve(std::move(replies));
    CHttpRequest request;
    for (const Case& c : cases) {
        EXPECT_EQ(Run(request), c.result) << c.what;
        EXPECT_EQ(request.StatusCode(), 200) << c.what;
        EXPECT_STREQ(request.Body(), c.body) << c.what;
    }
}

TEST_F(HttpRequestTest, ResetInTheBodyKeepsTheStatus) {
    ServerReply reset = Reply(Response("Content-Length: 100\r\n", "part"));
    reset.resetAfterSend = true;
    Serve({reset});
    CHttpRequest request;
    EXPECT_EQ(Run(request), ECONNRESET);
    EXPECT_EQ(request.StatusCode(), 200);
    ExpectEmptyBody(request);
}

TEST_F(HttpRequestTest, HeaderValuesAndTheHeaderTextNeverOverflow) {
    const std::string longLine = "X-Long: " + std::string(600, 'a') + "\r\n";
    std::string filler;
    for (int i = 0; i < 6; ++i)
        filler += "X-Fill: " + std::string(400, 'f') + "\r\n";
    Serve({Reply(Response(longLine + "Server: Apache  2 \r\nServer: " + std::string(100, 's') +
                              "\r\nHTTPX: 404\r\nETag: \"e 1\"  \r\nSet-Cookie: a=b; c\r\n"
                              "Date: today\r\nContent-Type: image/jpeg\r\nConnection: close\r\n"
                              "Location: /x\r\nContent-Encoding: identity\r\n"
                              "Cache-Control: no-cache\r\nExpires: 0\r\nLast-Modified: then\r\n" +
                              filler + "Transfer-Encoding: chunked\r\n",
                          "2\r\nok\r\n0\r\n\r\n"))});
    CHttpRequest request;
    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.StatusCode(), 200) << "only the first line is the status line";
    const std::string header = request.HeaderText();
    EXPECT_EQ(header.size(), 2047u);
    EXPECT_EQ(header.substr(17, 499), longLine.substr(0, 499)) << "a long line is cut";
    EXPECT_EQ(header.substr(17 + 499, 20), "Server: Apache  2 \r\n") << "the next line is whole";
    EXPECT_EQ(std::string(request.Server()), std::string(63, 's')) << "later line wins, cut";
    EXPECT_STREQ(request.ETag(), "\"e 1\"  ") << "inner blanks stay, the CR goes";
    EXPECT_STREQ(request.SetCookie(), "a=b; c");
    EXPECT_STREQ(request.Date(), "today");
    EXPECT_STREQ(request.ContentType(), "image/jpeg");
    EXPECT_STREQ(request.Connection(), "close");
    EXPECT_STREQ(request.Location(), "/x");
    EXPECT_STREQ(request.ContentEncoding(), "identity");
    EXPECT_STREQ(request.CacheControl(), "no-cache");
    EXPECT_STREQ(request.Expires(), "0");
    EXPECT_STREQ(request.LastModified(), "then");
    EXPECT_STREQ(request.TransferEncoding(), "chunked") << "kept beyond a full header text";
    EXPECT_STREQ(request.Body(), "ok");
}

TEST_F(HttpRequestTest, TwoRequestsInARowShareNothing) {
    Serve({Reply(Response("Content-Length: 5\r\nServer: first\r\nTransfer-Encoding: gzip\r\n",
                          "first")),
           Reply("HTTP/1.0 403 Forbidden\r\nDate: second\r\n\r\n")});
    CHttpRequest request;
    EXPECT_EQ(Run(request), 0);
    EXPECT_STREQ(request.Server(), "first");
    EXPECT_EQ(Run(request), 0);
    EXPECT_EQ(request.StatusCode(), 403);
    ExpectEmptyBody(request);
    EXPECT_STREQ(request.HeaderText(), "HTTP/1.0 403 Forbidden\r\nDate: second\r\n\r\n");
    EXPECT_STREQ(request.Server(), "");
    EXPECT_STREQ(request.TransferEncoding(), "");
    EXPECT_STREQ(request.Date(), "second");
}

TEST_F(HttpRequestTest, HostsAreFoundByName) {
    Serve({Reply(Response("", "by name"))});
    CHttpRequest request;
    ASSERT_TRUE(request.FormatRequest(kPath, kHost));
    EXPECT_EQ(request.RequestURL("localhost", m_server->Port(), kTimeout), 0);
    EXPECT_STREQ(request.Body(), "by name");
}

TEST(HttpConnect, UnreachableTargetsFailWithTheirErrorCode) {
    CSocketLibrary library;
    CHttpRequest request;
    ASSERT_TRUE(request.FormatRequest(kPath, kHost));

    EXPECT_EQ(request.RequestURL("127.0.0.1", ClosedPort(), kTimeout), ECONNREFUSED);
    EXPECT_EQ(request.StatusCode(), 0);
    ExpectEmptyBody(request);

    // An unknown name, answered by a resolver that never leaves the machine.
    CHttpRequest unknownHost([](const std::string&, in_addr&) { return EAI_NONAME; });
    ASSERT_TRUE(unknownHost.FormatRequest(kPath, kHost));
    EXPECT_EQ(unknownHost.RequestURL("zelvora-test.invalid", 80, 1), EAI_NONAME);
    EXPECT_EQ(unknownHost.StatusCode(), 0);
    ExpectEmptyBody(unknownHost);

    const CIdleListener full(true);
    EXPECT_EQ(request.RequestURL("127.0.0.1", full.Port(), 1), ETIMEDOUT)
        << "a connect that never completes is given up";
    EXPECT_EQ(request.StatusCode(), 0);
    ExpectEmptyBody(request);
}

TEST(MySocket, FailuresAreNamedAfterTheOperation) {
    const auto failure = [](auto&& operation) {
        try {
            operation();
        } catch (const CSocketException& e) {
            return std::string(e.what());
        }
        return std::string("no failure");
    };
    CMySocket socket;
    // qemu-user answers an unknown socket type with ESOCKTNOSUPPORT where the kernel says EINVAL.
    const int nUnknownType = kUnderEmulation ? ESOCKTNOSUPPORT : EINVAL;
    EXPECT_EQ(failure([&] { socket.Create(12345); }),
              "Create Fehler #" + std::to_string(nUnknownType));
    EXPECT_FALSE(socket.IsOpen());

    // Loopback buffers take a few megabytes; the rest waits for a reader that never comes.
    const CIdleListener idle(false);
    socket.Create(net::kStreamSocket);
    socket.Connect(socket.GetHostByName("127.0.0.1", idle.Port(), 1), 1);
    const std::string flood(32 * 1024 * 1024, 'x');
    EXPECT_EQ(failure([&] { socket.SendAll(flood.data(), flood.size(), 1); }),
              "Send timeout Fehler");
    socket.Close();
    EXPECT_FALSE(socket.IsOpen());
    socket.Close();
}

TEST(NameLookup, GivesUpAfterTheTimeOutAndSurvivesTheLateAnswer) {
    std::promise<void> release;
    auto released = release.get_future().share();
    auto answered = std::make_shared<std::promise<void>>();
    const auto slow = [released, answered](const std::string& host, in_addr& address) {
        released.wait();
        address.s_addr = htonl(INADDR_LOOPBACK);
        answered->set_value();
        return host == "slow.test" ? 0 : EAI_NONAME;
    };
    in_addr address{};
    address.s_addr = htonl(0x01020304);
    EXPECT_EQ(sockapi::Lookup("slow.test", std::chrono::seconds(1), address, slow), EAI_AGAIN);
    EXPECT_EQ(ntohl(address.s_addr), 0x01020304u) << "untouched by the late answer";
    release.set_value();
    answered->get_future().wait();

    const auto failing = [](const std::string&, in_addr&) {
        return EAI_NONAME;
    };
    EXPECT_EQ(sockapi::Lookup("gone.test", std::chrono::seconds(1), address, failing), EAI_NONAME);
    EXPECT_EQ(sockapi::Lookup("10.1.2.3", std::chrono::seconds(1), address, failing), 0)
        << "no lookup for an address";
    EXPECT_EQ(ntohl(address.s_addr), 0x0a010203u);
    EXPECT_NE(sockapi::Lookup("", std::chrono::seconds(1), address, failing), 0);
}

TEST(SocketException, MessagesNameTheOperationAndCode) {
    char buffer[64];
    EXPECT_EQ(CSocketException("Connect", 111).GetErrorMessage(buffer, sizeof buffer), 111);
    EXPECT_STREQ(buffer, "Connect Fehler #111");
    EXPECT_EQ(CSocketException("Receive timeout", 0).GetErrorMessage(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "Receive timeout Fehler");
    EXPECT_STREQ(CSocketException("Send", -3).what(), "Send Fehler #-3");

    char small[8];
    CSocketException("ReadHeaderLine", 0).GetErrorMessage(small, sizeof small);
    EXPECT_STREQ(small, "ReadHea");
    const CSocketException longName(std::string(1500, 'n').c_str(), 0);
    EXPECT_EQ(std::string(longName.Operation()).size(), 999u);
}

} // namespace

TEST_F(HttpRequestTest, ADeadlineBoundsAllWaitsAndACancelEndsTheRequestAtOnce) {
    ServerReply silent;
    silent.holdOpen = true;
    ServerReply trickle = Reply(Response("Content-Length: 100\r\n", "some"));
    trickle.holdOpen = true;
    Serve({silent, trickle});
    using namespace std::chrono;

    // Each wait would last 10 s; the deadline ends the whole at once.
    CMySocket socket;
    socket.Create(net::kStreamSocket);
    socket.Connect(socket.GetHostByName("127.0.0.1", m_server->Port(), 1), 1);
    socket.SetDeadline(CMySocket::Clock::now() + milliseconds(300));
    char byte = 0;
    const auto start = steady_clock::now();
    EXPECT_THROW(socket.Receive(&byte, 1, 10), CSocketException);
    EXPECT_LT(steady_clock::now() - start, seconds(2));
    socket.Close();

    // A cancel from another thread shuts the socket in the middle of the body: what came is
    // no answer.
    CCancelToken cancel;
    CHttpRequest request;
    request.SetCancelToken(&cancel);
    auto canceller = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(milliseconds(300));
        cancel.Cancel();
    });
    const auto begin = steady_clock::now();
    EXPECT_EQ(Run(request, 10), sockapi::kCancelled);
    EXPECT_LT(steady_clock::now() - begin, seconds(2));
    ExpectEmptyBody(request);
    canceller.get();
    EXPECT_EQ(Run(request, 10), sockapi::kCancelled) << "no request after the cancel";

    // A name lookup that never answers counts in the request's time.
    std::promise<void> gate;
    CHttpRequest named([open = gate.get_future().share()](const std::string&, in_addr&) {
        open.wait();
        return EAI_NONAME;
    });
    ASSERT_TRUE(named.FormatRequest("/", "portal.test"));
    named.SetDeadline(steady_clock::now() + milliseconds(300));
    const auto started = steady_clock::now();
    EXPECT_EQ(named.RequestURL("portal.test", 80, 10), sockapi::kLookupTimedOut);
    EXPECT_LT(steady_clock::now() - started, seconds(2));
    gate.set_value();
}
