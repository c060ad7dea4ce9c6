#include "ui/forms/frmGetPlaylistAlbumName.h"

#include "ui/forms/dialogButtons.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

TfrmGetPlaylistAlbumName::TfrmGetPlaylistAlbumName(QWidget *parent)
    : QDialog(parent)
    , m_edit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmGetPlaylistAlbumName"));
    setWindowTitle(QStringLiteral("Album Name?"));
    auto *explanation
        = new QLabel(QStringLiteral("Your playlist needs a name so that it looks like an album in the stacker!"), this);
    auto *question = new QLabel(QStringLiteral("What do you want to call your new album?"), this);
    question->setBuddy(m_edit);
    m_edit->setObjectName(QStringLiteral("edAlbumName"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addSpacing(6);
    layout->addWidget(question);
    layout->addWidget(m_edit);
    layout->addSpacing(6);
    layout->addLayout(ButtonRow({ MakeOkButton(this) }));
}

QString TfrmGetPlaylistAlbumName::Execute(const QString &initialName)
{
    m_edit->setText(initialName);
    m_edit->selectAll();
    m_edit->setFocus();
    exec();
    return m_edit->text().trimmed();
}

void TfrmGetPlaylistAlbumName::done(int result)
{
    if (m_edit->text().trimmed().isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("You must name your album"), QStringLiteral("Invalid Album Name"));
        m_edit->setFocus();
        return;
    }
    QDialog::done(result);
}
