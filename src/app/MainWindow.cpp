// Main window construction, start-up and shut-down, and the File menu's log commands.
#include "app/MainWindow.h"

#include "app/HelpWindow.h"
#include "app/ListsPanel.h"
#include "log/AppearanceCommands.h"
#include "log/LogMaintenance.h"
#include "log/RecentContactsModel.h"
#include "log/windows/ColoursWindow.h"
#include "log/windows/StationWindow.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

namespace ditlog {

namespace {
const QString kFileErrorText = QStringLiteral(
    "Error opening file.  This error is annoying but probably correctable.  In all likelihood, "
    "a character such as a quote got into your data or one of your entries has an invalid "
    "date/time format.  Close this program and open log.txt in the program's working directory "
    "with a text editor such as notepad.  Inspect the data and fix any errors you see (remove "
    "any extra quotes and make sure your date and time entries are valid).");

constexpr int kCanvasHeightTwips = 6900; // the design height less the menu bar
} // namespace

MainWindow::MainWindow(Services services, DataFolders folders, SharedPreferences& shared,
                       QWidget* parent)
    : QMainWindow(parent), m_services(services), m_folders(std::move(folders)), m_shared(shared),
      m_logFile(m_folders.workingFile(QStringLiteral("log.txt"))) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ditlog %1").arg(QStringLiteral(DITLOG_VERSION)));
    buildCanvas();
    buildMenus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildCanvas() {
    m_canvas = new DesignCanvas(QSize(kDesignWidthTwips, kCanvasHeightTwips), this);
    m_canvas->setObjectName(QStringLiteral("canvas"));
    setCentralWidget(m_canvas);

    m_lblDialog = new QLabel(m_canvas);
    m_lblDialog->setObjectName(QStringLiteral("lblDialog"));
    m_lblDialog->setAutoFillBackground(true);
    m_lblDialog->setFrameShape(QFrame::Panel);
    m_lblDialog->setFrameShadow(QFrame::Sunken);
    QPalette palette = m_lblDialog->palette();
    palette.setColor(QPalette::Window, QColor(0, 192, 192));
    m_lblDialog->setPalette(palette);
    m_canvas->place(m_lblDialog, 120, 900, 6300, 330);

    m_lblOwnStation = new QLabel(m_canvas);
    m_lblOwnStation->setObjectName(QStringLiteral("lblOwnStation"));
    m_canvas->place(m_lblOwnStation, 6600, 120, 2880, 220);

    m_lists = new ListsPanel(m_log, *m_canvas, this);
    connect(m_lists, &ListsPanel::callFocusRequested, this, [this] { m_canvas->setFocus(); });
}

QAction* MainWindow::addItem(QMenu* menu, const QString& name, const QString& caption,
                             void (MainWindow::*slot)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    m_actions.insert(name, a);
    if (slot != nullptr) {
        connect(a, &QAction::triggered, this, slot);
    } else {
        a->setEnabled(false); // arrives with its feature
    }
    return a;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addItem(file, QStringLiteral("mnuNew"), QStringLiteral("&New"), &MainWindow::mnuNew_Click);
    file->addSeparator();
    addItem(file, QStringLiteral("mnuArchive"), QStringLiteral("Archive Current &Log"));
    addItem(file, QStringLiteral("mnuRestore"), QStringLiteral("&Restore from Archive or Backup"));
    addItem(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open"), &MainWindow::mnuOpen_Click);
    file->addSeparator();
    addItem(file, QStringLiteral("mnuWriteSumm"), QStringLiteral("&Write Summary File"));
    addItem(file, QStringLiteral("mnuExportLedra"), QStringLiteral("E&xport for Ledra Import"));
    addItem(file, QStringLiteral("mnuExportAdif"), QStringLiteral("Export &ADIF File"));
    addItem(file, QStringLiteral("mnuCopyListtoClipboard"),
            QStringLiteral("&Copy Listed Items to Clipboard"),
            &MainWindow::mnuCopyListtoClipboard_Click);
    file->addSeparator();
    addItem(file, QStringLiteral("mnuExit"), QStringLiteral("&Exit"), &MainWindow::mnuExit_Click);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    addItem(options, QStringLiteral("mnuRstDefault"), QStringLiteral("R&ST Default"));
    QMenu* transmit = options->addMenu(QStringLiteral("&Transmit"));
    addItem(transmit, QStringLiteral("mnuCwSetup"), QStringLiteral("&CW Setup"));
    addItem(transmit, QStringLiteral("mnuVoiceSetup"), QStringLiteral("&Voice Setup"));
    QMenu* appearance = options->addMenu(QStringLiteral("&Appearance"));
    addItem(appearance, QStringLiteral("mnuFormSize"), QStringLiteral("&Form Size"),
            &MainWindow::mnuFormSize_Click);
    addItem(appearance, QStringLiteral("mnuColors"), QStringLiteral("&Colors"),
            &MainWindow::mnuColors_Click);
    addItem(appearance, QStringLiteral("mnuTaskbar"), QStringLiteral("&Taskbar"),
            &MainWindow::mnuTaskbar_Click)
        ->setCheckable(true);
    addItem(options, QStringLiteral("mnuRigInterface"), QStringLiteral("&Rig Interface"));
    QMenu* spotting = options->addMenu(QStringLiteral("&DX Spotting"));
    addItem(spotting, QStringLiteral("mnuDxConfigure"), QStringLiteral("&Configure"));
    addItem(spotting, QStringLiteral("mnuSpectrumMap"), QStringLiteral("&View Spectrum Map"));
    addItem(options, QStringLiteral("mnuVoiceNavigation"), QStringLiteral("&Voice Navigation"));
    addItem(options, QStringLiteral("mnuListPrevious"), QStringLiteral("&List Previous Contacts"))
        ->setCheckable(true);
    addItem(options, QStringLiteral("mnuPostContest"), QStringLiteral("&Post Contest Mode"))
        ->setCheckable(true);
    addItem(options, QStringLiteral("mnuSetup"), QStringLiteral("&Setup"),
            &MainWindow::mnuSetup_Click);

    QMenu* band = menuBar()->addMenu(QStringLiteral("&Band"));
    for (const char* b : {"160", "80", "40", "20", "15", "10", "6"}) {
        addItem(band, QStringLiteral("mnuBand%1Ch").arg(QLatin1String(b)), QLatin1String(b))
            ->setCheckable(true);
    }
    band->addSeparator();
    addItem(band, QStringLiteral("mnuPrivileges"), QStringLiteral("&Privileges"));

    QMenu* mode = menuBar()->addMenu(QStringLiteral("&Mode"));
    addItem(mode, QStringLiteral("mnu160"), QStringLiteral("&CW"))->setCheckable(true);
    addItem(mode, QStringLiteral("mnuSSB"), QStringLiteral("&PH"))->setCheckable(true);

    QAction* graph = menuBar()->addAction(QStringLiteral("&Graph"));
    graph->setObjectName(QStringLiteral("mnuGraph"));
    graph->setEnabled(false);
    m_actions.insert(graph->objectName(), graph);
    QAction* help = menuBar()->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    m_actions.insert(help->objectName(), help);
    connect(help, &QAction::triggered, this, &MainWindow::mnuHelp_Click);
}

// ---- start-up ----------------------------------------------------------------------------

void MainWindow::startUp() {
    ScaleWindowToScreen(this, m_canvas, m_services.screen, m_services.prompts);
    showStatus(QStringLiteral("Ready to begin!"));

    const PreferenceLoad loaded = LoadPreferences(m_folders.WorkingFolder, m_prefs);
    if (loaded.status == PreferenceLoad::Status::Malformed) {
        // Values read before the fault stay, the rest keep their defaults; the operator is
        // told, and start-up goes on so the log can still be opened.
        m_services.prompts.message(QStringLiteral("Error opeining file"),
                                   QStringLiteral("Error opening file"), PromptButtons::Ok,
                                   PromptIcon::Critical);
    }
    m_actions.value(QStringLiteral("mnuListPrevious"))->setChecked(m_prefs.ListPreviousContacts == 1);
    if (const auto offset = UtcOffsetCheck(m_services.clock, m_services.prompts, m_prefs.UtcOffset)) {
        m_prefs.UtcOffset = *offset;
        SavePref();
    }
    m_prefs.Mode = QStringLiteral("CW");
    if (m_prefs.FormSizePercent < 100) {
        const QSize screen = m_services.screen.sizeTwips() / kTwipsPerPixel;
        ResizeWindowContents(this, screen.width() * m_prefs.FormSizePercent / 100,
                             screen.height() * m_prefs.FormSizePercent / 100);
    } else if (m_prefs.TaskbarMode == 1) {
        const QRect work = m_services.screen.workAreaTwips();
        move(work.topLeft() / kTwipsPerPixel);
        ResizeWindowContents(this, work.width() / kTwipsPerPixel,
                             work.height() / kTwipsPerPixel - 40);
    }
    m_actions.value(QStringLiteral("mnuTaskbar"))->setChecked(m_prefs.TaskbarMode == 1);
    m_operating.setAccumulated(m_prefs.OperatingTime);
    showOwnStation();
    stepStationWindow();
}

void MainWindow::stepStationWindow() {
    // The station window is modal to the main window; start-up continues once it closes.
    mnuSetup_Click();
    connect(m_station, &QDialog::finished, this, &MainWindow::AskOpenLog,
            Qt::SingleShotConnection);
}

void MainWindow::AskOpenLog() {
    const PromptAnswer answer = m_services.prompts.message(
        QStringLiteral("Open existing log?"),
        QStringLiteral("Do you want to continue an existing contest? (Yes opens your existing "
                       "log, No erases any existing log and starts a new log.)"),
        PromptButtons::YesNo, PromptIcon::Question);
    if (answer == PromptAnswer::Yes) {
        mnuOpen2();
    } else {
        NewLog();
    }
    m_lists->setEditButtonsVisible(false);
    finishStartUp();
}

void MainWindow::finishStartUp() { Q_EMIT startUpFinished(); }

// ---- the log -----------------------------------------------------------------------------

void MainWindow::showStatus(const QString& text) { m_lblDialog->setText(text); }

bool MainWindow::mnuOpen2() {
    // A log that was never written is an empty log, not a damaged one.
    if (!QFile::exists(m_logFile.path())) {
        if (const auto error = m_logFile.createEmpty()) {
            m_services.prompts.message(QStringLiteral("Unable to write file."), *error,
                                       PromptButtons::Ok, PromptIcon::Critical);
        }
    }
    if (const auto error = m_logFile.load(m_log)) {
        m_services.prompts.message(QStringLiteral("File Error"), kFileErrorText,
                                   PromptButtons::Ok, PromptIcon::Critical);
        Q_EMIT fatalLoadError();
        return false;
    }
    m_lists->RecentList();
    m_lists->ListRefresh();
    return true;
}

bool MainWindow::rewriteLog() {
    if (const auto error = m_logFile.rewrite(m_log)) {
        m_services.prompts.message(QStringLiteral("Unable to write file."), *error,
                                   PromptButtons::Ok, PromptIcon::Critical);
    }
    // Reload from disk either way, so the window shows what the file holds.
    return mnuOpen2();
}

void MainWindow::SavePref() {
    // A failed write is not reported; the values in memory stay.
    writePreferences(m_folders.WorkingFolder, m_prefs);
}

void MainWindow::NewLog() {
    if (askNewLog(m_services.prompts)) {
        Backup(m_log, m_logFile.path(), m_folders.BackupFolder, m_services.clock);
        m_operating.reset();
        m_prefs.OperatingTime = 0;
        if (const auto error = m_logFile.createEmpty()) {
            m_services.prompts.message(QStringLiteral("Unable to write file."), *error,
                                       PromptButtons::Ok, PromptIcon::Critical);
        }
        m_log.setRecords({});
        SavePref();
    }
    mnuOpen2();
}

void MainWindow::mnuNew_Click() { NewLog(); }

void MainWindow::mnuOpen_Click() { mnuOpen2(); }

void MainWindow::mnuCopyListtoClipboard_Click() {
    m_services.prompts.setClipboardText(m_lists->model().clipboardText());
}

// ---- shut-down ---------------------------------------------------------------------------

void MainWindow::keepOperatingTime() {
    if (m_operating.loggedOn()) {
        m_operating.logOff(m_services.clock.localNow());
        m_prefs.OperatingTime = float(m_operating.accumulated());
        SavePref();
    }
}

void MainWindow::mnuExit_Click() {
    keepOperatingTime();
    m_exitWithoutBackup = true;
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_exitWithoutBackup) {
        for (QWidget* w : {static_cast<QWidget*>(m_station), static_cast<QWidget*>(m_colours),
                           static_cast<QWidget*>(m_help)}) {
            if (w != nullptr) {
                w->close();
            }
        }
        Backup(m_log, m_logFile.path(), m_folders.BackupFolder, m_services.clock);
        keepOperatingTime();
    }
    event->accept();
}

// ---- station, colours, appearance, help --------------------------------------------------

void MainWindow::showOwnStation() {
    m_lblOwnStation->setText(QStringLiteral("%1   %2   #%3   %4")
                                 .arg(m_prefs.OwnCall, m_prefs.OwnSpc, m_prefs.OwnMemberNumber,
                                      m_prefs.OwnFirstName));
}

void MainWindow::mnuSetup_Click() {
    if (m_station == nullptr) {
        m_station = new StationWindow(m_prefs, m_services.settings, m_shared, nullptr,
                                      m_services.screen, m_services.prompts, this);
        connect(m_station, &StationWindow::stationSaved, this, [this] {
            showOwnStation();
            SavePref();
        });
    }
    m_station->open();
}

void MainWindow::mnuColors_Click() {
    if (m_colours == nullptr) {
        m_colours = new ColoursWindow(m_prefs, m_services.screen, m_services.prompts, this);
        connect(m_colours, &ColoursWindow::coloursChanged, this, [this] {
            SavePref();
            mnuOpen2();
        });
    }
    m_colours->show();
    m_colours->raise();
}

void MainWindow::mnuFormSize_Click() {
    if (askFormSize(m_prefs, m_services.prompts)) {
        SavePref();
    }
}

void MainWindow::mnuTaskbar_Click() {
    if (toggleTaskbarMode(m_prefs, m_services.prompts)) {
        SavePref();
    }
    m_actions.value(QStringLiteral("mnuTaskbar"))->setChecked(m_prefs.TaskbarMode == 1);
}

void MainWindow::mnuHelp_Click() {
    if (m_help == nullptr) {
        m_help = new HelpWindow(this);
    }
    m_help->open();
}

} // namespace ditlog
