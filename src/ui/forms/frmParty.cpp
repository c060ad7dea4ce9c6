#include "ui/forms/frmParty.h"

#include "core/dmMain.h"
#include "metadata/customTagger.h"
#include "platform/raiseEvent.h"
#include "ui/forms/dialogParts.h"
#include "ui/forms/qrCode.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Guests become inactive by the clock, not by anything announced: the count
// is looked at again this often.
constexpr int kGuestCountMs = 15000;

QString trackText(const TcustomTagger &track)
{
    const QString title = track.Title().isEmpty() ? track.NameInFolder() : track.Title();
    return track.Artist().isEmpty() ? title : title + QStringLiteral(" – ") + track.Artist();
}

// A text that wraps in its column and never widens the window, however long
// a tag or name in it is.
void wrapInColumn(QLabel *label)
{
    label->setWordWrap(true);
    QSizePolicy policy = label->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    label->setSizePolicy(policy);
}

} // namespace

TfrmParty::TfrmParty(TdmMain &core, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_core(core)
    , m_headline(new QLabel(this))
    , m_qr(new TqrCodeView(this))
    , m_addressLabel(new QLabel(this))
    , m_codeLabel(new QLabel(this))
    , m_guests(new QLabel(this))
    , m_playing(new QLabel(this))
    , m_pendingTitle(new QLabel(QStringLiteral("Waiting for your approval"), this))
    , m_pending(new QListWidget(this))
    , m_approve(DialogButton(QStringLiteral("&Approve"), "btnApprove", this, QStringLiteral("Queue the request.")))
    , m_remove(DialogButton(QStringLiteral("&Remove"), "btnRemove", this, QStringLiteral("Drop the request.")))
    , m_settings(DialogButton(QStringLiteral("Party &Mode Settings..."), "btnPartySettings", this))
    , m_fullScreen(DialogButton(QStringLiteral("&Full Screen"), "btnFullScreen", this, QStringLiteral("F11")))
    , m_clock(new QTimer(this))
{
    setObjectName(QStringLiteral("frmParty"));
    setWindowTitle(QStringLiteral("Jukebox Party"));
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0x14, 0x16, 0x1c));
    colours.setColor(QPalette::WindowText, QColor(0xec, 0xef, 0xf4));
    colours.setColor(QPalette::Base, QColor(0x1f, 0x23, 0x2c));
    colours.setColor(QPalette::Text, QColor(0xec, 0xef, 0xf4));
    setPalette(colours);
    setAutoFillBackground(true);

    m_headline->setObjectName(QStringLiteral("lblHeadline"));
    m_headline->setFont(DesignFont(30, true));
    m_headline->setAlignment(Qt::AlignCenter);
    wrapInColumn(m_headline);
    m_qr->setObjectName(QStringLiteral("imgQrCode"));
    m_addressLabel->setObjectName(QStringLiteral("lblAddress"));
    m_addressLabel->setFont(DesignFont(20, false));
    m_addressLabel->setAlignment(Qt::AlignCenter);
    m_addressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_addressLabel->setTextFormat(Qt::PlainText);
    // An error wraps; the address, one word, is shown whole.
    m_addressLabel->setWordWrap(true);
    m_codeLabel->setObjectName(QStringLiteral("lblGuestCode"));
    m_codeLabel->setFont(DesignFont(26, true));
    m_codeLabel->setAlignment(Qt::AlignCenter);
    m_codeLabel->setTextFormat(Qt::PlainText);
    m_guests->setObjectName(QStringLiteral("lblGuests"));
    m_guests->setFont(DesignFont(18, false));
    wrapInColumn(m_guests);
    m_playing->setObjectName(QStringLiteral("lblPlaying"));
    m_playing->setFont(DesignFont(18, false));
    wrapInColumn(m_playing);
    // Tag texts and names are shown as they are, never as markup.
    m_playing->setTextFormat(Qt::PlainText);
    m_pendingTitle->setFont(DesignFont(16, true));
    m_pending->setObjectName(QStringLiteral("lbPending"));
    m_pending->setFont(DesignFont(15, false));
    m_pending->setMinimumHeight(110);
    // Long track names wrap within the list rather than scroll sideways.
    m_pending->setWordWrap(true);
    m_pending->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(m_approve, &QPushButton::clicked, this, [this] { approveSelected(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(m_pending, &QListWidget::itemDoubleClicked, this, [this] { approveSelected(); });
    connect(m_settings, &QPushButton::clicked, this, [this] { RaiseEvent(OnShowSettings); });
    connect(
        m_fullScreen, &QPushButton::clicked, this, [this] { setWindowState(windowState() ^ Qt::WindowFullScreen); });
    connect(m_clock, &QTimer::timeout, this, [this] { refresh(); });
    m_clock->setInterval(kGuestCountMs);

    auto *approval = new QHBoxLayout;
    approval->addWidget(m_approve);
    approval->addWidget(m_remove);
    approval->addStretch();
    auto *requests = new QVBoxLayout;
    requests->addWidget(m_guests);
    requests->addWidget(m_playing);
    requests->addSpacing(10);
    requests->addWidget(m_pendingTitle);
    requests->addWidget(m_pending, 1);
    requests->addLayout(approval);
    requests->addStretch();
    auto *middle = new QHBoxLayout;
    middle->setSpacing(24);
    middle->addWidget(m_qr, 1);
    middle->addLayout(requests, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_settings);
    buttons->addWidget(m_fullScreen);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(m_headline);
    layout->addLayout(middle, 1);
    layout->addWidget(m_addressLabel);
    layout->addWidget(m_codeLabel);
    layout->addLayout(buttons);
    // Wrapped texts grow taller as the window narrows, which a window's
    // least size does not follow: below this the list and its buttons would
    // be drawn over each other.
    setMinimumSize(640, 480);
    // Whole on a 1366 x 768 laptop screen, with room for its panel and the
    // title bar.
    resize(QSize(920, 640).boundedTo(screen()->availableGeometry().size()));

    m_subscription = core.Subscribe(*this);
    refresh();
}

TfrmParty::~TfrmParty() = default;

void TfrmParty::ShowParty(bool activate)
{
    setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    refresh();
    if (isMinimized())
        showNormal();
    show();
    if (activate) {
        raise();
        activateWindow();
    }
    m_clock->start();
}

QImage TfrmParty::QrCode() const
{
    return m_qr->Image();
}

void TfrmParty::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F11) {
        setWindowState(windowState() ^ Qt::WindowFullScreen);
        return;
    }
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmParty::PartyChanged()
{
    refresh();
}

void TfrmParty::TrackChanged(const TnowPlaying &)
{
    refresh();
}

void TfrmParty::QueueChanged()
{
    refresh();
}

void TfrmParty::refresh()
{
    const TpartySettings &settings = m_core.PartySettings();
    const TpartyStatus &status = m_core.PartyStatus();
    m_address = status.Listening ? status.Address : QString();
    m_qr->SetText(m_address);
    if (!settings.Enabled) {
        m_headline->setText(QStringLiteral("Party mode is off"));
        m_addressLabel->setText(QStringLiteral("Turn it on under Settings ▸ Party Mode."));
        m_codeLabel->clear();
    } else if (!status.Listening) {
        m_headline->setText(QStringLiteral("The guests' page could not start"));
        m_addressLabel->setText(status.Error);
        m_codeLabel->clear();
    } else {
        m_headline->setText(QStringLiteral("Request songs from your phone"));
        m_addressLabel->setText(m_address);
        m_codeLabel->setText(QStringLiteral("Code ") + settings.GuestCode);
    }

    const TguestRequests &party = m_core.Party();
    // Guests go on counting as active for a while after they were last
    // heard from: with party mode off, no count at all rather than a stale one.
    m_guests->setVisible(settings.Enabled);
    const int active = party.ActiveGuests();
    QString guests = active == 1 ? QStringLiteral("1 guest") : QStringLiteral("%1 guests").arg(active);
    guests += status.Connections == 1 ? QStringLiteral(" · 1 phone connected")
                                      : QStringLiteral(" · %1 phones connected").arg(status.Connections);
    m_guests->setText(guests);

    const TcustomTagger *track = m_core.NowPlaying().track.get();
    if (track) {
        const TqueueRequester &who = party.PlayingRequester();
        m_playing->setText(QStringLiteral("Now playing: ") + trackText(*track)
            + (who.IsGuest() ? QStringLiteral(" (for %1)").arg(who.name) : QString()));
    } else {
        m_playing->setText(QStringLiteral("Nothing is playing"));
    }

    // Requests still waiting when party mode ends are the core's until it
    // is turned on again; meanwhile the window shows none.
    const std::vector<TpendingRequest> &pending = party.Pending();
    const bool approval = settings.Enabled && (settings.NeedApproval || !pending.empty());
    const quint64 selected = selectedRequest();
    m_pending->clear();
    if (approval) {
        for (const TpendingRequest &request : pending) {
            auto *item = new QListWidgetItem(
                trackText(*request.Record) + QStringLiteral("   — ") + request.Requester.name, m_pending);
            item->setData(Qt::UserRole, QVariant::fromValue(request.Id));
            if (request.Id == selected)
                m_pending->setCurrentItem(item);
        }
    }
    if (!m_pending->currentItem() && m_pending->count() > 0)
        m_pending->setCurrentRow(0);
    m_pendingTitle->setVisible(approval);
    m_pending->setVisible(approval);
    m_approve->setVisible(approval);
    m_remove->setVisible(approval);
    m_approve->setEnabled(m_pending->count() > 0);
    m_remove->setEnabled(m_pending->count() > 0);
}

quint64 TfrmParty::selectedRequest() const
{
    const QListWidgetItem *item = m_pending->currentItem();
    return item ? item->data(Qt::UserRole).toULongLong() : 0;
}

void TfrmParty::approveSelected()
{
    if (const quint64 id = selectedRequest())
        m_core.ApproveRequest(id);
}

void TfrmParty::removeSelected()
{
    if (const quint64 id = selectedRequest())
        m_core.RejectRequest(id);
}
