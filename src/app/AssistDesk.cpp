// The aids' choices, their files, the check-partial list and the call history's answers.
#include "app/AssistDesk.h"

#include "app/CheckPartialList.h"
#include "app/EntryPanel.h"
#include "assist/AidFile.h"
#include "assist/EarlierLogs.h"
#include "log/ContactLog.h"
#include "log/StationPreferences.h"
#include "platform/SettingsStore.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>

namespace ditlog {

namespace {
const QString kCheckPartialTitle = QStringLiteral("Unable to load check partial file.");
const QString kCallHistoryTitle = QStringLiteral("Unable to load call history file.");

// The possible-duplicates box, whole and halved to make room for the list beside it.
constexpr QRect kDupeWhole(120, 1220, 6300, 300);
constexpr QRect kDupeHalf(120, 1220, 3100, 300);
constexpr QRect kListRect(3260, 1200, 3160, 340);

QString skippedText(int skipped, int firstLine) {
    return QStringLiteral("%1 line%2 that %3 not a call's were skipped, the first at line %4.")
        .arg(skipped)
        .arg(skipped == 1 ? QString() : QStringLiteral("s"),
             skipped == 1 ? QStringLiteral("was") : QStringLiteral("were"))
        .arg(firstLine);
}
} // namespace

AssistDesk::AssistDesk(Services services, const DataFolders& folders,
                       const StationPreferences& prefs, const ContactLog& log,
                       const PrefixTable& prefixes, EntryPanel& entry, DesignCanvas& canvas,
                       QObject* parent)
    : QObject(parent), m_services(services), m_folders(folders), m_prefs(prefs), m_log(log),
      m_entry(entry), m_marks(log, m_worked, prefixes), m_announce(new QTimer(this)),
      m_learner(new QTimer(this)) {
    buildList(canvas);
    // The count is spoken once typing pauses, not at every key.
    m_announce->setSingleShot(true);
    m_announce->setInterval(600);
    connect(m_announce, &QTimer::timeout, this, &AssistDesk::announceCount);
    // Earlier logs are read one file per turn of the event loop.
    m_learner->setInterval(0);
    connect(m_learner, &QTimer::timeout, this, &AssistDesk::learnNext);
    m_worked.rebuild(m_log);
}

AssistDesk::~AssistDesk() = default;

void AssistDesk::setSenders(std::function<CwKeyerControl&()> keyer,
                            std::function<VoiceControl&()> voice) {
    m_keyer = std::move(keyer);
    m_voice = std::move(voice);
}

void AssistDesk::buildList(DesignCanvas& canvas) {
    m_list = new CheckPartialList(&canvas);
    canvas.place(m_list, kListRect.x(), kListRect.y(), kListRect.width(), kListRect.height());
    connect(m_list, &CheckPartialList::callChosen, this, [this](const QString& call) {
        m_entry.txtCall->setText(call);
        m_entry.focusCall();
    });
    // In the tab order after the entry row's own fields.
    QWidget::setTabOrder(m_entry.txtPostConDate, m_list);
    layOutList();
}

void AssistDesk::layOutList() {
    auto* canvas = qobject_cast<DesignCanvas*>(m_list->parentWidget());
    const QRect dupe = m_checkPartialOn ? kDupeHalf : kDupeWhole;
    canvas->place(m_entry.lblDupe, dupe.x(), dupe.y(), dupe.width(), dupe.height());
    m_list->setVisible(m_checkPartialOn);
}

void AssistDesk::storeChoice(const char* key, bool on) {
    m_services.settings.setValue(QLatin1String(key), on ? QStringLiteral("1") : QStringLiteral("0"));
}

// ---- choices -----------------------------------------------------------------------------

void AssistDesk::setCheckPartialOn(bool on) {
    m_checkPartialOn = on;
    storeChoice(kCheckPartialKey, on);
    if (on && !m_masterLoaded) {
        const QString stored = m_services.settings.value(QLatin1String(kCheckPartialFileKey));
        const QString path = stored.isEmpty() ? m_folders.workingFile(QStringLiteral("MASTER.SCP")) : stored;
        if (QFileInfo::exists(path) || !stored.isEmpty()) {
            loadCheckPartialFile(path, false);
        }
    }
    layOutList();
    refreshPartials();
    Q_EMIT choicesChanged();
}

void AssistDesk::setCallHistoryOn(bool on) {
    m_callHistoryOn = on;
    storeChoice(kCallHistoryKey, on);
    if (on && !m_historyLoaded) {
        const QString stored = m_services.settings.value(QLatin1String(kCallHistoryFileKey));
        const QString path = stored.isEmpty() ? m_folders.workingFile(QStringLiteral("callhistory.txt")) : stored;
        if (QFileInfo::exists(path) || !stored.isEmpty()) {
            loadCallHistoryFile(path, false);
        }
    }
    if (on && m_history.learnedCalls() == 0 && !learning()) {
        relearn();
    }
    m_marks.setHistory(on ? &m_history : nullptr);
    Q_EMIT marksChanged();
    Q_EMIT choicesChanged();
}

void AssistDesk::setEnterSendsMessageOn(bool on) {
    m_esmOn = on;
    storeChoice(kEnterSendsMessageKey, on);
    showNextAction();
    Q_EMIT choicesChanged();
}

void AssistDesk::setRunMode(bool on) {
    m_runMode = on;
    storeChoice(kRunModeKey, on);
    showNextAction();
    Q_EMIT choicesChanged();
}

void AssistDesk::setSpotMarksOn(bool on) {
    m_spotMarksOn = on;
    storeChoice(kSpotMarksKey, on);
    Q_EMIT marksChanged();
    Q_EMIT choicesChanged();
}

void AssistDesk::startUp() {
    // The choices kept in the settings store; each aid that is on loads its files as if
    // it had just been turned on.
    const auto stored = [&](const char* key, bool byDefault) {
        const QString v = m_services.settings.value(QLatin1String(key));
        return v.isEmpty() ? byDefault : v == QLatin1String("1");
    };
    m_runMode = stored(kRunModeKey, true);
    m_esmOn = stored(kEnterSendsMessageKey, false);
    m_spotMarksOn = stored(kSpotMarksKey, false);
    Q_EMIT marksChanged();
    if (stored(kCheckPartialKey, false)) {
        setCheckPartialOn(true);
    }
    if (stored(kCallHistoryKey, false)) {
        setCallHistoryOn(true);
    }
    layOutList();
    showNextAction();
    Q_EMIT choicesChanged();
}

// ---- files -------------------------------------------------------------------------------

QString AssistDesk::chooseFile(const QString& title, const QString& filter, const char* key) {
    const QString stored = m_services.settings.value(QLatin1String(key));
    FileDialogRequest request;
    request.title = title;
    request.folder = stored.isEmpty() ? m_folders.WorkingFolder : QFileInfo(stored).absolutePath();
    request.filter = filter;
    return m_services.prompts.openFile(request);
}

void AssistDesk::mnuLoadCheckPartial_Click() {
    const QString path = chooseFile(QStringLiteral("Load Check Partial File"),
                                    QStringLiteral("Master call lists (*.scp *.SCP *.txt);;All files (*)"),
                                    kCheckPartialFileKey);
    if (!path.isEmpty() && loadCheckPartialFile(path, true) && !m_checkPartialOn) {
        setCheckPartialOn(true); // a list just picked is meant to be used
    }
    m_entry.focusCall();
}

void AssistDesk::mnuLoadCallHistory_Click() {
    const QString path = chooseFile(QStringLiteral("Load Call History File"),
                                    QStringLiteral("Call history files (*.txt *.csv);;All files (*)"),
                                    kCallHistoryFileKey);
    if (!path.isEmpty() && loadCallHistoryFile(path, true) && !m_callHistoryOn) {
        setCallHistoryOn(true);
    }
    m_entry.focusCall();
}

bool AssistDesk::loadCheckPartialFile(const QString& path, bool tellSkips) {
    const QString name = QFileInfo(path).fileName();
    QString problem;
    const std::optional<QByteArray> content = readAidFile(path, &problem);
    CallListLoad load;
    if (content) {
        load = m_master.loadText(*content);
    }
    if (!content || load.error) {
        const QString why = content ? QStringLiteral("%1: %2 The list in use is kept.").arg(name, *load.error)
                                    : problem + QStringLiteral(" The list in use is kept.");
        m_services.prompts.message(kCheckPartialTitle, why, PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    m_masterLoaded = true;
    m_services.settings.setValue(QLatin1String(kCheckPartialFileKey), QFileInfo(path).absoluteFilePath());
    if (tellSkips && load.skipped > 0) {
        m_services.prompts.message(
            QStringLiteral("Check Partial File"),
            QStringLiteral("%1: %2 calls loaded. %3")
                .arg(name, QLocale(QLocale::English).toString(load.calls),
                     skippedText(load.skipped, load.firstSkippedLine)),
            PromptButtons::Ok, PromptIcon::Information);
    }
    refreshPartials();
    return true;
}

bool AssistDesk::loadCallHistoryFile(const QString& path, bool tellSkips) {
    const QString name = QFileInfo(path).fileName();
    QString problem;
    const std::optional<QByteArray> content = readAidFile(path, &problem);
    HistoryLoad load;
    if (content) {
        load = m_history.loadText(*content);
    }
    if (!content || load.error) {
        const QString why = content ? QStringLiteral("%1: %2 The history in use is kept.").arg(name, *load.error)
                                    : problem + QStringLiteral(" The history in use is kept.");
        m_services.prompts.message(kCallHistoryTitle, why, PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    m_historyLoaded = true;
    m_services.settings.setValue(QLatin1String(kCallHistoryFileKey), QFileInfo(path).absoluteFilePath());
    if (tellSkips && load.skipped > 0) {
        m_services.prompts.message(
            QStringLiteral("Call History File"),
            QStringLiteral("%1: %2 calls loaded. %3")
                .arg(name, QLocale(QLocale::English).toString(load.entries),
                     skippedText(load.skipped, load.firstSkippedLine)),
            PromptButtons::Ok, PromptIcon::Information);
    }
    m_marks.invalidate();
    Q_EMIT marksChanged();
    return true;
}

// ---- the log and earlier logs --------------------------------------------------------------

void AssistDesk::logReloaded() {
    m_worked.rebuild(m_log);
    m_marks.invalidate();
    refreshPartials();
    showNextAction();
    Q_EMIT marksChanged();
}

void AssistDesk::contactAdded() {
    if (m_log.count() > 0) {
        m_worked.add(m_log.record(m_log.count()));
    }
    m_marks.invalidate();
    showNextAction();
    Q_EMIT marksChanged();
}

void AssistDesk::relearn() {
    if (!m_callHistoryOn) {
        return;
    }
    m_history.clearLearned();
    m_toLearn = earlierLogFiles(m_folders.DataFolder, m_folders.BackupFolder);
    m_learner->start();
}

bool AssistDesk::learning() const { return m_learner->isActive(); }

void AssistDesk::learnNext() {
    if (m_toLearn.isEmpty()) {
        m_learner->stop();
        m_marks.invalidate();
        Q_EMIT marksChanged();
        return;
    }
    m_history.learn(earlierLogRecords(m_toLearn.takeFirst()));
}

// ---- check partial -----------------------------------------------------------------------

void AssistDesk::callChanged(const QString&) { refreshPartials(); }

void AssistDesk::refreshPartials() {
    if (!m_checkPartialOn) {
        return;
    }
    m_list->showMatches(findPartials(m_master, m_worked, m_entry.txtCall->text(),
                                     CheckPartialList::kShownCalls),
                        m_prefs.Band);
    if (m_say && m_entry.txtCall->text().trimmed().size() >= 2) {
        m_announce->start();
    }
}

void AssistDesk::announceCount() {
    const QString count = m_list->countText();
    if (count != m_spokenCount && m_say) {
        m_spokenCount = count;
        m_say(count);
    }
}

bool AssistDesk::speakPartials() {
    if (!m_checkPartialOn) {
        return false;
    }
    m_announce->stop();
    const QString calls = m_list->firstCallsSpoken(5);
    const QString text = calls.isEmpty() ? m_list->countText()
                                         : m_list->countText() + QStringLiteral(": ") + calls;
    m_list->setAccessibleDescription(text);
    if (m_say) {
        m_say(text);
    }
    return true;
}

// ---- call history ------------------------------------------------------------------------

std::optional<HistoryValues> AssistDesk::historyFor(const QString& call) const {
    if (!m_callHistoryOn) {
        return std::nullopt;
    }
    const QString upper = call.trimmed().toUpper();
    if (upper.size() < 3 || m_worked.find(upper) != nullptr) {
        return std::nullopt; // this log's own earlier contact fills on leaving the call
    }
    return m_history.find(upper);
}

} // namespace ditlog
