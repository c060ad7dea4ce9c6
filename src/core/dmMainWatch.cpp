// The core's part in keeping the library current with the music folders:
// which folders are watched, the switch of the Music Folders page, and the
// desktop's music folder offered at the first start.
#include "core/dmMain.h"

#include "core/libraryWatch.h"

void TdmMain::SetWatchFolders(bool value)
{
    m_settings.WatchFolders = value;
    watchMusicFolders();
}

void TdmMain::watchMusicFolders()
{
    if (!m_settings.WatchFolders) {
        m_watch->Stop();
        return;
    }
    // A disc's folders are the disc cache's business, not the watch's.
    const QList<CdDrive> drives = m_options.cdDrives();
    QStringList folders;
    for (QString folder : m_settings.DirList) {
        if (!folder.endsWith(u'/'))
            folder += u'/';
        const bool onDisc = std::any_of(drives.begin(), drives.end(), [&](const CdDrive &drive) {
            const QString mountPoint = drive.mountPoint.endsWith(u'/') ? drive.mountPoint : drive.mountPoint + u'/';
            return folder.startsWith(mountPoint);
        });
        if (!onDisc && !folders.contains(folder))
            folders.append(folder);
    }
    if (folders != m_watch->Folders() || !m_watch->Watching())
        m_watch->Start(folders);
}

bool TdmMain::offerDesktopMusicFolder()
{
    if (!m_settings.DirList.isEmpty() || m_settings.MusicFolderOffered || !m_options.desktopMusicFolder)
        return false;
    const QString folder = m_options.desktopMusicFolder();
    if (folder.isEmpty())
        return false;
    m_ui.OfferYesNo(QStringLiteral("The jukebox has no music folder yet. Your music folder is %1.\n\n"
                                   "Add it, and take the music in it into the library?")
                        .arg(folder),
        QStringLiteral("Music Folders"), [this, folder](bool yes) {
            if (!yes) {
                m_settings.MusicFolderOffered = true;
                return;
            }
            // Watched, its music is read in as the watch lists
            // it; otherwise the user's scan takes it in.
            AddMusicFolder(folder);
            if (!m_settings.WatchFolders)
                m_ui.ShowWindow(TcoreWindow::MusicSearch);
        });
    return true;
}
