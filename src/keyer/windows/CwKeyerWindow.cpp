// The CW keyer window: layout, typing rules and the buttons.
#include "keyer/windows/CwKeyerWindow.h"

#include "keyer/CwKeyer.h"
#include "keyer/windows/FormControls.h"
#include "keyer/windows/MessageKeysPanel.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace ditlog {

namespace {
constexpr QSize kDesign(9600, 7900);
// The keying options through the radio take two rows; everything under them moves down.
constexpr int kRadioRows = 600;
constexpr int kRowTop = 240;
constexpr int kRowStep = 390;
constexpr int kRight = 5500;
const char* const kMessageNames[] = {"Text1", "Text2", "Text3", "Text4",  "Text5", "Text6",
                                     "Text7", "Text8", "Text9", "Text12", "Text13"};
const QString kDigits = QStringLiteral("0123456789");
} // namespace

CwKeyerWindow::CwKeyerWindow(CwKeyer& keyer, QString workingFolder, const Screen& screen,
                             UserPrompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), m_keyer(keyer), m_workingFolder(std::move(workingFolder)),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("CWFrm"));
    setWindowTitle(QStringLiteral("CW String Selections"));
    m_canvas = new DesignCanvas(kDesign, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    buildMessages(*m_canvas);
    buildKeyingOptions(*m_canvas);
    buildSpeed(*m_canvas);
    buildTiming(*m_canvas);
    buildButtons(*m_canvas);
    connectFields();
    setTabOrder();
    // The keys Enter sends: a block of its own, kept in the settings store.
    messageKeys = new MessageKeysPanel(m_keyer.settingsStore(), *m_canvas, this);
    messageKeys->chainTabOrder(messages[10], optRTS);

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, prompts);
    refresh();
}

void CwKeyerWindow::buildMessages(DesignCanvas& canvas) {
    for (int i = 0; i < 11; ++i) {
        const QString key = QStringLiteral("F%1").arg(i + 1);
        const int top = kRowTop + i * kRowStep;
        placeLabel(canvas, QStringLiteral("lblKey%1").arg(i + 1), key, {150, top, 450, 330});
        messages[i] = placeField(canvas, QLatin1String(kMessageNames[i]),
                                 QStringLiteral("%1 message").arg(key), {650, top, 4600, 330});
        messages[i]->installEventFilter(this);
    }
    const int f12 = kRowTop + 11 * kRowStep;
    placeLabel(canvas, QStringLiteral("lblKey12"), QStringLiteral("F12"), {150, f12, 450, 330});
    placeLabel(canvas, QStringLiteral("lblKeyboard"), QStringLiteral("Keyboard"), {650, f12, 2000, 330});
    placeLabel(canvas, QStringLiteral("lblWildcards"),
               QStringLiteral("Wildcards are $ for Call, * for RST  and # for Number (where "
                              "applicable).  A ! in the string enters the contact."),
               {150, f12 + 420, 5100, 500});
    placeLabel(canvas, QStringLiteral("lblProsigns"),
               QStringLiteral("Prosigns:  [ = AR   ] = SK   ; = KN   \\ = CL   = = BT"),
               {150, f12 + 960, 5100, 300});
}

void CwKeyerWindow::buildKeyingOptions(DesignCanvas& canvas) {
    placeFrame(canvas, QStringLiteral("fraKeying"), QStringLiteral("Keying Options"),
               {kRight, 120, 3950, 1750 + kRadioRows});
    optRTS = placeOption(canvas, QStringLiteral("optRTS"), QStringLiteral("RTS"),
                         {kRight + 150, 420, 1100, 300});
    optDTR = placeOption(canvas, QStringLiteral("optDTR"), QStringLiteral("DTR"),
                         {kRight + 150, 760, 1100, 300});
    optPrinter = placeOption(canvas, QStringLiteral("optPrinter"), QStringLiteral("Printer"),
                             {kRight + 150, 1100, 1100, 300});
    optNone = placeOption(canvas, QStringLiteral("optNone"), QStringLiteral("None"), {kRight + 150, 1440, 1100, 300});
    optWinKey = placeOption(canvas, QStringLiteral("optWinKey"), QStringLiteral("WinKey"),
                            {kRight + 1350, 1440, 1150, 300});
    // Through the radio's own link: a line of the port the rig link holds, or its keyer.
    optRigDTR = placeOption(canvas, QStringLiteral("optRigDTR"), QStringLiteral("Rig port DTR"),
                            {kRight + 150, 1780, 1800, 300});
    optRigRTS = placeOption(canvas, QStringLiteral("optRigRTS"), QStringLiteral("Rig port RTS"),
                            {kRight + 2000, 1780, 1800, 300});
    optCAT = placeOption(canvas, QStringLiteral("optCAT"), QStringLiteral("Radio (CAT)"),
                         {kRight + 150, 2120, 1800, 300});
    m_lines = new QButtonGroup(this);
    const std::pair<QRadioButton*, KeyingLineChoice> lines[] = {
        {optRTS, KeyingLineChoice::Rts},         {optDTR, KeyingLineChoice::Dtr},
        {optPrinter, KeyingLineChoice::Printer}, {optNone, KeyingLineChoice::None},
        {optWinKey, KeyingLineChoice::WinKey},   {optRigDTR, KeyingLineChoice::RigDtr},
        {optRigRTS, KeyingLineChoice::RigRts},   {optCAT, KeyingLineChoice::RadioCat}};
    for (const auto& [option, line] : lines) {
        m_lines->addButton(option, int(line));
        connect(option, &QRadioButton::toggled, this, [this, line](bool on) {
            if (on && !m_filling) {
                keyingOptionChosen(line);
            }
        });
    }
    placeLabel(canvas, QStringLiteral("lblSerial"), QStringLiteral("Serial"), {kRight + 1350, 420, 900, 300});
    Text10 = placeField(canvas, QStringLiteral("Text10"), QStringLiteral("Serial"),
                        {kRight + 2300, 420, 800, 330});
    placeLabel(canvas, QStringLiteral("lblParallel"), QStringLiteral("Parallel"),
               {kRight + 1350, 800, 900, 300});
    Text14 = placeField(canvas, QStringLiteral("Text14"), QStringLiteral("Parallel"),
                        {kRight + 2300, 760, 1100, 330});
    cmdConfigureWinkey = placeButton(canvas, QStringLiteral("cmdConfigureWinkey"),
                                     QStringLiteral("Configure Winkey"), {kRight + 1350, 1100, 2400, 300});
    connect(cmdConfigureWinkey, &QPushButton::clicked, this, &CwKeyerWindow::configureWinKeyRequested);
}

void CwKeyerWindow::buildSpeed(DesignCanvas& canvas) {
    // Speed, spacing and repeat in a frame of their own, read whole before the timing.
    placeFrame(canvas, QStringLiteral("fraSending"), QStringLiteral("Sending"),
               {kRight, 1900 + kRadioRows, 4050, 1850});
    placeLabel(canvas, QStringLiteral("lblSpeed"), QStringLiteral("WPM"),
               {kRight + 120, 2150 + kRadioRows, 650, 300});
    Text11 = placeField(canvas, QStringLiteral("Text11"), QStringLiteral("WPM"),
                        {kRight + 800, 2130 + kRadioRows, 650, 330});
    auto* faster = placeButton(canvas, QStringLiteral("cmdFaster"), QStringLiteral("Faster"),
                               {kRight + 1550, 2130 + kRadioRows, 1100, 330});
    auto* slower = placeButton(canvas, QStringLiteral("cmdSlower"), QStringLiteral("Slower"),
                               {kRight + 2750, 2130 + kRadioRows, 1100, 330});
    connect(faster, &QPushButton::clicked, this, [this] { m_keyer.UpDown1_UpClick(); });
    connect(slower, &QPushButton::clicked, this, [this] { m_keyer.UpDown1_DownClick(); });
    placeLabel(canvas, QStringLiteral("lblSpace"), QStringLiteral("Word Space"),
               {kRight + 120, 2570 + kRadioRows, 1000, 300});
    txtSpace = placeField(canvas, QStringLiteral("txtSpace"), QStringLiteral("Word Space"),
                          {kRight + 1150, 2550 + kRadioRows, 500, 330});
    auto* less = placeButton(canvas, QStringLiteral("cmdLess"), QStringLiteral("Less"),
                             {kRight + 1750, 2550 + kRadioRows, 1000, 330});
    auto* more = placeButton(canvas, QStringLiteral("cmdMore"), QStringLiteral("More"),
                             {kRight + 2850, 2550 + kRadioRows, 1000, 330});
    connect(less, &QPushButton::clicked, this, [this] { adjustWordSpace(-1); });
    connect(more, &QPushButton::clicked, this, [this] { adjustWordSpace(1); });
    placeLabel(canvas, QStringLiteral("lblRepeat"), QStringLiteral("Loop (Sec)"),
               {kRight + 120, 2990 + kRadioRows, 1000, 300});
    txtCWLoop = placeField(canvas, QStringLiteral("txtCWLoop"), QStringLiteral("Loop (Sec)"),
                           {kRight + 1150, 2970 + kRadioRows, 700, 330});
    Check1 = placeCheck(canvas, QStringLiteral("Check1"),
                        QStringLiteral("Display CW text on main form (NA for WinKey)."),
                        {kRight + 120, 3370 + kRadioRows, 3900, 330});
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_filling) {
            m_keyer.setDisplay(on);
        }
    });
}

void CwKeyerWindow::buildTiming(DesignCanvas& canvas) {
    placeFrame(canvas, QStringLiteral("fraTiming"), QStringLiteral("Timing Options: "),
               {kRight, 3920 + kRadioRows, 3950, 1900});
    optTimer = placeOption(canvas, QStringLiteral("optTimer"), QStringLiteral("Timer"),
                           {kRight + 150, 4200 + kRadioRows, 1100, 300});
    optLoop = placeOption(canvas, QStringLiteral("optLoop"), QStringLiteral("Loop"),
                          {kRight + 1350, 4200 + kRadioRows, 1100, 300});
    OptSleep = placeOption(canvas, QStringLiteral("OptSleep"), QStringLiteral("Sleep"),
                           {kRight + 2550, 4200 + kRadioRows, 1100, 300});
    optTimer->setToolTip(QStringLiteral("Times by Windows System time."));
    optLoop->setToolTip(QStringLiteral("Times by a For Next loop."));
    OptSleep->setToolTip(QStringLiteral("Times by Windows System time."));
    m_timing = new QButtonGroup(this);
    for (QRadioButton* o : {optTimer, optLoop, OptSleep}) {
        m_timing->addButton(o);
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !m_filling) {
                timingOptionChosen();
            }
        });
    }
    lblLoop = placeLabel(canvas, QStringLiteral("lblLoop"), QStringLiteral("Loop Delay"),
                         {kRight + 150, 4580 + kRadioRows, 1100, 300});
    txtLoop = placeField(canvas, QStringLiteral("txtLoop"), QStringLiteral("Loops per 60 ms"),
                         {kRight + 1300, 4560 + kRadioRows, 1300, 330});
    txtLoop->setToolTip(QStringLiteral("Loops per 60 ms"));
    cmdLoopFaster =
        placeButton(canvas, QStringLiteral("cmdLoopFaster"), QStringLiteral("Speed up CW"),
                    {kRight + 150, 4980 + kRadioRows, 1800, 330});
    cmdLoopSlower =
        placeButton(canvas, QStringLiteral("cmdLoopSlower"), QStringLiteral("Slow Down CW"),
                    {kRight + 2050, 4980 + kRadioRows, 1800, 330});
    connect(cmdLoopFaster, &QPushButton::clicked, this, [this] { scaleLoop(0.9); });
    connect(cmdLoopSlower, &QPushButton::clicked, this, [this] { scaleLoop(1.111111111111); });
    placeLabel(canvas, QStringLiteral("lblTimerNote"),
               QStringLiteral("Timer is the preferred option on most systems. "),
               {kRight + 150, 5360 + kRadioRows, 3700, 420});
    connect(&m_keyer, &CwKeyer::loopCalibrated, this,
            [this](double loops) { txtLoop->setText(QString::number(qint64(loops))); });
}

void CwKeyerWindow::buildButtons(DesignCanvas& canvas) {
    placeLabel(canvas, QStringLiteral("lblPrecise"),
               QStringLiteral("For the most precise timing, do not run any other programs, virus "
                              "software etc. while transmitting."),
               {kRight, 5860 + kRadioRows, 3950, 620});
    lblPriority = placeLabel(canvas, QStringLiteral("lblPriority"), QString(),
                             {kRight, 6480 + kRadioRows, 3950, 260});
    lblPriority->setAccessibleName(QStringLiteral("Keying priority"));
    cmdTest = placeButton(canvas, QStringLiteral("cmdTest"), QStringLiteral("&Test"),
                          {150, 6750 + kRadioRows, 1300, 400});
    lblSending = placeLabel(canvas, QStringLiteral("lblSending"), QStringLiteral("Sending!"),
                            {1550, 6800 + kRadioRows, 1100, 300});
    lblSending->hide();
    cmdCodePractice =
        placeButton(canvas, QStringLiteral("cmdCodePractice"), QStringLiteral("Send Code Practice"),
                    {2800, 6750 + kRadioRows, 2400, 400});
    cmdDone = placeButton(canvas, QStringLiteral("cmdDone"), QStringLiteral("Done"),
                          {kRight + 2450, 6750 + kRadioRows, 1500, 400});
    connect(cmdTest, &QPushButton::clicked, this, &CwKeyerWindow::cmdTest_Click);
    connect(cmdCodePractice, &QPushButton::clicked, this, &CwKeyerWindow::codePracticeRequested);
    connect(cmdDone, &QPushButton::clicked, this, &CwKeyerWindow::cmdDone_Click);
    connect(&m_keyer, &CwKeyer::sendingFinished, lblSending, &QWidget::hide);
}

void CwKeyerWindow::connectFields() {
    for (int i = 0; i < 11; ++i) {
        QLineEdit* field = messages[i];
        connect(field, &QLineEdit::textChanged, this, [this, field, i] {
            cleanMessageText(field);
            if (!m_filling) {
                m_keyer.setMessage(i, field->text());
            }
        });
    }
    for (QLineEdit* f : {Text10, Text11, txtSpace, Text14, txtLoop, txtCWLoop}) {
        f->installEventFilter(this);
    }
    connect(Text11, &QLineEdit::textEdited, this, [this](const QString& t) { m_keyer.setSpeedText(t); });
    connect(txtSpace, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (isNumericText(t) && leadingNumber(t) < -8) {
            txtSpace->setText(QStringLiteral("-8"));
        }
        m_keyer.setWordSpaceText(txtSpace->text());
    });
    connect(Text14, &QLineEdit::textEdited, this, [this](const QString& t) { m_keyer.setParallelText(t); });
    connect(txtCWLoop, &QLineEdit::textEdited, this, [this](const QString& t) { m_keyer.editRepeatText(t); });
    connect(txtLoop, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (isNumericText(t)) {
            m_keyer.setLoopsPer60ms(leadingNumber(t));
        }
    });
    connect(&m_keyer, &CwKeyer::speedChanged, this, [this](const QString& speed) {
        if (Text11->text() != speed) {
            Text11->setText(speed);
        }
    });
    connect(&m_keyer, &CwKeyer::settingsChanged, this, [this] {
        if (!m_filling) {
            refresh();
        }
    });
}

void CwKeyerWindow::setTabOrder() {
    QList<QWidget*> order(messages.begin(), messages.end());
    order << optRTS << Text10 << optDTR << Text14 << optPrinter << cmdConfigureWinkey << optNone
          << optWinKey << optRigDTR << optRigRTS << optCAT << Text11
          << findChild<QPushButton*>(QStringLiteral("cmdFaster"))
          << findChild<QPushButton*>(QStringLiteral("cmdSlower")) << txtSpace
          << findChild<QPushButton*>(QStringLiteral("cmdLess"))
          << findChild<QPushButton*>(QStringLiteral("cmdMore")) << txtCWLoop << Check1 << optTimer
          << optLoop << OptSleep << txtLoop << cmdLoopFaster << cmdLoopSlower << cmdTest
          << cmdCodePractice << cmdDone;
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    }
}

void CwKeyerWindow::refresh() {
    m_filling = true;
    const CwSettings& s = m_keyer.settings();
    for (int i = 0; i < 11; ++i) {
        messages[i]->setText(s.messages[i]);
    }
    Text10->setText(s.portText);
    Text11->setText(s.speedText);
    txtSpace->setText(s.wordSpaceText);
    Text14->setText(s.parallelText);
    txtCWLoop->setText(s.repeatText);
    Check1->setChecked(s.display == 1);
    if (QAbstractButton* line = m_lines->button(int(s.keyingLine))) {
        line->setChecked(true);
    }
    cmdConfigureWinkey->setVisible(s.keyingLine == KeyingLineChoice::WinKey);
    const TimingMethod method = m_keyer.timingMethod();
    (method == TimingMethod::Loop ? optLoop : method == TimingMethod::Sleep ? OptSleep : optTimer)
        ->setChecked(true);
    txtLoop->setText(QString::number(qint64(m_keyer.loopsPer60ms())));
    showLoopControls();
    showPriority();
    if (messageKeys != nullptr) {
        messageKeys->refresh();
    }
    m_filling = false;
}

void CwKeyerWindow::showNormalInFront() {
    showNormal();
    raise();
    activateWindow();
}

void CwKeyerWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    showPriority();
}

void CwKeyerWindow::showPriority() {
    const KeyingEngine& engine = m_keyer.engine();
    lblPriority->setText(engine.realTime() ? QStringLiteral("Keying thread: real-time")
                                           : QStringLiteral("Keying thread: normal priority: timing may vary"));
    lblPriority->setToolTip(engine.priorityDescription()); // how, or why not
    lblPriority->setAccessibleDescription(engine.priorityDescription());
}

void CwKeyerWindow::keyingOptionChosen(KeyingLineChoice line) {
    if (const QString refusal = m_keyer.keyingLineRefusal(line); !refusal.isEmpty()) {
        // A rig-port line that cannot key stays unchosen; a radio without a CAT keyer
        // leaves the keyer with "None".
        const KeyingLineChoice back =
            line == KeyingLineChoice::RadioCat ? KeyingLineChoice::None : m_keyer.keyingLine();
        m_prompts.beep();
        m_prompts.message(QStringLiteral("Keying Options"), refusal, PromptButtons::Ok,
                          PromptIcon::Warning);
        line = back;
        m_filling = true;
        m_lines->button(int(back))->setChecked(true);
        m_filling = false;
    }
    m_filling = true;
    m_keyer.setKeyingLine(line);
    m_filling = false;
    cmdConfigureWinkey->setVisible(line == KeyingLineChoice::WinKey);
    if (line == KeyingLineChoice::WinKey) {
        Q_EMIT winKeyChosen();
    }
}

void CwKeyerWindow::timingOptionChosen() {
    const TimingMethod method = optLoop->isChecked()    ? TimingMethod::Loop
                                : OptSleep->isChecked() ? TimingMethod::Sleep
                                                        : TimingMethod::Timer;
    m_keyer.setTimingMethod(method);
    txtLoop->setText(QString::number(qint64(m_keyer.loopsPer60ms())));
    showLoopControls();
}

void CwKeyerWindow::showLoopControls() {
    const bool loop = optLoop->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{txtLoop, lblLoop, cmdLoopFaster, cmdLoopSlower}) {
        w->setEnabled(loop);
    }
}

void CwKeyerWindow::scaleLoop(double factor) {
    const double loops = std::round(leadingNumber(txtLoop->text()) * factor);
    txtLoop->setText(QString::number(qint64(loops)));
    m_keyer.setLoopsPer60ms(loops);
    cmdDone->setFocus(Qt::OtherFocusReason);
}

void CwKeyerWindow::adjustWordSpace(int delta) {
    if (!isNumericText(txtSpace->text())) {
        txtSpace->setText(QStringLiteral("0"));
    }
    const int value = int(leadingNumber(txtSpace->text())) + delta;
    txtSpace->setText(QString::number(std::max(-8, value)));
    m_keyer.setWordSpaceText(txtSpace->text());
}

bool CwKeyerWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr) {
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            fieldLeft(field);
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        return fieldKeyPress(field, static_cast<QKeyEvent*>(event));
    }
    return false;
}

bool CwKeyerWindow::fieldKeyPress(QLineEdit* field, QKeyEvent* key) {
    if (field == Text10 || field == Text11) {
        return refusedUnlessIn(key, kDigits);
    }
    if (field == txtSpace) {
        return refusedUnlessIn(key, QStringLiteral("-./") + kDigits);
    }
    if (field == txtCWLoop || field == txtLoop) {
        return refusedUnlessIn(key, QStringLiteral(".") + kDigits);
    }
    if (key->text() == QLatin1String("\"")) {
        return true; // a message cannot hold a double quote
    }
    return false;
}

void CwKeyerWindow::fieldLeft(QLineEdit* field) {
    if (field == Text10) {
        if (!isNumericText(Text10->text())) {
            Text10->setText(QStringLiteral("0"));
        }
        // A port that is open and was not changed is left alone (reopening it would
        // drop and clear its lines for nothing).
        const bool changed = Text10->text() != m_keyer.settings().portText;
        m_keyer.setPortText(Text10->text());
        const KeyingLineChoice line = m_keyer.keyingLine();
        if ((line == KeyingLineChoice::Rts || line == KeyingLineChoice::Dtr) &&
            (changed || !m_keyer.keyingPortOpen()) && !m_keyer.isSending()) {
            m_keyer.CWSetup();
        }
    } else if (field == Text11) {
        if (!isNumericText(Text11->text())) {
            Text11->setText(QStringLiteral("0"));
        }
        m_keyer.setSpeedText(Text11->text());
    } else if (field == txtSpace) {
        if (!isNumericText(txtSpace->text())) {
            txtSpace->setText(QStringLiteral("0"));
        }
        m_keyer.setWordSpaceText(txtSpace->text());
    } else if (field == txtCWLoop) {
        txtCWLoop->setText(m_keyer.applyRepeatText(txtCWLoop->text()));
    }
}

void CwKeyerWindow::cmdTest_Click() {
    const KeyingLineChoice line = m_keyer.keyingLine();
    if ((line == KeyingLineChoice::Rts || line == KeyingLineChoice::Dtr) &&
        leadingNumber(m_keyer.settings().portText) < 1) {
        m_prompts.message(QStringLiteral("A com port is required."),
                          QStringLiteral("Please enter a com port for CW rig interface."));
        Text10->setFocus(Qt::OtherFocusReason);
        return;
    }
    lblSending->show();
    m_keyer.FKeyCW(120);
    if (!m_keyer.isSending()) {
        lblSending->hide();
    }
    if (isVisible()) {
        messages[0]->setFocus(Qt::OtherFocusReason);
    }
}

void CwKeyerWindow::cmdDone_Click() {
    // What the fields hold is stored, also in a field not left yet.
    m_keyer.setPortText(Text10->text());
    m_keyer.setSpeedText(Text11->text());
    m_keyer.setWordSpaceText(txtSpace->text());
    m_keyer.setParallelText(Text14->text());
    txtCWLoop->setText(m_keyer.applyRepeatText(txtCWLoop->text()));
    if (const auto error = m_keyer.saveSettingsFile(m_workingFolder)) {
        m_prompts.message(QStringLiteral("Unable to write file."), *error, PromptButtons::Ok,
                          PromptIcon::Critical);
    }
    m_keyer.storeTimingSettings();
    hide();
    Q_EMIT done();
}

} // namespace ditlog
