// The main window (Form1): menus, the start-up and shut-down sequences, and the log
// commands; the entry row, lists, score and clocks are panels placed on its canvas.
#pragma once

#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/OperatingTime.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"
#include "platform/Services.h"

#include <QHash>
#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QMenu;

namespace ditlog {

class DesignCanvas;
class ListsPanel;
class StationWindow;
class ColoursWindow;
class HelpWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Services services, DataFolders folders, SharedPreferences& shared,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs the documented start-up steps; the station window and the open-log question
    // continue it when answered.
    void startUp();

    QAction* action(const QString& objectName) const { return m_actions.value(objectName); }
    ContactLog& contactLog() { return m_log; }
    StationPreferences& preferences() { return m_prefs; }
    ListsPanel& lists() { return *m_lists; }
    QLabel* lblDialog() const { return m_lblDialog; }
    StationWindow* stationWindow() const { return m_station; }
    const LogFile& logFile() const { return m_logFile; }
    OperatingTime& operatingTime() { return m_operating; }

    void SavePref();
    // Reloads "log.txt"; a failure shows the "File Error" message and ends the program.
    bool mnuOpen2();
    // Writes the log whole and reloads it (edits, deletions).
    bool rewriteLog();
    // Status line of the window.
    void showStatus(const QString& text);

Q_SIGNALS:
    void startUpFinished();
    // Emitted instead of ending the process when a load failure ends the program.
    void fatalLoadError();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildCanvas();
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     void (MainWindow::*slot)() = nullptr);
    void stepStationWindow();
    void AskOpenLog();
    void finishStartUp();

    void NewLog();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuExit_Click();
    void mnuCopyListtoClipboard_Click();
    void mnuSetup_Click();
    void mnuColors_Click();
    void mnuFormSize_Click();
    void mnuTaskbar_Click();
    void mnuHelp_Click();
    void showOwnStation();
    void keepOperatingTime();

    Services m_services;
    DataFolders m_folders;
    SharedPreferences& m_shared;
    StationPreferences m_prefs;
    ContactLog m_log;
    LogFile m_logFile;
    OperatingTime m_operating;

    DesignCanvas* m_canvas = nullptr;
    QLabel* m_lblDialog = nullptr;
    QLabel* m_lblOwnStation = nullptr;
    ListsPanel* m_lists = nullptr;
    StationWindow* m_station = nullptr;
    ColoursWindow* m_colours = nullptr;
    HelpWindow* m_help = nullptr;
    QHash<QString, QAction*> m_actions;
    bool m_exitWithoutBackup = false;
};

} // namespace ditlog
