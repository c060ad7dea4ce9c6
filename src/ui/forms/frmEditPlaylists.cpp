#include "ui/forms/frmEditPlaylists.h"

#include "core/dmMain.h"
#include "library/tagPlaylist.h"
#include "platform/fileExists.h"
#include "ui/forms/dialogParts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Edit Playlists");
constexpr qint64 kRepaintIntervalMs = 40;

QLabel *caption(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TfrmEditPlaylists::TfrmEditPlaylists(TdmMain &core, QWidget *parent)
    : QDialog(parent)
    , m_core(core)
    , m_subscription(core.Subscribe(*this))
{
    setObjectName(QStringLiteral("frmEditPlaylists"));
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowStaysOnTopHint);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lbPlaylists"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumWidth(m_list->fontMetrics().averageCharWidth() * 24);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edName"));
    m_name->setToolTip(QStringLiteral("A descriptive name for the playlist."));
    m_filename = new QLineEdit(this);
    m_filename->setObjectName(QStringLiteral("edFilename"));
    m_filename->setMinimumWidth(m_filename->fontMetrics().averageCharWidth() * 50);
    m_browse = new QToolButton(this);
    m_browse->setObjectName(QStringLiteral("btnBrowse"));
    m_browse->setText(QStringLiteral("..."));
    m_resetCounter = new QCheckBox(QStringLiteral("Reset Counter on Activate"), this);
    m_resetCounter->setObjectName(QStringLiteral("cbResetCounter"));
    m_resetCounter->setToolTip(QStringLiteral("Checking this will cause the playlist to start over\n"
                                              "when it is deactivated then reactivated."));
    m_loop = new QCheckBox(QStringLiteral("Loop Playlist"), this);
    m_loop->setObjectName(QStringLiteral("cbLoop"));
    m_loop->setToolTip(QStringLiteral("Checking this will cause the playlist to start over\n"
                                      "when it has played all songs."));

    m_adding = new QLabel(QStringLiteral("Adding Playlist"), this);
    m_adding->setObjectName(QStringLiteral("lblAdding"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("pbAdding"));
    m_progress->setTextVisible(false);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("00000 / 00000")));
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_add = DialogButton(QStringLiteral("Add"), "btnAdd", this);
    m_update = DialogButton(QStringLiteral("Update"), "btnUpdate", this);
    m_delete = DialogButton(QStringLiteral("Delete"), "btnDelete", this);
    m_reload = DialogButton(QStringLiteral("Reload"), "btnReload", this);
    m_close = DialogButton(QStringLiteral("Close"), "btnClose", this);

    auto *details = new QGridLayout;
    details->addWidget(caption(QStringLiteral("Name :"), m_name, this), 0, 0);
    details->addWidget(m_name, 0, 1, 1, 2);
    details->addWidget(caption(QStringLiteral("Filename :"), m_filename, this), 1, 0);
    details->addWidget(m_filename, 1, 1);
    details->addWidget(m_browse, 1, 2);
    details->addWidget(m_resetCounter, 2, 1, 1, 2);
    details->addWidget(m_loop, 3, 1, 1, 2);
    details->setRowStretch(4, 1);

    auto *progress = new QHBoxLayout;
    progress->addWidget(m_adding);
    progress->addWidget(m_progress, 1);
    progress->addWidget(m_count);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_update);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_reload);
    buttons->addLayout(progress, 1);
    buttons->addStretch();
    buttons->addWidget(m_close);

    auto *listColumn = new QVBoxLayout;
    listColumn->addWidget(caption(QStringLiteral("Loaded Playlists"), m_list, this));
    listColumn->addWidget(m_list, 1);

    auto *top = new QHBoxLayout;
    top->addLayout(listColumn, 1);
    top->addLayout(details, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    m_adding->hide();
    m_progress->hide();
    m_count->hide();

    connect(m_list, &QListWidget::currentRowChanged, this, [this] { playlistsClick(); });
    connect(m_browse, &QToolButton::clicked, this, [this] { browseClick(); });
    connect(m_add, &QPushButton::clicked, this, [this] { addClick(); });
    connect(m_update, &QPushButton::clicked, this, [this] { updateClick(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteClick(); });
    connect(m_reload, &QPushButton::clicked, this, [this] { reloadClick(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmEditPlaylists::Execute()
{
    exec();
}

void TfrmEditPlaylists::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        refill(-1);
    QDialog::showEvent(event);
}

void TfrmEditPlaylists::done(int result)
{
    // A playlist being added is read while window messages run; the window
    // stays until it is in.
    if (m_busy)
        return;
    QDialog::done(result);
    m_core.PlaylistsEdited();
}

void TfrmEditPlaylists::refill(int selectRow)
{
    const TtagPlayListCollection &collection = m_core.jblMain().PlaylistCollection();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (int i = 0; i < collection.Count(); ++i)
        m_list->addItem(collection.Names(i));
    m_list->setCurrentRow(selectRow < m_list->count() ? selectRow : -1);
    playlistsClick();
}

void TfrmEditPlaylists::playlistsClick()
{
    const TtagPlaylist *playlist = m_core.jblMain().PlaylistCollection().Playlists(m_list->currentRow());
    m_name->setText(playlist ? playlist->Caption() : QString());
    m_filename->setText(playlist ? playlist->Filename() : QString());
    m_resetCounter->setChecked(playlist && playlist->AutoCounterReset());
    m_loop->setChecked(playlist && !playlist->StopAtEnd());
}

void TfrmEditPlaylists::browseClick()
{
    const QString file = m_chooser.OpenFrom(this, m_core);
    if (!file.isEmpty())
        m_filename->setText(file);
}

bool TfrmEditPlaylists::checkEntry(const QString &name, const QString &file, int row)
{
    if (name.isEmpty()) {
        refuse(QStringLiteral("Please enter a name for the playlist."));
        return false;
    }
    if (!QuietFileExists(file)) {
        refuse(QStringLiteral("The playlist file \"%1\" does not exist.").arg(file));
        return false;
    }
    const bool renamed = row < 0 || name.compare(m_list->item(row)->text(), Qt::CaseInsensitive) != 0;
    for (int i = 0; renamed && i < m_list->count(); ++i) {
        if (i != row && m_list->item(i)->text().compare(name, Qt::CaseInsensitive) == 0) {
            refuse(QStringLiteral("There is already a playlist named \"%1\".").arg(name));
            return false;
        }
    }
    return true;
}

void TfrmEditPlaylists::refuse(const QString &text)
{
    QMessageBox::warning(this, kCaption, text);
}

void TfrmEditPlaylists::addClick()
{
    const QString name = m_name->text().trimmed();
    const QString file = m_filename->text();
    if (!checkEntry(name, file, -1))
        return;

    setBusy(true);
    const auto restore = qScopeGuard([&] {
        progressEnd();
        setBusy(false);
    });
    const TtagPlaylist *made =
        m_core.AddPreloadedPlaylist(name, file, m_resetCounter->isChecked(), m_loop->isChecked());
    if (!made) {
        refuse(QStringLiteral("The playlist file \"%1\" names no music file that exists.\n"
                              "No playlist was added.")
                   .arg(file));
        return;
    }
    const TtagPlayListCollection &collection = m_core.jblMain().PlaylistCollection();
    int row = 0;
    while (row < collection.Count() && collection.Playlists(row) != made)
        ++row;
    refill(row);
}

void TfrmEditPlaylists::updateClick()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    m_core.UpdatePreloadedPlaylist(row, m_resetCounter->isChecked(), m_loop->isChecked());
    refill(row);
}

void TfrmEditPlaylists::deleteClick()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    m_core.DeletePreloadedPlaylist(row);
    refill(-1);
}

void TfrmEditPlaylists::reloadClick()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    const QString name = m_name->text().trimmed();
    const QString file = m_filename->text();
    if (!checkEntry(name, file, row))
        return;
    setBusy(true);
    const bool reloaded = m_core.ReloadPreloadedPlaylist(row, file, m_resetCounter->isChecked(), m_loop->isChecked());
    setBusy(false);
    if (!reloaded) {
        refuse(QStringLiteral("The playlist file \"%1\" names no music file that exists.\n"
                              "The playlist was not changed.")
                   .arg(file));
        return;
    }
    refill(row);
}

void TfrmEditPlaylists::setBusy(bool busy)
{
    m_busy = busy;
    for (QWidget *control :
         {static_cast<QWidget *>(m_list), static_cast<QWidget *>(m_browse), static_cast<QWidget *>(m_delete),
          static_cast<QWidget *>(m_reload), static_cast<QWidget *>(m_close), static_cast<QWidget *>(m_add),
          static_cast<QWidget *>(m_update)})
        control->setEnabled(!busy);
}

void TfrmEditPlaylists::TaskStarted(TcoreTask task, const QString &, int count)
{
    if (task != TcoreTask::PlaylistImport || !m_busy)
        return;
    m_progressCount = count;
    m_add->hide();
    m_update->hide();
    m_progress->setRange(0, qMax(0, count - 1));
    m_progress->setValue(0);
    m_count->clear();
    m_adding->show();
    m_progress->show();
    m_count->show();
}

void TfrmEditPlaylists::TaskProgress(TcoreTask task, int index)
{
    if (task != TcoreTask::PlaylistImport || !m_busy)
        return;
    m_progress->setValue(index);
    m_count->setText(QStringLiteral("%1 / %2").arg(index + 1).arg(m_progressCount));
    // A repaint, not an event loop: the import lets no events in, so that a
    // guest's request never meets the collection half changed.
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kRepaintIntervalMs)
        return;
    repaint();
    m_sinceRepaint.start();
}

void TfrmEditPlaylists::TaskFinished(TcoreTask task)
{
    if (task == TcoreTask::PlaylistImport && m_busy)
        progressEnd();
}

void TfrmEditPlaylists::progressEnd()
{
    m_sinceRepaint.invalidate();
    m_adding->hide();
    m_progress->hide();
    m_count->hide();
    m_add->show();
    m_update->show();
}
