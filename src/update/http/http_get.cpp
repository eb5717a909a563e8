#include "update/http/http_get.h"

#include <QFile>
#include <QMetaObject>
#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>

#include "update/http_request.h"

namespace sw {

HttpGet::HttpGet(QObject* parent) : QObject(parent) {
    stall_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this, [this] { Finish(TimedOut); });
    overall_.setSingleShot(true);
    connect(&overall_, &QTimer::timeout, this, [this] { Finish(TimedOut); });
}

HttpGet::~HttpGet() {
    if (socket_ != nullptr) {
        socket_->disconnect(this);
        socket_->abort();
    }
}

void HttpGet::SetState(State state) {
    if (state_ == state) {
        return;
    }
    state_ = state;
    emit StateChanged(state);
}

QList<QSslCertificate> HttpGet::TrustedAuthorities() {
    const QByteArray bundle = qgetenv("SSL_CERT_FILE");
    if (!bundle.isEmpty()) {
        return QSslCertificate::fromPath(QFile::decodeName(bundle));
    }
    return QSslConfiguration::systemCaCertificates();
}

void HttpGet::Get(const std::string& address, const std::string& userAgent) {
    if (running_) {
        QMetaObject::invokeMethod(
            this, [this] { emit RequestDone(Busy); }, Qt::QueuedConnection);
        return;
    }
    running_ = true;
    active_ = true;
    body_.clear();
    failureText_.clear();
    response_ = std::make_unique<HttpResponseReader>(kBodyLimit);
    const std::optional<HttpAddress> parts = ParseHttpAddress(address);
    if (!parts) {
        // Finish delivers the done event from the event loop, so the caller has left Get.
        Finish(BadAddress);
        return;
    }
    request_ = BuildGetRequest(*parts, userAgent);

    QSslSocket* secure = nullptr;
    if (parts->Secure) {
        secure = new QSslSocket(this);
        QSslConfiguration tls = secure->sslConfiguration();
        tls.setCaCertificates(TrustedAuthorities());
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        secure->setSslConfiguration(tls);
        // The request goes out once the session is up and the certificate verified.
        connect(secure, &QSslSocket::encrypted, this, &HttpGet::SocketConnected);
        connect(secure, &QSslSocket::sslErrors, this, &HttpGet::SocketSslErrors);
        socket_ = secure;
    } else {
        socket_ = new QTcpSocket(this);
        connect(socket_, &QAbstractSocket::connected, this, &HttpGet::SocketConnected);
    }
    connect(socket_, &QAbstractSocket::stateChanged, this,
            [this](QAbstractSocket::SocketState s) { SocketStateChanged(s); });
    connect(socket_, &QIODevice::readyRead, this, &HttpGet::SocketReadyRead);
    connect(socket_, &QAbstractSocket::disconnected, this, &HttpGet::SocketDisconnected);
    connect(socket_, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError e) { SocketError(e); });
    SetState(DnsLookup);
    stall_.start(stallTimeout_);
    overall_.start(deadline_);
    // No proxy: the request goes to the address's own host, as its bytes say.
    socket_->setProxy(QNetworkProxy::NoProxy);
    if (secure != nullptr) {
        secure->connectToHostEncrypted(QString::fromStdString(parts->Host), parts->Port);
    } else {
        socket_->connectToHost(QString::fromStdString(parts->Host), parts->Port);
    }
}

void HttpGet::Abort() {
    if (!active_) {
        return;
    }
    SetState(Aborting);
    Finish(Aborted);
}

void HttpGet::SocketStateChanged(int socketState) {
    if (socketState == QAbstractSocket::ConnectingState) {
        SetState(DnsLookupDone);
        stall_.start(stallTimeout_);
    }
}

void HttpGet::SocketConnected() {
    SetState(Connected);
    stall_.start(stallTimeout_);
    socket_->write(request_.data(), static_cast<qint64>(request_.size()));
    SetState(WaitingHeader);
}

void HttpGet::SocketReadyRead() {
    if (!active_ || socket_ == nullptr) {
        return;
    }
    stall_.start(stallTimeout_);
    char chunk[4096];
    while (active_ && socket_->bytesAvailable() > 0) {
        const qint64 got = socket_->read(chunk, sizeof chunk);
        if (got <= 0) {
            break;
        }
        switch (response_->Feed(chunk, static_cast<size_t>(got))) {
            case HttpResponseReader::Progress::WaitingHeader:
                break;
            case HttpResponseReader::Progress::WaitingBody:
                SetState(WaitingBody);
                break;
            case HttpResponseReader::Progress::BodyFull:
                SetState(WaitingBody);
                Finish(Ok);
                return;
            case HttpResponseReader::Progress::BadHeader:
                Finish(BadResponse);
                return;
        }
    }
}

void HttpGet::SocketDisconnected() {
    if (!active_) {
        return;
    }
    // Whatever the socket still holds arrived before the end.
    SocketReadyRead();
    if (active_) {
        Finish(Ok);
    }
}

void HttpGet::SocketError(int socketError) {
    if (!active_) {
        return;
    }
    switch (socketError) {
        case QAbstractSocket::RemoteHostClosedError:
            // The end of an HTTP/1.0 response; disconnected follows.
            if (socket_ != nullptr && socket_->state() == QAbstractSocket::UnconnectedState) {
                SocketDisconnected();
            }
            return;
        case QAbstractSocket::HostNotFoundError:
            Finish(HostNotFound);
            return;
        case QAbstractSocket::ConnectionRefusedError:
            Finish(ConnectionRefused);
            return;
        case QAbstractSocket::SocketTimeoutError:
            Finish(TimedOut);
            return;
        case QAbstractSocket::SslHandshakeFailedError:
        case QAbstractSocket::SslInternalError:
        case QAbstractSocket::SslInvalidUserDataError:
            failureText_ = "no secure connection to the update server: " +
                           socket_->errorString().toStdString();
            Finish(CertificateRefused);
            return;
        default:
            Finish(ConnectionFailed);
            return;
    }
}

void HttpGet::SocketSslErrors(const QList<QSslError>& errors) {
    if (!active_) {
        return;
    }
    // Never ignored: a certificate that does not verify is someone else answering for the
    // server.
    failureText_ = "the update server's certificate was refused:";
    for (const QSslError& error : errors) {
        failureText_ += " " + error.errorString().toStdString() + ";";
    }
    failureText_.pop_back();
    Finish(CertificateRefused);
}

void HttpGet::Finish(int error) {
    if (!active_) {
        return;
    }
    active_ = false;
    stall_.stop();
    overall_.stop();
    if (socket_ != nullptr) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    if (error == Ok && response_->State() == HttpResponseReader::Progress::WaitingHeader) {
        error = BadResponse;
    }
    if (error == Ok && (response_->Status() < 200 || response_->Status() > 299)) {
        error = response_->Status();
    }
    body_ = response_->Body();
    if (state_ != Ready) {
        SetState(NotConnected);
    }
    SetState(Ready);
    // Queued, so that a receiver may start the next request or delete this client.
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            running_ = false;
            emit RequestDone(error);
        },
        Qt::QueuedConnection);
}

}  // namespace sw
