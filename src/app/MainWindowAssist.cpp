// The contest aids on the main window: their File and Options menu entries, the status
// line of Enter sends message, and the wiring to the entry row, the keyers and the spots.
#include "app/MainWindow.h"

#include "app/AssistDesk.h"
#include "app/CheckPartialList.h"
#include "app/EntryPanel.h"
#include "app/MainWindowKeyer.h"
#include "platform/UserPrompts.h"
#include "spots/windows/SpotDesk.h"
#include "voice/windows/VoiceKeyer.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>

namespace ditlog {

namespace {
// Checkable Options entries: object name, caption, and the aid's switch.
struct AidEntry {
    const char* name;
    const char* caption;
    void (AssistDesk::*set)(bool);
    bool (AssistDesk::*get)() const;
};
const AidEntry kAidEntries[] = {
    {"mnuCheckPartial", "Check &Partial", &AssistDesk::setCheckPartialOn, &AssistDesk::checkPartialOn},
    {"mnuCallHistory", "Call &History", &AssistDesk::setCallHistoryOn, &AssistDesk::callHistoryOn},
    {"mnuEnterSendsMessage", "&Enter Sends Message", &AssistDesk::setEnterSendsMessageOn,
     &AssistDesk::enterSendsMessageOn},
    {"mnuRunMode", "&Run Mode", &AssistDesk::setRunMode, &AssistDesk::runMode},
};
} // namespace

void MainWindow::buildAssist() {
    m_assist = new AssistDesk(m_services, m_folders, m_prefs, m_log, m_prefixes, *m_entry,
                              *m_canvas, this);
    m_entry->setAssist(*m_assist);
    m_assist->setSenders([this]() -> CwKeyerControl& { return *m_keyer; },
                         [this]() -> VoiceControl& { return *m_voice; });
    m_assist->setMessageKeyStore([this]() -> SettingsStore& {
        return m_keyerWiring != nullptr ? m_keyerWiring->keyer().settingsStore() : m_services.settings;
    });
    m_assist->setSpeech([this](const QString& text) {
        if (m_voiceKeyer != nullptr) {
            m_voiceKeyer->speak(text);
        }
    });
    connect(m_entry, &EntryPanel::contactLogged, m_assist, &AssistDesk::contactAdded);

    // File menu: the two files, before the country data update.
    QAction* before = m_actions.value(QStringLiteral("mnuUpdateCountryData"));
    if (auto* file = qobject_cast<QMenu*>(before->parent())) {
        const QList<std::tuple<QString, QString, void (AssistDesk::*)()>> loads{
            {QStringLiteral("mnuLoadCheckPartial"), QStringLiteral("Load Check Partial File..."),
             &AssistDesk::mnuLoadCheckPartial_Click},
            {QStringLiteral("mnuLoadCallHistory"), QStringLiteral("Load Call &History File..."),
             &AssistDesk::mnuLoadCallHistory_Click}};
        for (const auto& [name, caption, slot] : loads) {
            auto* a = new QAction(caption, file);
            a->setObjectName(name);
            file->insertAction(before, a);
            m_actions.insert(name, a);
            connect(a, &QAction::triggered, m_assist, slot);
        }
    }
    // Options menu: the aids, each a checkable entry.
    if (auto* options = qobject_cast<QMenu*>(m_actions.value(QStringLiteral("mnuSetup"))->parent())) {
        options->addSeparator();
        for (const AidEntry& entry : kAidEntries) {
            QAction* a = options->addAction(QLatin1String(entry.caption));
            a->setObjectName(QLatin1String(entry.name));
            a->setCheckable(true);
            m_actions.insert(a->objectName(), a);
            const QString name = a->objectName();
            connect(a, &QAction::triggered, this, [this, name] { toggleAid(name); });
        }
    }
    // DX spotting: the marks of spots, off at first (they change how spots are drawn).
    if (auto* spotting = qobject_cast<QMenu*>(m_actions.value(QStringLiteral("mnuSpectrumMap"))->parent())) {
        QAction* marks = spotting->addAction(QStringLiteral("&Mark Dupes and Multipliers"));
        marks->setObjectName(QStringLiteral("mnuSpotMarks"));
        marks->setCheckable(true);
        m_actions.insert(marks->objectName(), marks);
        connect(marks, &QAction::triggered, m_assist, &AssistDesk::setSpotMarksOn);
    }
    const auto showChoices = [this] {
        for (const AidEntry& entry : kAidEntries) {
            m_actions.value(QLatin1String(entry.name))->setChecked((m_assist->*entry.get)());
        }
        if (QAction* marks = m_actions.value(QStringLiteral("mnuSpotMarks"))) {
            marks->setChecked(m_assist->spotMarksOn());
        }
    };
    showChoices();
    connect(m_assist, &AssistDesk::choicesChanged, this, showChoices);

    // The status line under the window shows what Enter does next.
    // The window has no status bar until the option is first turned on.
    auto* next = new QLabel(this);
    next->setObjectName(QStringLiteral("lblNextAction"));
    next->setAccessibleDescription(QStringLiteral("What Enter does next"));
    QFont bold = next->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    next->setFont(bold);
    next->hide();
    connect(m_assist, &AssistDesk::nextActionVisibilityChanged, this, [this, next](bool visible) {
        const bool placed = next->parentWidget() != this;
        if (visible && !placed) {
            statusBar()->addWidget(next, 1);
            next->show();
        }
        if (placed || visible) {
            statusBar()->setVisible(visible);
        }
    });
    m_assist->setNextActionLabel(next);
    installEventFilter(m_assist);

    m_spots->setSpotMarker([this](QStringView call, double mhz) { return m_assist->spotMark(call, mhz); });
    connect(m_assist, &AssistDesk::marksChanged, m_spots, &SpotDesk::refreshMarks);
}

void MainWindow::toggleAid(const QString& actionName) {
    QAction* a = m_actions.value(actionName);
    for (const AidEntry& entry : kAidEntries) {
        if (actionName == QLatin1String(entry.name)) {
            (m_assist->*entry.set)(a->isChecked());
        }
    }
    if (actionName == QLatin1String("mnuCheckPartial") && a->isChecked() &&
        m_assist->master().size() == 0) {
        m_services.prompts.message(
            QStringLiteral("Check Partial"),
            QStringLiteral("No master call list is loaded. File > Load Check Partial File... "
                           "picks one (a MASTER.SCP file in the working folder is loaded at "
                           "start)."),
            PromptButtons::Ok, PromptIcon::Information);
    }
    m_entry->focusCall();
}

} // namespace ditlog
