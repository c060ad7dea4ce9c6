#pragma once

#include <QString>
#include <QStringList>

class TiniFile;

// The application core's own keys of vorlen.ini. The windows keep their own
// sections in the same file (see TdmMain::LoadSettings).
struct TcoreSettings {
    QStringList DirList;
    int MasterVolume = 200;
    bool ShowTips = true;
    int TipNo = 0;
    bool NoTrackNumbers = false;
    bool StackerEnabled = false;
    QString MusicFolder;
    QString CoverArtFolder;
    QString PlaylistFolder;
    QString CartridgeFolder;
    QStringList Genres;
    int FadeInTime = 5000;
    int FadeOutTime = 5000;
    int FadeInFromVolume = 125;
    int FadeOutToVolume = 40;
};

// Reads the core's keys; missing keys and values that are not numbers take the
// defaults. Folder defaults: MusicFolder the first music folder, or
// programFolder when there is none; CoverArtFolder likewise; PlaylistFolder
// programFolder. Values of the 0..255 settings are taken modulo 256.
TcoreSettings ReadCoreSettings(const TiniFile &ini, const QString &programFolder);

// Writes the core's keys in their fixed order.
void WriteCoreSettings(TiniFile &ini, const TcoreSettings &settings);

// Why the settings file could not be read whole, for the user; empty when it
// was. Beyond what any INI file can have wrong (TiniFile::ReadProblem), an
// existing vorlen.ini that holds nothing was cut off: the jukebox always
// writes its keys.
QString SettingsFileProblem(const TiniFile &ini);

// A 0..255 setting as stored: the value modulo 256 (300 gives 44, -1 gives 255).
int ByteSetting(int value);
