// CW keying on the main window: the keyer's host, its windows, the CW menu items, and
// the window-level keys of CW mode (function keys, arrows, F12 keyboard CW, Esc).
#include "app/MainWindowKeyer.h"

#include "app/EntryPanel.h"
#include "app/MainWindow.h"
#include "app/MainWindowRig.h"
#include "keyer/CwBuffer.h"
#include "keyer/windows/CodePracticeWindow.h"
#include "keyer/windows/CwKeyerWindow.h"
#include "keyer/WinKeyerLink.h"
#include "keyer/windows/CwStringsWindow.h"
#include "keyer/windows/WinKeyWindow.h"
#include "log/EntryRules.h"
#include "ui/SerialPortsWindow.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace ditlog {

namespace {
const QColor kKeyboardCwColour(255, 255, 192);
} // namespace

KeyerWiring::KeyerWiring(MainWindow& window, CwKeyer& keyer, PortMap& ports, Services services,
                         QString workingFolder)
    : QObject(&window), m_window(window), m_keyer(keyer), m_ports(ports), m_services(services),
      m_workingFolder(std::move(workingFolder)) {
    m_keyer.setHost(this);
    m_keyer.loadSettingsFile(m_workingFolder);
    // A port the keyer cannot use is shown to the operator in the CW window.
    connect(&m_keyer, &CwKeyer::portRefused, this, [this] {
        if (!cwWindow().isVisible()) {
            showCwSetup();
            cwWindow().Text10->setFocus(Qt::OtherFocusReason);
        }
    });
}

KeyerWiring::~KeyerWiring() {
    m_keyer.setHost(nullptr);
    m_keyer.setRadio(nullptr); // the rig station goes with the main window
    delete m_practice;
    delete m_cwWindow;
    delete m_strings;
    delete m_serialPorts;
    delete m_winKeyWindow;
}

void KeyerWiring::attachWinKeyer(WinKeyerLink& link) {
    m_winKeyer = &link;
    link.setOwnCall([this] { return m_window.preferences().OwnCall; });
    // A keyer that goes away or comes back is told on the status line, once each way.
    connect(&link, &WinKeyerLink::linkNotice, this, &KeyerWiring::showKeyerStatus);
    // The WinKeyer's settings are loaded (not opened) as soon as it is the keying line.
    if (m_keyer.keyingLine() == KeyingLineChoice::WinKey) {
        link.load();
        m_winKeyLoaded = true;
    }
}

WinKeyWindow& KeyerWiring::winKeyWindow() {
    if (m_winKeyWindow == nullptr) {
        if (!m_winKeyLoaded) {
            m_winKeyer->load();
            m_winKeyLoaded = true;
        }
        m_winKeyWindow = new WinKeyWindow(*m_winKeyer, m_services.screen, m_services.prompts, &m_window);
    }
    return *m_winKeyWindow;
}

void KeyerWiring::showWinKey() {
    if (m_winKeyer == nullptr) {
        return;
    }
    winKeyWindow().showNormal();
    winKeyWindow().raise();
    winKeyWindow().activateWindow();
}

CwKeyerWindow& KeyerWiring::cwWindow() {
    if (m_cwWindow == nullptr) {
        m_cwWindow = new CwKeyerWindow(m_keyer, m_workingFolder, m_services.screen,
                                       m_services.prompts, &m_window);
        connect(m_cwWindow, &CwKeyerWindow::done, this, [this] {
            if (m_keyer.keyingLineSelected()) {
                stringsWindow().showMinimized();
            }
            m_window.activateWindow();
            m_window.entry().focusCall();
        });
        connect(m_cwWindow, &CwKeyerWindow::codePracticeRequested, this, &KeyerWiring::showCodePractice);
        connect(m_cwWindow, &CwKeyerWindow::configureWinKeyRequested, this, &KeyerWiring::showWinKey);
        connect(m_cwWindow, &CwKeyerWindow::winKeyChosen, this, [this] {
            if (m_winKeyer != nullptr && !m_winKeyLoaded) {
                m_winKeyer->load();
                m_winKeyLoaded = true;
            }
        });
    }
    return *m_cwWindow;
}

CwStringsWindow& KeyerWiring::stringsWindow() {
    if (m_strings == nullptr) {
        m_strings = new CwStringsWindow(m_keyer, m_services.screen, m_services.prompts, &m_window);
        m_strings->setKeyHandler([this](QKeyEvent* key) { return m_window.keyerWindowKey(key); });
    }
    return *m_strings;
}

SerialPortsWindow& KeyerWiring::serialPortsWindow() {
    if (m_serialPorts == nullptr) {
        m_serialPorts = new SerialPortsWindow(m_ports, m_services.screen, m_services.prompts,
                                              availableSerialDevices, &m_window);
        // A port reopens on its next use with the new device.
        connect(m_serialPorts, &SerialPortsWindow::mappingChanged, this,
                [this] { m_keyer.closeKeyingPort(); });
    }
    return *m_serialPorts;
}

void KeyerWiring::showCwSetup() {
    cwWindow().refresh();
    cwWindow().showNormalInFront();
    cwWindow().messages[0]->setFocus(Qt::OtherFocusReason);
}

void KeyerWiring::showStrings() {
    stringsWindow().refresh();
    stringsWindow().showNormal();
    stringsWindow().raise();
    stringsWindow().activateWindow();
}

void KeyerWiring::showSerialPorts() {
    serialPortsWindow().show();
    serialPortsWindow().raise();
    serialPortsWindow().activateWindow();
}

void KeyerWiring::showCodePractice() {
    if (m_practice == nullptr) {
        m_practice = new CodePracticeWindow(m_keyer, m_services.screen, m_services.prompts, &m_window);
        connect(m_practice, &QObject::destroyed, this, [this] { m_keyer.clearSendBuffer(); });
    }
    m_practice->show();
    m_practice->raise();
    m_practice->activateWindow();
}

void KeyerWiring::closeWindows() {
    for (QWidget* w : std::initializer_list<QWidget*>{m_practice, m_cwWindow, m_strings, m_serialPorts,
                                                      m_winKeyWindow}) {
        if (w != nullptr) {
            w->hide();
        }
    }
}

QString KeyerWiring::callForMessages() const { return m_window.entry().txtCall->text(); }

QString KeyerWiring::reportSentForMessages() const { return m_window.entry().txtRSTS->text(); }

void KeyerWiring::logContact() {
    if (!m_window.entry().txtCall->text().isEmpty()) {
        m_window.entry().Mains();
    }
}

bool KeyerWiring::keyboardCwMode() const { return m_window.keyboardCwMode(); }

void KeyerWiring::showKeyerStatus(const QString& text) { m_window.showStatus(text); }

// ---- the main window's part ----------------------------------------------------------

void MainWindow::attachKeyer(CwKeyer& keyer, PortMap& ports) {
    setKeyer(keyer);
    m_keyerWiring = new KeyerWiring(*this, keyer, ports, m_services, m_folders.WorkingFolder);
    // "Rig port DTR", "Rig port RTS" and "Radio (CAT)" go through the rig link.
    keyer.setRadio(&m_rig->radio());
    QAction* setup = m_actions.value(QStringLiteral("mnuCwSetup"));
    setup->setEnabled(true);
    connect(setup, &QAction::triggered, m_keyerWiring, &KeyerWiring::showCwSetup);
    // The port-number mapping sits on the Options menu, before the station setup.
    QAction* station = m_actions.value(QStringLiteral("mnuSetup"));
    if (auto* options = qobject_cast<QMenu*>(station->parent())) {
        auto* serial = new QAction(QStringLiteral("Serial P&orts"), options);
        serial->setObjectName(QStringLiteral("mnuSerialPorts"));
        options->insertAction(station, serial);
        m_actions.insert(serial->objectName(), serial);
        connect(serial, &QAction::triggered, m_keyerWiring, &KeyerWiring::showSerialPorts);
    }
}

bool MainWindow::keyerShortcut(int key) {
    if (m_keyerWiring == nullptr) {
        return false;
    }
    if (key == Qt::Key_C || key == Qt::Key_S) {
        m_keyerWiring->showCwSetup();
        return true;
    }
    if (key == Qt::Key_W) {
        m_keyerWiring->showStrings();
        return true;
    }
    return false;
}

bool MainWindow::keyerKeyDown(QKeyEvent* event) {
    const int key = event->key();
    if (!m_keyer->keyingLineSelected()) {
        return false;
    }
    if (key == Qt::Key_Down || key == Qt::Key_Up) {
        if (key == Qt::Key_Down) {
            m_keyer->UpDown1_DownClick();
        } else {
            m_keyer->UpDown1_UpClick();
        }
        showStatus(m_keyer->speedText() + QStringLiteral(" WPM"));
        return true;
    }
    if (key == Qt::Key_F12) {
        m_keyboardCw = !m_keyboardCw;
        // The pale yellow stays under every text of the status line until F12 again.
        m_entry->setStatusColour(m_keyboardCw ? kKeyboardCwColour : QColor());
        showStatus(m_keyboardCw
                       ? QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode.")
                       : QString());
        return true;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F11) {
        m_keyer->FKeyCW(key == Qt::Key_F10 ? 124 : 112 + (key - Qt::Key_F1));
        return true;
    }
    return false;
}

bool MainWindow::keyerKeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (m_voice->stopMessage()) {
            return true; // a voice message stops, push-to-talk with it
        }
        if (m_keyer->stopExternalKeyer()) {
            return true; // the WinKeyer was busy: it and the buffer are cleared
        }
        if (m_keyer->isSending()) {
            m_keyer->clearSendBuffer();
        } else {
            m_entry->cmdClear_Click();
        }
        return true;
    }
    if (!m_keyboardCw || m_prefs.Mode != QLatin1String("CW")) {
        return false;
    }
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false; // moving between fields and menu keys keep working
    }
    if (key == Qt::Key_Backspace) {
        m_keyer->removeLastUnsent();
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        return false; // keys without a character (arrows, Home) keep their meaning
    }
    // Every character typed in keyboard CW is for the keyer: none reaches the entry row
    // (Enter included, which would otherwise log the contact).
    if (text.at(0).unicode() >= 32 && text.at(0).unicode() != 127) {
        const bool idle = !m_keyer->isSending();
        m_keyer->appendToBuffer(QString(QChar(Capital(text.at(0).unicode()))));
        if (idle) {
            m_keyer->LoopThroughCWBuffer();
        }
    }
    return true;
}

bool MainWindow::keyerWindowKey(QKeyEvent* event) { return Form_KeyDown(event) || Form_KeyPress(event); }

} // namespace ditlog
