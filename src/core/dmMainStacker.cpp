// The core's stacker: its title, its switch and the stacker window's
// commands.
#include "core/dmMain.h"

#include <QFileInfo>

QString TdmMain::StackerTitle() const
{
    return m_stacker->Title(m_settings.StackerEnabled, m_stackerAlbum);
}

void TdmMain::SetStackerEnabled(bool value)
{
    m_settings.StackerEnabled = value;
}

void TdmMain::StackerAddAlbum(const TtagAlbum &album)
{
    m_stacker->AddAlbum(album);
}

bool TdmMain::StackerAddPlaylist(const QString &name, const QString &m3uFile)
{
    const TtaskScope task(*this, TcoreTask::StackerPlaylist, QStringLiteral("Adding the playlist \"%1\"").arg(name));
    return m_stacker->AddPlaylist(name, m3uFile);
}

void TdmMain::StackerDeleteNode(const TlistObject &object, const TlistObject &parentObject)
{
    m_stacker->DeleteNode(object, parentObject);
}

void TdmMain::StackerEmpty()
{
    m_stacker->Empty();
}

bool TdmMain::StackerSaveCartridge(const QString &fileName)
{
    return m_stacker->SaveCartridge(fileName);
}

TcartridgeCheck TdmMain::StackerLoadCartridge(const QString &fileName, bool append)
{
    const TtaskScope task(*this, TcoreTask::StackerCartridge,
        QStringLiteral("Loading the cartridge \"%1\"").arg(QFileInfo(fileName).fileName()));
    return append ? m_stacker->AddCartridge(fileName) : m_stacker->LoadCartridge(fileName);
}
