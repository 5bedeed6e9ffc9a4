// What the main window owns of rig control: the CAT port and the rig link, the rig
// window, the band plan panel, and the tuning that the spot windows and band maps use.
#pragma once

#include "app/StationRadio.h"
#include "platform/DataPortLines.h"
#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/Services.h"
#include "platform/TimerClock.h"
#include "rig/RigLink.h"
#include "rig/RigTuning.h"
#include "rig/RigctldTransport.h"
#include "rig/RoutedRigTransport.h"
#include "rig/SerialRigTransport.h"

#include <QObject>
#include <QPointer>

namespace ditlog {

class BandPlanWindow;
class FrequencyTestWindow;
class RigTuneWindow;
class MainWindow;
class RigControlWindow;
struct StationPreferences;

class RigStation : public QObject, public RigTuning {
    Q_OBJECT
public:
    RigStation(MainWindow& main, Services services, const QString& workingFolder,
               StationPreferences& prefs);
    ~RigStation() override;

    RigLink& link() { return m_link; }
    // The radio as the keyers reach it through the link (the rig port's lines, CAT).
    StationRadio& radio() { return m_radio; }
    PortMap& portMap() { return m_portMap; }
    // The rig window, created on first use.
    RigControlWindow& window();
    RigControlWindow* existingWindow() const { return m_window; }

    // At start-up: with a radio configured, the rig window is created and tested.
    void startUp();
    // "&Rig Interface", Ctrl+R.
    void showWindow();
    // "&Privileges", Ctrl+F: the band plan panel, modal, unloaded when closed.
    void showBandPlan();
    // Ctrl+G: the tune panel, modal, unloaded when closed.
    void showTunePanel();
    RigTuneWindow* tunePanel() const;
    // The rig window's "Change Frequency" while polling: the test window, modal.
    void showFrequencyTest();
    FrequencyTestWindow* frequencyTest() const;
    // The main window closes: the radio's goodbye and the windows close.
    void closing();

    void ChangeFrequency(double mhz) override;

private:
    void installBandPlan();

    MainWindow& m_main;
    Services m_services;
    QString m_workingFolder;
    StationPreferences& m_prefs;
    PortMap m_portMap;
    QtSerialPort m_port;
    DataPortLines m_portLines{m_port};
    SerialRigTransport m_transport;
    RigctldTransport m_rigctld;
    RoutedRigTransport m_line;
    SystemTimerClock m_timerClock;
    RigLink m_link;
    StationRadio m_radio{m_link, m_portLines};
    RigControlWindow* m_window = nullptr;
    QPointer<BandPlanWindow> m_bandPlan;
    QPointer<RigTuneWindow> m_tune;
    QPointer<FrequencyTestWindow> m_frequencyTest;
};

} // namespace ditlog
