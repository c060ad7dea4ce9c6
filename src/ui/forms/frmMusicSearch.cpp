#include "ui/forms/frmMusicSearch.h"

#include "core/dmMain.h"
#include "platform/iniFile.h"
#include "ui/forms/dialogParts.h"
#include "ui/forms/folderNameFit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

const QString kSection = QStringLiteral("MusicSearch");
const QString kDeleteFiles = QStringLiteral("DeleteFiles");

const QString kActionNone = QStringLiteral("Action : None");
const QString kActionScanning = QStringLiteral("Action : Scanning for new/modified files");
const QString kActionUpdating = QStringLiteral("Action : Updating Information");
constexpr qint64 kRepaintIntervalMs = 40;

// A note under a check box, lined up with the box's text.
QLabel *optionNote(const QString &text, const QCheckBox *box)
{
    auto *note = new QLabel(text);
    const QStyle *style = box->style();
    const int indent = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box)
        + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
    note->setContentsMargins(indent, 0, 0, 0);
    return note;
}

QCheckBox *boldCheckBox(const QString &text, const QString &name)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(name);
    QFont font = box->font();
    font.setBold(true);
    box->setFont(font);
    return box;
}

QLabel *valueLabel(const QString &name)
{
    auto *label = new QLabel;
    label->setObjectName(name);
    return label;
}

} // namespace

TfrmMusicSearch::TfrmMusicSearch(TdmMain &core, QWidget *parent)
    : QDialog(parent, kDialogFlags | Qt::MSWindowsFixedSizeDialogHint)
    , m_core(core)
{
    setObjectName(QStringLiteral("frmMusicSearch"));
    setWindowTitle(QStringLiteral("Music Search"));

    m_cbRemoveMissing = boldCheckBox(QStringLiteral("Remove Missing Files"), QStringLiteral("cbRemoveMissing"));
    m_cbRemoveMissing->setToolTip(QStringLiteral(
        "If the scan does not find files that are already in the library then they will be removed from the library."));
    m_cbRemoveMissing->setChecked(true);
    m_cbFullScan = boldCheckBox(QStringLiteral("Full ReScan"), QStringLiteral("cbFullScan"));

    auto *options = new QGroupBox(QStringLiteral("Options"));
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(m_cbRemoveMissing);
    optionsLayout->addWidget(optionNote(
        QStringLiteral(" (use this if you have removed or moved files in your Music Folders)"), m_cbRemoveMissing));
    optionsLayout->addWidget(m_cbFullScan);
    optionsLayout->addWidget(
        optionNote(QStringLiteral(" (use this if you have removed paths from your Music Folders)"), m_cbFullScan));

    m_lblCurrentDir = valueLabel(QStringLiteral("lblCurrentDir"));
    // The folder is shortened to the room the window has; it never widens it.
    m_lblCurrentDir->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblNewFilesFound = valueLabel(QStringLiteral("lblNewFilesFound"));
    m_lblModFilesFound = valueLabel(QStringLiteral("lblModFilesFound"));
    auto *counts = new QGridLayout;
    counts->addWidget(new QLabel(QStringLiteral("Current Dir :")), 0, 0);
    counts->addWidget(m_lblCurrentDir, 0, 1);
    counts->addWidget(new QLabel(QStringLiteral("New Files Found :")), 1, 0);
    counts->addWidget(m_lblNewFilesFound, 1, 1);
    counts->addWidget(new QLabel(QStringLiteral("Modified Files Found :")), 2, 0);
    counts->addWidget(m_lblModFilesFound, 2, 1);
    counts->setColumnStretch(1, 1);

    m_lblAction = valueLabel(QStringLiteral("lblAction"));
    m_lblAction->setText(kActionNone);

    m_pgbMusic = new QProgressBar;
    m_pgbMusic->setObjectName(QStringLiteral("pgbMusic"));
    m_pgbMusic->setRange(0, 100);
    m_pgbMusic->setValue(0);
    m_pgbMusic->setTextVisible(false);
    m_lblProgressCount = valueLabel(QStringLiteral("lblProgressCount"));
    m_lblProgressCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblProgressCount->setMinimumWidth(m_lblProgressCount->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    auto *progress = new QHBoxLayout;
    progress->addWidget(m_pgbMusic, 1);
    progress->addWidget(m_lblProgressCount);

    m_btnStart = new QPushButton(QStringLiteral("Start"));
    m_btnStart->setObjectName(QStringLiteral("btnStart"));
    m_btnStop = new QPushButton(QStringLiteral("Stop"));
    m_btnStop->setObjectName(QStringLiteral("btnStop"));
    m_btnStop->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnStart);
    buttons->addWidget(m_btnStop);

    auto *frame = new QGroupBox;
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(options);
    frameLayout->addLayout(counts);
    frameLayout->addWidget(m_lblAction);
    frameLayout->addLayout(progress);
    frameLayout->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Room for a useful stretch of the folder being scanned.
    frame->setMinimumWidth(fontMetrics().averageCharWidth() * 48);

    connect(m_btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });
    connect(m_btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });

    TiniFile settings(m_core.SettingsFile());
    LoadSettings(settings);
    m_subscription = m_core.Subscribe(*this);
}

TfrmMusicSearch::~TfrmMusicSearch() = default;

int TfrmMusicSearch::Execute()
{
    return exec();
}

void TfrmMusicSearch::LoadSettings(TiniFile &ini)
{
    m_cbRemoveMissing->setChecked(ini.ReadBool(kSection, kDeleteFiles, true));
}

void TfrmMusicSearch::SaveSettings(TiniFile &ini)
{
    ini.WriteBool(kSection, kDeleteFiles, m_cbRemoveMissing->isChecked());
}

void TfrmMusicSearch::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        // A scan another face started shows as it goes on.
        const bool running = m_core.Scan().Running();
        m_btnStop->setEnabled(running);
        m_btnStart->setEnabled(!running);
        m_pgbMusic->setValue(0);
        m_lblAction->setText(running ? kActionScanning : kActionNone);
        m_mayClose = !running;
        m_cbFullScan->setChecked(false);
        m_lblNewFilesFound->setText(QStringLiteral("0"));
        m_lblModFilesFound->setText(QStringLiteral("0"));
    }
    QDialog::showEvent(event);
}

void TfrmMusicSearch::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_currentFolder.isEmpty())
        showFolder(m_currentFolder);
}

void TfrmMusicSearch::done(int result)
{
    if (!m_mayClose)
        return;
    QDialog::done(result);
}

void TfrmMusicSearch::btnStartClick()
{
    // The options hold for the whole run, whatever is clicked meanwhile.
    m_core.StartScan(TscanOptions{m_cbFullScan->isChecked(), m_cbRemoveMissing->isChecked()});
}

void TfrmMusicSearch::btnStopClick()
{
    m_core.Scan().Stop();
}

void TfrmMusicSearch::ScanStarted()
{
    m_mayClose = false;
    m_btnStart->setEnabled(false);
    m_btnStop->setEnabled(true);
    m_lblNewFilesFound->setText(QStringLiteral("0"));
    m_lblModFilesFound->setText(QStringLiteral("0"));
    m_lblAction->setText(kActionScanning);
}

void TfrmMusicSearch::ScanProgress(const TscanProgress &progress)
{
    if (progress.folder != m_currentFolder)
        showFolder(progress.folder);
    m_lblNewFilesFound->setText(QString::number(progress.newFiles));
    m_lblModFilesFound->setText(QString::number(progress.modifiedFiles));
}

void TfrmMusicSearch::ScanEnded(bool completed)
{
    m_btnStop->setEnabled(false);
    m_sinceRepaint.invalidate();
    m_mayClose = true;
    m_btnStart->setEnabled(true);
    if (completed)
        close();
}

void TfrmMusicSearch::TaskStarted(TcoreTask task, const QString &, int count)
{
    if (task != TcoreTask::LibraryUpdate)
        return;
    m_lblAction->setText(kActionUpdating);
    m_pgbMusic->setValue(0);
    if (count > 0)
        m_pgbMusic->setRange(0, std::max(count - 1, 1));
}

void TfrmMusicSearch::TaskProgress(TcoreTask task, int index)
{
    if (task != TcoreTask::LibraryUpdate)
        return;
    m_pgbMusic->setValue(index);
    m_lblProgressCount->setText(QString::number(index));
    // A repaint, not an event loop: a guest's request or the folder watch
    // would otherwise reach the library half updated. Paced, so that 100,000
    // records do not cost 100,000 paints.
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kRepaintIntervalMs)
        return;
    repaint();
    m_sinceRepaint.start();
}

void TfrmMusicSearch::TaskFinished(TcoreTask task)
{
    if (task == TcoreTask::LibraryUpdate)
        m_pgbMusic->setValue(m_pgbMusic->maximum());
}

void TfrmMusicSearch::showFolder(const QString &folder)
{
    m_currentFolder = folder;
    m_lblCurrentDir->setText(
        FitFolderName(folder, m_lblCurrentDir->fontMetrics(), m_lblCurrentDir->contentsRect().width()));
    m_lblCurrentDir->setToolTip(folder);
}
