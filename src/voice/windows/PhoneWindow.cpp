// Voice keyer window: nine key rows with "Browse", the push-to-talk controls, the repeat
// field, the two output choices, "Test", "Stop" and "Done", with the typing rules of the
// fields.
#include "voice/windows/PhoneWindow.h"

#include "log/RecordFile.h"
#include "platform/AudioOutputs.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"
#include "voice/PhoneKeyer.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>

namespace ditlog {

namespace {
// Design layout in twips: a row per function key (caption, file, "Browse"), then the
// push-to-talk port, line and address, the push-to-talk lines through the radio, the
// repeat, the two outputs and the three buttons.
constexpr QSize kDesignSize(7080, 7020);
constexpr double kDesignFontPt = 8.25;
constexpr int kLeft = 120;
constexpr int kRowTop = 180;
constexpr int kRowPitch = 400;
constexpr int kRowHeight = 330;
constexpr int kFileLeft = 600;
constexpr int kFileWidth = 5040;
constexpr int kBrowseLeft = 5760;
constexpr int kBrowseWidth = 1200;
constexpr int kPttTop = kRowTop + 9 * kRowPitch + 120;
// Push-to-talk through the radio's own link, on a row of its own under the lines.
constexpr int kRadioTop = kPttTop + 420;
constexpr int kAddressTop = kPttTop + 900;
constexpr int kOutputTop = kAddressTop + 480;
constexpr int kOutputPitch = 420;
constexpr int kOutputLeft = 2280;
constexpr int kButtonsTop = kOutputTop + 2 * kOutputPitch + 180;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 420;

// The parallel address field: no double quote, letters in capitals, as typed or pasted.
class AddressValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        const qsizetype before = input.size();
        input.remove(QLatin1Char('"'));
        input = input.toUpper();
        pos = std::max(0, pos - int(before - input.size()));
        return Acceptable;
    }
};

QLabel* caption(DesignCanvas& canvas, const QString& text, QWidget* buddy, int left, int top,
                int width) {
    auto* label = new QLabel(text, &canvas);
    label->setBuddy(buddy);
    canvas.place(label, left, top, width, kRowHeight);
    return label;
}
} // namespace

PhoneWindow::PhoneWindow(PhoneKeyer& keyer, AudioOutputs& outputs, QString workingFolder,
                         const Screen& screen, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_keyer(keyer), m_outputs(outputs), m_folder(std::move(workingFolder)),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("PhoneFrm"));
    setWindowTitle(QStringLiteral("Phone Wave Selections"));

    m_canvas = new DesignCanvas(kDesignSize, this);
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    buildKeyRows();
    buildPttControls();
    buildOutputChoices();

    QList<QWidget*> order;
    for (int i = 0; i < 9; ++i) {
        order << Text.at(i) << cmdBrowse.at(i);
    }
    order << Text10 << optRTS << optDTR << optParallel << optRigRTS << optRigDTR << optCAT << Text11
          << txtPHLoop << cboKeyerOutput << cboPromptOutput << cmdTest << cmdStop << cmdDone;
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }

    connect(cmdTest, &QPushButton::clicked, this, &PhoneWindow::cmdTest_Click);
    connect(cmdStop, &QPushButton::clicked, this, &PhoneWindow::cmdStop_Click);
    connect(cmdDone, &QPushButton::clicked, this, &PhoneWindow::cmdDone_Click);
    connect(&m_keyer, &PhoneKeyer::repeatArmedChanged, this, [this](bool armed) {
        if (!armed) {
            cmdStop->hide();
        }
    });

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);
    showSettings();
}

void PhoneWindow::buildKeyRows() {
    for (int i = 0; i < 9; ++i) {
        const int top = kRowTop + i * kRowPitch;
        const QString key = QStringLiteral("F%1").arg(i + 1);
        auto* field = new QLineEdit(m_canvas);
        field->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        field->setAccessibleName(key + QStringLiteral(" wave file"));
        m_canvas->place(field, kFileLeft, top, kFileWidth, kRowHeight);
        caption(*m_canvas, key, field, kLeft, top, kFileLeft - kLeft - 60);
        auto* browse = new QPushButton(QStringLiteral("Browse"), m_canvas);
        browse->setObjectName(QStringLiteral("cmdBrowse%1").arg(i + 1));
        browse->setAccessibleName(QStringLiteral("Browse for the ") + key + QStringLiteral(" wave file"));
        browse->setAutoDefault(false);
        m_canvas->place(browse, kBrowseLeft, top, kBrowseWidth, kRowHeight);
        connect(browse, &QPushButton::clicked, this, [this, i] { cmdBrowse_Click(i); });
        connect(field, &QLineEdit::textEdited, this, &PhoneWindow::takeFields);
        Text.at(std::size_t(i)) = field;
        cmdBrowse.at(std::size_t(i)) = browse;
    }
}

void PhoneWindow::buildPttControls() {
    Text10 = new QLineEdit(m_canvas);
    Text10->setObjectName(QStringLiteral("Text10"));
    Text10->setAccessibleName(QStringLiteral("PTT Port"));
    Text10->setAccessibleDescription(QStringLiteral("Serial port number for push-to-talk, 0 for none"));
    Text10->setMaxLength(3);
    m_canvas->place(Text10, kLeft + 1020, kPttTop, 600, kRowHeight);
    caption(*m_canvas, QStringLiteral("PTT Port"), Text10, kLeft, kPttTop, 960);
    Text10->installEventFilter(this);

    m_lines = new QButtonGroup(this);
    const QList<std::tuple<QString, QString, int>> lines{
        {QStringLiteral("optRTS"), QStringLiteral("RTS"), 2040},
        {QStringLiteral("optDTR"), QStringLiteral("DTR"), 2880},
        {QStringLiteral("optParallel"), QStringLiteral("Parallel"), 3720},
        {QStringLiteral("optRigRTS"), QStringLiteral("Rig port RTS"), 2040},
        {QStringLiteral("optRigDTR"), QStringLiteral("Rig port DTR"), 3720},
        {QStringLiteral("optCAT"), QStringLiteral("Radio (CAT)"), 5400}};
    QList<QRadioButton*> made;
    for (const auto& [name, text, left] : lines) {
        auto* option = new QRadioButton(text, m_canvas);
        option->setObjectName(name);
        option->setAccessibleDescription(QStringLiteral("Push-to-talk line"));
        const bool radio = made.size() >= 3;
        m_canvas->place(option, left, radio ? kRadioTop : kPttTop,
                        radio ? 1600 : left == 3720 ? 1200 : 800, kRowHeight);
        m_lines->addButton(option, int(made.size()));
        made.append(option);
    }
    optRTS = made.at(0);
    optDTR = made.at(1);
    optParallel = made.at(2);
    optRigRTS = made.at(3);
    optRigDTR = made.at(4);
    optCAT = made.at(5);
    // A line through the radio that cannot key is refused before the choice is taken.
    connect(m_lines, &QButtonGroup::idClicked, this, &PhoneWindow::refuseRadioLine);
    connect(m_lines, &QButtonGroup::idClicked, this, &PhoneWindow::takeFields);

    Text11 = new QLineEdit(m_canvas);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text11->setAccessibleName(QStringLiteral("Parallel Address"));
    Text11->setAccessibleDescription(QStringLiteral("Base address of the parallel port, such as &H378"));
    Text11->setValidator(new AddressValidator(Text11));
    Text11->setMaxLength(10);
    m_canvas->place(Text11, kLeft + 1380, kAddressTop, 900, kRowHeight);
    caption(*m_canvas, QStringLiteral("Parallel Address"), Text11, kLeft, kAddressTop, 1320);
    connect(Text11, &QLineEdit::textEdited, this, &PhoneWindow::takeFields);

    txtPHLoop = new QLineEdit(m_canvas);
    txtPHLoop->setObjectName(QStringLiteral("txtPHLoop"));
    txtPHLoop->setAccessibleName(QStringLiteral("Loop (Sec)"));
    txtPHLoop->setAccessibleDescription(
        QStringLiteral("Seconds between repeats of F1, below 60; 0 for no repeat"));
    txtPHLoop->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), txtPHLoop));
    txtPHLoop->setMaxLength(8);
    m_canvas->place(txtPHLoop, 4620, kAddressTop, 700, kRowHeight);
    caption(*m_canvas, QStringLiteral("Loop (Sec)"), txtPHLoop, 3600, kAddressTop, 960);
    txtPHLoop->installEventFilter(this);

    cmdTest = new QPushButton(QStringLiteral("Test"), m_canvas);
    cmdTest->setObjectName(QStringLiteral("cmdTest"));
    cmdTest->setToolTip(QStringLiteral("Plays F1 Command"));
    cmdTest->setAccessibleDescription(QStringLiteral("Plays F1 Command"));
    cmdStop = new QPushButton(QStringLiteral("Stop"), m_canvas);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdStop->setAccessibleDescription(QStringLiteral("Stops the repeat of F1"));
    cmdStop->hide();
    cmdDone = new QPushButton(QStringLiteral("Done"), m_canvas);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    const int gap = (kDesignSize.width() - 3 * kButtonWidth) / 4;
    int left = gap;
    for (QPushButton* b : {cmdTest, cmdStop, cmdDone}) {
        b->setAutoDefault(false);
        m_canvas->place(b, left, kButtonsTop, kButtonWidth, kButtonHeight);
        left += kButtonWidth + gap;
    }
}

void PhoneWindow::refuseRadioLine(int id) {
    const QString why = m_keyer.pttLineRefusal(PhonePttLine(id));
    if (why.isEmpty()) {
        return;
    }
    m_lines->button(int(m_keyer.settings().pttLine))->setChecked(true);
    m_prompts.beep();
    m_prompts.message(QStringLiteral("Push-to-talk"), why, PromptButtons::Ok, PromptIcon::Warning);
}

void PhoneWindow::buildOutputChoices() {
    const std::pair<QString, QString> choices[] = {
        {QStringLiteral("cboKeyerOutput"), QStringLiteral("Voice keyer output")},
        {QStringLiteral("cboPromptOutput"), QStringLiteral("Prompts and speech output")}};
    int top = kOutputTop;
    for (const auto& [name, text] : choices) {
        auto* box = new QComboBox(m_canvas);
        box->setObjectName(name);
        box->setAccessibleName(text);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_canvas->place(box, kOutputLeft, top, kDesignSize.width() - kOutputLeft - kLeft, kRowHeight);
        caption(*m_canvas, text, box, kLeft, top, kOutputLeft - kLeft - 60);
        connect(box, &QComboBox::activated, this, &PhoneWindow::takeFields);
        (name == QLatin1String("cboKeyerOutput") ? cboKeyerOutput : cboPromptOutput) = box;
        top += kOutputPitch;
    }
    cboKeyerOutput->setAccessibleDescription(
        QStringLiteral("Where the voice messages play: the radio's sound card"));
    cboPromptOutput->setAccessibleDescription(
        QStringLiteral("Where the spoken prompts and speech play: the operator's headphones"));
    // A sound card plugged in or out while the window is open.
    connect(&m_outputs, &AudioOutputs::outputsChanged, this, [this] {
        if (isVisible()) {
            listOutputs();
        }
    });
}

void PhoneWindow::listOutputs() {
    const QList<AudioOutput> present = m_outputs.outputs();
    const PhoneSettings& s = m_keyer.settings();
    for (const auto& [box, chosen] : {std::pair{cboKeyerOutput, s.keyerOutput},
                                      std::pair{cboPromptOutput, s.promptOutput}}) {
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItem(QStringLiteral("Default output"), QByteArray());
        for (const AudioOutput& output : present) {
            box->addItem(output.description, output.id);
        }
        int index = box->findData(chosen);
        if (index < 0) {
            box->addItem(QStringLiteral("Not connected: ") + QString::fromLatin1(chosen), chosen);
            index = box->count() - 1;
        }
        box->setCurrentIndex(index);
    }
}

void PhoneWindow::showSettings() {
    const PhoneSettings& s = m_keyer.settings();
    for (int i = 0; i < 9; ++i) {
        Text.at(std::size_t(i))->setText(s.files.at(std::size_t(i)));
    }
    Text10->setText(s.pttPort);
    Text11->setText(s.parallelAddress);
    txtPHLoop->setText(s.repeatSeconds);
    m_lines->button(int(s.pttLine))->setChecked(true);
    cmdStop->setVisible(m_keyer.repeatArmed());
    // The outputs are asked of the sound service only when the window is seen.
    if (isVisible()) {
        listOutputs();
    } else {
        cboKeyerOutput->clear();
        cboPromptOutput->clear();
    }
}

void PhoneWindow::takeFields() {
    // The keys read the window's fields: every edit counts at once; the port and the
    // repeat are taken when their fields are left.
    PhoneSettings s = m_keyer.settings();
    for (int i = 0; i < 9; ++i) {
        s.files.at(std::size_t(i)) = Text.at(std::size_t(i))->text();
    }
    s.parallelAddress = Text11->text();
    s.pttLine = PhonePttLine(std::max(0, m_lines->checkedId()));
    if (cboKeyerOutput->count() > 0) {
        s.keyerOutput = cboKeyerOutput->currentData().toByteArray();
        s.promptOutput = cboPromptOutput->currentData().toByteArray();
    }
    m_keyer.setSettings(s);
}

bool PhoneWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == Text10) {
                Text10->setText(m_keyer.setPttPortField(Text10->text()));
            } else if (watched == txtPHLoop) {
                txtPHLoop->setText(m_keyer.setRepeatField(txtPHLoop->text()));
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PhoneWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        showSettings();
    }
    QDialog::showEvent(event);
}

void PhoneWindow::cmdTest_Click() {
    m_keyer.FKeyPhone(PhoneKeyer::kF1);
    if (m_keyer.repeatArmed()) {
        cmdStop->show();
        if (isVisible()) {
            cmdDone->setFocus(Qt::OtherFocusReason);
        }
    }
}

void PhoneWindow::cmdStop_Click() {
    m_keyer.stopRepeat();
    cmdStop->hide();
}

void PhoneWindow::cmdBrowse_Click(int index) {
    QLineEdit* field = Text.at(std::size_t(index));
    const QFileInfo current(field->text().trimmed());
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.folder = !field->text().trimmed().isEmpty() && current.absoluteDir().exists()
                         ? current.absolutePath()
                         : m_folder;
    request.filter = QStringLiteral("(*.wav)|*.wav");
    const QString chosen = m_prompts.openFile(request);
    if (chosen.isEmpty()) {
        m_prompts.beep();
        return;
    }
    field->setText(QDir::toNativeSeparators(chosen));
    takeFields();
    cmdDone->setFocus(Qt::OtherFocusReason);
}

void PhoneWindow::cmdDone_Click() {
    hide();
    // A port or repeat typed and then "Done" by its shortcut was never left: take it.
    if (Text10->text() != m_keyer.settings().pttPort) {
        Text10->setText(m_keyer.setPttPortField(Text10->text()));
    }
    if (txtPHLoop->text() != m_keyer.settings().repeatSeconds) {
        txtPHLoop->setText(m_keyer.setRepeatField(txtPHLoop->text()));
    }
    takeFields();
    if (const auto error = writeWaveList(m_folder, m_keyer.settings())) {
        m_prompts.message(QStringLiteral("Unable to write file."), *error, PromptButtons::Ok,
                          PromptIcon::Critical);
    }
}

} // namespace ditlog
