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
#include "rig/RigctldTuning.h"
#include "rig/windows/RigControlWindow.h"

#include <QDir>
#include <QFile>

namespace ditlog {

RigStation::RigStation(MainWindow& main, Services services, const QString& workingFolder,
                       StationPreferences& prefs)
    : QObject(&main), m_main(main), m_services(services), m_workingFolder(workingFolder), m_prefs(prefs),
      m_portMap(services.settings), m_port(m_portMap), m_transport(m_port),
      m_line(m_transport, m_rigctld), m_link(m_line) {
    installBandPlan();
    connect(&m_link, &RigLink::frequencyReported, &m_main, &MainWindow::BandFreqConversion);
    connect(&m_link, &RigLink::modeReported, &m_main, &MainWindow::ModeSelection);
    connect(&m_link, &RigLink::commandFailed, this, [this](const QString& title, const QString& text) {
        m_services.prompts.message(title, text, PromptButtons::Ok, PromptIcon::Critical);
    });
}

RigStation::~RigStation() {
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

void RigStation::closing() {
    if (m_window != nullptr) {
        m_window->unload();
        m_window->close();
    }
    if (m_bandPlan != nullptr) {
        m_bandPlan->close();
    }
}

void RigStation::ChangeFrequency(double mhz) {
    QString why;
    if (rigctldChangeFrequency(m_link, mhz, &why) == RigctldTune::NotSent && !why.isEmpty()) {
        m_services.prompts.message(QStringLiteral("Error Changing Frequency"), why, PromptButtons::Ok,
                                   PromptIcon::Critical);
    }
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
