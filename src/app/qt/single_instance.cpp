#include "app/qt/single_instance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QWidget>
#include <memory>
#include <string_view>

#include "app/instance_request.h"
#include "stream/prompts.h"

namespace sw {

namespace {

constexpr const char* kEndpointName = "Slicewell 4";
constexpr char kReply[] = "ok\n";
constexpr int kWaitMs = 3000;

// A folder of this user's that no one else may enter or write to, not a symbolic link.
bool IsPrivateFolder(const QByteArray& folder) {
    struct stat info {};
    if (folder.isEmpty() || folder[0] != '/' || ::lstat(folder.constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// The peer of a connected local socket is this user (or the superuser acting for it).
bool PeerIsThisUser(qintptr descriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &length) != 0) {
        return false;
    }
    return credentials.uid == ::geteuid();
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::Answer);
}

SingleInstance::~SingleInstance() {
    server_.close();
}

QString SingleInstance::EndpointPath() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(runtime)) {
        return QFile::decodeName(runtime) + QLatin1Char('/') + QLatin1String(kEndpointName);
    }
    const QByteArray fallback = QFile::encodeName(QDir::tempPath()) + "/slicewell-" +
                                QByteArray::number(static_cast<qulonglong>(::geteuid()));
    // An existing folder counts only when it is this user's and closed; one made by someone else
    // first is never used.
    ::mkdir(fallback.constData(), 0700);
    if (!IsPrivateFolder(fallback)) {
        return {};
    }
    return QFile::decodeName(fallback) + QLatin1Char('/') + QLatin1String(kEndpointName);
}

bool SingleInstance::IsFirstInstance(const std::vector<std::string>& files) {
    const QString path = EndpointPath();
    if (path.isEmpty()) {
        return true;
    }
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(kWaitMs)) {
        if (PeerIsThisUser(probe.socketDescriptor())) {
            const std::string request = EncodeInstanceRequest(files);
            probe.write(request.data(), static_cast<qint64>(request.size()));
            probe.flush();
            // The answer only tells that the request arrived; a busy instance still counts.
            probe.waitForReadyRead(kWaitMs);
            probe.disconnectFromServer();
            return false;
        }
        probe.abort();
        return true;
    }
    // Nobody answers: what lies there is left from an instance that crashed.
    QLocalServer::removeServer(path);
    server_.listen(path);
    return true;
}

void SingleInstance::Answer() {
    while (QLocalSocket* connection = server_.nextPendingConnection()) {
        connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
        if (!PeerIsThisUser(connection->socketDescriptor())) {
            connection->abort();
            continue;
        }
        auto reader = std::make_shared<InstanceRequestReader>();
        connect(connection, &QLocalSocket::readyRead, this, [this, connection, reader] {
            const QByteArray bytes = connection->readAll();
            switch (reader->Feed(std::string_view(bytes.constData(), size_t(bytes.size())))) {
                case InstanceRequestReader::State::Incomplete:
                    return;
                case InstanceRequestReader::State::Bad:
                    connection->abort();
                    return;
                case InstanceRequestReader::State::Raise:
                    QMetaObject::invokeMethod(this, &SingleInstance::anotherInstanceStarted,
                                              Qt::QueuedConnection);
                    break;
                case InstanceRequestReader::State::Import:
                    QMetaObject::invokeMethod(
                        this, [this, files = reader->Files()] { emit filesHandedOver(files); },
                        Qt::QueuedConnection);
                    break;
            }
            connection->write(kReply);
            connection->flush();
        });
    }
}

void BringToFront(QWidget* mainWindow) {
    if (mainWindow != nullptr) {
        if (mainWindow->isMinimized()) {
            mainWindow->showNormal();
        }
        mainWindow->show();
        mainWindow->raise();
        mainWindow->activateWindow();
    }
}

void BringToFrontAndTell(QWidget* mainWindow, Prompts& prompts) {
    BringToFront(mainWindow);
    prompts.Information("Information", "Only one instance of Slicewell can be active");
}

}  // namespace sw
