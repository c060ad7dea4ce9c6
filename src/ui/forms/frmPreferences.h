#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSlider;
class QTabWidget;
class TdmMain;
class TsoundSettingsPanel;
struct CdDrive;

// The pages the window opens on.
enum TpreferencesPage { ppMusicFolders, ppCrossFader, ppGeneral };

// "Preferences": the music folders to scan, the four cross-fade values and
// how tracks meet (TsoundSettingsPanel), the track-number display switch and
// the album-art folder, all held by the core.
// The folders, the switch and the cover folder change at once; the cross-fade
// values are handed to the core (and so to the player) when the window
// closes, whichever way it closes: there is no cancel. Nothing is written to
// disk here: the core saves its settings at exit.
//
// Created once and opened modally on one of its pages; every showing starts
// from the core's current values. GUI thread only.
class TfrmPreferences : public QDialog {
public:
    explicit TfrmPreferences(TdmMain &core, QWidget *parent = nullptr);

    // Opens the window modally on page; returns when it has closed.
    int Execute(TpreferencesPage page);
    void SetPage(TpreferencesPage page);

    // The folder browser: the chosen folder, or empty when the user cancels.
    // The desktop's folder dialog unless replaced.
    std::function<QString(const QString &title, const QString &startFolder)> ChooseFolder;
    // Run Scan: the program opens the music search window.
    std::function<void()> OnRunScan;

    // Whether folder lies on one of the mounted optical discs.
    static bool OnOpticalDisc(const QString &folder, const QList<CdDrive> &drives);
    // A volume of 0..255 as the percentage the window shows.
    static int VolumePercent(int volume);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeFoldersPage();
    QWidget *makeCrossFaderPage();
    QWidget *makeGeneralPage();
    QSlider *makeFadeBar(
        const QString &name, QLabel *valueLabel, int maximum, int smallStep, int largeStep, bool volume);
    void loadValues();
    void fillFolders();
    void btnAddDirClick();
    void btnDeleteDirClick();
    void btnRunScanClick();
    void cbTrackNumbersClick(bool checked);
    void btnAlbumArtFolderClick();

    TdmMain &m_core;
    QTabWidget *m_pcPreferences;
    QListWidget *m_lbDirs;
    QSlider *m_sbFadeInTime;
    QSlider *m_sbFadeInVolume;
    QSlider *m_sbFadeOutTime;
    QSlider *m_sbFadeOutVolume;
    TsoundSettingsPanel *m_soundPanel;
    QCheckBox *m_cbTrackNumbers;
    QCheckBox *m_cbWatchFolders;
    QLineEdit *m_edAlbumArtFolder;
};
