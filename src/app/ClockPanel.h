// The clocks of the main window (local time, AM/PM, UTC and the operating time) and the
// log-on / log-off button that runs the operating-time clock.
#pragma once

#include <QObject>

class QLabel;
class QPushButton;
class QTimer;

namespace ditlog {

class Clock;
class DesignCanvas;
class OperatingTime;
struct StationPreferences;

class ClockPanel : public QObject {
    Q_OBJECT
public:
    ClockPanel(const Clock& clock, OperatingTime& operating, StationPreferences& prefs,
               DesignCanvas& canvas, QObject* parent = nullptr);

    void Timer2_Timer();
    void cmdLogOn_Click();
    // Shows the accumulated operating time (after a new log or at start).
    void showOperatingTime();

    QLabel* lblLocalTime = nullptr;
    QLabel* lblAmPm = nullptr;
    QLabel* lblUtcTime = nullptr;
    QLabel* lblOperatingTime = nullptr;
    QPushButton* cmdLogOn = nullptr;
    QTimer* Timer2 = nullptr;

Q_SIGNALS:
    void statusChanged(const QString& text);
    void preferencesChanged();
    void callFocusRequested();

private:
    const Clock& m_clock;
    OperatingTime& m_operating;
    StationPreferences& m_prefs;
};

} // namespace ditlog
