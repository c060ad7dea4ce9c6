#pragma once

#include "core/coreListeners.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class TdmMain;
class TqrCodeView;

// The Party window, for the host's second screen or the whole screen: the
// address guests open and its QR code (with the guest code in it), the code
// itself, how many guests are about, what plays for whom, and the requests
// that wait for the host's approval, to approve or remove. It is a face of
// the core: it shows what the core announces and changes nothing but
// through the core's operations.
//
// It is laid out for a landscape screen as small as 1366 x 768: the QR code
// on the left keeps its room however many requests wait on the right.
//
// GUI thread only.
class TfrmParty : public QWidget, private TcoreListener {
public:
    explicit TfrmParty(TdmMain &core, QWidget *parent = nullptr);
    ~TfrmParty() override;

    // Shows the window (and brings it forward) without taking the keyboard
    // from the jukebox window when asked to.
    void ShowParty(bool activate = true);
    // The address the QR code shows; empty while nothing listens.
    QString ShownAddress() const { return m_address; }
    // The QR code as it is shown.
    QImage QrCode() const;

    // The Party Mode Settings button.
    std::function<void()> OnShowSettings;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void PartyChanged() override;
    void TrackChanged(const TnowPlaying &playing) override;
    void QueueChanged() override;

    void refresh();
    void approveSelected();
    void removeSelected();
    quint64 selectedRequest() const;

    TdmMain &m_core;
    TcoreSubscription m_subscription;
    QString m_address;
    QLabel *m_headline;
    TqrCodeView *m_qr;
    QLabel *m_addressLabel;
    QLabel *m_codeLabel;
    QLabel *m_guests;
    QLabel *m_playing;
    QLabel *m_pendingTitle;
    QListWidget *m_pending;
    QPushButton *m_approve;
    QPushButton *m_remove;
    QPushButton *m_settings;
    QPushButton *m_fullScreen;
    QTimer *m_clock;
};
