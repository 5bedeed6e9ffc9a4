// Band and mode commands, the Options menu entries of the entry row, and the
// window-level keys that reach the keyers before the focused field.
#include "app/MainWindow.h"

#include "app/EntryPanel.h"
#include "app/ListsPanel.h"
#include "app/ScorePanel.h"
#include "export/windows/SummaryWindow.h"
#include "log/EntryRules.h"
#include "log/Score.h"
#include "platform/UserPrompts.h"
#include "spots/windows/SpotDesk.h"
#include "ui/WindowScaling.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ditlog {

namespace {
const QStringList kBands{QStringLiteral("160"), QStringLiteral("80"), QStringLiteral("40"),
                         QStringLiteral("20"),  QStringLiteral("15"), QStringLiteral("10"),
                         QStringLiteral("6")};
} // namespace

void MainWindow::setVoice(VoiceControl& voice) {
    m_voice = &voice;
    m_entry->setVoice(voice);
}

void MainWindow::showBandAndMode() {
    for (const QString& b : kBands) {
        m_actions.value(QStringLiteral("mnuBand%1Ch").arg(b))->setChecked(b == m_prefs.Band);
    }
    if (kBands.contains(m_prefs.Band)) {
        m_lblBand->setText(m_prefs.Band);
    }
    const bool phone = m_prefs.Mode == QLatin1String("PH");
    m_actions.value(QStringLiteral("mnu160"))->setChecked(!phone);
    m_actions.value(QStringLiteral("mnuSSB"))->setChecked(phone);
    m_lblMode->setText(m_prefs.Mode);
    m_entry->applyMode();
}

void MainWindow::selectBand(const QString& band) {
    m_prefs.Band = band;
    showBandAndMode();
    if (m_spots != nullptr) {
        m_spots->DisplayBandMapLabels();
    }
    if (!m_entry->txtCall->text().isEmpty()) {
        m_entry->NewIndicator();
    }
    SavePref();
}

void MainWindow::lblBand_Click() {
    // Steps through the HF bands; 160 and 6 stay where they are.
    static const QHash<QString, QString> next{{QStringLiteral("80"), QStringLiteral("40")},
                                              {QStringLiteral("40"), QStringLiteral("20")},
                                              {QStringLiteral("20"), QStringLiteral("15")},
                                              {QStringLiteral("15"), QStringLiteral("10")},
                                              {QStringLiteral("10"), QStringLiteral("80")}};
    if (next.contains(m_prefs.Band)) {
        selectBand(next.value(m_prefs.Band));
    }
}

void MainWindow::setMode(const QString& mode) {
    m_prefs.Mode = mode;
    showBandAndMode();
    SavePref();
    mnuOpen2();
}

void MainWindow::mnu160_Click() { setMode(QStringLiteral("CW")); }

void MainWindow::mnuSSB_Click() { setMode(QStringLiteral("PH")); }

void MainWindow::mnuRstDefault_Click() {
    const QString answer =
        m_services.prompts.input(QStringLiteral("Default RST"),
                                 QStringLiteral("Please enter the default RST value."),
                                 m_prefs.DefaultRst);
    // Cancel (an empty answer) keeps the default; only digits can stand in a report.
    QString digits;
    for (const QChar c : answer) {
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
        }
    }
    if (!digits.isEmpty()) {
        m_prefs.DefaultRst = digits.left(3);
        SavePref();
    }
    m_entry->focusCall();
}

void MainWindow::mnuListPrevious_Click() {
    QAction* item = m_actions.value(QStringLiteral("mnuListPrevious"));
    m_prefs.ListPreviousContacts = item->isChecked() ? 1 : 0;
    SavePref();
}

void MainWindow::mnuPostContest_Click() {
    m_entry->setPostContestMode(m_actions.value(QStringLiteral("mnuPostContest"))->isChecked());
}

void MainWindow::mnuWriteSumm_Click() {
    if (!writeSummaryAllowed(m_prefs, m_services.prompts)) {
        return;
    }
    // A fresh summary window each time, unloaded when it closes.
    auto* summary = new SummaryWindow(m_log, m_prefs, m_folders, m_services.settings, m_shared,
                                      m_services.prompts, m_services.screen, windowTitle(), this);
    summary->setAttribute(Qt::WA_DeleteOnClose);
    connect(summary, &QDialog::finished, summary, &QObject::deleteLater);
    summary->open();
}

void MainWindow::cmdDup_Click() {
    m_entry->setDupeIdle();
    const bool on = !m_entry->partialDuplicatesShown();
    m_entry->setPartialDuplicatesShown(on);
    m_cmdDup->setText(on ? QStringLiteral("On") : QStringLiteral("Off"));
    m_entry->focusCall();
}

// ---- window-level keys -------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lblBand || watched == m_lblMode) {
        if (event->type() == QEvent::MouseButtonRelease) {
            if (watched == m_lblBand) {
                lblBand_Click();
            } else if (m_prefs.Mode == QLatin1String("CW")) {
                mnuSSB_Click();
            } else {
                mnu160_Click();
            }
            return true;
        }
        return false;
    }
    if (watched == m_canvas && event->type() == QEvent::MouseMove) {
        m_entry->lblDupe->clear();
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    // Every key typed in this window passes here first, whichever control has the focus.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this || !widget->hasFocus()) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (Form_KeyDown(key)) {
        if (m_ctrlShortcut) {
            Form_KeyPress(key); // the shortcut's own character: the flag ends with it
        }
        return true;
    }
    return Form_KeyPress(key);
}

bool MainWindow::Form_KeyDown(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() & Qt::ControlModifier) {
        static const QList<int> shortcuts{Qt::Key_B, Qt::Key_C, Qt::Key_S, Qt::Key_D,
                                          Qt::Key_F, Qt::Key_G, Qt::Key_R, Qt::Key_W};
        if (shortcuts.contains(key)) {
            // The key is swallowed, and so is the character it would type.
            m_ctrlShortcut = true;
            keyerShortcut(key);
            rigShortcut(key);
            if (key == Qt::Key_D) {
                mnuDxConfigure_Click();
            }
            if (key == Qt::Key_B) {
                m_spots->openSpectrumMap();
            }
            return true;
        }
    }
    if ((event->modifiers() & Qt::ControlModifier) || key == Qt::Key_Control) {
        return false; // with Ctrl held (or Ctrl itself) a calling loop goes on
    }
    // Any other key, Esc included, stops a repeating CW call.
    m_keyer->stopRepeat();
    if (m_prefs.Mode == QLatin1String("CW")) {
        return keyerKeyDown(event);
    }
    const bool functionKey = key >= Qt::Key_F1 && key <= Qt::Key_F12;
    const int code = functionKey ? 112 + (key - Qt::Key_F1) : 0; // F1 = 112 ... F12 = 123
    if (key == Qt::Key_F10) {
        return true;
    }
    if (functionKey && key <= Qt::Key_F9) {
        m_voice->FKeyPhone(code);
        return true;
    }
    return false;
}

bool MainWindow::Form_KeyPress(QKeyEvent* event) {
    if (m_ctrlShortcut) {
        m_ctrlShortcut = false;
        if (event->modifiers() & Qt::ControlModifier) {
            return true;
        }
    }
    return keyerKeyPress(event);
}

} // namespace ditlog
