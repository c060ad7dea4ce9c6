#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

// A Wayland compositor of the test's own: weston on its headless backend,
// drawing into memory so that its screen can be captured, with its desktop
// shell on a background of one colour and no panel. It listens on a socket
// in the runtime folder it is given (a client's XDG_RUNTIME_DIR), and ends
// with the object, or with the test process should that crash.
class WestonCompositor {
public:
    // The background the desktop shell paints where no window is.
    static constexpr QRgb kBackground = 0xff00ff00;

    // Whether weston and its screen capture client are installed.
    static bool Installed();

    // runtimeFolder must exist and be private to the user (mode 0700), as
    // Wayland asks of XDG_RUNTIME_DIR.
    WestonCompositor(const QString &runtimeFolder, QSize screen);
    ~WestonCompositor();
    WestonCompositor(const WestonCompositor &) = delete;
    WestonCompositor &operator=(const WestonCompositor &) = delete;

    // Starts weston and waits until it listens and its shell has painted the
    // background.
    bool Start(QString *error);
    // What WAYLAND_DISPLAY names for a client sharing the runtime folder.
    QString SocketName() const { return m_socket; }
    QSize ScreenSize() const { return m_screen; }

    // The whole screen as the compositor shows it; a null image, with the
    // reason in error, when the capture failed.
    QImage Capture(QString *error = nullptr);
    // The bounds of what covers the background in a capture; empty when the
    // background shows alone.
    static QRect Covered(const QImage &screen);

    // What weston logged.
    QString Log() const;

private:
    QString m_runtime;
    QString m_socket;
    QSize m_screen;
    QTemporaryDir m_folder;
    QProcess m_weston;
};
