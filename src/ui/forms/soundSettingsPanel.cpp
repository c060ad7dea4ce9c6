#include "ui/forms/soundSettingsPanel.h"

#include "core/dmMain.h"
#include "core/soundControl.h"
#include "ui/forms/loudnessProgressText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>

namespace {

// A bar with its value beside it, in the unit given.
QSlider *valueBar(const QString &name, int minimum, int maximum, const QString &unit, QLabel *&valueLabel)
{
    auto *bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(name);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(3);
    valueLabel = new QLabel;
    valueLabel->setObjectName(QStringLiteral("lbl") + name.mid(2));
    valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    valueLabel->setMinimumWidth(valueLabel->fontMetrics().horizontalAdvance(QStringLiteral("-30 LUFS")));
    const auto show
        = [valueLabel, unit](int value) { valueLabel->setText(QString::number(value) + QLatin1Char(' ') + unit); };
    show(bar->value());
    QObject::connect(bar, &QSlider::valueChanged, valueLabel, show);
    return bar;
}

} // namespace

TsoundSettingsPanel::TsoundSettingsPanel(TdmMain &core, QWidget *parent)
    : QGroupBox(QStringLiteral("Between Tracks"), parent)
    , m_core(core)
{
    setObjectName(QStringLiteral("gbBetweenTracks"));
    m_cbGainMode = new QComboBox;
    m_cbGainMode->setObjectName(QStringLiteral("cbGainMode"));
    m_cbGainMode->addItems({ QStringLiteral("Off (as the files are)"), QStringLiteral("Track"), QStringLiteral("Album"),
        QStringLiteral("Auto (album while an album plays in order)") });
    QLabel *targetValue = nullptr;
    QLabel *preAmpValue = nullptr;
    m_sbTargetLoudness = valueBar(QStringLiteral("sbTargetLoudness"), -30, -10, QStringLiteral("LUFS"), targetValue);
    m_sbPreAmp = valueBar(QStringLiteral("sbPreAmp"), -12, 12, QStringLiteral("dB"), preAmpValue);
    m_cbGapless = new QCheckBox(QStringLiteral("Play the tracks of an album in order without a fade or a gap"));
    m_cbGapless->setObjectName(QStringLiteral("cbGapless"));
    m_cbFadesMeetMusic = new QCheckBox(QStringLiteral("Skip the silence between tracks; fade out as each track ends"));
    m_cbFadesMeetMusic->setObjectName(QStringLiteral("cbFadesMeetMusic"));
    m_cbMeasureLoudness = new QCheckBox(QStringLiteral("Measure the library's tracks in the background"));
    m_cbMeasureLoudness->setObjectName(QStringLiteral("cbMeasureLoudness"));
    m_lblMeasured = new QLabel;
    m_lblMeasured->setObjectName(QStringLiteral("lblMeasured"));
    m_lblMeasured->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Loudness :")), 0, 0);
    grid->addWidget(m_cbGainMode, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Target Loudness :")), 1, 0);
    grid->addWidget(m_sbTargetLoudness, 1, 1);
    grid->addWidget(targetValue, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Pre-amp :")), 2, 0);
    grid->addWidget(m_sbPreAmp, 2, 1);
    grid->addWidget(preAmpValue, 2, 2);
    grid->addWidget(m_cbGapless, 3, 0, 1, 3);
    grid->addWidget(m_cbFadesMeetMusic, 4, 0, 1, 3);
    grid->addWidget(m_cbMeasureLoudness, 5, 0, 1, 2);
    grid->addWidget(m_lblMeasured, 5, 2);
    grid->setColumnStretch(1, 1);
}

void TsoundSettingsPanel::Load()
{
    const TsoundSettings &s = m_core.Sound().Settings();
    m_cbGainMode->setCurrentIndex(int(s.GainMode));
    m_sbTargetLoudness->setValue(s.TargetLoudness);
    m_sbPreAmp->setValue(s.PreAmp);
    m_cbGapless->setChecked(s.Gapless);
    m_cbFadesMeetMusic->setChecked(s.FadesMeetMusic);
    m_cbMeasureLoudness->setChecked(m_core.Sound().AnalysisEnabled());
    showProgress();
}

void TsoundSettingsPanel::Apply()
{
    TsoundSettings s;
    s.GainMode = TgainMode(m_cbGainMode->currentIndex());
    s.TargetLoudness = m_sbTargetLoudness->value();
    s.PreAmp = m_sbPreAmp->value();
    s.Gapless = m_cbGapless->isChecked();
    s.FadesMeetMusic = m_cbFadesMeetMusic->isChecked();
    m_core.SetSoundSettings(s);
    m_core.SetLoudnessAnalysis(m_cbMeasureLoudness->isChecked());
}

void TsoundSettingsPanel::showProgress()
{
    const TloudnessAnalyser::Progress progress = m_core.Sound().AnalysisProgress();
    m_lblMeasured->setText(LoudnessProgressText(progress.done, progress.total, progress.running));
}
