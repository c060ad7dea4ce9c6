#include "ui/forms/frmPartyMode.h"

#include "core/dmMain.h"
#include "platform/raiseEvent.h"
#include "ui/forms/dialogButtons.h"
#include "ui/forms/dialogParts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TfrmPartyMode::TfrmPartyMode(TdmMain &core, QWidget *parent)
    : QDialog(parent, kDialogFlags | Qt::MSWindowsFixedSizeDialogHint)
    , m_core(core)
    , m_enabled(new QCheckBox(QStringLiteral("&Let guests request songs from their phones"), this))
    , m_port(new QSpinBox(this))
    , m_code(new QLineEdit(this))
    , m_renew(DialogButton(QStringLiteral("&Renew"), "btnRenewCode", this,
          QStringLiteral("A new code: guests come in again by the new QR code.")))
    , m_requests(new QSpinBox(this))
    , m_repeat(new QSpinBox(this))
    , m_approval(new QCheckBox(QStringLiteral("Requests wait for my &approval"), this))
    , m_vote(new QCheckBox(QStringLiteral("Guests may &vote to skip the playing track"), this))
    , m_status(new QLabel(this))
    , m_window(DialogButton(QStringLiteral("Party &Window"), "btnPartyWindow", this))
{
    setObjectName(QStringLiteral("frmPartyMode"));
    setWindowTitle(QStringLiteral("Party Mode"));
    m_enabled->setObjectName(QStringLiteral("cbPartyMode"));
    m_port->setObjectName(QStringLiteral("sePort"));
    m_port->setRange(1, 65535);
    m_code->setObjectName(QStringLiteral("edGuestCode"));
    m_code->setReadOnly(true);
    m_code->setFont(DesignFont(16, true));
    m_code->setMaxLength(TpartySettings::kCodeLength);
    m_requests->setObjectName(QStringLiteral("seRequestsPerGuest"));
    m_requests->setRange(1, TpartySettings::kMaxRequestsPerGuest);
    m_repeat->setObjectName(QStringLiteral("seRepeatMinutes"));
    m_repeat->setRange(0, TpartySettings::kMaxRepeatMinutes);
    m_repeat->setSuffix(QStringLiteral(" min"));
    m_approval->setObjectName(QStringLiteral("cbApproval"));
    m_vote->setObjectName(QStringLiteral("cbVoteToSkip"));
    m_vote->setToolTip(QStringLiteral("A majority of the guests active in the last 15 minutes skips it."));
    m_status->setObjectName(QStringLiteral("lblPartyStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(380);

    connect(m_renew, &QPushButton::clicked, this, [this] { m_code->setText(NewGuestCode()); });
    connect(m_window, &QPushButton::clicked, this, [this] { RaiseEvent(OnShowPartyWindow); });

    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(m_code, 1);
    codeRow->addWidget(m_renew);
    // A row of a layout gets a plain label, without a buddy; Alt+C has to
    // reach the code field itself.
    auto *codeLabel = new QLabel(QStringLiteral("Guest &code:"), this);
    codeLabel->setBuddy(m_code);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Port:"), m_port);
    form->addRow(codeLabel, codeRow);
    form->addRow(QStringLiteral("Requests per &guest:"), m_requests);
    // Alt+A is the approval box's.
    form->addRow(QStringLiteral("Same track again a&fter:"), m_repeat);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(form);
    layout->addWidget(m_approval);
    layout->addWidget(m_vote);
    layout->addSpacing(6);
    layout->addWidget(m_status);
    layout->addSpacing(8);
    // Alt+C is the guest code's here; Escape cancels.
    QPushButton *cancel = MakeCancelButton(this);
    cancel->setText(QStringLiteral("Cancel"));
    auto *buttons = ButtonRow({ m_window, MakeOkButton(this), cancel });
    buttons->insertStretch(1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmPartyMode::ReadSettings(const TpartySettings &settings)
{
    m_enabled->setChecked(settings.Enabled);
    m_port->setValue(settings.Port);
    m_code->setText(settings.GuestCode);
    m_requests->setValue(settings.RequestsPerGuest);
    m_repeat->setValue(settings.RepeatMinutes);
    m_approval->setChecked(settings.NeedApproval);
    m_vote->setChecked(settings.VoteToSkip);
    showStatus();
}

TpartySettings TfrmPartyMode::Settings() const
{
    TpartySettings settings;
    settings.Enabled = m_enabled->isChecked();
    settings.Port = m_port->value();
    settings.GuestCode = m_code->text();
    settings.RequestsPerGuest = m_requests->value();
    settings.RepeatMinutes = m_repeat->value();
    settings.NeedApproval = m_approval->isChecked();
    settings.VoteToSkip = m_vote->isChecked();
    return settings;
}

bool TfrmPartyMode::Execute()
{
    ReadSettings(m_core.PartySettings());
    m_enabled->setFocus();
    if (exec() != Accepted)
        return false;
    m_core.SetPartySettings(Settings());
    return true;
}

void TfrmPartyMode::showStatus()
{
    const TpartyStatus &status = m_core.PartyStatus();
    if (!status.Error.isEmpty())
        m_status->setText(QStringLiteral("The guests' page could not start: ") + status.Error);
    else if (status.Listening)
        m_status->setText(QStringLiteral("Guests open ") + status.Address);
    else
        m_status->setText(QStringLiteral("Party mode is off: nothing listens for guests."));
}
