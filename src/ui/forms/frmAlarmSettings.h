#pragma once

#include <QDialog>

class QCheckBox;
class QTimeEdit;
class TalarmClock;

// The alarm settings: whether the turn-on and the turn-off alarm are armed,
// and their times of day. It edits the alarms of the main window's clock.
class TfrmAlarmSettings : public QDialog {
public:
    explicit TfrmAlarmSettings(QWidget *parent = nullptr);

    // Shows the dialog modally with the alarms as they are; OK writes them
    // back (which re-arms both for today), Cancel changes nothing. True on OK.
    bool Execute(TalarmClock &alarms);
    // The controls take the alarms' state.
    void ReadAlarms(const TalarmClock &alarms);
    // The alarms take the controls' state.
    void WriteAlarms(TalarmClock &alarms) const;

private:
    // Each time picker is usable exactly while its alarm is armed.
    void applyEnablement();

    QCheckBox *m_useTimeOn;
    QTimeEdit *m_onTime;
    QCheckBox *m_useTimeOff;
    QTimeEdit *m_offTime;
};
