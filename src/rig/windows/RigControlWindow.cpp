// Rig interface window: layout, the list's presets, Test / End Test / Done and the display
// of what the link decodes.
#include "rig/windows/RigControlWindow.h"

#include "platform/PortMap.h"
#include "platform/UserPrompts.h"
#include "rig/BandConversion.h"
#include "rig/BandPlan.h"
#include "rig/PegasusFile.h"
#include "rig/RigFamily.h"
#include "rig/RigHex.h"
#include "rig/RigLink.h"
#include "rig/RigTransport.h"
#include "rig/windows/RigNetworkOptions.h"
#include "rig/windows/RigPortOptions.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesignSize(9600, 6440);
constexpr double kDesignFontPt = 8.25;
constexpr int kRight = 5900; // the right-hand column
constexpr int kRightWidth = 3580;
constexpr int kRow = 260;

const QString kNoResponse = QStringLiteral("No Response");
const QString kPollingRig = QStringLiteral("Polling Rig");
const QString kWaitingForRadio = QStringLiteral("Waiting for the radio to return");

bool isNone(const QString& rigType) {
    return rigType.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* valueLabel(const QString& name, const QString& description, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAccessibleDescription(description);
    return label;
}
} // namespace

RigControlWindow::RigControlWindow(RigLink& link, PortMap& portMap, const QString& workingFolder,
                                   const QString& rigType, const Screen& screen, UserPrompts& prompts,
                                   QWidget* parent)
    : QDialog(parent), m_link(link), m_portMap(portMap), m_workingFolder(workingFolder),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("RigControlfrm"));
    setWindowTitle(QStringLiteral(" Rig Interface Setup"));

    m_canvas = new DesignCanvas(kDesignSize, this);
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    buildList();
    m_options = new RigPortOptions(*m_canvas, this);
    // Before the settings take the click: a power line that keys is refused.
    connect(m_options, &RigPortOptions::optionClicked, this, &RigControlWindow::refuseKeyedPower);
    m_network = new RigNetworkOptions(*m_canvas, this);
    buildPortDevice();
    buildQueries();
    buildDisplay();
    buildButtons();
    setTabOrder();

    connect(m_options, &RigPortOptions::optionClicked, this, [this] {
        if (!m_loading) {
            Command2_Click();
        }
    });
    connect(m_network, &RigNetworkOptions::edited, this, [this] {
        m_network->collect(m_settings);
        Command2_Click();
    });
    connect(&m_link.transport(), &RigTransport::statusChanged, this, [this](const QString& status) {
        m_network->showStatus(status);
        if (m_link.isPolling() && !m_link.transport().isReady()) {
            showNoResponse();
        }
    });
    connect(&m_link, &RigLink::replyProcessed, this, &RigControlWindow::showReply);
    connect(&m_link, &RigLink::respondingChanged, this, [this](bool responding) {
        if (!responding && m_link.isPolling()) {
            showNoResponse();
        }
    });
    connect(&m_link, &RigLink::lineFailed, this, &RigControlWindow::lineFailed);
    // A line that went away is looked for while the poll goes on: the indicator says so.
    connect(&m_link.transport(), &RigTransport::lineLost, this, [this](const QString& why) {
        showPollingIndicator(kWaitingForRadio, why);
        showNoResponse();
    });
    connect(&m_link.transport(), &RigTransport::lineRestored, this,
            [this] { showPollingIndicator(kPollingRig, {}); });
    connect(&m_link, &RigLink::pollingChanged, this, [this](bool polling) {
        showPollingIndicator(kPollingRig, {});
        Label2->setVisible(polling);
        Command2->setEnabled(polling);
    });

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);

    m_loading = true;
    loadSettings(rigType);
    m_loading = false;
}

RigControlWindow::~RigControlWindow() = default;

void RigControlWindow::buildList() {
    auto* label = caption(QStringLiteral("Select Rig:"), m_canvas);
    m_canvas->place(label, 120, 120, 1900, kRow);
    List1 = new QListWidget(m_canvas);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("Select Rig:"));
    label->setBuddy(List1);
    for (const RigFamily& f : rigFamilies()) {
        List1->addItem(f.name);
    }
    m_canvas->place(List1, 120, 380, 1900, 3960);
    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });

    Label10 = caption(QStringLiteral("Icom users: replace the 64 in both strings with the CI-V address "
                                     "of your radio (in hexadecimal)."),
                      m_canvas);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setWordWrap(true);
    m_canvas->place(Label10, 120, 4420, 1900, 900);
    Label10->hide();

    m_pegasusCaption = caption(QStringLiteral("Pegasus program folder:"), m_canvas);
    m_canvas->place(m_pegasusCaption, 120, 4420, 1900, kRow);
    txtPegasusFolder = new QLineEdit(m_canvas);
    txtPegasusFolder->setObjectName(QStringLiteral("txtPegasusFolder"));
    txtPegasusFolder->setAccessibleName(QStringLiteral("Pegasus program folder:"));
    txtPegasusFolder->setPlaceholderText(defaultPegasusFolder());
    m_pegasusCaption->setBuddy(txtPegasusFolder);
    m_canvas->place(txtPegasusFolder, 120, 4700, 1900, 300);
    connect(txtPegasusFolder, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_settings.pegasusFolder = text.trimmed(); });
}

void RigControlWindow::buildQueries() {
    const auto queryBox = [this](const QString& name, const QString& text, int top) {
        auto* label = caption(text, m_canvas);
        m_canvas->place(label, kRight, top, kRightWidth, kRow);
        auto* box = new QLineEdit(m_canvas);
        box->setObjectName(name);
        box->setAccessibleName(text);
        box->setMaxLength(200);
        label->setBuddy(box);
        m_canvas->place(box, kRight, top + kRow, kRightWidth, 300);
        box->installEventFilter(this);
        return box;
    };
    txtFreq = queryBox(QStringLiteral("txtFreq"), QStringLiteral("String to read frequency:"), 120);
    txtMode = queryBox(QStringLiteral("txtMode"), QStringLiteral("String to read mode:"), 740);
    connect(txtFreq, &QLineEdit::textChanged, this, [this](const QString& t) { m_settings.frequencyQuery = t; });
    connect(txtMode, &QLineEdit::textChanged, this, [this](const QString& t) { m_settings.modeQuery = t; });

    const auto box = [this](const QString& name, const QString& text, int left, int top) {
        auto* check = new QCheckBox(text, m_canvas);
        check->setObjectName(name);
        check->setAccessibleName(text);
        m_canvas->place(check, left, top, 1760, kRow);
        return check;
    };
    chkConvToHex = box(QStringLiteral("chkConvToHex"), QStringLiteral("Convert to Hex"), kRight, 1400);
    ChkConvHex = box(QStringLiteral("ChkConvHex"), QStringLiteral("Convert from Hex"), kRight + 1800, 1400);
    chkFrequency = box(QStringLiteral("chkFrequency"), QStringLiteral("Use Frequency"), kRight, 1700);
    connect(chkConvToHex, &QCheckBox::toggled, this, [this](bool on) {
        ChkConvHex->setChecked(on);
        m_settings.convertToHex = on ? 1 : 0;
    });
    connect(chkFrequency, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.useFrequency = on ? 1 : 0;
        RigSettings live = m_link.settings();
        live.useFrequency = m_settings.useFrequency;
        m_link.setSettings(live);
    });

    auto* frame = new QGroupBox(QStringLiteral("Mode by:"), m_canvas);
    frame->setObjectName(QStringLiteral("fraModeBy"));
    frame->setAccessibleName(QStringLiteral("Mode by:"));
    m_canvas->place(frame, kRight, 2000, kRightWidth, 560);
    auto* group = new QButtonGroup(frame);
    int left = 100;
    for (auto [member, name, text] : {std::tuple{&OptRig, "OptRig", "Rig"}, std::tuple{&OptFreq, "OptFreq", "Frequency"},
                                      std::tuple{&OptDont, "OptDont", "Don't Use"}}) {
        auto* option = new QRadioButton(QLatin1String(text), m_canvas);
        option->setObjectName(QLatin1String(name));
        option->setAccessibleName(QLatin1String(text));
        option->setAccessibleDescription(QStringLiteral("Mode by:"));
        m_canvas->place(option, kRight + left, 2000 + 240, 1140, kRow);
        left += 1160;
        group->addButton(option);
        *member = option;
        connect(option, &QRadioButton::clicked, this, &RigControlWindow::modeSourceClicked);
    }
}

void RigControlWindow::buildPortDevice() {
    auto* label = caption(QStringLiteral("Port device:"), m_canvas);
    m_portDeviceCaption = label;
    m_canvas->place(label, 2160, 4020, 1100, kRow);
    txtPortDevice = new QLineEdit(m_canvas);
    txtPortDevice->setObjectName(QStringLiteral("txtPortDevice"));
    txtPortDevice->setAccessibleName(QStringLiteral("Port device:"));
    txtPortDevice->setToolTip(QStringLiteral("The device of the chosen Comm Port number, such as /dev/ttyUSB0"));
    label->setBuddy(txtPortDevice);
    m_canvas->place(txtPortDevice, 3300, 4000, 2460, 300);
    connect(txtPortDevice, &QLineEdit::editingFinished, this, [this] {
        m_options->collect(m_settings);
        m_portMap.setMappedPath(m_settings.portNumber, txtPortDevice->text().trimmed());
        showPortDevice();
    });
    connect(m_options, &RigPortOptions::optionClicked, this, [this] {
        m_options->collect(m_settings);
        showPortDevice();
    });
}

bool RigControlWindow::refuseKeyedPower() {
    if (m_loading || !m_powerRefusal) {
        return false;
    }
    RigSettings chosen = m_settings;
    m_options->collect(chosen);
    const QString why = m_powerRefusal(chosen.power);
    if (why.isEmpty()) {
        return false;
    }
    m_options->show(m_settings); // the power option as it was
    m_prompts.beep();
    m_prompts.message(QStringLiteral("Connection Power"), why, PromptButtons::Ok,
                      PromptIcon::Warning);
    return true;
}

void RigControlWindow::showPortDevice() {
    txtPortDevice->setText(m_portMap.mappedPath(m_settings.portNumber));
    txtPortDevice->setPlaceholderText(PortMap::defaultDevicePath(m_settings.portNumber));
}

void RigControlWindow::buildDisplay() {
    const auto row = [this](const QString& text, QLabel* value, int top, int width) {
        m_canvas->place(caption(text, m_canvas), kRight, top, 1000, kRow);
        m_canvas->place(value, kRight + 1040, top, width, kRow);
    };
    lblFreq = valueLabel(QStringLiteral("lblFreq"), QStringLiteral("Frequency:"), m_canvas);
    row(QStringLiteral("Frequency:"), lblFreq, 2660, 2540);
    lblMode = valueLabel(QStringLiteral("lblMode"), QStringLiteral("Mode:"), m_canvas);
    row(QStringLiteral("Mode:"), lblMode, 2960, 600);
    auto* hint = caption(QStringLiteral("Should be PH or CW"), m_canvas);
    m_canvas->place(hint, kRight + 1700, 2960, 1880, kRow);

    Label2 = caption(kPollingRig, m_canvas);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_canvas->place(Label2, kRight, 3300, kRightWidth, kRow);
    Label2->hide();

    auto* raw = caption(QStringLiteral("Unprocessed data returned:"), m_canvas);
    m_canvas->place(raw, 2160, 4380, 3600, kRow);
    lblUnProcess = valueLabel(QStringLiteral("lblUnProcess"), QStringLiteral("Unprocessed data returned:"), m_canvas);
    lblUnProcess->setWordWrap(true);
    lblUnProcess->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblUnProcess->setFrameShape(QFrame::Panel);
    lblUnProcess->setFrameShadow(QFrame::Sunken);
    m_canvas->place(lblUnProcess, 2160, 4640, 7320, 760);
}

void RigControlWindow::buildButtons() {
    const auto button = [this](const QString& name, const QString& text, int left, int top, int width) {
        auto* b = new QPushButton(text, m_canvas);
        b->setObjectName(name);
        b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
        b->setAutoDefault(false);
        m_canvas->place(b, left, top, width, 400);
        return b;
    };
    Command1 = button(QStringLiteral("Command1"), QStringLiteral("Test"), 2160, 5500, 1100);
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("End Test"), 3400, 5500, 1100);
    Command3 = button(QStringLiteral("Command3"), QStringLiteral("Change Frequency"), 4640, 5500, 1900);
    Command4 = button(QStringLiteral("Command4"), QStringLiteral("Copy unprocessed data to clipboard"), 2160, 5960, 3600);
    cmdDone = button(QStringLiteral("cmdDone"), QStringLiteral("&Done"), 8380, 5960, 1100);
    Command2->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &RigControlWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &RigControlWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &RigControlWindow::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &RigControlWindow::Command4_Click);
    connect(cmdDone, &QPushButton::clicked, this, &RigControlWindow::cmdDone_Click);
}

void RigControlWindow::setTabOrder() {
    QList<QWidget*> order{List1, txtPegasusFolder};
    order += m_options->tabOrder();
    order += m_network->tabOrder();
    order += txtPortDevice;
    order += {txtFreq, txtMode, chkConvToHex, ChkConvHex, chkFrequency, OptRig, OptFreq, OptDont,
              Command1, Command2, Command3, Command4, cmdDone};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    }
}

// ---- settings ----------------------------------------------------------------------------

void RigControlWindow::loadSettings(const QString& rigType) {
    m_settings = RigSettings{};
    if (!loadRigSettings(m_workingFolder, m_settings)) {
        m_settings.rigType = rigType;
    }
    m_settings.rigType = rigFamily(m_settings.rigType).name;
    showSettings();
    const RigPreset& preset = rigFamily(m_settings.rigType).preset;
    chkConvToHex->setEnabled(preset.convertEnabled);
    Label10->setVisible(preset.icomNote);
    if (const auto plan = loadBandPlan(m_workingFolder)) {
        m_link.setBandPlanTable(bandPlanRowsOfClass(*plan, QStringLiteral("E")));
    }
    m_link.setSettings(m_settings);
}

void RigControlWindow::showSettings() {
    const bool wasLoading = m_loading;
    m_loading = true;
    const auto& families = rigFamilies();
    for (qsizetype i = 0; i < families.size(); ++i) {
        if (families.at(i).name == m_settings.rigType) {
            List1->setCurrentRow(int(i));
        }
    }
    m_options->show(m_settings);
    m_network->show(m_settings);
    showPortDevice();
    txtFreq->setText(m_settings.frequencyQuery);
    txtMode->setText(m_settings.modeQuery);
    txtPegasusFolder->setText(m_settings.pegasusFolder);
    chkConvToHex->setChecked(m_settings.convertToHex == 1);
    ChkConvHex->setChecked(m_settings.convertToHex == 1);
    chkFrequency->setChecked(m_settings.useFrequency == 1);
    OptRig->setChecked(m_settings.modeSource == ModeSource::Rig);
    OptFreq->setChecked(m_settings.modeSource == ModeSource::Frequency);
    OptDont->setChecked(m_settings.modeSource == ModeSource::DontUse);
    updateFamilyControls();
    m_loading = wasLoading;
}

void RigControlWindow::collectSettings() {
    m_options->collect(m_settings);
    m_network->collect(m_settings);
    m_settings.frequencyQuery = txtFreq->text();
    m_settings.modeQuery = txtMode->text();
}

void RigControlWindow::updateFamilyControls() {
    const bool pegasus = rigFamily(m_settings.rigType).transport == RigTransportKind::StatusFile;
    m_pegasusCaption->setVisible(pegasus);
    txtPegasusFolder->setVisible(pegasus);
    const bool network = rigFamily(m_settings.rigType).transport == RigTransportKind::Network;
    m_options->setSerialVisible(!network);
    m_portDeviceCaption->setVisible(!network);
    txtPortDevice->setVisible(!network);
    m_network->setVisible(network);
}

// ---- operations --------------------------------------------------------------------------

bool RigControlWindow::polling() const {
    return m_link.isPolling();
}

void RigControlWindow::Command1_Click() {
    const bool radio = !isNone(m_settings.rigType);
    if (radio) {
        lblMode->setText(kNoResponse);
        lblFreq->setText(kNoResponse);
        Command2->setEnabled(true);
        Label2->show();
        m_link.clearMode();
    }
    collectSettings();
    m_link.setSettings(m_settings);
    if (!radio) {
        return;
    }
    if (m_link.startPolling() == RigLink::StartResult::OpenFailed) {
        Command2->setEnabled(false);
        Label2->hide();
        invalidCommSettings();
    }
}

void RigControlWindow::Command2_Click() {
    lblMode->clear();
    lblFreq->clear();
    lblUnProcess->clear();
    m_link.stopPolling();
    Label2->hide();
    Command2->setEnabled(false);
}

void RigControlWindow::Command3_Click() {
    if (m_link.isPolling()) {
        Q_EMIT frequencyTestRequested();
        return;
    }
    const QString title = QStringLiteral("You must be polling your rig to test this function.");
    m_prompts.message(title,
                      title + QStringLiteral("  Please select your rig type and click the Test command button."),
                      PromptButtons::Ok, PromptIcon::Information);
}

void RigControlWindow::Command4_Click() {
    m_prompts.setClipboardText(lblUnProcess->text());
    cmdDone->setFocus(Qt::OtherFocusReason);
}

void RigControlWindow::cmdDone_Click() {
    if (!isNone(m_settings.rigType)) {
        Command1_Click();
    } else {
        collectSettings();
    }
    Q_EMIT preferencesSaveRequested();
    if (const auto error = saveRigSettings(m_workingFolder, m_settings)) {
        m_prompts.message(QStringLiteral("Unable to write file."), *error, PromptButtons::Ok,
                          PromptIcon::Critical);
    }
    // Hidden as a dialog ends, so that a window opened window-modal after a failed start
    // is a plain window again the next time it is shown.
    accept();
}

void RigControlWindow::unload() {
    m_link.sendGoodbye();
}

void RigControlWindow::List1_Click() {
    if (m_loading || List1->currentItem() == nullptr) {
        return;
    }
    chooseRig(List1->currentItem()->text());
}

void RigControlWindow::chooseRig(const QString& rigType) {
    Command2_Click();
    m_loading = true;
    txtFreq->clear();
    txtMode->clear();
    chkConvToHex->setChecked(false);
    chkConvToHex->setEnabled(false);
    Label10->hide();
    collectSettings();
    const RigFamily& family = rigFamily(rigType);
    applyRigPreset(m_settings, family);
    showSettings();
    chkConvToHex->setEnabled(family.preset.convertEnabled);
    Label10->setVisible(family.preset.icomNote);
    m_loading = false;
    Q_EMIT rigTypeChanged(m_settings.rigType);
}

void RigControlWindow::modeSourceClicked() {
    m_settings.modeSource = OptFreq->isChecked()   ? ModeSource::Frequency
                            : OptDont->isChecked() ? ModeSource::DontUse
                                                   : ModeSource::Rig;
    lblMode->setText(kNoResponse);
    m_link.clearMode();
    RigSettings live = m_link.settings();
    live.modeSource = m_settings.modeSource;
    m_link.setSettings(live);
}

bool RigControlWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == txtFreq || watched == txtMode) && event->type() == QEvent::FocusIn && !m_loading) {
        Command2_Click();
    }
    return QDialog::eventFilter(watched, event);
}

// ---- display -----------------------------------------------------------------------------

void RigControlWindow::showReply(const QByteArray& buffer) {
    const RigStatus& status = m_link.status();
    if (status.frequency > 0) {
        lblFreq->setText(rigDisplayFrequency(status.frequency));
    }
    lblMode->setText(status.mode);
    lblUnProcess->setText(ChkConvHex->isChecked() ? HexDump(buffer) : QString::fromLatin1(buffer));
}

void RigControlWindow::showNoResponse() {
    lblMode->setText(kNoResponse);
    lblFreq->setText(kNoResponse);
}

void RigControlWindow::showPollingIndicator(const QString& text, const QString& why) {
    Label2->setText(text);
    Label2->setToolTip(why);
    Label2->setAccessibleDescription(why);
}

void RigControlWindow::lineFailed() {
    lblMode->clear();
    lblFreq->clear();
    Label2->hide();
    Command2->setEnabled(false);
    invalidCommSettings();
}

void RigControlWindow::invalidCommSettings() {
    m_prompts.beep();
    m_prompts.message(QStringLiteral("Invalid Comm Settings."),
                      QStringLiteral("The comm port that you selected for rig interface is either in use, "
                                     "invalid or the settings that you have selected are invalid.  Please "
                                     "select another combination or choose None for your rig selection."),
                      PromptButtons::Ok, PromptIcon::Critical);
    if (!isVisible()) {
        // Window-modal, so that the operator corrects the settings before going on (the
        // event loop goes on: no nested loop).
        open();
        raise();
        activateWindow();
    }
}

} // namespace ditlog
