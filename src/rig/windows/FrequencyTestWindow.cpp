// The frequency test window: layout and its two Send buttons.
#include "rig/windows/FrequencyTestWindow.h"

#include "platform/UserPrompts.h"
#include "rig/RigHex.h"
#include "rig/RigLink.h"
#include "rig/TunePanel.h"
#include "ui/WindowScaling.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesignSize(7560, 3720);
constexpr double kDesignFontPt = 8.25;
const QString kTitle = QStringLiteral("Test Change Frequency Function");

QLabel* instruction(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
} // namespace

FrequencyTestWindow::FrequencyTestWindow(RigLink& link, const Screen& screen, UserPrompts& prompts,
                                         QWidget* parent)
    : QDialog(parent), m_link(link), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmFrequencyTest"));
    setWindowTitle(kTitle);
    m_canvas = new DesignCanvas(kDesignSize, this);
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    auto* rawHelp = instruction(
        QStringLiteral("Type a complete command for your rig and click Send.  The default is the Kenwood "
                       "command to change the frequency.  Hexadecimal commands are typed as pairs of hex "
                       "digits separated by blanks (FE FE 64 E0 03 FD) with \"Convert to Hex\" ticked."),
        m_canvas);
    m_canvas->place(rawHelp, 120, 120, 7320, 780);
    Text1 = new QLineEdit(QStringLiteral("FA00028475000;"), m_canvas);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Command to send"));
    Text1->setAccessibleDescription(rawHelp->text());
    m_canvas->place(Text1, 120, 960, 4200, 340);
    Check1 = new QCheckBox(QStringLiteral("Convert to Hex"), m_canvas);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(QStringLiteral("Convert to Hex"));
    m_canvas->place(Check1, 4440, 980, 1700, 300);
    Command1 = new QPushButton(QStringLiteral("Send"), m_canvas);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Send command"));
    Command1->setAutoDefault(false);
    m_canvas->place(Command1, 6340, 950, 1100, 380);

    auto* frequencyHelp = instruction(
        QStringLiteral("Or type a frequency in MHz and click Send to try the rig's change frequency function."),
        m_canvas);
    m_canvas->place(frequencyHelp, 120, 1620, 7320, 520);
    Text2 = new QLineEdit(QStringLiteral("28.475"), m_canvas);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Frequency in MHz"));
    Text2->setAccessibleDescription(frequencyHelp->text());
    m_canvas->place(Text2, 120, 2200, 1800, 340);
    Command2 = new QPushButton(QStringLiteral("Send"), m_canvas);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(QStringLiteral("Send frequency"));
    Command2->setAutoDefault(false);
    m_canvas->place(Command2, 2040, 2180, 1100, 380);

    connect(Command1, &QPushButton::clicked, this, &FrequencyTestWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrequencyTestWindow::Command2_Click);
    QWidget::setTabOrder(Text1, Check1);
    QWidget::setTabOrder(Check1, Command1);
    QWidget::setTabOrder(Command1, Text2);
    QWidget::setTabOrder(Text2, Command2);

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, prompts);
}

FrequencyTestWindow::~FrequencyTestWindow() = default;

void FrequencyTestWindow::refuse(const QString& text) {
    m_prompts.message(kTitle, text, PromptButtons::Ok, PromptIcon::Warning);
}

void FrequencyTestWindow::Command1_Click() {
    const QByteArray typed = Text1->text().trimmed().toLatin1();
    if (typed.isEmpty()) {
        return;
    }
    QByteArray bytes = typed;
    if (Check1->isChecked()) {
        const auto converted = SpacedHexToBytes(typed);
        if (!converted) {
            refuse(QStringLiteral("The command is not pairs of hex digits separated by blanks."));
            return;
        }
        bytes = *converted;
    }
    if (!m_link.isOpen()) {
        refuse(QStringLiteral("The rig port is not open: click Test in the rig window first."));
    } else if (!m_link.writeRaw(bytes)) {
        refuse(QStringLiteral("The command could not be sent: %1").arg(m_link.errorString()));
    }
}

void FrequencyTestWindow::Command2_Click() {
    const auto mhz = panelNumber(Text2->text());
    if (!mhz || *mhz <= 0) {
        refuse(QStringLiteral("Type the frequency in MHz, such as 28.475."));
        return;
    }
    m_link.ChangeFrequency(*mhz);
}

} // namespace ditlog
