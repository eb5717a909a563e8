#include <gtest/gtest.h>

#include "update/http_request.h"
#include "update/http_response.h"

namespace sw {
namespace {

// Would break if an address split wrongly (port, query, fragment, missing path) or an address
// the client must never fetch were accepted.
TEST(HttpAddressParts, SplitsHostPortAndPathAndRefusesOthers) {
    EXPECT_EQ(ParseHttpAddress("http://example.org/u/update.dat"),
              (HttpAddress{"example.org", 80, "/u/update.dat"}));
    EXPECT_EQ(ParseHttpAddress("HTTP://Example.org"), (HttpAddress{"Example.org", 80, "/"}));
    EXPECT_EQ(ParseHttpAddress("http://127.0.0.1:8080/a?b=c#frag"),
              (HttpAddress{"127.0.0.1", 8080, "/a?b=c"}));
    EXPECT_EQ(ParseHttpAddress("http://host?x"), (HttpAddress{"host", 80, "/?x"}));
    EXPECT_EQ(ParseHttpAddress("http://host:/p"), (HttpAddress{"host", 80, "/p"}));
    // The default "UpdatesURL" is an https address: every fresh install's check failed at once.
    EXPECT_EQ(ParseHttpAddress("https://example.org/u.upd"),
              (HttpAddress{"example.org", 443, "/u.upd", true}));
    EXPECT_EQ(ParseHttpAddress("HTTPS://h:8443"), (HttpAddress{"h", 8443, "/", true}));
    for (const char* refused :
         {"httpx://example.org/", "https:/example.org/", "ftp://example.org/", "file:///etc/passwd",
          "mailto:a@b.org", "http://", "http://:80/", "http://user@example.org/", "http://host:0/",
          "http://host:65536/", "http://host:8o/", "http://exa mple.org/", "http://host/a b",
          "http://host/\r\nX: y", "example.org/update.dat", "", "http://-host/", "http://[::1]/"}) {
        EXPECT_FALSE(ParseHttpAddress(refused)) << refused;
    }
}

// Would break if a byte of the request changed: its lines, their order, CR LF, the empty line.
TEST(HttpRequestBytes, ExactlyTheRequestLineThreeHeadersAndTheEmptyLine) {
    EXPECT_EQ(BuildGetRequest({"example.org", 80, "/u/update.dat"}, "Slicewell 4.0 build 1 Beta"),
              "GET /u/update.dat HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Slicewell 4.0 build 1 Beta\r\n"
              "Host: example.org\r\n"
              "\r\n");
    // A user agent cannot end its line and add a header of its own.
    const std::string request = BuildGetRequest({"h", 80, "/"}, "A\r\nCookie: x");
    EXPECT_NE(request.find("User-Agent: ACookie: x\r\n"), std::string::npos);
}

HttpResponseReader::Progress FeedAll(HttpResponseReader& reader, const std::string& bytes,
                                     size_t step) {
    HttpResponseReader::Progress progress = reader.State();
    for (size_t at = 0; at < bytes.size(); at += step) {
        progress = reader.Feed(bytes.data() + at, std::min(step, bytes.size() - at));
    }
    return progress;
}

// Would break if a header split across reads, a bare LF header or a body starting in the
// header's read were lost or mangled.
TEST(HttpResponseReading, HeaderAndBodyWhateverTheReadsAre) {
    const std::string response =
        "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\nbody\r\n\r\nmore";
    for (const size_t step : {size_t{1}, size_t{3}, size_t{7}, response.size()}) {
        HttpResponseReader reader(100);
        EXPECT_EQ(FeedAll(reader, response, step), HttpResponseReader::Progress::WaitingBody);
        EXPECT_EQ(reader.Status(), 200);
        EXPECT_EQ(reader.Body(), "body\r\n\r\nmore") << step;
    }
    HttpResponseReader bare(100);
    FeedAll(bare, "HTTP/1.1 404 Not Found\nServer: x\n\n<html>", 5);
    EXPECT_EQ(bare.Status(), 404);
    EXPECT_EQ(bare.Body(), "<html>");
}

// Would break if a body from the network could grow without bound, or the limit cut one byte
// too many or too few.
TEST(HttpResponseReading, BodyIsKeptOnlyUpToItsLimit) {
    HttpResponseReader reader(10);
    EXPECT_EQ(reader.Feed("HTTP/1.0 200 OK\r\n\r\n012345678", 28),
              HttpResponseReader::Progress::WaitingBody);
    EXPECT_EQ(reader.Feed("9abcdef", 7), HttpResponseReader::Progress::BodyFull);
    EXPECT_EQ(reader.Body(), "0123456789");
    EXPECT_EQ(reader.Feed("more", 4), HttpResponseReader::Progress::BodyFull);
    EXPECT_EQ(reader.Body(), "0123456789");
}

// Would break if something that is no HTTP response, or a header that never ends, were read
// as one (an endless header would grow without bound).
TEST(HttpResponseReading, RefusesWhatIsNoResponseAndEndlessHeaders) {
    for (const char* bad :
         {"SSH-2.0-OpenSSH\r\n\r\n", "HTTP/1.0 20 OK\r\n\r\n", "HTTP/1.0 2000 OK\r\n\r\n",
          "HTTP/1.0 099 x\r\n\r\n", "\r\n\r\n", "HTTP/x.0 200 OK\r\n\r\n"}) {
        HttpResponseReader reader(100);
        EXPECT_EQ(FeedAll(reader, bad, 2), HttpResponseReader::Progress::BadHeader) << bad;
    }
    HttpResponseReader endless(100, 64);
    const std::string line = "X-Long: " + std::string(100, 'a');
    EXPECT_EQ(FeedAll(endless, "HTTP/1.0 200 OK\r\n" + line, 9),
              HttpResponseReader::Progress::BadHeader);
    HttpResponseReader justFits(100, 64);
    const std::string header = "HTTP/1.0 200 OK\r\nX: " + std::string(40, 'a');
    ASSERT_LE(header.size(), 64u);
    EXPECT_EQ(FeedAll(justFits, header + "\r\n\r\nB", 1),
              HttpResponseReader::Progress::WaitingBody);
    EXPECT_EQ(justFits.Body(), "B");
}

}  // namespace
}  // namespace sw
