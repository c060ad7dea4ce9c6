#include "app/appUserInterface.h"

#include "ui/forms/fileChooser.h"
#include "ui/forms/frmTipOfTheDay.h"

#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>

namespace {

QMessageBox::Icon boxIcon(TmessageIcon icon)
{
    switch (icon) {
    case TmessageIcon::Information:
        return QMessageBox::Information;
    case TmessageIcon::Warning:
    case TmessageIcon::Exclamation:
        return QMessageBox::Warning;
    case TmessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TappUserInterface::TappUserInterface(QWidget *mainWindow) : m_mainWindow(mainWindow) {}

TappUserInterface::~TappUserInterface()
{
    delete m_notice.data();
}

void TappUserInterface::ShowMessage(const QString &text, const QString &caption, TmessageIcon icon)
{
    // A warning also goes to the terminal the jukebox was started from, where
    // the file names it lists can be copied.
    if (icon != TmessageIcon::Information)
        std::fprintf(stderr, "Vorlen Mp3 Jukebox: %s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Ok, m_mainWindow);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void TappUserInterface::ShowNotice(const QString &text, const QString &caption, TmessageIcon icon)
{
    // As a message's: a jukebox started from a terminal says there what
    // went wrong.
    if (icon != TmessageIcon::Information)
        std::fprintf(stderr, "Vorlen Mp3 Jukebox: %s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
    // One notice at a time, never modal: the jukebox plays on behind it.
    if (!m_notice) {
        m_notice = new QMessageBox(m_mainWindow);
        m_notice->setStandardButtons(QMessageBox::Ok);
        m_notice->setWindowModality(Qt::NonModal);
        m_notice->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    m_notice->setIcon(boxIcon(icon));
    m_notice->setWindowTitle(caption);
    m_notice->setText(text);
    m_notice->show();
    m_notice->raise();
}

bool TappUserInterface::AskYesNo(const QString &text, const QString &caption)
{
    return QMessageBox::question(m_mainWindow, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TappUserInterface::OfferYesNo(const QString &text, const QString &caption, std::function<void(bool yes)> answered)
{
    // Not modal: the jukebox plays on and its window answers keys while the
    // question is shown.
    auto *box = new QMessageBox(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, m_mainWindow);
    box->setObjectName(QStringLiteral("offer"));
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)](int) {
        answered(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->show();
}

QStringList TappUserInterface::ChooseMusicFiles(const QString &filter)
{
    return QFileDialog::getOpenFileNames(m_mainWindow, QString(), QString(), DialogNameFilters(filter));
}

TtagAlbum *TappUserInterface::ChooseAlbum()
{
    return AlbumChooser ? AlbumChooser() : nullptr;
}

void TappUserInterface::ShowWindow(TcoreWindow window)
{
    const auto opener = m_openers.constFind(int(window));
    if (opener != m_openers.constEnd() && *opener)
        (*opener)();
}

void TappUserInterface::SetWindowOpener(TcoreWindow window, std::function<void()> opener)
{
    m_openers.insert(int(window), std::move(opener));
}

bool TappUserInterface::ShowTipDialog(TtipDialogState &state)
{
    return RunTipDialog(state, m_mainWindow);
}
