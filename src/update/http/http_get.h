#pragma once

#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>
#include <memory>
#include <string>

#include "update/http_response.h"

class QTcpSocket;

namespace sw {

// The program's HTTP client, and the only part of it that opens a socket: one asynchronous
// HTTP/1.0 GET at a time, over a QTcpSocket, or a QSslSocket for https, on the thread that owns
// the object (the GUI thread's event loop), for the update check.
//
// Contract:
// - Get(address, userAgent) sends exactly BuildGetRequest's bytes (http_request.h) to the
//   address's host and port, and reads the response to the end of the connection. "http://"
//   and "https://" addresses are fetched. Over https the server's certificate must verify
//   against the trusted authorities (TrustedAuthorities) for the address's host, or the request
//   ends with CertificateRefused and FailureText says why; nothing is sent before.
// - StateChanged(state) reports the states below as they are reached; RequestDone(error) comes
//   exactly once per Get, always from the event loop (never from inside Get or Abort), after
//   the state has returned to Ready. Body() holds the response body from then on.
// - error is 0 when a 2xx response arrived whole (or its body reached the body limit, at which
//   the rest is not read); the HTTP status for any other status; else one of HttpError. Every
//   failure ends in RequestDone; nothing waits longer than the stall timeout for the next byte,
//   and no request lasts longer than the deadline, however steadily a slow server sends: the
//   stall timer starts again with every byte, so it alone would let one byte every few seconds
//   hold the check for hours. Both end the request with TimedOut.
// - Abort() ends a running request; it then reports Aborted. Destroying the object ends a
//   running request silently.
class HttpGet : public QObject {
    Q_OBJECT

  public:
    enum State {
        Ready = 0,
        NotConnected = 1,
        Connected = 2,
        DnsLookup = 3,
        DnsLookupDone = 4,
        WaitingHeader = 5,
        WaitingBody = 6,
        Aborting = 7,
    };

    // Error codes other than an HTTP status (which is always 100 or more).
    enum HttpError {
        Ok = 0,
        BadAddress = 1,         // not an http address the client can fetch
        HostNotFound = 2,       // the name does not resolve
        ConnectionRefused = 3,  // nothing listens at the port
        TimedOut = 4,           // no byte for the stall timeout, or the deadline passed
        ConnectionFailed = 5,   // any other network error
        BadResponse = 6,        // the connection ended before a valid status line and header
        Aborted = 7,
        Busy = 8,                // Get while a request runs; the running one goes on
        CertificateRefused = 9,  // https: the certificate did not verify, or no TLS session
    };

    static constexpr int kDefaultStallTimeout = 15000;  // milliseconds
    static constexpr int kDefaultDeadline = 60000;      // milliseconds for the whole request
    // A few times the update record: the check uses its first 1820 bytes.
    static constexpr size_t kBodyLimit = 4 * 1820;

    explicit HttpGet(QObject* parent = nullptr);
    ~HttpGet() override;

    void SetStallTimeout(int milliseconds) { stallTimeout_ = milliseconds; }
    void SetDeadline(int milliseconds) { deadline_ = milliseconds; }

    void Get(const std::string& address, const std::string& userAgent);
    void Abort();

    State CurrentState() const { return state_; }
    bool Running() const { return running_; }
    const std::string& Body() const { return body_; }
    // Why the last request failed, in words, for a failure the error code does not say enough
    // about (a refused certificate); "" otherwise.
    const std::string& FailureText() const { return failureText_; }

    // The authorities an https server's certificate must lead to: the system's, or, when the
    // environment names a bundle in SSL_CERT_FILE (as for OpenSSL's own tools), exactly those of
    // that bundle.
    static QList<QSslCertificate> TrustedAuthorities();

  signals:
    void StateChanged(int state);
    void RequestDone(int error);

  private:
    void SetState(State state);
    void SocketStateChanged(int socketState);
    void SocketConnected();
    void SocketReadyRead();
    void SocketDisconnected();
    void SocketError(int socketError);
    void SocketSslErrors(const QList<QSslError>& errors);
    void Finish(int error);

    int stallTimeout_ = kDefaultStallTimeout;
    int deadline_ = kDefaultDeadline;
    State state_ = Ready;
    bool running_ = false;  // from Get until its done event
    bool active_ = false;   // from Get until it ends, before its done event
    std::string request_;
    std::string body_;
    std::string failureText_;
    std::unique_ptr<HttpResponseReader> response_;
    QTcpSocket* socket_ = nullptr;
    QTimer stall_;
    QTimer overall_;
};

}  // namespace sw
