// Clock texts every second and the operating-time log-on / log-off.
#include "app/ClockPanel.h"

#include "log/LogMaintenance.h"
#include "log/OperatingTime.h"
#include "log/StationPreferences.h"
#include "platform/Clock.h"
#include "ui/WindowScaling.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace ditlog {

namespace {
const QString kLogOnCaption = QStringLiteral("&Log \"Time On\"");
const QString kLogOffCaption = QStringLiteral("&Log \"Time Off\"");

QLabel* clockLabel(DesignCanvas& canvas, const QString& name, const QString& caption, int top) {
    auto* heading = new QLabel(caption, &canvas);
    canvas.place(heading, 8400, top, 500, 220);
    auto* value = new QLabel(&canvas);
    value->setObjectName(name);
    canvas.place(value, 8900, top, 650, 220);
    return value;
}
} // namespace

ClockPanel::ClockPanel(const Clock& clock, OperatingTime& operating, StationPreferences& prefs,
                       DesignCanvas& canvas, QObject* parent)
    : QObject(parent), m_clock(clock), m_operating(operating), m_prefs(prefs) {
    lblLocalTime = clockLabel(canvas, QStringLiteral("lblLocalTime"), QStringLiteral("Local"), 780);
    lblAmPm = new QLabel(&canvas);
    lblAmPm->setObjectName(QStringLiteral("lblAmPm"));
    canvas.place(lblAmPm, 8400, 1000, 500, 220);
    lblUtcTime = clockLabel(canvas, QStringLiteral("lblUtcTime"), QStringLiteral("UTC"), 1220);
    lblOperatingTime = clockLabel(canvas, QStringLiteral("lblOperatingTime"), QStringLiteral("On"), 1440);
    lblOperatingTime->setToolTip(QStringLiteral("Operating time"));

    cmdLogOn = new QPushButton(kLogOnCaption, &canvas);
    cmdLogOn->setObjectName(QStringLiteral("cmdLogOn"));
    cmdLogOn->setToolTip(QStringLiteral("Records On/Off times and controls duration clock."));
    canvas.place(cmdLogOn, 1000, 1740, 1500, 330);
    connect(cmdLogOn, &QPushButton::clicked, this, &ClockPanel::cmdLogOn_Click);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &ClockPanel::Timer2_Timer);
    Timer2->start();
    Timer2_Timer();
}

void ClockPanel::Timer2_Timer() {
    const QDateTime local = m_clock.localNow();
    const QLocale c = QLocale::c();
    QString twelveHour = c.toString(local.time(), QStringLiteral("h:mm:ss AP"));
    twelveHour.chop(3);
    lblLocalTime->setText(twelveHour);
    lblAmPm->setText(c.toString(local.time(), QStringLiteral("AP")));
    lblUtcTime->setText(logNow(m_clock, m_prefs.UtcOffset).toString(QStringLiteral("HH:mm:ss")));
    if (m_operating.loggedOn()) {
        lblOperatingTime->setText(operatingTimeText(m_operating.running(local)));
    }
}

void ClockPanel::showOperatingTime() {
    lblOperatingTime->setText(operatingTimeText(m_operating.running(m_clock.localNow())));
}

void ClockPanel::cmdLogOn_Click() {
    const QDateTime local = m_clock.localNow();
    if (!m_operating.loggedOn()) {
        m_operating.logOn(local);
        cmdLogOn->setText(kLogOffCaption);
        Q_EMIT statusChanged(QStringLiteral(" "));
    } else {
        m_operating.logOff(local);
        m_prefs.OperatingTime = float(m_operating.accumulated());
        cmdLogOn->setText(kLogOnCaption);
        const QDateTime shifted =
            local.addSecs(qint64(std::lround(double(m_prefs.UtcOffset))) * 3600);
        Q_EMIT statusChanged(QStringLiteral("Logged Off at ") +
                             QLocale::system().toString(shifted.date(), QLocale::ShortFormat) +
                             QLatin1Char(' ') + shifted.toString(QStringLiteral("HH:mm:ss")));
        Q_EMIT preferencesChanged();
    }
    showOperatingTime();
    Q_EMIT callFocusRequested();
}

} // namespace ditlog
