// The tune panel: layout, Go, the step, band and mode buttons, the scan and its keys.
#include "rig/windows/RigTuneWindow.h"

#include "rig/RigLink.h"
#include "rig/TunePanel.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesignSize(8040, 4980);
constexpr double kDesignFontPt = 8.25;
constexpr int kButtonHeight = 360;

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Backspace and the characters "." "/" and the digits (codes 46 to 57); keys that type
// nothing (arrows, Tab, Delete) pass.
bool acceptedInNumberBox(const QKeyEvent* key) {
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
        key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape) {
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty()) {
        return true;
    }
    return text.size() == 1 && text.at(0).unicode() >= 46 && text.at(0).unicode() <= 57;
}
} // namespace

RigTuneWindow::RigTuneWindow(RigLink& link, const Screen& screen, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_link(link) {
    setObjectName(QStringLiteral("frmRigTune"));
    setWindowTitle(QStringLiteral(" Change Frequency and Mode (Ctrl G (Go))"));
    m_canvas = new DesignCanvas(kDesignSize, this);
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    buildFrequency();
    buildSteps();
    buildBands();
    buildModes();
    buildScan();
    cmdDone = button(QStringLiteral("cmdDone"), QStringLiteral("&Done"), QStringLiteral("Done"));
    m_canvas->place(cmdDone, 6820, 4440, 1100, 400);
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::close);
    setTabOrder();
    // Keys on the panel itself (no box or button holding the focus) stop a scan too.
    installEventFilter(this);
    m_canvas->installEventFilter(this);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kScanIntervalMs);
    connect(&Timer1, &QTimer::timeout, this, &RigTuneWindow::Timer1_Timer);
    Timer1.start();

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, prompts);
}

RigTuneWindow::~RigTuneWindow() = default;

QPushButton* RigTuneWindow::button(const QString& name, const QString& text, const QString& accessibleName) {
    auto* b = new QPushButton(text, m_canvas);
    b->setObjectName(name);
    b->setAccessibleName(accessibleName);
    b->setAutoDefault(false);
    b->installEventFilter(this);
    return b;
}

void RigTuneWindow::buildFrequency() {
    auto* label = caption(QStringLiteral("Frequency in MHz:"), m_canvas);
    m_canvas->place(label, 120, 170, 1700, 260);
    txtFreq = new QLineEdit(m_canvas);
    txtFreq->setObjectName(QStringLiteral("txtFreq"));
    txtFreq->setAccessibleName(QStringLiteral("Frequency in MHz:"));
    txtFreq->installEventFilter(this);
    label->setBuddy(txtFreq);
    m_canvas->place(txtFreq, 1860, 120, 1600, 340);
    Command1 = button(QStringLiteral("Command1"), QStringLiteral("&Go"), QStringLiteral("Go"));
    m_canvas->place(Command1, 3600, 110, 1000, kButtonHeight);
    connect(Command1, &QPushButton::clicked, this, &RigTuneWindow::Command1_Click);
    connect(txtFreq, &QLineEdit::textChanged, this, [this](const QString& text) {
        const bool numeric = panelNumber(text).has_value();
        for (QPushButton* b : std::as_const(cmdTune)) {
            b->setEnabled(numeric);
        }
    });
}

void RigTuneWindow::buildSteps() {
    const QList<TuneStep>& steps = tuneSteps();
    for (int row = 0; row < 2; ++row) {
        const bool up = row == 0;
        auto* label = caption(up ? QStringLiteral(" UP") : QStringLiteral(" Down"), m_canvas);
        m_canvas->place(label, 120, 680 + row * 420, 700, 260);
        for (int i = 0; i < steps.size(); ++i) {
            const int index = row * int(steps.size()) + i;
            QPushButton* b = button(QStringLiteral("cmdTune%1").arg(index), steps.at(i).caption,
                                    steps.at(i).caption + (up ? QStringLiteral(" up") : QStringLiteral(" down")));
            m_canvas->place(b, 860 + i * 1060, 620 + row * 420, 1000, kButtonHeight);
            b->setEnabled(false);
            connect(b, &QPushButton::clicked, this, [this, index] { cmdTune_Click(index); });
            cmdTune.append(b);
        }
    }
}

void RigTuneWindow::buildBands() {
    auto* label = caption(QStringLiteral("Bands:"), m_canvas);
    m_canvas->place(label, 120, 1560, 700, 260);
    const QList<BandPreset>& bands = bandPresets();
    for (int i = 0; i < bands.size(); ++i) {
        QPushButton* b = button(QStringLiteral("cmdBand%1").arg(i), bands.at(i).caption, bands.at(i).accessibleName);
        m_canvas->place(b, 860 + (i % 8) * 880, 1500 + (i / 8) * 420, 820, kButtonHeight);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdBand_Click(i); });
        cmdBand.append(b);
    }
}

void RigTuneWindow::buildModes() {
    auto* label = caption(QStringLiteral("Mode:"), m_canvas);
    m_canvas->place(label, 120, 2440, 700, 260);
    int i = 0;
    for (auto [member, name, word] : {std::tuple{&cmdAM, "cmdAM", "AM"}, std::tuple{&cmdCW, "cmdCW", "CW"},
                                      std::tuple{&cmdFM, "cmdFM", "FM"}, std::tuple{&cmdLSB, "cmdLSB", "LSB"},
                                      std::tuple{&cmdRTTY, "cmdRTTY", "RTTY"}, std::tuple{&cmdUSB, "cmdUSB", "USB"}}) {
        const QString mode = QLatin1String(word);
        *member = button(QLatin1String(name), QLatin1Char('&') + mode, mode);
        m_canvas->place(*member, 860 + i * 1060, 2380, 1000, kButtonHeight);
        connect(*member, &QPushButton::clicked, this, [this, mode] { modeClicked(mode); });
        ++i;
    }
}

void RigTuneWindow::buildScan() {
    chkScan = new QCheckBox(QStringLiteral("Scan"), m_canvas);
    chkScan->setObjectName(QStringLiteral("chkScan"));
    chkScan->setAccessibleName(QStringLiteral("Scan"));
    chkScan->installEventFilter(this);
    m_canvas->place(chkScan, 120, 3000, 900, 300);
    connect(chkScan, &QCheckBox::clicked, this, &RigTuneWindow::chkScan_Click);
    const auto box = [this](const QString& name, const QString& label, const QString& text, int left) {
        auto* c = caption(label, m_canvas);
        m_canvas->place(c, left, 3020, 560, 260);
        auto* edit = new QLineEdit(text, m_canvas);
        edit->setObjectName(name);
        edit->setAccessibleName(label);
        edit->installEventFilter(this);
        c->setBuddy(edit);
        m_canvas->place(edit, left + 580, 2980, 1000, 340);
        return edit;
    };
    txtFrom = box(QStringLiteral("txtFrom"), QStringLiteral("From:"), QStringLiteral("1.8"), 1160);
    txtTo = box(QStringLiteral("txtTo"), QStringLiteral("To:"), QStringLiteral("54"), 2960);

    auto* frame = new QGroupBox(QStringLiteral("Scan Steps"), m_canvas);
    frame->setObjectName(QStringLiteral("fraScanSteps"));
    frame->setAccessibleName(QStringLiteral("Scan Steps"));
    m_canvas->place(frame, 120, 3480, 6560, 760);
    m_stepGroup = new QButtonGroup(this);
    const QList<ScanStep>& steps = scanSteps();
    for (int i = 0; i < steps.size(); ++i) {
        auto* option = new QRadioButton(steps.at(i).caption, m_canvas);
        option->setObjectName(QStringLiteral("optStep%1").arg(i));
        option->setAccessibleName(steps.at(i).caption + QStringLiteral(" scan step"));
        option->installEventFilter(this);
        m_canvas->place(option, 300 + i * 1260, 3800, 1200, 300);
        m_stepGroup->addButton(option, i);
        optStep.append(option);
    }
    optStep.first()->setChecked(true);
}

void RigTuneWindow::setTabOrder() {
    QList<QWidget*> order{txtFreq, Command1};
    order += QList<QWidget*>(cmdTune.begin(), cmdTune.end());
    order += QList<QWidget*>(cmdBand.begin(), cmdBand.end());
    order += {cmdAM, cmdCW, cmdFM, cmdLSB, cmdRTTY, cmdUSB, chkScan, txtFrom, txtTo};
    order += QList<QWidget*>(optStep.begin(), optStep.end());
    order += cmdDone;
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    }
}

// ---- actions -----------------------------------------------------------------------------

bool RigTuneWindow::radioChosen() const {
    return m_link.family().transport != RigTransportKind::None;
}

void RigTuneWindow::Command1_Click() {
    const auto mhz = panelNumber(txtFreq->text());
    if (mhz && radioChosen()) {
        m_link.ChangeFrequency(*mhz);
    }
}

void RigTuneWindow::cmdTune_Click(int index) {
    const QList<TuneStep>& steps = tuneSteps();
    const auto mhz = panelNumber(txtFreq->text());
    if (!mhz || index < 0 || index >= 2 * steps.size()) {
        return;
    }
    const double step = steps.at(index % steps.size()).mhz * (index < steps.size() ? 1 : -1);
    if (const auto text = steppedFrequencyText(*mhz, step)) {
        txtFreq->setText(*text);
        Command1_Click();
    }
    cmdDone->setFocus(Qt::OtherFocusReason);
}

void RigTuneWindow::cmdBand_Click(int index) {
    txtFreq->setText(bandPresets().value(index).frequency);
    Command1_Click();
}

void RigTuneWindow::modeClicked(const QString& modeWord) {
    m_link.ChangeMode(0, modeWord);
    cmdDone->setFocus(Qt::OtherFocusReason);
}

void RigTuneWindow::chkScan_Click() {
    if (chkScan->isChecked() && !panelNumber(txtFreq->text())) {
        txtFreq->setText(txtFrom->text());
    }
    Command1->setFocus(Qt::OtherFocusReason);
}

double RigTuneWindow::scanStep() const {
    const int id = m_stepGroup->checkedId();
    return id >= 0 ? scanSteps().value(id).mhz : 0;
}

void RigTuneWindow::Timer1_Timer() {
    if (!chkScan->isChecked()) {
        return;
    }
    const auto mhz = panelNumber(txtFreq->text());
    const auto from = panelNumber(txtFrom->text());
    const auto to = panelNumber(txtTo->text());
    if (!mhz || !from || !to) {
        return;
    }
    // A tick while the last step is still on its way to the radio waits for the next one,
    // so that every frequency shown reaches the radio, in order, and the poll runs between.
    if (m_link.commandRunning() || m_link.commandsWaiting() > 0) {
        return;
    }
    const double next = nextScanFrequency(*mhz, *from, *to, scanStep());
    const QString text = scanFrequencyText(next);
    if (text == txtFreq->text()) {
        return; // no step chosen: nothing new to send
    }
    txtFreq->setText(text);
    Command1_Click();
}

bool RigTuneWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (chkScan->isChecked()) {
        // Any key stops the scan, and does nothing else.
        chkScan->setChecked(false);
        return true;
    }
    if (watched == txtFreq && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        Command1_Click();
        txtFreq->setFocus(Qt::OtherFocusReason);
        txtFreq->end(false);
        return true;
    }
    if ((watched == txtFreq || watched == txtFrom || watched == txtTo) && !acceptedInNumberBox(key)) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ditlog
