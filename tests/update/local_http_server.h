#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <string>

namespace sw::test {

// A certificate authority made for one test run with openssl, and a server certificate it
// signed for 127.0.0.1 (no host name). Trusted only where a test names its file.
class TestAuthority {
  public:
    TestAuthority();
    bool Valid() const { return valid_; }
    std::string AuthorityFile() const;  // PEM, for SSL_CERT_FILE
    std::string CertificateFile() const;
    std::string KeyFile() const;

  private:
    QTemporaryDir folder_;
    bool valid_ = false;
};

// The tests' HTTP server (update_server.py) on 127.0.0.1 at a port of its choosing, started by
// the constructor and stopped by its process id in the destructor. Serve puts a whole response
// (status line, header, body) under a name; Url gives the address that fetches it.
class LocalHttpServer {
  public:
    LocalHttpServer();
    // The same server speaking https with the authority's server certificate.
    explicit LocalHttpServer(const TestAuthority& authority);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool Running() const { return port_ != 0; }
    int Port() const { return port_; }
    std::string Url(const std::string& name) const;

    void Serve(const std::string& name, const std::string& response);
    // A 200 response with this body.
    void ServeBody(const std::string& name, const std::string& body);
    // Accepts and reads the request, and never answers.
    void ServeSilence(const std::string& name) { Serve(name, "SILENT"); }
    // A 200 header, then body bytes for as long as the client reads.
    void ServeEndless(const std::string& name) { Serve(name, "ENDLESS"); }
    // A header that never ends: one byte every interval milliseconds, for as long as the client
    // reads.
    void ServeDrip(const std::string& name, int interval) {
        Serve(name, "DRIP " + std::to_string(interval));
    }

    // The bytes of the last request the server received.
    std::string LastRequest() const;

  private:
    void Start(const QStringList& tls);

    QTemporaryDir folder_;
    QProcess process_;
    int port_ = 0;
    bool secure_ = false;
};

// A port on 127.0.0.1 where nothing listens (taken from the system, then closed again).
int RefusingPort();

}  // namespace sw::test
