#include "core/coreSettings.h"

#include "platform/commaText.h"
#include "platform/iniFile.h"

#include <QFileInfo>

namespace {

const QString kDirs = QStringLiteral("Dirs");
const QString kVolume = QStringLiteral("VolumeSettings");
const QString kGeneral = QStringLiteral("General");
const QString kCrossFader = QStringLiteral("CrossFader");

} // namespace

QString SettingsFileProblem(const TiniFile &ini)
{
    if (!ini.ReadProblem().isEmpty())
        return ini.ReadProblem();
    const QFileInfo file(ini.FileName());
    if (file.isFile() && file.size() == 0)
        return QStringLiteral("it is empty");
    return QString();
}

int ByteSetting(int value)
{
    return ((value % 256) + 256) % 256;
}

TcoreSettings ReadCoreSettings(const TiniFile &ini, const QString &programFolder)
{
    TcoreSettings s;
    s.DirList = FromCommaText(ini.ReadString(kDirs, QStringLiteral("DirList"), QString()));
    s.MasterVolume = ByteSetting(ini.ReadInteger(kVolume, QStringLiteral("MasterVolume"), 200));
    s.ShowTips = ini.ReadBool(kGeneral, QStringLiteral("ShowTips"), true);
    s.TipNo = ini.ReadInteger(kGeneral, QStringLiteral("TipNo"), 0);
    s.NoTrackNumbers = ini.ReadBool(kGeneral, QStringLiteral("NoTrackNumbers"), false);
    s.StackerEnabled = ini.ReadBool(kGeneral, QStringLiteral("StackerEnabled"), false);
    s.FadeInTime = ini.ReadInteger(kCrossFader, QStringLiteral("FadeInTime"), 5000);
    s.FadeOutTime = ini.ReadInteger(kCrossFader, QStringLiteral("FadeOutTime"), 5000);
    s.FadeInFromVolume = ByteSetting(ini.ReadInteger(kCrossFader, QStringLiteral("FadeInFromVolume"), 125));
    s.FadeOutToVolume = ByteSetting(ini.ReadInteger(kCrossFader, QStringLiteral("FadeOutToVolume"), 40));
    s.PlaylistFolder = ini.ReadString(kGeneral, QStringLiteral("PlaylistFolder"), programFolder);
    s.CartridgeFolder = ini.ReadString(kGeneral, QStringLiteral("CartridgeFolder"), QString());
    s.Genres = FromCommaText(ini.ReadString(kGeneral, QStringLiteral("Genres"), QString()));
    const QString folderDefault = s.DirList.isEmpty() ? programFolder : s.DirList.first();
    s.MusicFolder = ini.ReadString(kGeneral, QStringLiteral("MusicFolder"), folderDefault);
    s.CoverArtFolder = ini.ReadString(kGeneral, QStringLiteral("CoverArtFolder"), folderDefault);
    return s;
}

void WriteCoreSettings(TiniFile &ini, const TcoreSettings &s)
{
    ini.WriteString(kDirs, QStringLiteral("DirList"), ToCommaText(s.DirList));
    ini.WriteInteger(kVolume, QStringLiteral("MasterVolume"), s.MasterVolume);
    ini.WriteBool(kGeneral, QStringLiteral("ShowTips"), s.ShowTips);
    ini.WriteInteger(kGeneral, QStringLiteral("TipNo"), s.TipNo);
    ini.WriteBool(kGeneral, QStringLiteral("NoTrackNumbers"), s.NoTrackNumbers);
    ini.WriteBool(kGeneral, QStringLiteral("StackerEnabled"), s.StackerEnabled);
    ini.WriteString(kGeneral, QStringLiteral("MusicFolder"), s.MusicFolder);
    ini.WriteString(kGeneral, QStringLiteral("CoverArtFolder"), s.CoverArtFolder);
    ini.WriteString(kGeneral, QStringLiteral("PlaylistFolder"), s.PlaylistFolder);
    ini.WriteString(kGeneral, QStringLiteral("CartridgeFolder"), s.CartridgeFolder);
    ini.WriteString(kGeneral, QStringLiteral("Genres"), ToCommaText(s.Genres));
    ini.WriteInteger(kCrossFader, QStringLiteral("FadeInTime"), s.FadeInTime);
    ini.WriteInteger(kCrossFader, QStringLiteral("FadeOutTime"), s.FadeOutTime);
    ini.WriteInteger(kCrossFader, QStringLiteral("FadeInFromVolume"), s.FadeInFromVolume);
    ini.WriteInteger(kCrossFader, QStringLiteral("FadeOutToVolume"), s.FadeOutToVolume);
}
