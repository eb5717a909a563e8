#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>
#include <vector>

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
    // the running instance was told, and handed files (absolute names) to import when there are
    // any: the caller ends with kSecondInstanceExitCode.
    bool IsFirstInstance(const std::vector<std::string>& files = {});

  signals:
    // A later start without files asked for the main window. Queued, so the socket is answered
    // first.
    void anotherInstanceStarted();
    // A later start handed over the files it was given, to import as a drop of them would.
    // Queued as well.
    void filesHandedOver(const std::vector<std::string>& files);

  private:
    void Answer();

    QLocalServer server_;
};

// The running instance's main window to the front, out of its minimised state.
void BringToFront(QWidget* mainWindow);
// What the running instance does for a later start without files: its main window to the front,
// and the message there.
void BringToFrontAndTell(QWidget* mainWindow, Prompts& prompts);

}  // namespace sw
