#include "app/qt/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace sw {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

mode_t Mode(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

class TwoInstances : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        runtime_ = root_.filePath(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(runtime_));
        ::chmod(QFile::encodeName(runtime_).constData(), 0700);
    }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
        env.insert(QStringLiteral("TMPDIR"), root_.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    void Start(QProcess& process, const QStringList& files = {}) const {
        process.setProcessEnvironment(Environment());
        process.start(QStringLiteral(SINGLE_INSTANCE_PROBE), files);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // Waits for the first instance to listen.
    void WaitReady(QProcess& process) const {
        QByteArray output;
        while (!output.contains("READY\n")) {
            ASSERT_TRUE(process.waitForReadyRead(20000)) << output.constData();
            output += process.readAllStandardOutput();
        }
    }

    QTemporaryDir root_;
    QString runtime_;
};

TEST_F(TwoInstances, SecondStartEndsWith99AndTheFirstComesToTheFront) {
    // Would break: two instances editing the same settings, or the second one ending unseen.
    QProcess first;
    Start(first);
    WaitReady(first);
    QProcess second;
    Start(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), kSecondInstanceExitCode);
    ASSERT_TRUE(first.waitForFinished(20000));
    const QByteArray told = first.readAllStandardOutput();
    EXPECT_TRUE(
        told.contains("INFORMATION Information|Only one instance of Slicewell can be "
                      "active\n"))
        << told.constData();
    EXPECT_TRUE(told.contains("FRONT 1\n")) << told.constData();
    EXPECT_EQ(first.exitCode(), 0);
}

TEST_F(TwoInstances, SecondStartHandsItsFilesToTheFirstWithoutAMessage) {
    // Would break: a file opened from the file manager while the program runs lost, or the
    // "only one instance" box shown for a start that did what it was asked.
    QProcess first;
    Start(first);
    WaitReady(first);
    QProcess second;
    Start(second, {QStringLiteral("/music/one.mp3"), QStringLiteral("/music/a b.m3u")});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), kSecondInstanceExitCode);
    ASSERT_TRUE(first.waitForFinished(20000));
    const QByteArray told = first.readAllStandardOutput();
    EXPECT_TRUE(told.contains("HANDED /music/one.mp3\nHANDED /music/a b.m3u\n"))
        << told.constData();
    EXPECT_FALSE(told.contains("INFORMATION")) << told.constData();
}

TEST_F(TwoInstances, SocketLeftByACrashDoesNotStopTheNextStart) {
    // Would break: after a crash every start ending with 99 until the user deletes a file.
    const QByteArray path = QFile::encodeName(runtime_) + "/Slicewell 4";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);  // bound, never listened: what a killed instance leaves

    QProcess first;
    Start(first);
    WaitReady(first);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(10000);
}

TEST_F(TwoInstances, EndpointIsReachableByThisUserOnly) {
    // Would break: another account connecting to make this instance show boxes, or posing as it.
    ScopedVariable runtime("XDG_RUNTIME_DIR", QFile::encodeName(runtime_));
    EXPECT_EQ(SingleInstance::EndpointPath(), runtime_ + QStringLiteral("/Slicewell 4"));
    SingleInstance instance;
    ASSERT_TRUE(instance.IsFirstInstance());
    const mode_t socket = Mode(SingleInstance::EndpointPath());
    EXPECT_TRUE(S_ISSOCK(socket));
    EXPECT_EQ(socket & 077, 0U);
}

TEST_F(TwoInstances, OpenRuntimeFolderGivesWayToAPrivateOne) {
    // Would break: a socket in a folder others can write to, where anyone may plant their own.
    const QString open = root_.filePath(QStringLiteral("open"));
    ASSERT_TRUE(QDir().mkpath(open));
    ::chmod(QFile::encodeName(open).constData(), 0755);
    ScopedVariable runtime("XDG_RUNTIME_DIR", QFile::encodeName(open));
    ScopedVariable temp("TMPDIR", QFile::encodeName(root_.path()));
    const QString endpoint = SingleInstance::EndpointPath();
    const QString folder =
        root_.filePath(QStringLiteral("slicewell-%1").arg(static_cast<qulonglong>(::geteuid())));
    EXPECT_EQ(endpoint, folder + QStringLiteral("/Slicewell 4"));
    EXPECT_EQ(Mode(folder) & 0777, 0700U);
}

TEST_F(TwoInstances, FolderSomeoneElsePreparedIsNeverUsed) {
    // Would break: a folder made open in advance by another account taken as the private one.
    ScopedVariable runtime("XDG_RUNTIME_DIR", QByteArray());
    ScopedVariable temp("TMPDIR", QFile::encodeName(root_.path()));
    const QString folder =
        root_.filePath(QStringLiteral("slicewell-%1").arg(static_cast<qulonglong>(::geteuid())));
    ASSERT_TRUE(QDir().mkpath(folder));
    ::chmod(QFile::encodeName(folder).constData(), 0777);
    EXPECT_EQ(SingleInstance::EndpointPath(), QString());
    SingleInstance instance;
    EXPECT_TRUE(instance.IsFirstInstance());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList());
}

}  // namespace
}  // namespace sw
