// The slicewell program itself, started as a process on the offscreen platform with private
// home, config, data and runtime folders: the order of its start, what options print and
// leave behind, the settings written only after a windowed run, one instance per user.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>

namespace sw::test {
namespace {

class ProgramProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        for (const char* folder : {"home/.config", "home/.local/share", "runtime"}) {
            ASSERT_TRUE(QDir().mkpath(root_.filePath(folder)));
        }
        QFile::setPermissions(root_.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // No splash: it would hold every windowed start for its delay.
        WriteStore("[General]\nSplashDelay=0\n");
    }

    QProcessEnvironment Environment(bool withPlatform = true) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", root_.filePath("home"));
        env.insert("XDG_CONFIG_HOME", root_.filePath("home/.config"));
        env.insert("XDG_DATA_HOME", root_.filePath("home/.local/share"));
        env.insert("XDG_RUNTIME_DIR", root_.filePath("runtime"));
        env.remove("SLICEWELL_FIRST_PAINT");
        if (withPlatform) {
            env.insert("QT_QPA_PLATFORM", "offscreen");
        } else {
            env.remove("QT_QPA_PLATFORM");
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
        }
        return env;
    }
    QString StoreFile() const { return root_.filePath("home/.config/Harrowlight/Slicewell.conf"); }
    void WriteStore(const QByteArray& text) const {
        QDir().mkpath(root_.filePath("home/.config/Harrowlight"));
        QFile file(StoreFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    int TimesExecuted() const {
        return QSettings(StoreFile(), QSettings::IniFormat).value("TimesExecuted", 0).toInt();
    }

    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };
    // Runs the program to its end (at most 30 s).
    Run Start(const QStringList& arguments, QProcessEnvironment env) const {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(SLICEWELL_PROGRAM, arguments);
        Run run;
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "slicewell did not end";
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    // A windowed run that ends by itself once its main window painted.
    Run StartAndQuitAfterFirstPaint(const QStringList& arguments = {}) const {
        QProcessEnvironment env = Environment();
        env.insert("SLICEWELL_FIRST_PAINT", "quit");
        return Start(arguments, env);
    }

    QTemporaryDir root_;
};

TEST_F(ProgramProcessTest, OptionsAnswerOnStandardOutputAndLeaveTheStoreAlone) {
    // An option run that counted as a start, or opened windows, or said nothing on a terminal.
    const Run version = Start({"/V"}, Environment());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("Visit: ")) << version.out.toStdString();
    EXPECT_TRUE(version.out.contains("Slicewell version ")) << version.out.toStdString();
    const Run invalid = Start({"/x"}, Environment());
    EXPECT_TRUE(invalid.out.contains("Invalid commandline option"));
    EXPECT_FALSE(invalid.out.contains("Slicewell version"));
    const Run slash = Start({"/"}, Environment());
    EXPECT_TRUE(slash.out.contains("Invalid commandline option"));
    const Run quiet = Start({"/q"}, Environment());
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_FALSE(quiet.out.contains("Invalid"));
    EXPECT_EQ(TimesExecuted(), 0);
}

TEST_F(ProgramProcessTest, OnlyAWindowedRunCountsAndStoresItsStart) {
    // The store would never be written, or every option run would count as a start.
    Run first = StartAndQuitAfterFirstPaint();
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith("first paint ")) << first.out.toStdString();
    EXPECT_EQ(TimesExecuted(), 1);
    Start({"/v"}, Environment());
    EXPECT_EQ(TimesExecuted(), 1);
    StartAndQuitAfterFirstPaint();
    EXPECT_EQ(TimesExecuted(), 2);
}

TEST_F(ProgramProcessTest, AnUnreadableStoreIsReportedAndTheProgramGoesOnWithDefaults) {
    // A broken store would stop the program, or its defaults would be written over it.
    QFile::remove(StoreFile());
    ASSERT_TRUE(QDir().mkpath(StoreFile()));  // a folder where the file should be
    const Run run = Start({"/v"}, Environment());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("Error retrieving global settings...")) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Slicewell version"));
    EXPECT_TRUE(QFileInfo(StoreFile()).isDir());
}

TEST_F(ProgramProcessTest, WithoutADisplayTheWindowsDoNotStartButOptionsStillAnswer) {
    // Qt would abort with its own message, or run windows nobody can see.
    const Run windows = Start({}, Environment(false));
    EXPECT_EQ(windows.exitCode, 1);
    EXPECT_TRUE(windows.err.contains("no display")) << windows.err.toStdString();
    const Run version = Start({"--version"}, Environment(false));
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.contains("Slicewell version"));
    EXPECT_EQ(TimesExecuted(), 0);
}

TEST_F(ProgramProcessTest, ASecondStartEndsWith99ButItsOptionsAnswerThemselves) {
    // Two instances would each hold the project; "/v" or "--help" typed while the program runs
    // would end with 99 and print nothing.
    QProcess first;
    QProcessEnvironment env = Environment();
    env.insert("SLICEWELL_FIRST_PAINT", "print");
    first.setProcessEnvironment(env);
    first.start(SLICEWELL_PROGRAM, {});
    ASSERT_TRUE(first.waitForStarted());
    // Once it painted, it listens.
    while (!first.readAllStandardOutput().contains("first paint")) {
        ASSERT_TRUE(first.waitForReadyRead(20000)) << "the first instance never painted";
    }
    const Run second = Start({}, Environment());
    EXPECT_EQ(second.exitCode, 99);
    const Run version = Start({"/v"}, Environment());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.contains("Slicewell version"));
    first.kill();
    first.waitForFinished();
    // The first was killed: only the second could have written the store, and it did not.
    EXPECT_EQ(TimesExecuted(), 0);
}

}  // namespace
}  // namespace sw::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
