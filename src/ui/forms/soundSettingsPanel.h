#pragma once

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class TdmMain;

// "Between Tracks", on the preferences' cross-fade page beside the fade
// controls: the loudness mode, the target loudness and pre-amp, gapless
// album runs, fades that meet the music, and the background measuring with
// how far it has got. Like the fade values, the choices go to the core when
// the preferences close (Apply, through the core's operations); every
// showing starts from the core's values (Load). GUI thread only.
class TsoundSettingsPanel : public QGroupBox {
public:
    explicit TsoundSettingsPanel(TdmMain &core, QWidget *parent = nullptr);

    void Load();
    void Apply();

private:
    void showProgress();

    TdmMain &m_core;
    QComboBox *m_cbGainMode;
    QSlider *m_sbTargetLoudness;
    QSlider *m_sbPreAmp;
    QCheckBox *m_cbGapless;
    QCheckBox *m_cbFadesMeetMusic;
    QCheckBox *m_cbMeasureLoudness;
    QLabel *m_lblMeasured;
};
