// The main window's side of rig control: the rig station it owns, the band follow
// (BandFreqConversion) and the frequency kept for the next contact, and the rig menu
// items and shortcuts.
#include "app/MainWindowRig.h"

#include "app/EntryPanel.h"
#include "app/MainWindow.h"
#include "charts/windows/BandPlanWindow.h"
#include "log/RecordFile.h"
#include "platform/ShippedData.h"
#include "platform/UserPrompts.h"
#include "rig/BandConversion.h"
#include "rig/BandPlan.h"
#include "rig/windows/FrequencyTestWindow.h"
#include "rig/windows/RigControlWindow.h"
#include "rig/windows/RigTuneWindow.h"

#include <QDir>
#include <QFile>

namespace ditlog {

RigStation::RigStation(MainWindow& main, Services services, const QString& workingFolder,
                       StationPreferences& prefs)
    : QObject(&main), m_main(main), m_services(services), m_workingFolder(workingFolder), m_prefs(prefs),
      m_portMap(services.settings), m_port(m_portMap), m_transport(m_port),
      m_line(m_transport, m_rigctld), m_link(m_line, m_timerClock) {
    m_transport.setKeyedLines(&m_portLines);
    installBandPlan();
    connect(&m_link, &RigLink::frequencyReported, &m_main, &MainWindow::BandFreqConversion);
    connect(&m_link, &RigLink::modeReported, &m_main, &MainWindow::ModeSelection);
    connect(&m_link, &RigLink::commandFailed, this, [this](const QString& title, const QString& text) {
        m_services.prompts.message(title, text, PromptButtons::Ok, PromptIcon::Critical);
    });
    // A radio that goes away and comes back is told once each way on the status line
    // (spoken with voice navigation), with one beep when it goes; logging goes on.
    connect(&m_line, &RigTransport::lineLost, this, [this](const QString& description) {
        m_services.prompts.beep();
        m_main.showStatus(description);
    });
    connect(&m_line, &RigTransport::lineRestored, this,
            [this](const QString& description) { m_main.showStatus(description); });
}

RigStation::~RigStation() {
    delete m_frequencyTest;
    delete m_tune;
    delete m_bandPlan;
    delete m_window;
    m_link.stopPolling();
}

void RigStation::installBandPlan() {
    // A fresh working folder gets the band plan that ships with the program.
    const QString path = QDir(m_workingFolder).filePath(kBandPlanFileName);
    if (QFile::exists(path) || !QDir(m_workingFolder).exists()) {
        return;
    }
    placeShippedFile(kBandPlanFileName, m_workingFolder);
}

RigControlWindow& RigStation::window() {
    if (m_window == nullptr) {
        m_window = new RigControlWindow(m_link, m_portMap, m_workingFolder, m_prefs.RigType,
                                        m_services.screen, m_services.prompts, &m_main);
        connect(m_window, &RigControlWindow::rigTypeChanged, this,
                [this](const QString& rigType) { m_prefs.RigType = rigType; });
        connect(m_window, &RigControlWindow::preferencesSaveRequested, &m_main, &MainWindow::SavePref);
        connect(m_window, &RigControlWindow::frequencyTestRequested, this, &RigStation::showFrequencyTest);
        m_window->setPowerRefusal([this](const QString& power) { return m_radio.powerRefusal(power); });
    }
    return *m_window;
}

void RigStation::startUp() {
    if (m_prefs.RigType.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0) {
        window().Command1_Click();
    }
}

void RigStation::showWindow() {
    RigControlWindow& w = window();
    w.show();
    w.raise();
    w.activateWindow();
}

void RigStation::showBandPlan() {
    if (m_bandPlan != nullptr) {
        m_bandPlan->raise();
        return;
    }
    m_bandPlan = new BandPlanWindow(m_workingFolder, m_services.screen, m_services.prompts, &m_main);
    m_bandPlan->setAttribute(Qt::WA_DeleteOnClose);
    m_bandPlan->setModal(true);
    m_bandPlan->open();
}

void RigStation::showTunePanel() {
    if (m_tune != nullptr) {
        m_tune->raise();
        m_tune->activateWindow();
        return;
    }
    m_tune = new RigTuneWindow(m_link, m_services.screen, m_services.prompts, &m_main);
    m_tune->setAttribute(Qt::WA_DeleteOnClose);
    m_tune->setModal(true);
    m_tune->open();
}

RigTuneWindow* RigStation::tunePanel() const {
    return m_tune;
}

FrequencyTestWindow* RigStation::frequencyTest() const {
    return m_frequencyTest;
}

void RigStation::showFrequencyTest() {
    if (m_frequencyTest != nullptr) {
        m_frequencyTest->raise();
        return;
    }
    QWidget* owner = m_window != nullptr ? static_cast<QWidget*>(m_window) : &m_main;
    m_frequencyTest = new FrequencyTestWindow(m_link, m_services.screen, m_services.prompts, owner);
    m_frequencyTest->setAttribute(Qt::WA_DeleteOnClose);
    m_frequencyTest->setModal(true);
    m_frequencyTest->open();
}

void RigStation::closing() {
    if (m_tune != nullptr) {
        m_tune->close();
    }
    if (m_frequencyTest != nullptr) {
        m_frequencyTest->close();
    }
    if (m_window != nullptr) {
        m_window->unload();
        m_window->close();
    }
    if (m_bandPlan != nullptr) {
        m_bandPlan->close();
    }
}

void RigStation::ChangeFrequency(double mhz) {
    m_link.ChangeFrequency(mhz);
}

// ---- the main window's operations called by the rig link ---------------------------------

void MainWindow::BandFreqConversion(double frequencyValue) {
    if (const auto band = bandForFrequency(frequencyValue)) {
        if (band->compare(m_prefs.Band, Qt::CaseInsensitive) != 0) {
            selectBand(*band);
        }
    }
    m_entry->setRigFrequency(rigFrequencyText(frequencyValue));
}

void MainWindow::ModeSelection(const QString&) {
    // The radio's mode is shown in the rig window; the log's mode stays the operator's.
}

void MainWindow::setUpRig() {
    m_rig = new RigStation(*this, m_services, m_folders.WorkingFolder, m_prefs);
}

RigTuning& MainWindow::rigTuning() {
    return *m_rig;
}

bool MainWindow::rigShortcut(int key) {
    switch (key) {
    case Qt::Key_R:
        m_rig->showWindow();
        return true;
    case Qt::Key_F:
        m_rig->showBandPlan();
        return true;
    case Qt::Key_G:
        m_rig->showTunePanel();
        return true;
    default:
        return false;
    }
}

void MainWindow::mnuRigInterface_Click() {
    m_rig->showWindow();
}

void MainWindow::mnuPrivileges_Click() {
    m_rig->showBandPlan();
}

} // namespace ditlog
