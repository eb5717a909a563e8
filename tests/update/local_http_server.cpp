#include "local_http_server.h"

#include <QFile>
#include <QTcpServer>

#include <csignal>

namespace sw::test {

LocalHttpServer::LocalHttpServer() {
    if (!folder_.isValid()) {
        return;
    }
    process_.setProgram(QStringLiteral("python3"));
    process_.setArguments({QStringLiteral(SW_UPDATE_SERVER), folder_.path()});
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
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
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
