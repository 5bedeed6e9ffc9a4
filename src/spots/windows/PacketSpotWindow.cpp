// The spotting window: layout on its design canvas and the handlers of its controls.
#include "spots/windows/PacketSpotWindow.h"

#include "platform/SettingsStore.h"
#include "platform/UserPrompts.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotMessages.h"
#include "spots/SpotSourceLink.h"
#include "spots/SpotSourceSettings.h"
#include "spots/windows/TncOptionsPanel.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
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
#include <QScrollBar>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesignSize(9000, 6900);
constexpr double kDesignFontPt = 7.5;
constexpr int kWide = 8760; // send box and console
constexpr int kRow = 300;
const QString kAutoLoginKey = QStringLiteral("SpotAutoLogin");

} // namespace

QString sendPromptFor(const QString& source) {
    if (SpotSource::is(source, SpotSource::Tnc)) {
        return QStringLiteral("Send text  (Ctrl C or Esc for TNC Command mode):");
    }
    if (SpotSource::is(source, SpotSource::Agw)) {
        return QStringLiteral("Send text (use : to send cmds such as :C TREVO or :D)");
    }
    return QStringLiteral("Type text to send and press enter:");
}

namespace {

// The console shows line ends as line breaks; a CR LF split between two appends is one.
QString displayText(QStringView text, bool& afterCr) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\n' && afterCr) {
            afterCr = false;
            continue;
        }
        afterCr = c == u'\r';
        out += (c == u'\r') ? QChar(u'\n') : c;
    }
    return out;
}
} // namespace

PacketSpotWindow::PacketSpotWindow(SpotSourceSettings& settings, SpotConsole& console,
                                   SpotIntake& intake, SpotSourceLink& link, QString workingFolder,
                                   SettingsStore& store, UserPrompts& prompts, const Screen& screen,
                                   std::function<QString()> lastCall, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_console(console), m_intake(intake), m_link(link),
      m_workingFolder(std::move(workingFolder)), m_store(store), m_prompts(prompts),
      m_lastCall(std::move(lastCall)) {
    setObjectName(QStringLiteral("PacketSpotfrm"));
    setWindowTitle(QStringLiteral(" DX Spotting Setup"));
    setModal(false);
    m_canvas = new DesignCanvas(kDesignSize, this);
    // Placed controls take their design font from the canvas: set it before placing any.
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    buildSourceRow();
    m_tnc = new TncOptionsPanel(*m_canvas, 1620, this);
    buildSendRow(m_tnc->bottom() + 160);
    buildButtons(kDesignSize.height() - 540);
    setTabOrderOfControls();

    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }
    connect(m_tnc, &TncOptionsPanel::optionClicked, this, [this] {
        if (!m_loading) {
            collectControls();
            m_link.CloseSource();
        }
    });
    connect(&m_console, &SpotConsole::appended, this, [this](const QString& text) {
        showConsole(text, -1);
    });
    connect(&m_console, &SpotConsole::replaced, this,
            [this](const QString& text, SpotConsole::Caret caret) {
                if (isVisible()) {
                    txtUnProcessed->clear();
                    m_afterCr = false;
                }
                showConsole(text, caret == SpotConsole::Caret::Start ? 0 : -1);
            });
    connect(&m_console, &SpotConsole::caretToEnd, this, [this] { showConsole({}, -1); });
    connect(&m_link, &SpotSourceLink::listeningChanged, Label4, &QLabel::setVisible);
    connect(&m_link, &SpotSourceLink::captionChanged, this, &QWidget::setWindowTitle);
    connect(&m_link, &SpotSourceLink::sendBoxFocusRequested, this, [this] {
        if (isVisible()) {
            txtSent->setFocus();
        }
    });
    connect(&m_link, &SpotSourceLink::windowShowRequested, this, [this] {
        show();
        raise();
        activateWindow();
    });
    m_consoleStale = true;

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);

    // Creation: the source list, all source controls off, then the stored settings.
    disableSourceControls();
    m_loading = true;
    LoadSpotSettings();
    m_loading = false;
}

PacketSpotWindow::~PacketSpotWindow() = default;

void PacketSpotWindow::buildSourceRow() {
    auto* caption = new QLabel(QStringLiteral("Spot source"), m_canvas);
    m_canvas->place(caption, 120, 120, 1700, 240);
    List1 = new QListWidget(m_canvas);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("Spot source"));
    List1->addItems(SpotSource::All);
    caption->setBuddy(List1);
    m_canvas->place(List1, 120, 380, 1700, 1120);
    connect(List1, &QListWidget::currentRowChanged, this, &PacketSpotWindow::List1_Click);

    m_fraTelnet = new QGroupBox(QStringLiteral("Telnet DX cluster"), m_canvas);
    m_fraTelnet->setObjectName(QStringLiteral("fraTelnet"));
    m_canvas->place(m_fraTelnet, 1940, 120, 3400, 1380);
    auto* hostLabel = new QLabel(QStringLiteral("Host"), m_canvas);
    hostLabel->setObjectName(QStringLiteral("lblTelnetHost"));
    m_canvas->place(hostLabel, 2060, 420, 540, kRow);
    txtTelnetHost = new QLineEdit(m_canvas);
    txtTelnetHost->setObjectName(QStringLiteral("txtTelnetHost"));
    txtTelnetHost->setAccessibleName(QStringLiteral("Telnet host"));
    hostLabel->setBuddy(txtTelnetHost);
    m_canvas->place(txtTelnetHost, 2620, 420, 2600, kRow);
    auto* portLabel = new QLabel(QStringLiteral("Port"), m_canvas);
    portLabel->setObjectName(QStringLiteral("lblTelnetPort"));
    m_canvas->place(portLabel, 2060, 780, 540, kRow);
    txtTelnetPort = new QLineEdit(m_canvas);
    txtTelnetPort->setObjectName(QStringLiteral("txtTelnetPort"));
    txtTelnetPort->setAccessibleName(QStringLiteral("Telnet port"));
    txtTelnetPort->setMaxLength(5);
    portLabel->setBuddy(txtTelnetPort);
    m_canvas->place(txtTelnetPort, 2620, 780, 900, kRow);
    chkLogin = new QCheckBox(QStringLiteral("Send my call when the cluster asks for it"), m_canvas);
    chkLogin->setObjectName(QStringLiteral("chkLogin"));
    chkLogin->setAccessibleName(chkLogin->text());
    chkLogin->setChecked(m_store.value(kAutoLoginKey, QStringLiteral("1")) != QLatin1String("0"));
    m_link.setAutoLogin(chkLogin->isChecked());
    m_canvas->place(chkLogin, 2060, 1110, 3200, kRow);
    connect(chkLogin, &QCheckBox::toggled, this, [this](bool on) {
        m_link.setAutoLogin(on);
        m_store.setValue(kAutoLoginKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    m_telnetControls = {m_fraTelnet, hostLabel, txtTelnetHost, portLabel, txtTelnetPort, chkLogin};

    m_fraDisplay = new QGroupBox(QStringLiteral("Main Form Display"), m_canvas);
    m_fraDisplay->setObjectName(QStringLiteral("fraDisplay"));
    m_canvas->place(m_fraDisplay, 5460, 120, 3420, 1380);
    OptBand = new QRadioButton(QStringLiteral("Band Map"), m_canvas);
    OptBand->setObjectName(QStringLiteral("OptBand"));
    OptList = new QRadioButton(QStringLiteral("List"), m_canvas);
    OptList->setObjectName(QStringLiteral("OptList"));
    OptBand->setChecked(true);
    m_canvas->place(OptBand, 5580, 420, 1500, kRow);
    m_canvas->place(OptList, 7160, 420, 1500, kRow);
    auto* display = new QButtonGroup(this);
    display->addButton(OptBand);
    display->addButton(OptList);
    chkDX = new QCheckBox(QStringLiteral("List DX Only (also controls main form)"), m_canvas);
    chkDX->setObjectName(QStringLiteral("chkDX"));
    m_canvas->place(chkDX, 5580, 780, 3200, kRow);
    connect(chkDX, &QCheckBox::toggled, this, [this](bool on) {
        m_intake.setDxOnly(on);
        m_settings.DxOnly = on ? 1 : 0;
    });
    chkConvToHex = new QCheckBox(QStringLiteral("Convert to Hex"), m_canvas);
    chkConvToHex->setObjectName(QStringLiteral("chkConvToHex"));
    chkConvToHex->setEnabled(false);
    m_canvas->place(chkConvToHex, 5580, 1110, 3200, kRow);
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(OptBand),
                               static_cast<QAbstractButton*>(OptList),
                               static_cast<QAbstractButton*>(chkDX),
                               static_cast<QAbstractButton*>(chkConvToHex)}) {
        b->setAccessibleName(b->text());
    }
}

void PacketSpotWindow::buildSendRow(int top) {
    auto* hexLabel = new QLabel(QStringLiteral("TNC command char (hex)"), m_canvas);
    hexLabel->setObjectName(QStringLiteral("lblHex"));
    m_canvas->place(hexLabel, 6680, top - 960, 2200, 260);
    txtHex = new QLineEdit(QStringLiteral("03"), m_canvas);
    txtHex->setObjectName(QStringLiteral("txtHex"));
    txtHex->setAccessibleName(hexLabel->text());
    txtHex->setMaxLength(2);
    txtHex->setInputMask(QStringLiteral("HH"));
    hexLabel->setBuddy(txtHex);
    m_canvas->place(txtHex, 6680, top - 660, 700, kRow);

    lblSent = new QLabel(sendPromptFor(SpotSource::Telnet), m_canvas);
    lblSent->setObjectName(QStringLiteral("lblSent"));
    m_canvas->place(lblSent, 120, top, kWide, 260);
    txtSent = new QLineEdit(m_canvas);
    txtSent->setObjectName(QStringLiteral("txtSent"));
    txtSent->setAccessibleName(QStringLiteral("Send text"));
    lblSent->setBuddy(txtSent);
    m_canvas->place(txtSent, 120, top + 280, kWide, 320);
    connect(txtSent, &QLineEdit::textChanged, this, &PacketSpotWindow::txtSent_Change);

    txtUnProcessed = new QPlainTextEdit(m_canvas);
    txtUnProcessed->setObjectName(QStringLiteral("txtUnProcessed"));
    txtUnProcessed->setAccessibleName(QStringLiteral("Spot console"));
    txtUnProcessed->setReadOnly(true);
    txtUnProcessed->setTextInteractionFlags(Qt::TextSelectableByKeyboard |
                                            Qt::TextSelectableByMouse);
    txtUnProcessed->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    txtUnProcessed->setFont(mono);
    QPalette p = txtUnProcessed->palette();
    p.setColor(QPalette::Base, QColor(0, 0, 128));
    p.setColor(QPalette::Text, Qt::white);
    txtUnProcessed->setPalette(p);
    const int consoleTop = top + 700;
    m_canvas->place(txtUnProcessed, 120, consoleTop, kWide, kDesignSize.height() - 640 - consoleTop);
}

void PacketSpotWindow::buildButtons(int top) {
    const auto button = [this, top](const QString& name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, m_canvas);
        b->setObjectName(name);
        b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
        b->setAutoDefault(false);
        m_canvas->place(b, left, top, 1300, 400);
        return b;
    };
    cmdOpen = button(QStringLiteral("cmdOpen"), QStringLiteral("Open Port"), 120);
    cmdClose = button(QStringLiteral("cmdClose"), QStringLiteral("Close Port"), 1540);
    cmdSpotLast = button(QStringLiteral("cmdSpotLast"), QStringLiteral("&Spot Last"), 2960);
    cmdDone = button(QStringLiteral("cmdDone"), QStringLiteral("&Done"), 7580);
    Label4 = new QLabel(QStringLiteral("Listening"), m_canvas);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAccessibleName(QStringLiteral("Listening"));
    Label4->setAlignment(Qt::AlignCenter);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    QPalette p = Label4->palette();
    p.setColor(QPalette::WindowText, QColor(0, 128, 0));
    Label4->setPalette(p);
    m_canvas->place(Label4, 4800, top + 50, 1600, kRow);
    Label4->setVisible(m_link.listening());
    connect(cmdOpen, &QPushButton::clicked, this, [this] {
        collectControls();
        m_link.OpenSource();
    });
    connect(cmdClose, &QPushButton::clicked, &m_link, &SpotSourceLink::CloseSource);
    connect(cmdSpotLast, &QPushButton::clicked, this, &PacketSpotWindow::cmdSpotLast_Click);
    connect(cmdDone, &QPushButton::clicked, this, &PacketSpotWindow::cmdDone_Click);
}

void PacketSpotWindow::setTabOrderOfControls() {
    QList<QWidget*> order{List1, txtTelnetHost, txtTelnetPort, chkLogin, OptBand, OptList, chkDX,
                          chkConvToHex};
    for (QRadioButton* b : m_tnc->buttons()) {
        order.append(b);
    }
    order << txtHex << txtSent << txtUnProcessed << cmdOpen << cmdClose << cmdSpotLast << cmdDone;
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }
}

void PacketSpotWindow::showConsole(const QString& text, int caret) {
    // A hidden window's console is brought up to date when it is shown again.
    if (!isVisible()) {
        m_consoleStale = true;
        m_consoleCaretAtStart = caret == 0 && text == m_console.text();
        return;
    }
    if (!text.isEmpty()) {
        QTextCursor end = txtUnProcessed->textCursor();
        end.movePosition(QTextCursor::End);
        end.insertText(displayText(text, m_afterCr));
    }
    QTextCursor at = txtUnProcessed->textCursor();
    at.movePosition(caret == 0 ? QTextCursor::Start : QTextCursor::End);
    txtUnProcessed->setTextCursor(at);
    txtUnProcessed->ensureCursorVisible();
}

} // namespace ditlog
