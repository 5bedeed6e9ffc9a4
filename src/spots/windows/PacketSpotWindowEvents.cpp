// The spotting window's handlers: loading and saving the settings, choosing a source,
// the keys of the window and the send box, "&Spot Last" and "&Done".
#include "spots/windows/PacketSpotWindow.h"

#include "platform/UserPrompts.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotMessages.h"
#include "spots/SpotSourceLink.h"
#include "spots/SpotSourceSettings.h"
#include "spots/windows/TncOptionsPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ditlog {

namespace {
constexpr qsizetype kLongLine = 70;
}

void PacketSpotWindow::LoadSpotSettings() {
    const std::optional<SpotSourceSettings> stored = ditlog::LoadSpotSettings(m_workingFolder);
    if (!stored) {
        // The design values stay; the guidance for all sources is shown.
        List1->setCurrentRow(0);
        return;
    }
    m_settings = *stored;
    chkConvToHex->setChecked(m_settings.ConvertToHex == 1);
    OptList->setChecked(m_settings.ShowAsList);
    OptBand->setChecked(!m_settings.ShowAsList);
    txtHex->setText(m_settings.CommandChar);
    txtTelnetPort->setText(m_settings.TelnetPort);
    txtTelnetHost->setText(m_settings.TelnetHost);
    // "List DX Only" is stored but every start begins with it cleared.
    m_settings.DxOnly = 0;
    const int row = int(SpotSource::All.indexOf(m_settings.Source));
    List1->setCurrentRow(std::max(0, row));
    m_tnc->showSettings(m_settings);
    m_loading = false;
    enableForSource(m_settings.Source);
    if (!SpotSource::is(m_settings.Source, SpotSource::None)) {
        m_link.OpenSource();
    }
}

bool PacketSpotWindow::SaveSpotSettings() {
    collectControls();
    if (const auto error = ditlog::SaveSpotSettings(m_workingFolder, m_settings)) {
        m_prompts.message(QStringLiteral("Unable to write file."), *error, PromptButtons::Ok,
                          PromptIcon::Critical);
        return false;
    }
    return true;
}

void PacketSpotWindow::collectControls() {
    if (m_loading) {
        return;
    }
    m_tnc->collect(m_settings);
    m_settings.ConvertToHex = chkConvToHex->isChecked() ? 1 : 0;
    m_settings.DxOnly = chkDX->isChecked() ? 1 : 0;
    m_settings.ShowAsList = OptList->isChecked();
    m_settings.CommandChar = txtHex->text().trimmed().toUpper();
    m_settings.TelnetPort = txtTelnetPort->text().trimmed();
    m_settings.TelnetHost = txtTelnetHost->text().trimmed();
}

void PacketSpotWindow::disableSourceControls() {
    m_tnc->setEnabled(false);
    for (QWidget* w : std::as_const(m_telnetControls)) {
        w->setEnabled(false);
    }
    for (QWidget* w : {static_cast<QWidget*>(txtHex), static_cast<QWidget*>(txtSent),
                       static_cast<QWidget*>(lblSent), static_cast<QWidget*>(m_fraDisplay),
                       static_cast<QWidget*>(OptBand), static_cast<QWidget*>(OptList),
                       static_cast<QWidget*>(chkDX), static_cast<QWidget*>(cmdOpen),
                       static_cast<QWidget*>(cmdClose)}) {
        w->setEnabled(false);
    }
}

void PacketSpotWindow::enableForSource(const QString& source) {
    disableSourceControls();
    const bool tnc = SpotSource::is(source, SpotSource::Tnc);
    const bool telnet = SpotSource::is(source, SpotSource::Telnet);
    const bool agw = SpotSource::is(source, SpotSource::Agw);
    m_tnc->setEnabled(tnc);
    txtHex->setEnabled(tnc);
    for (QWidget* w : std::as_const(m_telnetControls)) {
        w->setEnabled(telnet);
    }
    const bool any = tnc || telnet || agw;
    for (QWidget* w : {static_cast<QWidget*>(txtSent), static_cast<QWidget*>(lblSent),
                       static_cast<QWidget*>(m_fraDisplay), static_cast<QWidget*>(OptBand),
                       static_cast<QWidget*>(OptList), static_cast<QWidget*>(chkDX),
                       static_cast<QWidget*>(cmdOpen), static_cast<QWidget*>(cmdClose)}) {
        w->setEnabled(any);
    }
}

void PacketSpotWindow::List1_Click(int row) {
    if (row < 0 || row >= SpotSource::All.size()) {
        return;
    }
    chkDX->setChecked(false);
    const QString source = SpotSource::All.at(row);
    if (!m_loading) {
        m_link.CloseSource();
        m_settings.Source = source;
        if (SpotSource::is(source, SpotSource::Tnc)) {
            m_settings.Baud = QStringLiteral("9600");
            m_settings.Parity = QStringLiteral("N");
            m_settings.DataBits = QStringLiteral("8");
            m_settings.StopBits = QStringLiteral("1");
            m_settings.Handshake = 3;
            m_settings.CommandChar = QStringLiteral("03");
            m_tnc->showSettings(m_settings);
            txtHex->setText(m_settings.CommandChar);
        }
    }
    ShowSourceHelp();
    enableForSource(source);
    lblSent->setText(sendPromptFor(source));
}

void PacketSpotWindow::ShowSourceHelp() {
    const int row = List1->currentRow();
    const QString source = row >= 0 ? SpotSource::All.at(row) : SpotSource::None;
    m_console.replace(spotSourceGuidance(source), SpotConsole::Caret::Start);
}

void PacketSpotWindow::cmdSpotLast_Click() {
    const QString call = m_lastCall ? m_lastCall() : QString();
    txtSent->setText(QStringLiteral("DX Frequency in kHz ") + call);
    txtSent->setSelection(3, 16);
    txtSent->setFocus();
}

void PacketSpotWindow::cmdDone_Click() {
    collectControls();
    if (!m_link.listening() && !SpotSource::is(m_settings.Source, SpotSource::None)) {
        m_link.OpenSource();
    }
    Q_EMIT saveRequested();
    SaveSpotSettings();
    Q_EMIT done();
    hide();
}

// ---- keys --------------------------------------------------------------------------------

bool PacketSpotWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (windowKey(key)) {
        return true;
    }
    if (watched == txtSent) {
        return sendBoxKey(key);
    }
    // Esc has had its effect. Left to the control, it would go on to the control's parents,
    // which are watched too, and run the window's rule again at each.
    return key->key() == Qt::Key_Escape;
}

bool PacketSpotWindow::windowKey(QKeyEvent* key) {
    const bool esc = key->key() == Qt::Key_Escape;
    const bool ctrlC = key->key() == Qt::Key_C && (key->modifiers() & Qt::ControlModifier) &&
                       QApplication::focusWidget() != txtUnProcessed;
    if (!esc && !ctrlC) {
        return false;
    }
    chkDX->setChecked(false);
    if (!m_link.listening()) {
        collectControls();
        m_link.OpenSource();
    }
    if (SpotSource::is(m_settings.Source, SpotSource::Tnc) &&
        m_link.sendCommandCharacter(txtHex->text())) {
        txtSent->setFocus();
        return true;
    }
    if (txtSent->text().isEmpty()) {
        txtSent->setFocus();
    }
    return ctrlC;
}

bool PacketSpotWindow::sendBoxKey(QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape) {
        if (SpotSource::is(m_settings.Source, SpotSource::Agw)) {
            txtSent->insert(QStringLiteral(":"));
        }
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        const QString text = txtSent->text();
        collectControls();
        m_link.SendLine(text);
        txtSent->clear();
        return true;
    }
    return false;
}

void PacketSpotWindow::txtSent_Change() {
    // The packet engine takes a long line at a word boundary without Enter.
    const QString text = txtSent->text();
    if (SpotSource::is(m_settings.Source, SpotSource::Agw) && m_link.timerRunning() &&
        text.endsWith(QLatin1Char(' ')) && text.size() > kLongLine) {
        m_link.SendAgwLine(text.chopped(1));
        txtSent->clear();
    }
}

void PacketSpotWindow::keyPressEvent(QKeyEvent* event) {
    // Esc belongs to the command-mode rule; it never closes the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PacketSpotWindow::closeEvent(QCloseEvent* event) {
    // The window's close button only hides it: the source stays open for the main window.
    event->accept();
}

void PacketSpotWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_consoleStale) {
        m_consoleStale = false;
        txtUnProcessed->clear();
        m_afterCr = false;
        showConsole(m_console.text(), m_consoleCaretAtStart ? 0 : -1);
    }
}

void PacketSpotWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        !SpotSource::is(m_settings.Source, SpotSource::None)) {
        m_console.TrimConsole();
        txtSent->setFocus();
    }
}

} // namespace ditlog
