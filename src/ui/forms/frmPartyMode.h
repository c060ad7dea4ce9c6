#pragma once

#include "core/partySettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TdmMain;

// Settings ▸ Party Mode: whether guests may request songs from their phones,
// the port the guests' page is served on, the guest code (renewable: a new
// code shuts out everyone who has not scanned the new QR code), how many of
// a guest's requests may wait at once, how long before the same track may be
// asked for again, whether requests wait for the host's approval, and
// whether guests may vote to skip. OK hands the settings to the core.
//
// GUI thread only.
class TfrmPartyMode : public QDialog {
public:
    explicit TfrmPartyMode(TdmMain &core, QWidget *parent = nullptr);

    // Shows the dialog modally with the core's settings; true on OK.
    bool Execute();
    // The controls take the settings, and give them back.
    void ReadSettings(const TpartySettings &settings);
    TpartySettings Settings() const;

    // The Party Window button.
    std::function<void()> OnShowPartyWindow;

private:
    void showStatus();

    TdmMain &m_core;
    QCheckBox *m_enabled;
    QSpinBox *m_port;
    QLineEdit *m_code;
    QPushButton *m_renew;
    QSpinBox *m_requests;
    QSpinBox *m_repeat;
    QCheckBox *m_approval;
    QCheckBox *m_vote;
    QLabel *m_status;
    QPushButton *m_window;
};
