#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

class QWidget;

namespace sw {

class Prompts;

inline constexpr int kSecondInstanceExitCode = 99;

// Finds a running instance through a local socket named "Slicewell 4" in a folder only this user
// can enter: $XDG_RUNTIME_DIR when it is the user's own and closed to others, else a folder
// "slicewell-<uid>" with mode 0700 in the temporary folder. Another account can neither pose as
// a running instance nor make this one end. Both ends also check that the peer is this user.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket's path; "" when no private folder can be had (then every start is the first).
    static QString EndpointPath();

    // True when no instance of this user runs; this one then answers later starts. False after
    // the running instance was told: the caller ends with kSecondInstanceExitCode.
    bool IsFirstInstance();

  signals:
    // A later start asked for the main window. Queued, so the socket is answered first.
    void anotherInstanceStarted();

  private:
    void Answer();

    QLocalServer server_;
};

// What the running instance does for a later start: its main window to the front, and the
// message there.
void BringToFrontAndTell(QWidget* mainWindow, Prompts& prompts);

}  // namespace sw
