// The WinKeyer window.
#include "keyer/windows/WinKeyWindow.h"

#include "keyer/WinKeyerLink.h"
#include "keyer/windows/FormControls.h"
#include "log/EntryRules.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesign(9000, 6600);
const QString kDigits = QStringLiteral("0123456789");
} // namespace

WinKeyWindow::WinKeyWindow(WinKeyerLink& link, const Screen& screen, UserPrompts& prompts,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_link(link), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmWinKey"));
    setWindowTitle(QStringLiteral(" WinKey Setup"));
    auto* canvas = new DesignCanvas(kDesign, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas);

    txtWKComPort = addSetting(*canvas, QStringLiteral("txtWKComPort"), QStringLiteral("Com Port:"), {}, 150);
    txtWKWPM = addSetting(*canvas, QStringLiteral("txtWKWPM"), QStringLiteral("WPM:"),
                          QStringLiteral("Up / down arrows from main form change speeds."), 560);
    txtWeight = addSetting(*canvas, QStringLiteral("txtWeight"), QStringLiteral("Weight:"),
                           QStringLiteral("Proportional amount added or subtracted (50 is standard)."), 970);
    txtLeadIn = addSetting(*canvas, QStringLiteral("txtLeadIn"), QStringLiteral("Lead In:"),
                           QStringLiteral("Lead in time for transmitter (10 ms increments)."), 1380);
    txtTail = addSetting(*canvas, QStringLiteral("txtTail"), QStringLiteral("Tail:"),
                         QStringLiteral("Tail time after keying has stopped (10 ms increments)."), 1790);
    txtRatio = addSetting(*canvas, QStringLiteral("txtRatio"), QStringLiteral("Ratio:"),
                          QStringLiteral("Ratio of dits to dahs (Range: 33 - 66)."), 2200);
    buildOptions(*canvas);
    buildButtons(*canvas);

    connect(&m_link, &WinKeyerLink::statusTextChanged, lblOpenStatus, &QLabel::setText);
    connect(&m_link, &WinKeyerLink::versionTextChanged, lblVersion, &QLabel::setText);
    connect(&m_link, &WinKeyerLink::settingsChanged, this, [this] {
        if (!m_filling) {
            refresh();
        }
    });
    connect(&m_link, &WinKeyerLink::openFinished, this, [this] {
        if (isVisible()) {
            focusDone();
        }
    });
    resize(canvas->size());
    ScaleWindowToScreen(this, canvas, screen, prompts);
    refresh();
}

QLineEdit* WinKeyWindow::addSetting(DesignCanvas& canvas, const QString& name, const QString& caption,
                                    const QString& note, int top) {
    placeLabel(canvas, QStringLiteral("lbl_") + name, caption, {150, top + 20, 1300, 300});
    QLineEdit* field = placeField(canvas, name, QString(caption).remove(QLatin1Char(':')),
                                  {1500, top, 800, 330});
    field->setMaxLength(3);
    field->installEventFilter(this);
    if (!note.isEmpty()) {
        placeLabel(canvas, QStringLiteral("lblNote_") + name, note, {2450, top + 20, 6400, 300});
        field->setAccessibleDescription(note);
    }
    return field;
}

void WinKeyWindow::buildOptions(DesignCanvas& canvas) {
    placeFrame(canvas, QStringLiteral("fraPins"), QStringLiteral("Pin 5 Configuration"), {150, 2700, 4200, 1500});
    placeFrame(canvas, QStringLiteral("fraMode"), QStringLiteral("Keyer Mode"), {4650, 2700, 4200, 1500});
    pins = new QButtonGroup(this);
    modes = new QButtonGroup(this);
    const std::tuple<const char*, const char*, int, bool> options[] = {
        {"optPinPtt", "PTT", 5, true},
        {"optPinTone", "Tone", 6, true},
        {"optPinP3", "P5 Off, P3 Key Out", 4, true},
        {"optPinP5", "P5 Key Out, P3 Off", 8, true},
        {"optIambicA", "Iambic A", 16, false},
        {"optIambicB", "Iambic B", 0, false},
        {"optUltimatic", "Ultimatic", 32, false},
        {"optBug", "Bug Keyer", 48, false}};
    int row[2] = {0, 0};
    for (const auto& [name, caption, value, pin] : options) {
        const int left = pin ? 300 : 4800;
        const int top = 2980 + (row[pin ? 0 : 1]++) * 290;
        QRadioButton* o = placeOption(canvas, QLatin1String(name), QLatin1String(caption), {left, top, 3900, 280});
        (pin ? pins : modes)->addButton(o, value);
    }
    connect(pins, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !m_filling) {
            m_link.choosePinConfig(id);
        }
    });
    connect(modes, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !m_filling) {
            m_link.chooseMode(id);
        }
    });
}

void WinKeyWindow::buildButtons(DesignCanvas& canvas) {
    placeLabel(canvas, QStringLiteral("lblStatusCaption"), QStringLiteral("WinKey Status:"), {150, 4350, 1700, 300});
    lblOpenStatus = placeLabel(canvas, QStringLiteral("lblOpenStatus"), QStringLiteral("Closed"), {1900, 4350, 6900, 300});
    lblOpenStatus->setAccessibleName(QStringLiteral("WinKey Status:"));
    placeLabel(canvas, QStringLiteral("lblVersionCaption"), QStringLiteral("WinKey Version:"), {150, 4700, 1700, 300});
    lblVersion = placeLabel(canvas, QStringLiteral("lblVersion"), QStringLiteral("Version #"), {1900, 4700, 3000, 300});
    lblVersion->setAccessibleName(QStringLiteral("WinKey Version:"));
    placeLabel(canvas, QStringLiteral("lblTypeAhead"), QStringLiteral("Type ahead:"), {150, 5120, 1700, 300});
    Text1 = placeField(canvas, QStringLiteral("Text1"), QStringLiteral("Type ahead"), {1900, 5100, 6950, 330});
    Text1->installEventFilter(this);
    const std::pair<QPushButton**, const char*> buttons[] = {
        {&cmdOpen, "Open"}, {&cmdClose, "Close"}, {&cmdStop, "Stop"}, {&cmdTest, "Test"},
        {&cmdBufferTest, "Buffer Test"}, {&cmdDefaultsTest, "Defaults Test"}, {&cmdDone, "&Done"}};
    int left = 150;
    for (const auto& [button, caption] : buttons) {
        QString name = QStringLiteral("cmd") + QString::fromLatin1(caption).remove(QLatin1Char(' ')).remove(QLatin1Char('&'));
        *button = placeButton(canvas, name, QLatin1String(caption), {left, 5800, 1150, 450});
        left += 1250;
    }
    connect(cmdOpen, &QPushButton::clicked, this, [this] {
        fieldLeft(txtWKComPort);
        m_link.Open();
    });
    connect(cmdClose, &QPushButton::clicked, this, [this] {
        m_link.Close();
        focusDone();
    });
    connect(cmdStop, &QPushButton::clicked, this, [this] {
        m_link.Stop();
        focusDone();
    });
    connect(cmdTest, &QPushButton::clicked, this, [this] {
        m_link.Test();
        focusDone();
    });
    connect(cmdBufferTest, &QPushButton::clicked, this, [this] { m_link.BufferTest(); });
    connect(cmdDone, &QPushButton::clicked, this, &WinKeyWindow::cmdDone_Click);
    const QList<QWidget*> order{txtWKComPort, txtWKWPM, txtWeight, txtLeadIn, txtTail, txtRatio,
                                pins->button(5), pins->button(6), pins->button(4), pins->button(8),
                                modes->button(16), modes->button(0), modes->button(32),
                                modes->button(48), Text1, cmdOpen, cmdClose, cmdStop, cmdTest,
                                cmdBufferTest, cmdDefaultsTest, cmdDone};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }
}

void WinKeyWindow::refresh() {
    m_filling = true;
    const WinKeySettings& s = m_link.settings();
    txtWKComPort->setText(QString::number(s.comPort));
    txtWKWPM->setText(s.wpm);
    txtWeight->setText(s.weight);
    txtLeadIn->setText(s.leadIn);
    txtTail->setText(s.tail);
    txtRatio->setText(s.ratio);
    if (QAbstractButton* b = pins->button(s.pinConfig)) {
        b->setChecked(true);
    }
    if (QAbstractButton* b = modes->button(s.mode)) {
        b->setChecked(true);
    }
    lblOpenStatus->setText(m_link.statusText());
    lblVersion->setText(m_link.versionText());
    m_filling = false;
}

void WinKeyWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void WinKeyWindow::focusDone() { cmdDone->setFocus(Qt::OtherFocusReason); }

bool WinKeyWindow::eventFilter(QObject* watched, QEvent* event) {
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
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (field != Text1) {
        return refusedUnlessIn(key, kDigits);
    }
    const QString text = key->text();
    if (text.size() != 1 || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return false;
    }
    const QChar c(char16_t(Capital(text.at(0).unicode())));
    if (c.unicode() > 13) {
        Text1->insert(QString(c)); // stays in the field as well
        m_link.typeAhead(c);
        return true;
    }
    return false;
}

void WinKeyWindow::fieldLeft(QLineEdit* field) {
    m_filling = true;
    if (field == txtWKComPort) {
        txtWKComPort->setText(m_link.leavePort(txtWKComPort->text()));
    } else if (field == txtWKWPM) {
        txtWKWPM->setText(m_link.leaveSpeed(txtWKWPM->text()));
    } else if (field == txtWeight) {
        txtWeight->setText(m_link.leaveWeight(txtWeight->text()));
    } else if (field == txtLeadIn) {
        txtLeadIn->setText(m_link.leaveLeadIn(txtLeadIn->text(), txtTail->text()));
    } else if (field == txtTail) {
        txtTail->setText(m_link.leaveTail(txtLeadIn->text(), txtTail->text()));
    } else if (field == txtRatio) {
        txtRatio->setText(m_link.leaveRatio(txtRatio->text()));
    }
    m_filling = false;
}

void WinKeyWindow::cmdDone_Click() {
    // What the fields hold is stored as it stands, also in a field not left yet.
    WinKeySettings& s = m_link.settings();
    txtWKComPort->setText(m_link.leavePort(txtWKComPort->text()));
    s.wpm = txtWKWPM->text();
    s.weight = txtWeight->text();
    s.leadIn = txtLeadIn->text();
    s.tail = txtTail->text();
    s.ratio = txtRatio->text();
    if (const auto error = m_link.save()) {
        m_prompts.message(QStringLiteral("Unable to write file."), *error, PromptButtons::Ok,
                          PromptIcon::Critical);
    }
    hide(); // also when the file could not be written
}

} // namespace ditlog
