#include "core/tipOfTheDay.h"

#include "core/coreSettings.h"
#include "core/dmMain.h"

TtipDialogState::TtipDialogState(QStringList tips, int index, bool showAtStart)
    : ShowAtStart(showAtStart), m_tips(std::move(tips)), m_index(index)
{
}

void TtipDialogState::Show()
{
    if (m_tips.isEmpty())
        m_tips.append(QString::fromLatin1(kNoTips));
    // A negative number (a hand-edited settings file) is outside the list
    // too; indexing with it would fail.
    if (m_index < 0 || m_index >= m_tips.size())
        m_index = 0;
}

QString TtipDialogState::TipText() const
{
    return m_index >= 0 && m_index < m_tips.size() ? m_tips[m_index] : QString();
}

void TtipDialogState::Next()
{
    if (m_tips.isEmpty())
        return;
    ++m_index;
    if (m_index >= m_tips.size())
        m_index = 0;
}

TTipDialog::TTipDialog(TcoreSettings &settings) : m_settings(settings), m_tips(JukeboxTips())
{
}

bool TTipDialog::ShowAtStart() const
{
    return m_settings.ShowTips;
}

void TTipDialog::SetShowAtStart(bool value)
{
    m_settings.ShowTips = value;
}

int TTipDialog::TipNo() const
{
    return m_settings.TipNo;
}

void TTipDialog::SetTipNo(int value)
{
    m_settings.TipNo = value;
}

bool TTipDialog::Execute()
{
    if (!OnShowDialog)
        return true;
    TtipDialogState state(m_tips, TipNo(), ShowAtStart());
    state.Show();
    if (!OnShowDialog(state))
        return true;
    SetShowAtStart(state.ShowAtStart);
    SetTipNo(state.Index());
    return true;
}

QStringList JukeboxTips()
{
    const QString title = QString::fromLatin1(TdmMain::kApplicationTitle);
    return {
        QStringLiteral("Before you can use Vorlen Mp3 Jukebox you need to set your Music Folder locations.  Do this "
                       "by choosing Setting->Music Folders from the main menu."),
        QStringLiteral("If you have added to or removed files from your music collection you will need to refresh "
                       "the music library.  You can do this by choosing File->Scan Folders from the Main Menu, or by "
                       "pressing Ctrl+Shift+F5."),
        QStringLiteral("After inserting or removing a CD you can choose File->Refresh/Scan CDs from the main menu.  Or "
                       "just simply press F5."),
        QStringLiteral("You can add your virtual CDs into the CD stacker.  They will stay in the stacker until you "
                       "remove them.  This means that you can always have instant access to your latest/favorite "
                       "music."),
        QStringLiteral("You can quickly jump through the alphabetic listing of artists be pressing the A-Z keys."),
        QStringLiteral("You can control Vorlen Mp3 Jukebox using your favorite Remote Control Interface program by "
                       "sending the key strokes for various commands to the window called ") +
            u'"' + title + u'"' +
            QStringLiteral(".  Details of the required key strokes appear beside the commands in the main menu."),
        QStringLiteral("Vorlen Mp3 Jukebox can be run in full screen mode (as it was designed to do) by pressing the "
                       "maximize button, or by choosing View->Toggle Full Screen/Normal from the main menu."),
        QStringLiteral("A CD can be quickly added to the queue by pressing the Choose CD button (next to the Show "
                       "Titles button) and locating a CD to play."),
        QStringLiteral("You can load an M3U playlist file by choosing Playlists->Playlist Options from the Main Menu."),
        QStringLiteral("Vorlen Mp3 Jukebox can generate an internal playlist based on one or more genres, you can do "
                       "this selecting Playlists->Playlist Options from the Main Menu."),
        QStringLiteral("You can hide various parts of the main display to maximize the space available for display "
                       "of the artist & track lists.  Refer to the Maximizing Display Space section under Getting "
                       "Started in the Help File."),
        QStringLiteral("Vorlen Mp3 can display the Album Covers of your music if you have them stored in a BMP or JPEG "
                       "format.  Use the Settings->General Settings option from the main menu to configure the "
                       "location of you cover files."),
    };
}
