// The main window (Form1): menus, the start-up and shut-down sequences, the band and mode
// commands and the window-level keys; the entry row, lists, score and clocks are panels
// placed on its canvas.
#pragma once

#include "keyer/CwKeyerControl.h"
#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/EntityNames.h"
#include "log/OperatingTime.h"
#include "log/PrefixTable.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"
#include "platform/Services.h"
#include "rig/RigTuning.h"
#include "voice/VoiceControl.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace ditlog {

class AssistDesk;
class ClockPanel;
class ColoursWindow;
class DesignCanvas;
class EntryPanel;
class CwKeyer;
class HelpWindow;
class KeyerWiring;
class PortMap;
class ListsPanel;
class RigStation;
class ScorePanel;
class SpotDesk;
class StationWindow;
class VoiceKeyer;
struct VoiceDevices;

// The prefix table's entity names as the station window completes them and places the
// operator's own call.
class PrefixEntityNames final : public EntityNames {
public:
    explicit PrefixEntityNames(const PrefixTable& table) : m_table(table) {}
    std::optional<EntityInfo> completeEntityName(const QString& prefix,
                                                 Qt::CaseSensitivity cs) const override;
    std::optional<EntityInfo> entityOfCall(const QString& call) const override;

private:
    const PrefixTable& m_table;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Services services, DataFolders folders, SharedPreferences& shared,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs the documented start-up steps; the station window and the open-log question
    // continue it when answered.
    void startUp();
    // The logo window shown until start-up asks its first question.
    void setLogo(QWidget* logo) { m_logo = logo; }

    QAction* action(const QString& objectName) const { return m_actions.value(objectName); }
    ContactLog& contactLog() { return m_log; }
    StationPreferences& preferences() { return m_prefs; }
    const PrefixTable& prefixTable() const { return m_prefixes; }
    ListsPanel& lists() { return *m_lists; }
    EntryPanel& entry() { return *m_entry; }
    ScorePanel& score() { return *m_score; }
    ClockPanel& clocks() { return *m_clocks; }
    QLabel* lblDialog() const;
    QLabel* lblBand() const { return m_lblBand; }
    QLabel* lblMode() const { return m_lblMode; }
    QPushButton* cmdDup() const { return m_cmdDup; }
    StationWindow* stationWindow() const { return m_station; }
    const LogFile& logFile() const { return m_logFile; }
    OperatingTime& operatingTime() { return m_operating; }
    bool keyboardCwMode() const { return m_keyboardCw; }

    // The contest aids (MainWindowAssist.cpp).
    AssistDesk& assist() { return *m_assist; }

    // DX spots: the spot desk, filing a spot, and the spot display at the bottom.
    SpotDesk& spots() { return *m_spots; }
    void BandMapSpots(const QString& call, const QString& frequency, const QString& record);
    void PacketResize();
    void DisplayBandMapLabels();

    // The keyer and voice windows, when the station has them.
    void setKeyer(CwKeyerControl& keyer) { m_keyer = &keyer; }
    void setVoice(VoiceControl& voice);
    // Gives the station its voice keyer and voice navigation on these devices.
    void attachVoice(const VoiceDevices& devices);
    VoiceKeyer* voiceKeyer() const { return m_voiceKeyer; }
    // Back to a silent station; the voice keyer and its windows are deleted.
    void detachVoice();
    // The CW keyer of the station: reads "CW.txt", makes the CW menu items and
    // shortcuts live (MainWindowKeyer.cpp).
    void attachKeyer(CwKeyer& keyer, PortMap& ports);
    KeyerWiring* keyerWiring() const { return m_keyerWiring; }
    // Keys typed in the keyer's own windows that act as on the main window.
    bool keyerWindowKey(QKeyEvent* event);

    void SavePref();
    // Reloads "log.txt"; a failure shows the "File Error" message and ends the program.
    bool mnuOpen2();
    // Writes the log whole and reloads it (edits, deletions).
    bool rewriteLog();
    void showStatus(const QString& text);

    // Edit and delete the contact selected in the recent list.
    void cmdEdit_Click();
    void cmdDelete_Click(int number);

    // Band and mode commands.
    void selectBand(const QString& band);
    void lblBand_Click();
    void mnu160_Click();
    void mnuSSB_Click();

    // Rig control (MainWindowRig.cpp): the band follows the radio's frequency, which is
    // kept for the next contact; the radio's mode never changes the log's mode.
    void BandFreqConversion(double frequencyValue);
    void ModeSelection(const QString& strMode);
    RigStation& rig() { return *m_rig; }
    RigTuning& rigTuning();

Q_SIGNALS:
    void startUpFinished();
    // Emitted instead of ending the process when a load failure ends the program.
    void fatalLoadError();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCanvas();
    void buildButtons();
    void buildMenus();
    void connectPanels();
    void describeForScreenReaders();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     void (MainWindow::*slot)() = nullptr);
    void stepPrefixTable();
    void stepStationWindow();
    void AskOpenLog();
    void finishStartUp();
    void applyTaskbarLayout();
    void installSharedCountryFiles();
    void afterLoad();
    // Offers to open the readable records of a damaged log; true when they were opened.
    bool openGoodRecords(const RecordError& fault);

    void NewLog();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuExit_Click();
    void mnuCopyListtoClipboard_Click();
    void mnuExportAdif_Click();
    void mnuArchive_Click();
    void mnuRestore_Click();
    void mnuExportLedra_Click();
    void mnuUpdateCountryData_Click();
    void mnuSetup_Click();
    void mnuColors_Click();
    void mnuFormSize_Click();
    void mnuTaskbar_Click();
    void mnuHelp_Click();
    void mnuRstDefault_Click();
    void mnuListPrevious_Click();
    void mnuPostContest_Click();
    void mnuWriteSumm_Click();
    void cmdDup_Click();
    void setUpRig();
    bool rigShortcut(int key);
    void mnuRigInterface_Click();
    void mnuPrivileges_Click();
    void setMode(const QString& mode);
    void buildSpots();
    void mnuDxConfigure_Click();
    void buildCharts();
    void buildAssist();
    void toggleAid(const QString& actionName);
    void mnuGraph_Click();
    void showBandAndMode();
    void showOwnStation();
    void keepOperatingTime();

    // Window-level keys, seen before the focused control.
    bool Form_KeyDown(QKeyEvent* event);
    bool Form_KeyPress(QKeyEvent* event);
    // The CW parts of the window-level keys (MainWindowKeyer.cpp).
    bool keyerShortcut(int key);
    bool keyerKeyDown(QKeyEvent* event);
    bool keyerKeyPress(QKeyEvent* event);

    Services m_services;
    DataFolders m_folders;
    SharedPreferences& m_shared;
    StationPreferences m_prefs;
    ContactLog m_log;
    LogFile m_logFile;
    OperatingTime m_operating;
    PrefixTable m_prefixes;
    PrefixEntityNames m_entityNames{m_prefixes};
    NoCwKeyer m_noKeyer;
    SilentVoice m_silentVoice;
    CwKeyerControl* m_keyer = &m_noKeyer;
    VoiceControl* m_voice = &m_silentVoice;

    DesignCanvas* m_canvas = nullptr;
    QLabel* m_lblOwnStation = nullptr;
    QLabel* m_lblBand = nullptr;
    QLabel* m_lblMode = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QPushButton* m_cmdDup = nullptr;
    EntryPanel* m_entry = nullptr;
    ListsPanel* m_lists = nullptr;
    ScorePanel* m_score = nullptr;
    ClockPanel* m_clocks = nullptr;
    QTimer* m_timer1 = nullptr;
    StationWindow* m_station = nullptr;
    ColoursWindow* m_colours = nullptr;
    HelpWindow* m_help = nullptr;
    VoiceKeyer* m_voiceKeyer = nullptr;
    KeyerWiring* m_keyerWiring = nullptr;
    RigStation* m_rig = nullptr;
    SpotDesk* m_spots = nullptr;
    AssistDesk* m_assist = nullptr;
    QHash<QString, QAction*> m_actions;
    bool m_exitWithoutBackup = false;
    bool m_keyboardCw = false;
    bool m_ctrlShortcut = false;
    QPointer<QWidget> m_logo;
};

} // namespace ditlog
