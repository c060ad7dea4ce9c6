// vorlen: the jukebox.
#include "app/appUserInterface.h"
#include "app/jukeboxWindows.h"
#include "core/dmMain.h"
#include "core/singleInstance.h"
#include "mpris/mprisService.h"
#include "party/partyServer.h"
#include "platform/programFolders.h"
#include "ui/forms/dialogPlacement.h"
#include "ui/forms/frmJukebox.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts when it finds no display: say so plainly instead.
bool displayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char **argv)
{
    if (!displayAvailable()) {
        std::fprintf(stderr, "Vorlen Mp3 Jukebox: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    // Only the jukebox window carries the title: X11 names the program's
    // hidden group-leader window after the application, and a remote control
    // that looks the title up (xdotool search --name) would find that window
    // first and send its keys nowhere.
    QApplication::setApplicationName(QStringLiteral("vorlen"));
    // Lets a Wayland desktop match the window to the installed menu entry and
    // its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vorlen"));

    // A second start brings the running jukebox forward and ends.
    TsingleInstanceGuard guard(SingleInstanceName(ResolveProgramFolders().home));
    if (!guard.Claim())
        return EXIT_SUCCESS;

    TfrmJukebox window;
    // Dialogs open over the jukebox window, wherever it stands.
    TdialogPlacement dialogPlacement(window);
    auto raise = [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    };
    guard.OnRaiseRequested = raise;
    TappUserInterface ui(&window);
    TdmMain core(ui);
    // Every face subscribes before the settings pass, so that each reads its
    // own keys in it.
    window.SetCore(&core);
    TjukeboxWindows windows(window, core, ui);
    TmprisService mpris(core,
        { raise, [&window] { return window.IsFullScreen(); }, [&window](bool value) { window.SetFullScreen(value); } });
    window.OnFullScreenChanged = [&mpris] { mpris.FullScreenChanged(); };
    // Listens only while the host has party mode on.
    TpartyServer party(core);
    core.LoadSettings();
    window.show();
    // Closing the window ends the program; the core has saved by then.
    return app.exec();
}
