// Main window construction, start-up and shut-down, and the File menu's log commands.
#include "app/MainWindow.h"

#include "app/AssistDesk.h"
#include "app/ClockPanel.h"
#include "app/EntryPanel.h"
#include "app/HelpWindow.h"
#include "app/ListsPanel.h"
#include "app/MainWindowKeyer.h"
#include "app/MainWindowRig.h"
#include "app/ScorePanel.h"
#include "export/AdifExport.h"
#include "export/LedraExport.h"
#include "log/AppearanceCommands.h"
#include "log/LogMaintenance.h"
#include "log/LogSalvage.h"
#include "log/RecentContactsModel.h"
#include "log/windows/ColoursWindow.h"
#include "log/windows/StationWindow.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/ShippedData.h"
#include "platform/UserPrompts.h"
#include "spots/windows/SpotDesk.h"
#include "ui/WindowScaling.h"
#include "voice/PhoneKeyer.h"
#include "voice/windows/VoiceKeyer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

// The data files compiled into the program live in a static library: register them.
static void initDitlogResources() { Q_INIT_RESOURCE(ditlog); }

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

std::optional<EntityInfo> PrefixEntityNames::completeEntityName(const QString& prefix,
                                                                Qt::CaseSensitivity cs) const {
    const int found = findEntityCompletion(m_table, prefix, cs);
    if (found == 0) {
        return std::nullopt;
    }
    const PrefixEntry& e = m_table.entry(found);
    return EntityInfo{e.entity, e.continent, e.longitude, e.latitude};
}

std::optional<EntityInfo> PrefixEntityNames::entityOfCall(const QString& call) const {
    const QString trimmed = call.trimmed();
    const int found = ditlog::entryOfCall(m_table, trimmed);
    if (found == 0) {
        return std::nullopt;
    }
    const PrefixEntry& e = m_table.entry(found);
    return EntityInfo{e.entity, e.continent, e.longitude, e.latitude};
}

MainWindow::MainWindow(Services services, DataFolders folders, SharedPreferences& shared,
                       QWidget* parent)
    : QMainWindow(parent), m_services(services), m_folders(std::move(folders)), m_shared(shared),
      m_logFile(m_folders.workingFile(QStringLiteral("log.txt"))) {
    initDitlogResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ditlog %1").arg(QStringLiteral(DITLOG_VERSION)));
    buildCanvas();
    buildButtons();
    buildMenus();
    connectPanels();
    buildSpots();
    buildCharts();
    buildAssist();
    describeForScreenReaders();
    setUpRig();
    m_spots->setRigTuning(rigTuning());
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    delete m_keyerWiring;
    if (m_voiceKeyer != nullptr) {
        m_voiceKeyer->keyer().setRadio(nullptr); // push-to-talk through the radio ends first
    }
    // The windows and panels refer to the log and preferences held here, which are gone
    // before the base class deletes its children: they go first, the event filters
    // (the panels) before the controls they watch.
    delete m_rig;
    detachVoice();
    m_entry->clearAssist();
    delete m_assist;
    delete m_spots;
    delete m_station;
    delete m_colours;
    delete m_help;
    delete m_entry;
    delete m_lists;
    delete m_score;
    delete m_clocks;
    delete m_canvas;
}

QLabel* MainWindow::lblDialog() const { return m_entry->lblDialog; }

void MainWindow::buildCanvas() {
    m_canvas = new DesignCanvas(QSize(kDesignWidthTwips, kCanvasHeightTwips), this);
    m_canvas->setObjectName(QStringLiteral("canvas"));
    m_canvas->setMouseTracking(true);
    m_canvas->installEventFilter(this);
    setCentralWidget(m_canvas);

    m_entry = new EntryPanel(m_services, m_log, m_logFile, m_prefs, m_prefixes, m_operating,
                             *m_voice, *m_canvas, this);
    m_lists = new ListsPanel(m_log, *m_canvas, this);
    m_score = new ScorePanel(m_log, m_prefs, m_services.screen, *m_canvas, this);
    m_clocks = new ClockPanel(m_services.clock, m_operating, m_prefs, *m_canvas, this);

    m_lblOwnStation = new QLabel(m_canvas);
    m_lblOwnStation->setObjectName(QStringLiteral("lblOwnStation"));
    m_lblOwnStation->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_canvas->place(m_lblOwnStation, 6600, 1790, 2880, 260);

    QFont big = font();
    big.setPointSizeF(14);
    big.setBold(true);
    m_lblBand = new QLabel(QStringLiteral("160"), m_canvas);
    m_lblBand->setObjectName(QStringLiteral("lblBand"));
    m_lblMode = new QLabel(QStringLiteral("CW"), m_canvas);
    m_lblMode->setObjectName(QStringLiteral("lblMode"));
    for (QLabel* l : {m_lblBand, m_lblMode}) {
        l->setFont(big);
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Raised);
        l->setToolTip(QStringLiteral("Click to change modes."));
        l->installEventFilter(this);
    }
    m_canvas->place(m_lblBand, 8400, 200, 520, 520);
    m_canvas->place(m_lblMode, 8960, 200, 520, 520);
}

void MainWindow::buildButtons() {
    m_cmdClear = new QPushButton(QStringLiteral("&Clear"), m_canvas);
    m_cmdClear->setObjectName(QStringLiteral("cmdClear"));
    m_cmdClear->setToolTip(QStringLiteral("Click to clear entry fields or press ALT C"));
    m_cmdClear->setFocusPolicy(Qt::NoFocus);
    m_canvas->place(m_cmdClear, 120, 1740, 800, 330);
    connect(m_cmdClear, &QPushButton::clicked, m_entry, &EntryPanel::cmdClear_Click);

    m_cmdDup = new QPushButton(QStringLiteral("On"), m_canvas);
    m_cmdDup->setObjectName(QStringLiteral("cmdDup"));
    m_cmdDup->setToolTip(QStringLiteral("Displaying partial dupes slows the program on older pc's."));
    m_cmdDup->setFocusPolicy(Qt::NoFocus);
    m_canvas->place(m_cmdDup, 2600, 1740, 700, 330);
    connect(m_cmdDup, &QPushButton::clicked, this, &MainWindow::cmdDup_Click);
}

void MainWindow::connectPanels() {
    const auto focusCall = [this] { m_entry->focusCall(); };
    connect(m_lists, &ListsPanel::callFocusRequested, this, focusCall);
    connect(m_lists, &ListsPanel::editRequested, this, &MainWindow::cmdEdit_Click);
    connect(m_lists, &ListsPanel::deleteRequested, this, [this] {
        cmdDelete_Click(m_lists->selectedRecord());
    });
    connect(m_clocks, &ClockPanel::callFocusRequested, this, focusCall);
    connect(m_clocks, &ClockPanel::statusChanged, this, &MainWindow::showStatus);
    connect(m_clocks, &ClockPanel::preferencesChanged, this, &MainWindow::SavePref);
    connect(m_score, &ScorePanel::multiplierClicked, m_entry, &EntryPanel::putSpc);
    connect(m_score, &ScorePanel::multiplierHovered, this, [this](const QString& text, double size) {
        QFont f = m_entry->lblDupe->font();
        f.setPointSizeF(std::max(1.0, size));
        m_entry->lblDupe->setFont(f);
        m_entry->lblDupe->setText(text);
    });
    connect(m_entry, &EntryPanel::contactLogged, this, [this](int row, bool entityAdded) {
        m_lists->RecentList();
        if (entityAdded) {
            m_lists->ListRefresh();
        }
        m_score->MarkMultiplier(row);
        m_score->Labeldisplay();
        m_score->TimeStats(logNow(m_services.clock, m_prefs.UtcOffset));
    });
    connect(m_entry, &EntryPanel::contactNotStored, this,
            [this] { m_score->TimeStats(logNow(m_services.clock, m_prefs.UtcOffset)); });
    connect(m_entry, &EntryPanel::previousContactsFound, this,
            [this](const QList<int>& records) { m_lists->model().showRecords(records); });
    connect(m_entry, &EntryPanel::callFieldEntered, this, [this] {
        m_lists->setEditButtonsVisible(false);
        const int rows = m_lists->model().rowCount();
        if (m_entry->txtCall->text().isEmpty() && rows < m_log.count() && rows < 18) {
            m_lists->RecentList();
        }
    });
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(60000);
    connect(m_timer1, &QTimer::timeout, this,
            [this] { m_score->TimeStats(logNow(m_services.clock, m_prefs.UtcOffset)); });
    m_timer1->start();
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
    addItem(file, QStringLiteral("mnuArchive"), QStringLiteral("Archive Current &Log"),
            &MainWindow::mnuArchive_Click);
    addItem(file, QStringLiteral("mnuRestore"), QStringLiteral("&Restore from Archive or Backup"),
            &MainWindow::mnuRestore_Click);
    addItem(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open"), &MainWindow::mnuOpen_Click);
    file->addSeparator();
    addItem(file, QStringLiteral("mnuWriteSumm"), QStringLiteral("&Write Summary File"),
            &MainWindow::mnuWriteSumm_Click);
    addItem(file, QStringLiteral("mnuExportLedra"), QStringLiteral("E&xport for Ledra Import"),
            &MainWindow::mnuExportLedra_Click);
    addItem(file, QStringLiteral("mnuExportAdif"), QStringLiteral("Export &ADIF File"),
            &MainWindow::mnuExportAdif_Click);
    addItem(file, QStringLiteral("mnuCopyListtoClipboard"),
            QStringLiteral("&Copy Listed Items to Clipboard"),
            &MainWindow::mnuCopyListtoClipboard_Click);
    addItem(file, QStringLiteral("mnuUpdateCountryData"), QStringLiteral("&Update Country Data..."),
            &MainWindow::mnuUpdateCountryData_Click);
    file->addSeparator();
    addItem(file, QStringLiteral("mnuExit"), QStringLiteral("&Exit"), &MainWindow::mnuExit_Click);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    addItem(options, QStringLiteral("mnuRstDefault"), QStringLiteral("R&ST Default"),
            &MainWindow::mnuRstDefault_Click);
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
    addItem(options, QStringLiteral("mnuRigInterface"), QStringLiteral("&Rig Interface"),
            &MainWindow::mnuRigInterface_Click);
    QMenu* spotting = options->addMenu(QStringLiteral("&DX Spotting"));
    addItem(spotting, QStringLiteral("mnuDxConfigure"), QStringLiteral("&Configure"));
    addItem(spotting, QStringLiteral("mnuSpectrumMap"), QStringLiteral("&View Spectrum Map"));
    addItem(options, QStringLiteral("mnuVoiceNavigation"), QStringLiteral("&Voice Navigation"));
    addItem(options, QStringLiteral("mnuListPrevious"), QStringLiteral("&List Previous Contacts"),
            &MainWindow::mnuListPrevious_Click)
        ->setCheckable(true);
    addItem(options, QStringLiteral("mnuPostContest"), QStringLiteral("&Post Contest Mode"),
            &MainWindow::mnuPostContest_Click)
        ->setCheckable(true);
    addItem(options, QStringLiteral("mnuSetup"), QStringLiteral("&Setup"),
            &MainWindow::mnuSetup_Click);

    QMenu* band = menuBar()->addMenu(QStringLiteral("&Band"));
    for (const char* b : {"160", "80", "40", "20", "15", "10", "6"}) {
        const QString name = QLatin1String(b);
        QAction* a = band->addAction(name);
        a->setObjectName(QStringLiteral("mnuBand%1Ch").arg(name));
        a->setCheckable(true);
        m_actions.insert(a->objectName(), a);
        connect(a, &QAction::triggered, this, [this, name] { selectBand(name); });
    }
    band->addSeparator();
    addItem(band, QStringLiteral("mnuPrivileges"), QStringLiteral("&Privileges"),
            &MainWindow::mnuPrivileges_Click);

    QMenu* mode = menuBar()->addMenu(QStringLiteral("&Mode"));
    addItem(mode, QStringLiteral("mnu160"), QStringLiteral("&CW"), &MainWindow::mnu160_Click)
        ->setCheckable(true);
    addItem(mode, QStringLiteral("mnuSSB"), QStringLiteral("&PH"), &MainWindow::mnuSSB_Click)
        ->setCheckable(true);

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
    // The logo gives way before the first question is asked.
    if (m_logo != nullptr) {
        m_logo->close();
    }
    ScaleWindowToScreen(this, m_canvas, m_services.screen, m_services.prompts);
    showStatus(QStringLiteral("Ready to begin!"));

    const PreferenceLoad loaded = LoadPreferences(m_folders.WorkingFolder, m_prefs);
    if (loaded.damaged()) {
        // Values read before a fault stay, the rest keep their defaults, and so do values
        // out of their range; the operator is told, and start-up goes on so the log can
        // still be opened. The file is kept beside as "varnpref.txt.bad", since the next
        // save replaces it.
        const QString path = m_folders.workingFile(kPreferenceFileName);
        QFile::remove(path + QStringLiteral(".bad"));
        QFile::copy(path, path + QStringLiteral(".bad"));
        QString text = QStringLiteral("Error opening file");
        if (!loaded.outOfRange.isEmpty()) {
            text += QStringLiteral("\n\n") + kPreferenceFileName +
                    QStringLiteral(": out of range, the default is used: ") +
                    loaded.outOfRange.join(QStringLiteral(", ")) + QLatin1Char('.');
        }
        m_services.prompts.message(QStringLiteral("Error opeining file"), text, PromptButtons::Ok,
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
    }
    m_actions.value(QStringLiteral("mnuTaskbar"))->setChecked(m_prefs.TaskbarMode == 1);
    showBandAndMode();
    m_operating.setAccumulated(m_prefs.OperatingTime);
    m_clocks->showOperatingTime();
    showOwnStation();
    stepPrefixTable();
    stepStationWindow();
}

void MainWindow::installSharedCountryFiles() {
    // A fresh installation finds the country files that ship with the program: they are
    // placed in the shared folder when none of the searched folders holds one.
    for (const QString& name : {QStringLiteral("arrlpre2.txt"), QStringLiteral("ADIFCnt.txt")}) {
        const bool present = QFile::exists(QDir(m_folders.SharedFolder).filePath(name)) ||
                             QFile::exists(QDir(m_folders.DataFolder).filePath(name)) ||
                             QFile::exists(m_folders.workingFile(name));
        if (present || !QDir(m_folders.SharedFolder).exists()) {
            continue;
        }
        placeShippedFile(name, m_folders.SharedFolder);
    }
}

void MainWindow::stepPrefixTable() {
    installSharedCountryFiles();
    if (LoadPrefixTable(m_prefixes, m_folders.SharedFolder, m_folders.DataFolder,
                        m_folders.WorkingFolder)) {
        // The table stays empty (calls show "Not Found"); the log is still opened so that
        // nothing logged later can overwrite it.
        m_services.prompts.message(QStringLiteral("Error opeining file"),
                                   QStringLiteral("Error opening file"), PromptButtons::Ok,
                                   PromptIcon::Critical);
    }
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

void MainWindow::applyTaskbarLayout() {
    // With the taskbar option the window fills the work area, leaving the taskbar free.
    if (m_prefs.TaskbarMode != 1 || m_prefs.FormSizePercent < 100) {
        return;
    }
    const QRect work = m_services.screen.workAreaTwips();
    move(work.topLeft() / kTwipsPerPixel);
    ResizeWindowContents(this, work.width() / kTwipsPerPixel, work.height() / kTwipsPerPixel - 40);
}

void MainWindow::finishStartUp() {
    // The last step of start-up: the message files (with their features), the taskbar
    // layout, then the entry row is ready.
    applyTaskbarLayout();
    activateWindow();
    m_assist->startUp();
    m_entry->focusCall();
    m_rig->startUp();
    Q_EMIT startUpFinished();
}

// ---- the log -----------------------------------------------------------------------------

void MainWindow::showStatus(const QString& text) { m_entry->showNormalStatus(text); }

bool MainWindow::mnuOpen2() {
    // A log that was never written is an empty log, not a damaged one.
    if (!QFile::exists(m_logFile.path())) {
        if (const auto error = m_logFile.createEmpty()) {
            m_services.prompts.message(QStringLiteral("Unable to write file."), *error,
                                       PromptButtons::Ok, PromptIcon::Critical);
        }
    }
    if (const auto error = m_logFile.load(m_log); error && !openGoodRecords(*error)) {
        Q_EMIT fatalLoadError();
        return false;
    }
    afterLoad();
    return true;
}

bool MainWindow::openGoodRecords(const RecordError& fault) {
    // The file's good lines can still be opened, the whole file kept beside it as it is:
    // a log cut in its last line does not stop the operator in the middle of an event.
    const QString where = fault.line > 0 ? fault.describe() : fault.message;
    const auto content = readWholeFile(m_logFile.path(), nullptr, 16 * 1024 * 1024);
    const LogSalvage salvage = content ? salvageLog(*content) : LogSalvage{};
    if (!content || salvage.damagedLines.isEmpty()) {
        m_services.prompts.message(QStringLiteral("File Error"),
                                   kFileErrorText + QStringLiteral("\n\nlog.txt, ") + where + QLatin1Char('.'),
                                   PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    const QString copy = damagedCopyPath(m_logFile.path(), m_services.clock.localNow());
    const QString question =
        kFileErrorText + QStringLiteral("\n\nlog.txt, ") + where + QStringLiteral(".\n\nOpen the ") +
        QString::number(salvage.records.size()) + QStringLiteral(" good records now? The damaged ") +
        lineListText(salvage.damagedLines) + QStringLiteral(" will be kept, with the whole file as it is, in \"") +
        QFileInfo(copy).fileName() +
        QStringLiteral("\" beside log.txt; nothing is deleted. No ends the program.");
    if (m_services.prompts.message(QStringLiteral("File Error"), question, PromptButtons::YesNo,
                                   PromptIcon::Critical) != PromptAnswer::Yes) {
        return false;
    }
    ContactLog good;
    good.setRecords(salvage.records);
    std::optional<QString> error = writeFileAtomically(copy, *content);
    if (!error) {
        error = m_logFile.rewrite(good);
    }
    if (error) {
        m_services.prompts.message(QStringLiteral("Unable to write file."), *error,
                                   PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    return !m_logFile.load(m_log);
}

void MainWindow::afterLoad() {
    m_assist->logReloaded();
    m_lists->RecentList();
    m_score->TimeStats(logNow(m_services.clock, m_prefs.UtcOffset));
    m_lists->ListRefresh();
    m_score->CountMultipliers();
    m_score->Labeldisplay();
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
        m_assist->relearn(); // the log just backed up is an earlier log now
    }
    m_clocks->showOperatingTime();
    mnuOpen2();
}

void MainWindow::mnuNew_Click() {
    NewLog();
    m_score->TimeStats(logNow(m_services.clock, m_prefs.UtcOffset));
}

void MainWindow::mnuOpen_Click() { mnuOpen2(); }

void MainWindow::mnuExportAdif_Click() {
    ExportAdif(m_log, m_folders, m_services.prompts, m_services.clock, windowTitle());
    m_entry->focusCall();
}

void MainWindow::mnuExportLedra_Click() {
    ExportLedra(m_log, m_folders, m_services.prompts);
    m_entry->focusCall();
}

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
    if (m_exitWithoutBackup) {
        event->accept();
        return;
    }
    if (m_keyer->isSending()) {
        // Sending goes first: the buffer is emptied and a second close ends the program.
        m_keyer->clearSendBuffer();
        event->ignore();
        return;
    }
    m_rig->closing();
    for (QWidget* w : {static_cast<QWidget*>(m_station), static_cast<QWidget*>(m_colours),
                       static_cast<QWidget*>(m_help)}) {
        if (w != nullptr) {
            w->close();
        }
    }
    if (m_keyerWiring != nullptr) {
        m_keyerWiring->closeWindows();
    }
    m_spots->shutdown();
    Backup(m_log, m_logFile.path(), m_folders.BackupFolder, m_services.clock);
    keepOperatingTime();
    event->accept();
}

// ---- station, colours, appearance, help --------------------------------------------------

void MainWindow::showOwnStation() {
    m_lblOwnStation->setText(QStringLiteral("%1  %2  #%3  %4")
                                 .arg(m_prefs.OwnCall, m_prefs.OwnSpc, m_prefs.OwnMemberNumber,
                                      m_prefs.OwnFirstName));
}

void MainWindow::mnuSetup_Click() {
    if (m_station == nullptr) {
        m_station = new StationWindow(m_prefs, m_services.settings, m_shared, &m_entityNames,
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
        m_help = new HelpWindow(m_services.screen, this);
    }
    m_help->open();
}

} // namespace ditlog
