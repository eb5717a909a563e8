#include "update/http/http_get.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <vector>

#include "local_http_server.h"
#include "update/update_record.h"

namespace sw::test {
namespace {

// Far longer than any answer on the loopback takes; only a hang reaches it.
constexpr int kSafetyLimit = 20000;

struct Outcome {
    std::vector<int> states;
    std::vector<int> dones;
};

// Runs the client's request on the event loop until its done event (bounded, so a client that
// never reports fails instead of hanging).
Outcome Fetch(HttpGet& client, const std::string& address,
              const std::function<void(int)>& onState = {}) {
    Outcome outcome;
    QEventLoop loop;
    const auto stateLink = QObject::connect(&client, &HttpGet::StateChanged, &loop, [&](int s) {
        outcome.states.push_back(s);
        if (onState) {
            onState(s);
        }
    });
    const auto doneLink = QObject::connect(&client, &HttpGet::RequestDone, &loop, [&](int error) {
        outcome.dones.push_back(error);
        // A second done event would arrive from the loop too; give it the chance.
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
    });
    QTimer::singleShot(kSafetyLimit, &loop, &QEventLoop::quit);
    client.Get(address, "Slicewell 4.0 build 1 ");
    EXPECT_TRUE(outcome.dones.empty()) << "the done event came from inside Get";
    loop.exec();
    QObject::disconnect(stateLink);
    QObject::disconnect(doneLink);
    return outcome;
}

class HttpGetTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.Running()) << "the test server did not start"; }
    LocalHttpServer server;
    HttpGet client;
};

// Would break if one byte of the request changed: the path, the version, a header, CR LF or the
// empty line.
TEST_F(HttpGetTest, SendsExactlyTheRequestBytes) {
    server.ServeBody("info.dat", "x");
    const Outcome outcome = Fetch(client, server.Url("info.dat") + "?v=1#part");
    EXPECT_EQ(outcome.dones, std::vector<int>{HttpGet::Ok});
    EXPECT_EQ(server.LastRequest(),
              "GET /info.dat?v=1 HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Slicewell 4.0 build 1 \r\n"
              "Host: 127.0.0.1\r\n"
              "\r\n");
}

// Would break if the body lost or gained bytes, or the states came out of their order.
TEST_F(HttpGetTest, HandsOverTheBodyAfterTheStatesOfAWholeRequest) {
    const std::string body = std::string(1820, 'r') + "tail";
    server.ServeBody("record", body);
    const Outcome outcome = Fetch(client, server.Url("record"));
    EXPECT_EQ(outcome.dones, std::vector<int>{HttpGet::Ok});
    EXPECT_EQ(client.Body(), body);
    EXPECT_EQ(outcome.states,
              (std::vector<int>{HttpGet::DnsLookup, HttpGet::DnsLookupDone, HttpGet::Connected,
                                HttpGet::WaitingHeader, HttpGet::WaitingBody, HttpGet::NotConnected,
                                HttpGet::Ready}));
    EXPECT_FALSE(client.Running());

    // The same client fetches again, from a fresh body.
    server.ServeBody("empty", "");
    EXPECT_EQ(Fetch(client, server.Url("empty")).dones, std::vector<int>{HttpGet::Ok});
    EXPECT_EQ(client.Body(), "");
}

// Would break if a server that sends without end made the client buffer without bound or
// never finish.
TEST_F(HttpGetTest, EndlessBodyIsCutAtTheLimitAndTheRequestEnds) {
    server.ServeEndless("flood");
    const Outcome outcome = Fetch(client, server.Url("flood"));
    EXPECT_EQ(outcome.dones, std::vector<int>{HttpGet::Ok});
    EXPECT_EQ(client.Body().size(), HttpGet::kBodyLimit);
    EXPECT_GE(HttpGet::kBodyLimit, kUpdateRecordSize);
}

// Would break if an error status counted as success (its error page would be read as a record).
TEST_F(HttpGetTest, ErrorStatusIsTheErrorCode) {
    EXPECT_EQ(Fetch(client, server.Url("missing")).dones, std::vector<int>{404});
    server.Serve("moved", "HTTP/1.0 302 Found\r\nLocation: http://elsewhere/\r\n\r\n");
    EXPECT_EQ(Fetch(client, server.Url("moved")).dones, std::vector<int>{302});
}

// Would break if something that is no HTTP response were handed over as a body.
TEST_F(HttpGetTest, ResponsesWithoutAValidHeaderFail) {
    server.Serve("noheader", std::string(3000, 'z'));
    EXPECT_EQ(Fetch(client, server.Url("noheader")).dones, std::vector<int>{HttpGet::BadResponse});
    server.Serve("cut", "HTTP/1.0 200 OK\r\nContent-Length: 1820\r\n");
    EXPECT_EQ(Fetch(client, server.Url("cut")).dones, std::vector<int>{HttpGet::BadResponse});
    server.Serve("nothing", "");
    EXPECT_EQ(Fetch(client, server.Url("nothing")).dones, std::vector<int>{HttpGet::BadResponse});
}

// Would break if a server that accepts and never answers left the check waiting for ever.
TEST_F(HttpGetTest, StalledResponseTimesOut) {
    server.ServeSilence("silent");
    client.SetStallTimeout(300);
    const Outcome outcome = Fetch(client, server.Url("silent"));
    EXPECT_EQ(outcome.dones, std::vector<int>{HttpGet::TimedOut});
    EXPECT_EQ(outcome.states.back(), HttpGet::Ready);
}

// Would break if a server that sends one byte now and then, each before the stall timer runs
// out, could keep the request waiting past its deadline.
TEST_F(HttpGetTest, DrippingServerEndsAtTheDeadline) {
    server.ServeDrip("drip", 40);
    client.SetStallTimeout(400);
    client.SetDeadline(600);
    QElapsedTimer clock;
    clock.start();
    const Outcome outcome = Fetch(client, server.Url("drip"));
    EXPECT_EQ(outcome.dones, std::vector<int>{HttpGet::TimedOut});
    EXPECT_GE(clock.elapsed(), 600);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(outcome.states.back(), HttpGet::Ready);
}

// Would break if Abort left the request running, reported twice, or reported success.
TEST_F(HttpGetTest, AbortEndsARunningRequestOnce) {
    server.ServeSilence("silent");
    const Outcome outcome = Fetch(client, server.Url("silent"), [&](int state) {
        if (state == HttpGet::WaitingHeader) {
            client.Abort();
            client.Abort();
        }
    });
    EXPECT_EQ(outcome.dones, std::vector<int>{HttpGet::Aborted});
    const std::vector<int> tail(outcome.states.end() - 3, outcome.states.end());
    EXPECT_EQ(tail, (std::vector<int>{HttpGet::Aborting, HttpGet::NotConnected, HttpGet::Ready}));
}

// Would break if a refused connection, an address the client cannot fetch or a name that does
// not resolve hung or reported success.
TEST_F(HttpGetTest, ConnectionFailuresEndInTheDoneEvent) {
    const int port = RefusingPort();
    ASSERT_NE(port, 0);
    EXPECT_EQ(Fetch(client, "http://127.0.0.1:" + std::to_string(port) + "/x").dones,
              std::vector<int>{HttpGet::ConnectionRefused});
    for (const char* address : {"htps://127.0.0.1/x", "ftp://127.0.0.1/", "", "http://a b/"}) {
        EXPECT_EQ(Fetch(client, address).dones, std::vector<int>{HttpGet::BadAddress}) << address;
    }
    // A label longer than 63 characters is no host name; no resolver is asked for it.
    const std::string unresolvable = "http://" + std::string(70, 'a') + ".invalid/x";
    EXPECT_EQ(Fetch(client, unresolvable).dones, std::vector<int>{HttpGet::HostNotFound});
}

// Would break if a second Get disturbed the running request.
TEST_F(HttpGetTest, SecondGetWhileRunningIsRefused) {
    server.ServeBody("record", "body");
    std::vector<int> dones;
    QEventLoop loop;
    QObject::connect(&client, &HttpGet::RequestDone, &loop, [&](int error) {
        dones.push_back(error);
        if (error != HttpGet::Busy) {
            loop.quit();
        }
    });
    QTimer::singleShot(kSafetyLimit, &loop, &QEventLoop::quit);
    client.Get(server.Url("record"), "a");
    client.Get(server.Url("other"), "a");
    loop.exec();
    EXPECT_EQ(dones, (std::vector<int>{HttpGet::Busy, HttpGet::Ok}));
    EXPECT_EQ(client.Body(), "body");
}

// Every fresh install's check failed at once: the default update address is an https one. Would
// break if https were refused or sent other bytes than http, or if a certificate that does not
// lead to a trusted authority, or not for the host asked, were taken.
TEST(HttpsGet, FetchesFromACertifiedServerAndRefusesEveryOtherCertificate) {
    TestAuthority authority;
    ASSERT_TRUE(authority.Valid()) << "openssl could not make the test's authority";
    LocalHttpServer server(authority);
    ASSERT_TRUE(server.Running());
    const std::string body = std::string(1820, 'r');
    server.ServeBody("record", body);
    HttpGet client;
    {
        // Trusted for this run only: the bundle the environment names replaces the system's.
        const QByteArray before = qgetenv("SSL_CERT_FILE");
        qputenv("SSL_CERT_FILE", QByteArray::fromStdString(authority.AuthorityFile()));
        const Outcome fetched = Fetch(client, server.Url("record"));
        EXPECT_EQ(fetched.dones, std::vector<int>{HttpGet::Ok}) << client.FailureText();
        EXPECT_EQ(client.Body(), body);
        EXPECT_EQ(server.LastRequest().substr(0, 22), "GET /record HTTP/1.0\r\n");
        const std::string otherHost =
            "https://localhost:" + std::to_string(server.Port()) + "/record";
        EXPECT_EQ(Fetch(client, otherHost).dones, std::vector<int>{HttpGet::CertificateRefused});
        EXPECT_NE(client.FailureText().find("certificate"), std::string::npos);
        if (before.isEmpty()) {
            qunsetenv("SSL_CERT_FILE");
        } else {
            qputenv("SSL_CERT_FILE", before);
        }
    }
    EXPECT_EQ(Fetch(client, server.Url("record")).dones,
              std::vector<int>{HttpGet::CertificateRefused})
        << "the system's authorities do not know the test's";
    EXPECT_TRUE(client.Body().empty());
}

}  // namespace
}  // namespace sw::test
