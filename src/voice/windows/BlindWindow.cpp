// Voice navigation window: three levels in a frame, the speech choice, "Done" and where
// the prompt files go.
#include "voice/windows/BlindWindow.h"

#include "log/StationPreferences.h"
#include "ui/WindowScaling.h"
#include "voice/VoicePrompts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace ditlog {

namespace {
// Design layout in twips: the frame of options, the speech choice, the folder text and
// "Done" below one another.
constexpr QSize kDesignSize(5400, 3900);
constexpr double kDesignFontPt = 8.25;
constexpr int kLeft = 240;
constexpr int kWidth = kDesignSize.width() - 2 * kLeft;
constexpr int kDoneWidth = 1200;
} // namespace

BlindWindow::BlindWindow(StationPreferences& prefs, VoicePrompts& prompts,
                         const QString& workingFolder, const Screen& screen,
                         UserPrompts& userPrompts, QWidget* parent)
    : QDialog(parent), m_prefs(prefs), m_prompts(prompts) {
    setObjectName(QStringLiteral("BlindFrm"));
    setWindowTitle(QStringLiteral("Voice Navigation Settings"));

    m_canvas = new DesignCanvas(kDesignSize, this);
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    fraNavigation = new QGroupBox(QStringLiteral("Choose your preferred option:"), m_canvas);
    fraNavigation->setObjectName(QStringLiteral("fraNavigation"));
    m_canvas->place(fraNavigation, kLeft, 120, kWidth, 1500);
    m_levels = new QButtonGroup(this);
    const QList<std::pair<QString, QString>> options{
        {QStringLiteral("optOff"), QStringLiteral("Off")},
        {QStringLiteral("optCallOnly"), QStringLiteral("Call Only")},
        {QStringLiteral("optAllData"), QStringLiteral("All Data Fields")}};
    QList<QRadioButton*> made;
    for (int i = 0; i < options.size(); ++i) {
        auto* option = new QRadioButton(options.at(i).second, m_canvas);
        option->setObjectName(options.at(i).first);
        m_canvas->place(option, kLeft + 240, 420 + i * 360, kWidth - 480, 300);
        m_levels->addButton(option, i);
        made.append(option);
    }
    optOff = made.at(0);
    optCallOnly = made.at(1);
    optAllData = made.at(2);
    optOff->setAccessibleDescription(QStringLiteral("No spoken prompts"));
    optCallOnly->setAccessibleDescription(
        QStringLiteral("Announces the call field when it gains the focus"));
    optAllData->setAccessibleDescription(
        QStringLiteral("Announces every entry field when it gains the focus"));

    chkSpeech = new QCheckBox(QStringLiteral("Also speak what changes on the screen"), m_canvas);
    chkSpeech->setObjectName(QStringLiteral("chkSpeech"));
    chkSpeech->setAccessibleDescription(
        QStringLiteral("With navigation on, speaks the status line, duplicates and the country "
                       "found for a call; Ctrl+T says the score and Ctrl+L the last contact"));
    m_canvas->place(chkSpeech, kLeft, 1740, kWidth, 300);

    lblFolder = new QLabel(
        QStringLiteral("Put the audio wave files in this program's working directory: ") +
            QDir::toNativeSeparators(workingFolder),
        m_canvas);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setWordWrap(true);
    m_canvas->place(lblFolder, kLeft, 2160, kWidth, 780);

    cmdDone = new QPushButton(QStringLiteral("Done"), m_canvas);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    m_canvas->place(cmdDone, (kDesignSize.width() - kDoneWidth) / 2, 3120, kDoneWidth, 420);

    setTabOrder(optOff, chkSpeech);
    setTabOrder(chkSpeech, cmdDone);
    // Choosing a level says so at once; showing the stored level says nothing.
    connect(m_levels, &QButtonGroup::idClicked, &m_prompts, &VoicePrompts::announceNavigation);
    connect(cmdDone, &QPushButton::clicked, this, &BlindWindow::cmdDone_Click);

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, userPrompts);
    showStoredLevel();
}

int BlindWindow::chosenLevel() const { return std::max(0, m_levels->checkedId()); }

void BlindWindow::setSpeechChosen(bool on) { chkSpeech->setChecked(on); }

void BlindWindow::showStoredLevel() {
    m_levels->button(std::clamp<int>(m_prefs.VoiceNavigation, 0, 2))->setChecked(true);
}

void BlindWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        showStoredLevel();
        m_levels->checkedButton()->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

void BlindWindow::cmdDone_Click() {
    m_prefs.VoiceNavigation = quint8(chosenLevel());
    hide();
    Q_EMIT navigationChosen(chosenLevel(), chkSpeech->isChecked());
}

} // namespace ditlog
