// Colours window: two colour-chooser buttons, their samples and "Done".
#include "log/windows/ColoursWindow.h"

#include "log/StationPreferences.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace ditlog {

namespace {
// Design layout in twips: each button with its sample to the right, "Done" below.
constexpr QSize kDesignSize(5100, 2280);
constexpr double kDesignFontPt = 8.25;
constexpr int kLeft = 240;
constexpr int kButtonWidth = 3000;
constexpr int kSampleLeft = kLeft + kButtonWidth + 240;
constexpr int kSampleWidth = 1380;
constexpr int kRowHeight = 420;
constexpr int kDoneWidth = 1200;

QLabel* makeSample(const QString& objectName, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}
} // namespace

QColor storedColour(qint32 value) {
    const auto v = quint32(value);
    return {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)};
}

ColoursWindow::ColoursWindow(StationPreferences& prefs, const Screen& screen, UserPrompts& prompts,
                             QWidget* parent)
    : QDialog(parent), m_prefs(prefs), m_prompts(prompts) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral(" Colors"));

    m_canvas = new DesignCanvas(kDesignSize, this);
    // Placed controls take their design font from the canvas: set it before placing any.
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    cmdWorked = new QPushButton(QStringLiteral("Appearance of multiplier worked"), m_canvas);
    cmdWorked->setObjectName(QStringLiteral("cmdWorked"));
    m_canvas->place(cmdWorked, kLeft, 240, kButtonWidth, kRowHeight);
    lblWorked = makeSample(QStringLiteral("lblWorked"), QStringLiteral("Worked"), m_canvas);
    m_canvas->place(lblWorked, kSampleLeft, 240, kSampleWidth, kRowHeight);
    lblWorked->setAccessibleDescription(QStringLiteral("Sample of the colour of multipliers worked"));

    cmdRemaining = new QPushButton(QStringLiteral("Change \"Remaining\" Color"), m_canvas);
    cmdRemaining->setObjectName(QStringLiteral("cmdRemaining"));
    m_canvas->place(cmdRemaining, kLeft, 840, kButtonWidth, kRowHeight);
    lblRemaining =
        makeSample(QStringLiteral("lblRemaining"), QStringLiteral("Remaining"), m_canvas);
    m_canvas->place(lblRemaining, kSampleLeft, 840, kSampleWidth, kRowHeight);
    lblRemaining->setAccessibleDescription(
        QStringLiteral("Sample of the colour of multipliers remaining"));

    cmdDone = new QPushButton(QStringLiteral("Done"), m_canvas);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    m_canvas->place(cmdDone, (kDesignSize.width() - kDoneWidth) / 2, 1620, kDoneWidth, kRowHeight);

    connect(cmdWorked, &QPushButton::clicked, this, &ColoursWindow::cmdWorked_Click);
    connect(cmdRemaining, &QPushButton::clicked, this, &ColoursWindow::cmdRemaining_Click);
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);
    showSamples();
}

void ColoursWindow::cmdWorked_Click() {
    if (chooseInto(m_prefs.WorkedColour)) {
        Q_EMIT coloursChanged();
    }
}

void ColoursWindow::cmdRemaining_Click() {
    if (chooseInto(m_prefs.RemainingColour)) {
        Q_EMIT coloursChanged();
    }
}

bool ColoursWindow::chooseInto(qint32& stored) {
    // A cancelled chooser changes nothing and is not reported.
    const std::optional<quint32> chosen = m_prompts.chooseColour(quint32(stored));
    if (!chosen) {
        return false;
    }
    stored = qint32(*chosen & 0xFFFFFF);
    showSamples();
    return true;
}

void ColoursWindow::showSamples() {
    const auto paint = [](QLabel* label, qint32 value) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, storedColour(value));
        label->setPalette(palette);
    };
    paint(lblWorked, m_prefs.WorkedColour);
    paint(lblRemaining, m_prefs.RemainingColour);
}

void ColoursWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        showSamples();
    }
    QDialog::showEvent(event);
}

} // namespace ditlog
