#include "ui/forms/frmMusicSearch.h"

#include "core/dmMain.h"
#include "library/knownFiles.h"
#include "library/vorlenScanThread.h"
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

TfrmMusicSearch::~TfrmMusicSearch()
{
    m_scan.reset();
}

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

bool TfrmMusicSearch::InMusicFolders(const QString &fileName, const QStringList &folders)
{
    return std::any_of(
        folders.begin(), folders.end(), [&fileName](const QString &folder) { return fileName.startsWith(folder); });
}

void TfrmMusicSearch::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        m_btnStop->setEnabled(false);
        m_pgbMusic->setValue(0);
        m_lblAction->setText(kActionNone);
        m_mayClose = true;
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
    m_newFiles.clear();
    m_missingFolders.clear();
    m_unreadable.clear();
    QDialog::done(result);
}

void TfrmMusicSearch::btnStartClick()
{
    m_stoppedByUser = false;
    m_mayClose = false;
    m_btnStart->setEnabled(false);
    // The options hold for the whole run, whatever is clicked meanwhile.
    m_fullScan = m_cbFullScan->isChecked();
    m_removeMissing = m_cbRemoveMissing->isChecked();
    startScan();
    m_btnStop->setEnabled(true);
}

void TfrmMusicSearch::startScan()
{
    m_newFiles.clear();

    m_scan = std::make_unique<TvorlenScanThread>();
    TvorlenScanThread &scan = *m_scan;
    scan.SetExtensions(kMusicExtensions);
    scan.FolderList = m_core.Settings().DirList;
    scan.Recursive = true;
    // A full rescan knows no file: everything it finds is new, and the
    // library is rebuilt from it once the scan has completed.
    const TtaggerList &master = m_core.jblMain().MasterList();
    for (const QString &folder : scan.FolderList) {
        const QString below = folder.endsWith(u'/') ? folder : folder + u'/';
        const auto &records = master.Records();
        if (std::any_of(records.begin(), records.end(),
                [&below](const TcustomTagger *record) { return record->Folder().startsWith(below); }))
            scan.FoldersWithMusic.append(folder);
    }
    if (!m_fullScan) {
        scan.KnownFiles = TknownFiles(master);
        scan.LookupRecord
            = [&master](const QString &path, int indexHint) { return FindKnownRecord(master, path, indexHint); };
    }
    scan.OnFolder = [this](TvorlenScanThread *, const QString &folder) { showFolder(folder); };
    scan.OnNewFile = [this](TvorlenScanThread *, const QString &, int newCount) {
        m_lblNewFilesFound->setText(QString::number(newCount));
    };
    scan.OnModifiedFile = [this](TvorlenScanThread *, int modifiedCount) {
        m_lblModFilesFound->setText(QString::number(modifiedCount));
    };
    connect(&scan, &QThread::finished, this, [this] { scanFinished(); });
    m_lblAction->setText(kActionScanning);
    scan.start();
}

void TfrmMusicSearch::btnStopClick()
{
    m_stoppedByUser = true;
    if (m_scan)
        m_scan->requestInterruption();
}

void TfrmMusicSearch::scanFinished()
{
    m_btnStop->setEnabled(false);
    // Every finding has been delivered by now: the handlers above never let
    // pending events run, so nothing of this run can still be queued.
    for (const auto &line : m_scan->NewFiles().Lines())
        m_newFiles.append(line.text);
    m_missingFolders = m_scan->MissingFolders();
    m_unreadable = m_scan->Unreadable();
    m_scan.reset();
    const bool completed = !m_stoppedByUser;
    if (completed)
        updateLibrary();
    m_mayClose = true;
    m_btnStart->setEnabled(true);
    if (completed)
        close();
}

void TfrmMusicSearch::updateLibrary()
{
    m_lblAction->setText(kActionUpdating);
    // What the options take away goes only now that the scan has completed:
    // a run that is stopped loses nothing. A music folder the scan could not
    // reach keeps its tracks, whatever the options say.
    QStringList unreachable = m_missingFolders;
    for (QString &folder : unreachable) {
        if (!folder.endsWith(u'/'))
            folder += u'/';
    }
    const auto reachable = [&unreachable](const QString &fileName) {
        return !InMusicFolders(fileName, unreachable);
    };
    if (m_fullScan && unreachable.isEmpty()) {
        m_core.ClearLibrary();
    } else if (m_fullScan) {
        m_core.RemoveTracks([&reachable](const TcustomTagger &record) { return reachable(record.Filename()); });
    } else if (m_removeMissing) {
        const QStringList folders = m_core.Settings().DirList;
        m_core.RemoveTracks([&folders, &reachable](const TcustomTagger &record) {
            return !InMusicFolders(record.Filename(), folders) && reachable(record.Filename());
        });
    }
    m_core.AddScannedFiles(m_newFiles, m_removeMissing, m_missingFolders, m_unreadable);
    m_sinceRepaint.invalidate();
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
