#include "local_http_server.h"

#include <QFile>
#include <QTcpServer>

#include <csignal>

namespace sw::test {

namespace {

bool RunOpenssl(const QString& folder, const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(QStringLiteral("openssl"), arguments);
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

}  // namespace

TestAuthority::TestAuthority() {
    if (!folder_.isValid()) {
        return;
    }
    const QString dir = folder_.path();
    QFile extensions(folder_.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n") < 0) {
        return;
    }
    extensions.close();
    valid_ = RunOpenssl(
                 dir, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out",
                       "ca.pem", "-days", "2", "-subj", "/CN=Slicewell test authority"}) &&
             RunOpenssl(dir, {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key",
                              "-out", "server.csr", "-subj", "/CN=127.0.0.1"}) &&
             RunOpenssl(dir, {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey",
                              "ca.key", "-CAcreateserial", "-out", "server.pem", "-days", "2",
                              "-extfile", "server.ext"});
}

std::string TestAuthority::AuthorityFile() const {
    return folder_.filePath(QStringLiteral("ca.pem")).toStdString();
}

std::string TestAuthority::CertificateFile() const {
    return folder_.filePath(QStringLiteral("server.pem")).toStdString();
}

std::string TestAuthority::KeyFile() const {
    return folder_.filePath(QStringLiteral("server.key")).toStdString();
}

LocalHttpServer::LocalHttpServer() {
    Start({});
}

LocalHttpServer::LocalHttpServer(const TestAuthority& authority) : secure_(true) {
    if (authority.Valid()) {
        Start({QString::fromStdString(authority.CertificateFile()),
               QString::fromStdString(authority.KeyFile())});
    }
}

void LocalHttpServer::Start(const QStringList& tls) {
    if (!folder_.isValid()) {
        return;
    }
    process_.setProgram(QStringLiteral("python3"));
    process_.setArguments(QStringList{QStringLiteral(SW_UPDATE_SERVER), folder_.path()} + tls);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForStarted(10000)) {
        return;
    }
    while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
    }
    port_ = process_.readLine().trimmed().toInt();
}

LocalHttpServer::~LocalHttpServer() {
    if (process_.state() != QProcess::NotRunning) {
        // SIGTERM to the server's own process id, then wait for it.
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

std::string LocalHttpServer::Url(const std::string& name) const {
    return std::string(secure_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + "/" +
           name;
}

void LocalHttpServer::Serve(const std::string& name, const std::string& response) {
    QFile file(folder_.filePath(QString::fromStdString(name + ".http")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(response.data(), static_cast<qint64>(response.size()));
    }
}

void LocalHttpServer::ServeBody(const std::string& name, const std::string& body) {
    Serve(name, "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n" + body);
}

std::string LocalHttpServer::LastRequest() const {
    QFile file(folder_.filePath(QStringLiteral("last_request.bin")));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

int RefusingPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    const int port = probe.serverPort();
    probe.close();
    return port;
}

}  // namespace sw::test
