#include "ui/forms/frmPlayListrules.h"

#include "core/dmMain.h"
#include "library/textCollator.h"
#include "ui/forms/dialogParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Playlist Options");

} // namespace

TfrmPlayListrules::TfrmPlayListrules(TdmMain &core, QWidget *parent) : QDialog(parent), m_core(core)
{
    setObjectName(QStringLiteral("frmPlayListrules"));
    setWindowTitle(kCaption);

    auto *ruleGroup = new QGroupBox(QStringLiteral("Rule Type"), this);
    ruleGroup->setObjectName(QStringLiteral("rgRuleType"));
    auto *ruleLayout = new QVBoxLayout(ruleGroup);
    m_rules = new QButtonGroup(this);
    const std::pair<const char *, const char *> rules[] = {
        {"rbNoRule", "No Rule"}, {"rbPlaylistFile", "by Playlist File (*.m3u)"}, {"rbGenre", "by Genre"}};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(QString::fromLatin1(rules[i].second), ruleGroup);
        radio->setObjectName(QLatin1StringView(rules[i].first));
        m_rules->addButton(radio, i);
        ruleLayout->addWidget(radio);
    }
    m_rules->button(prNone)->setChecked(true);

    m_fileGroup = new QGroupBox(QStringLiteral("Playlist File"), this);
    m_fileGroup->setObjectName(QStringLiteral("gbPlaylistFile"));
    auto *fileLayout = new QGridLayout(m_fileGroup);
    m_filename = new QLineEdit(m_fileGroup);
    m_filename->setObjectName(QStringLiteral("edFilename"));
    m_filename->setMinimumWidth(m_filename->fontMetrics().averageCharWidth() * 40);
    auto *browse = new QToolButton(m_fileGroup);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    browse->setText(QStringLiteral("..."));
    m_random = new QCheckBox(QStringLiteral("Play in random order"), m_fileGroup);
    m_random->setObjectName(QStringLiteral("cbRandom"));
    fileLayout->addWidget(m_filename, 0, 0);
    fileLayout->addWidget(browse, 0, 1);
    fileLayout->addWidget(m_random, 1, 0, 1, 2);

    m_genreGroup = new QGroupBox(QStringLiteral("Genre"), this);
    m_genreGroup->setObjectName(QStringLiteral("gbGenre"));
    auto *genreLayout = new QGridLayout(m_genreGroup);
    m_genres = new QComboBox(m_genreGroup);
    m_genres->setObjectName(QStringLiteral("cbGenres"));
    m_genres->addItems(m_core.genreList().GenreNames());
    m_genres->setCurrentIndex(0);
    m_genres->setMaxVisibleItems(16);
    m_chosen = new QListWidget(m_genreGroup);
    m_chosen->setObjectName(QStringLiteral("lbGenres"));
    m_chosen->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *add = DialogButton(QStringLiteral("Add"), "btnAddGenre", m_genreGroup);
    auto *remove = DialogButton(QStringLiteral("Delete Selected"), "btnDeleteGenre", m_genreGroup);
    auto *clear = DialogButton(QStringLiteral("Clear All"), "btnClearGenres", m_genreGroup);
    genreLayout->addWidget(m_genres, 0, 0);
    genreLayout->addWidget(add, 0, 1);
    genreLayout->addWidget(m_chosen, 1, 0, 3, 1);
    genreLayout->addWidget(remove, 1, 1);
    genreLayout->addWidget(clear, 2, 1);
    genreLayout->setRowStretch(3, 1);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ruleGroup);
    layout->addWidget(m_fileGroup);
    layout->addWidget(m_genreGroup, 1);
    layout->addWidget(buttons);

    connect(m_rules, &QButtonGroup::idClicked, this, [this] { ruleClick(); });
    connect(browse, &QToolButton::clicked, this, [this] { browseClick(); });
    connect(add, &QPushButton::clicked, this, [this] { addGenreClick(); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteGenreClick(); });
    connect(clear, &QPushButton::clicked, m_chosen, &QListWidget::clear);
    connect(m_ok, &QPushButton::clicked, this, [this] { okClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ruleClick();
}

bool TfrmPlayListrules::Execute()
{
    return exec() == QDialog::Accepted;
}

QStringList TfrmPlayListrules::ChosenGenres() const
{
    QStringList genres;
    for (int i = 0; i < m_chosen->count(); ++i)
        genres << m_chosen->item(i)->text();
    return genres;
}

void TfrmPlayListrules::showEvent(QShowEvent *event)
{
    m_chosen->clear();
    for (const QString &genre : m_core.GetGenres())
        addGenre(genre);
    QDialog::showEvent(event);
}

void TfrmPlayListrules::ruleClick()
{
    const int rule = m_rules->checkedId();
    m_fileGroup->setEnabled(rule == prM3uFile);
    m_genreGroup->setEnabled(rule == prGenres);
}

void TfrmPlayListrules::browseClick()
{
    const QString file = m_chooser.OpenFrom(this, m_core);
    if (!file.isEmpty())
        m_filename->setText(file);
}

void TfrmPlayListrules::addGenre(const QString &genre)
{
    for (int row = 0; row < m_chosen->count(); ++row) {
        if (genre.compare(m_chosen->item(row)->text(), Qt::CaseInsensitive) == 0)
            return;
    }
    const QCollator collator = TextCollator();
    int row = 0;
    while (row < m_chosen->count() && collator.compare(m_chosen->item(row)->text(), genre) <= 0)
        ++row;
    m_chosen->insertItem(row, genre);
}

void TfrmPlayListrules::addGenreClick()
{
    if (m_genres->currentIndex() >= 0)
        addGenre(m_genres->currentText());
}

void TfrmPlayListrules::deleteGenreClick()
{
    const QList<QListWidgetItem *> selected = m_chosen->selectedItems();
    for (QListWidgetItem *item : selected)
        delete item;
}

void TfrmPlayListrules::done(int result)
{
    if (!m_applying)
        QDialog::done(result);
}

void TfrmPlayListrules::okClick()
{
    const auto rule = TplaylistRule(m_rules->checkedId());
    const QString file = m_filename->text();
    m_applying = true;
    m_ok->setEnabled(false);
    const bool applied = m_core.ApplyPlaylistRule(rule, file, m_random->isChecked(), ChosenGenres());
    m_applying = false;
    m_ok->setEnabled(true);
    if (!applied) {
        const QString text = file.isEmpty()
            ? QStringLiteral("Please choose a playlist file (*.m3u).")
            : QStringLiteral("The playlist file \"%1\" is missing, cannot be read or names no "
                             "music file that exists.\nThe playlist was not changed.")
                  .arg(file);
        QMessageBox::warning(this, kCaption, text);
        return;
    }
    accept();
}
