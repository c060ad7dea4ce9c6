#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

// The built jukebox (build/bin/vorlen) running on the test run's private X
// server and PulseAudio server, with a program folder and a home of its own,
// driven by keys as a remote control drives it.
//
// The jukebox dies with the test process, whichever way that ends: the
// destructor kills one still running, and the kernel kills it should the test
// itself crash.
class JukeboxProcess {
public:
    static constexpr const char *kTitle = "Vorlen Mp3 Jukebox";

    // programFolder holds vorlen.ini and Data/ (VORLEN_HOME); the home,
    // runtime and temporary folders are made inside it.
    explicit JukeboxProcess(const QString &programFolder);
    // An installed program, started as a desktop starts it: without
    // VORLEN_HOME, so that it chooses its folders itself; the home and the XDG
    // data (data/), configuration (config/) and cache (cache/) folders are
    // made inside folder.
    JukeboxProcess(const QString &folder, const QString &installedProgram);
    ~JukeboxProcess();
    JukeboxProcess(const JukeboxProcess &) = delete;
    JukeboxProcess &operator=(const JukeboxProcess &) = delete;

    // The jukebox starts on no session bus unless it is given one here.
    void UseSessionBus(const QString &address);
    // Runs the jukebox as a native Wayland client of the compositor listening
    // on socket in its runtime folder (Environment()'s XDG_RUNTIME_DIR),
    // with no X display to fall back on; before Start. The X tools of this
    // class have no window to find then.
    void UseWayland(const QString &socket);
    bool Start(QString *error);
    // Waits until the window carrying the title is mapped and holds the
    // keyboard focus, which it takes at the end of its start-up.
    bool WaitForWindow(int timeoutMs, QString *error);
    // The remote control's own command: xdotool search --name TITLE key KEYS
    // (keys separated by blanks are sent one after the other), once the
    // jukebox window has the keyboard focus.
    bool SendKeys(const QString &keys);
    // Whether the one window the title finds has the keyboard focus.
    bool HasFocus() const;
    bool WaitForFocus(int timeoutMs) const;
    // Every window the title finds.
    QStringList WindowIds() const;
    // The windows of another title (a message box the jukebox shows) that are
    // on screen, and keys sent to them.
    QStringList VisibleWindows(const QString &title) const;
    bool SendKeysTo(const QString &title, const QString &keys);
    // Gives the jukebox window the keyboard focus, as a click on it would: the
    // test's X server has no window manager to hand it back when a window of
    // the jukebox's own that had it closes.
    bool FocusWindow();
    // The jukebox window's bounds on the screen; empty when it is not found.
    QRect WindowGeometry() const;
    QRect ScreenGeometry() const;
    // Waits for the jukebox to end by itself; false when it still runs.
    bool WaitForExit(int timeoutMs);
    // Whether the started jukebox has ended.
    bool HasEnded() const { return m_process.state() == QProcess::NotRunning; }
    int ExitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus ExitStatus() const { return m_process.exitStatus(); }
    // What the jukebox wrote to its standard output and error.
    QString Output();
    // The running jukebox's process id; 0 when it does not run.
    qint64 ProcessId() const { return m_process.processId(); }

    const QProcessEnvironment &Environment() const { return m_environment; }
    // Sets a variable of the jukebox's environment, and of the X clients' that
    // drive it; before Start.
    void SetVariable(const QString &name, const QString &value);

private:
    // Runs an X client of the test display; its standard output, or an empty
    // text when it failed.
    QString runXTool(const QString &program, const QStringList &arguments, bool *ok = nullptr) const;

    QString m_folder;
    QString m_program;
    QProcessEnvironment m_environment;
    QProcess m_process;
    QByteArray m_output;
};
