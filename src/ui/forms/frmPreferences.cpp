#include "ui/forms/frmPreferences.h"

#include "core/dmMain.h"
#include "platform/cdDrives.h"
#include "platform/raiseEvent.h"
#include "ui/forms/dialogParts.h"
#include "ui/forms/soundSettingsPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString kCdRefused = QStringLiteral("You cannot add a CD to the scan list, CD-Roms are scanned automatically.");

// A path with symbolic links resolved where it exists, so that a disc
// reached through a link (/cdrom to /media/cdrom0) is still recognised.
QString resolvedPath(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

TfrmPreferences::TfrmPreferences(TdmMain &core, QWidget *parent)
    : QDialog(parent, kDialogFlags | Qt::MSWindowsFixedSizeDialogHint)
    , m_core(core)
{
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Preferences"));
    ChooseFolder = [this](const QString &title, const QString &startFolder) {
        return QFileDialog::getExistingDirectory(this, title, startFolder, QFileDialog::ShowDirsOnly);
    };

    m_pcPreferences = new QTabWidget;
    m_pcPreferences->setObjectName(QStringLiteral("pcPreferences"));
    m_pcPreferences->addTab(makeFoldersPage(), QStringLiteral("Music Folders"));
    m_pcPreferences->addTab(makeCrossFaderPage(), QStringLiteral("Cross Fade Settings"));
    m_pcPreferences->addTab(makeGeneralPage(), QStringLiteral("General"));

    // No cancel: Enter and Escape both close the window through OK, and
    // every way of closing applies the cross-fade values.
    auto *ok = new QPushButton(QStringLiteral("&OK"));
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pcPreferences);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *TfrmPreferences::makeFoldersPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsFolders"));
    auto *group = new QGroupBox(QStringLiteral("Folders to be Scanned"));
    m_lbDirs = new QListWidget;
    m_lbDirs->setObjectName(QStringLiteral("lbDirs"));
    m_lbDirs->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    m_lbDirs->setMinimumHeight(fontMetrics().height() * 9);

    auto *add = DialogButton(QStringLiteral("&Add Folder"), "btnAddDir", nullptr,
        QStringLiteral("Choose a folder where your Mp3s are stored."));
    auto *remove = DialogButton(
        QStringLiteral("&Delete Folder"), "btnDeleteDir", nullptr, QStringLiteral("Remove the Selected Folder."));
    auto *scan = DialogButton(QStringLiteral("&Run Scan"), "btnRunScan", nullptr);
    connect(add, &QPushButton::clicked, this, [this] { btnAddDirClick(); });
    connect(remove, &QPushButton::clicked, this, [this] { btnDeleteDirClick(); });
    connect(scan, &QPushButton::clicked, this, [this] { btnRunScanClick(); });

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(scan);
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(m_lbDirs, 1);
    groupLayout->addLayout(buttons);
    m_cbWatchFolders = new QCheckBox(QStringLiteral("&Keep the library up to date with these folders"));
    m_cbWatchFolders->setObjectName(QStringLiteral("cbWatchFolders"));
    m_cbWatchFolders->setToolTip(
        QStringLiteral("Music copied into these folders, changed, moved or deleted shows in the library at once."));
    connect(m_cbWatchFolders, &QCheckBox::clicked, this, [this](bool checked) { m_core.SetWatchFolders(checked); });
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(group);
    pageLayout->addWidget(m_cbWatchFolders);
    return page;
}

QSlider *TfrmPreferences::makeFadeBar(
    const QString &name, QLabel *valueLabel, int maximum, int smallStep, int largeStep, bool volume)
{
    auto *bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(name);
    bar->setRange(0, maximum);
    bar->setSingleStep(smallStep);
    bar->setPageStep(largeStep);
    valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    valueLabel->setMinimumWidth(valueLabel->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    valueLabel->setText(volume ? QStringLiteral("0%") : QStringLiteral("0"));
    connect(bar, &QSlider::valueChanged, valueLabel, [valueLabel, volume](int value) {
        valueLabel->setText(QString::number(volume ? VolumePercent(value) : value));
    });
    return bar;
}

QWidget *TfrmPreferences::makeCrossFaderPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsCrossFader"));

    // One group of two bars, each under its caption with its value beside it.
    auto fadeGroup
        = [this](const QString &title, const QString &timeCaption, const QString &timeName,
              const QString &volumeCaption, const QString &volumeName, QSlider *&timeBar, QSlider *&volumeBar) {
              auto *group = new QGroupBox(title);
              auto *grid = new QGridLayout(group);
              auto *timeLabel = new QLabel;
              timeLabel->setObjectName(QStringLiteral("lbl") + timeName.mid(2));
              timeBar = makeFadeBar(timeName, timeLabel, 10000, 100, 1000, false);
              auto *volumeLabel = new QLabel;
              volumeLabel->setObjectName(QStringLiteral("lbl") + volumeName.mid(2));
              volumeBar = makeFadeBar(volumeName, volumeLabel, 255, 1, 15, true);
              grid->addWidget(new QLabel(timeCaption), 0, 0, 1, 2);
              grid->addWidget(timeBar, 1, 0);
              grid->addWidget(timeLabel, 1, 1);
              grid->addWidget(new QLabel(volumeCaption), 2, 0, 1, 2);
              grid->addWidget(volumeBar, 3, 0);
              grid->addWidget(volumeLabel, 3, 1);
              grid->setColumnStretch(0, 1);
              return group;
          };

    auto *crossFader = new QGroupBox(QStringLiteral("Cross Fader"));
    auto *crossLayout = new QVBoxLayout(crossFader);
    crossLayout->addWidget(fadeGroup(QStringLiteral("Fade In"), QStringLiteral("Fade In Time (ms) :"),
        QStringLiteral("sbFadeInTime"), QStringLiteral("Fade In From Volume (0 - 100% volume) :"),
        QStringLiteral("sbFadeInVolume"), m_sbFadeInTime, m_sbFadeInVolume));
    crossLayout->addWidget(fadeGroup(QStringLiteral("Fade Out"), QStringLiteral("Fade Out Time (ms) :"),
        QStringLiteral("sbFadeOutTime"), QStringLiteral("Fade Out To Volume (0 - 100% volume) :"),
        QStringLiteral("sbFadeOutVolume"), m_sbFadeOutTime, m_sbFadeOutVolume));
    crossLayout->addStretch(1);
    m_soundPanel = new TsoundSettingsPanel(m_core);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(crossFader);
    pageLayout->addWidget(m_soundPanel);
    return page;
}

QWidget *TfrmPreferences::makeGeneralPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsGeneral"));
    auto *group = new QGroupBox(QStringLiteral("General Settings"));

    m_cbTrackNumbers = new QCheckBox(QStringLiteral("Don't display track numbers"));
    m_cbTrackNumbers->setObjectName(QStringLiteral("cbTrackNumbers"));
    connect(m_cbTrackNumbers, &QCheckBox::clicked, this, [this](bool checked) { cbTrackNumbersClick(checked); });

    // The folder is taken from the browser only: typing would change nothing,
    // so the box does not invite it.
    m_edAlbumArtFolder = new QLineEdit;
    m_edAlbumArtFolder->setObjectName(QStringLiteral("edAlbumArtFolder"));
    m_edAlbumArtFolder->setReadOnly(true);
    auto *browse = new QToolButton;
    browse->setObjectName(QStringLiteral("btnAlbumArtFolder"));
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, [this] { btnAlbumArtFolderClick(); });

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_edAlbumArtFolder, 1);
    folderRow->addWidget(browse);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_cbTrackNumbers);
    groupLayout->addSpacing(fontMetrics().height() / 2);
    groupLayout->addWidget(new QLabel(QStringLiteral("Album Art Folder :")));
    groupLayout->addLayout(folderRow);
    groupLayout->addStretch(1);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(group);
    return page;
}

int TfrmPreferences::Execute(TpreferencesPage page)
{
    SetPage(page);
    return exec();
}

void TfrmPreferences::SetPage(TpreferencesPage page)
{
    m_pcPreferences->setCurrentIndex(int(page));
}

bool TfrmPreferences::OnOpticalDisc(const QString &folder, const QList<CdDrive> &drives)
{
    const QString path = resolvedPath(folder);
    for (const CdDrive &drive : drives) {
        const QString root = resolvedPath(drive.mountPoint);
        if (path == root || path.startsWith(root.endsWith(u'/') ? root : root + u'/'))
            return true;
    }
    return false;
}

int TfrmPreferences::VolumePercent(int volume)
{
    return int(std::lround(volume * 100.0 / 255.0));
}

void TfrmPreferences::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        loadValues();
    QDialog::showEvent(event);
}

void TfrmPreferences::loadValues()
{
    fillFolders();
    m_cbTrackNumbers->setChecked(m_core.jblMain().DontUseTrackNumbers());
    m_cbWatchFolders->setChecked(m_core.WatchFolders());
    m_edAlbumArtFolder->setText(m_core.Settings().CoverArtFolder);
    m_sbFadeInTime->setValue(m_core.FadeInTime());
    m_sbFadeInVolume->setValue(m_core.FadeInFromVolume());
    m_sbFadeOutTime->setValue(m_core.FadeOutTime());
    m_sbFadeOutVolume->setValue(m_core.FadeOutToVolume());
    m_soundPanel->Load();
}

void TfrmPreferences::fillFolders()
{
    m_lbDirs->clear();
    m_lbDirs->addItems(m_core.Settings().DirList);
}

void TfrmPreferences::done(int result)
{
    m_core.SetFadeInTime(m_sbFadeInTime->value());
    m_core.SetFadeInFromVolume(m_sbFadeInVolume->value());
    m_core.SetFadeOutTime(m_sbFadeOutTime->value());
    m_core.SetFadeOutToVolume(m_sbFadeOutVolume->value());
    m_soundPanel->Apply();
    QDialog::done(result);
}

void TfrmPreferences::btnAddDirClick()
{
    const QStringList &dirs = m_core.Settings().DirList;
    QString start = QDir::homePath();
    if (m_lbDirs->currentRow() >= 0)
        start = m_lbDirs->currentItem()->text();
    else if (!dirs.isEmpty())
        start = dirs.last();
    const QString folder = ChooseFolder(QStringLiteral("Choose a Music Folder"), start);
    if (folder.isEmpty())
        return;
    if (OnOpticalDisc(folder, m_core.CdDrives())) {
        QMessageBox::information(this, QString::fromLatin1(TdmMain::kApplicationTitle), kCdRefused);
        return;
    }
    m_core.AddMusicFolder(folder);
    fillFolders();
}

void TfrmPreferences::btnDeleteDirClick()
{
    const int row = m_lbDirs->currentRow();
    if (row < 0 || !m_lbDirs->currentItem()->isSelected())
        return;
    m_core.RemoveMusicFolder(row);
    fillFolders();
}

void TfrmPreferences::btnRunScanClick()
{
    RaiseEvent(OnRunScan);
    accept();
}

void TfrmPreferences::cbTrackNumbersClick(bool checked)
{
    m_core.SetNoTrackNumbers(checked);
}

void TfrmPreferences::btnAlbumArtFolderClick()
{
    const QString folder = ChooseFolder(QStringLiteral("Choose a folder"), m_core.Settings().CoverArtFolder);
    if (folder.isEmpty())
        return;
    m_edAlbumArtFolder->setText(folder);
    m_core.SetCoverArtFolder(folder);
}
