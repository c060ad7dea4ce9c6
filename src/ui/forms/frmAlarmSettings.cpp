#include "ui/forms/frmAlarmSettings.h"

#include "core/alarmClock.h"
#include "ui/forms/dialogButtons.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QTimeEdit>
#include <QVBoxLayout>

TfrmAlarmSettings::TfrmAlarmSettings(QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , m_useTimeOn(new QCheckBox(QStringLiteral("Use Turn On alarm"), this))
    , m_onTime(new QTimeEdit(this))
    , m_useTimeOff(new QCheckBox(QStringLiteral("Use Turn Off alarm"), this))
    , m_offTime(new QTimeEdit(this))
{
    setObjectName(QStringLiteral("frmAlarmSettings"));
    setWindowTitle(QStringLiteral("Alarm Clock Settings"));
    m_useTimeOn->setObjectName(QStringLiteral("cbUseTimeOn"));
    m_onTime->setObjectName(QStringLiteral("dtpOnTime"));
    m_useTimeOff->setObjectName(QStringLiteral("cbUseTimeOff"));
    m_offTime->setObjectName(QStringLiteral("dtpOffTime"));
    for (QTimeEdit *picker : { m_onTime, m_offTime })
        picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    auto *onLabel = new QLabel(QStringLiteral("Time On :"), this);
    onLabel->setBuddy(m_onTime);
    auto *offLabel = new QLabel(QStringLiteral("Time Off :"), this);
    offLabel->setBuddy(m_offTime);
    connect(m_useTimeOn, &QCheckBox::clicked, this, [this] { applyEnablement(); });
    connect(m_useTimeOff, &QCheckBox::clicked, this, [this] { applyEnablement(); });

    auto *grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 16);
    grid->addWidget(m_useTimeOn, 0, 0, 1, 3);
    grid->addWidget(onLabel, 1, 1);
    grid->addWidget(m_onTime, 1, 2);
    grid->setRowMinimumHeight(2, 8);
    grid->addWidget(m_useTimeOff, 3, 0, 1, 3);
    grid->addWidget(offLabel, 4, 1);
    grid->addWidget(m_offTime, 4, 2);
    grid->setColumnStretch(2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow({ MakeOkButton(this), MakeCancelButton(this) }));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmAlarmSettings::ReadAlarms(const TalarmClock &alarms)
{
    m_onTime->setTime(alarms.TimeOn());
    m_offTime->setTime(alarms.TimeOff());
    m_useTimeOff->setChecked(alarms.UseTimeOff());
    m_useTimeOn->setChecked(alarms.UseTimeOn());
    applyEnablement();
}

void TfrmAlarmSettings::WriteAlarms(TalarmClock &alarms) const
{
    alarms.SetUseTimeOn(m_useTimeOn->isChecked());
    alarms.SetTimeOn(m_onTime->time());
    alarms.SetUseTimeOff(m_useTimeOff->isChecked());
    alarms.SetTimeOff(m_offTime->time());
}

bool TfrmAlarmSettings::Execute(TalarmClock &alarms)
{
    ReadAlarms(alarms);
    m_useTimeOn->setFocus();
    if (exec() != Accepted)
        return false;
    WriteAlarms(alarms);
    return true;
}

void TfrmAlarmSettings::applyEnablement()
{
    m_onTime->setEnabled(m_useTimeOn->isChecked());
    m_offTime->setEnabled(m_useTimeOff->isChecked());
}
