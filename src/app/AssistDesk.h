// The contest aids on the main window: check partial (the master call list and its list
// beside the possible-duplicates box), call history with the member roster and what
// earlier logs taught, Enter sends message with run mode, and the marks of spots. The
// entry row asks it through EntryAssist; each aid is off until the operator turns it on,
// and its choice is kept in the settings store.
#pragma once

#include "assist/CallHistory.h"
#include "assist/CheckPartial.h"
#include "assist/EnterSendsMessage.h"
#include "assist/EntryAssist.h"
#include "assist/SpotMarks.h"
#include "assist/WorkedCalls.h"
#include "log/DataFolders.h"
#include "platform/Services.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QLabel;
class QTimer;

namespace ditlog {

class CheckPartialList;
class ContactLog;
class CwKeyerControl;
class DesignCanvas;
class EntryPanel;
class PrefixTable;
class VoiceControl;
struct StationPreferences;

class AssistDesk final : public QObject, public EntryAssist {
    Q_OBJECT
public:
    // The settings store keys of the choices and files.
    static constexpr char kCheckPartialKey[] = "CheckPartial";
    static constexpr char kCheckPartialFileKey[] = "CheckPartialFile";
    static constexpr char kCallHistoryKey[] = "CallHistory";
    static constexpr char kCallHistoryFileKey[] = "CallHistoryFile";
    static constexpr char kEnterSendsMessageKey[] = "EnterSendsMessage";
    static constexpr char kRunModeKey[] = "RunMode";
    static constexpr char kSpotMarksKey[] = "SpotMarks";

    AssistDesk(Services services, const DataFolders& folders, const StationPreferences& prefs,
               const ContactLog& log, const PrefixTable& prefixes, EntryPanel& entry,
               DesignCanvas& canvas, QObject* parent = nullptr);
    ~AssistDesk() override;

    // Who sends the messages: looked up at each Enter (the station's keyers change).
    void setSenders(std::function<CwKeyerControl&()> keyer, std::function<VoiceControl&()> voice);
    // Where the CW window keeps which key holds which message (the keyer's store).
    void setMessageKeyStore(std::function<SettingsStore&()> store) { m_keyStore = std::move(store); }
    // Spoken announcements for blind operators (the voice window's speech, when chosen).
    void setSpeech(std::function<void(const QString&)> say) { m_say = std::move(say); }
    // The status-line label that shows what Enter does next.
    void setNextActionLabel(QLabel* label);

    bool checkPartialOn() const { return m_checkPartialOn; }
    bool callHistoryOn() const { return m_callHistoryOn; }
    bool enterSendsMessageOn() const { return m_esmOn; }
    bool runMode() const { return m_runMode; }
    bool spotMarksOn() const { return m_spotMarksOn; }
    void setCheckPartialOn(bool on);
    void setCallHistoryOn(bool on);
    void setEnterSendsMessageOn(bool on);
    void setRunMode(bool on);
    // Dupes and new multipliers marked on the maps and in the spot list.
    void setSpotMarksOn(bool on);

    // End of start-up: the choices are read from the settings store, the files of the aids
    // that are on are loaded, learning starts.
    void startUp();
    // File menu: pick and load a file (remembered when it loads).
    void mnuLoadCheckPartial_Click();
    void mnuLoadCallHistory_Click();
    // Loads a file; a failure is shown to the operator and keeps what was loaded.
    // With `tellSkips`, lines that were skipped are reported too.
    bool loadCheckPartialFile(const QString& path, bool tellSkips);
    bool loadCallHistoryFile(const QString& path, bool tellSkips);

    // The log was loaded or rewritten, or a contact was added.
    void logReloaded();
    void contactAdded();
    // Reads the earlier logs again (a new log made a backup of the last one).
    void relearn();
    bool learning() const;

    const CheckPartial& master() const { return m_master; }
    const CallHistory& history() const { return m_history; }
    const WorkedCalls& worked() const { return m_worked; }
    CheckPartialList* checkPartialList() const { return m_list; }
    QLabel* nextActionLabel() const { return m_nextAction; }
    // The marks of a spotted call on a frequency (MHz); none while marks are off.
    SpotMark spotMark(QStringView call, double mhz) const {
        return m_spotMarksOn ? m_marks.markOf(call, mhz) : SpotMark::None;
    }
    // What Enter would do now, as the status line shows it (empty with the option off).
    QString nextActionText() const;

    // EntryAssist
    void callChanged(const QString& call) override;
    std::optional<HistoryValues> historyFor(const QString& call) const override;
    bool enterPressed() override;
    void entryChanged() override;
    bool speakPartials() override;

protected:
    // The main window comes back to the front (from the CW window, say): what Enter
    // does next is shown anew.
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    // An aid was turned on or off (the menu shows it).
    void choicesChanged();
    // The marks of spots may have changed (log, history or options changed).
    void marksChanged();
    // The status line is to be shown or hidden with Enter sends message.
    void nextActionVisibilityChanged(bool visible);

private:
    void buildList(DesignCanvas& canvas);
    void layOutList();
    void refreshPartials();
    void announceCount();
    void learnNext();
    void storeChoice(const char* key, bool on);
    QString chooseFile(const QString& title, const QString& filter, const char* key);

    // Enter sends message (AssistEnter.cpp).
    EntryState entryState(bool exactDuplicate) const;
    // Sends the step's messages; true when the message's own "!" logs the contact.
    bool send(const EnterStep& step);
    void showNextAction();
    MessageKeys messageKeys() const;

    Services m_services;
    const DataFolders& m_folders;
    const StationPreferences& m_prefs;
    const ContactLog& m_log;
    EntryPanel& m_entry;
    CheckPartial m_master;
    CallHistory m_history;
    WorkedCalls m_worked;
    SpotMarks m_marks;
    CheckPartialList* m_list = nullptr;
    QLabel* m_nextAction = nullptr;
    QTimer* m_announce = nullptr;
    QTimer* m_learner = nullptr;
    QStringList m_toLearn;
    QString m_spokenCount;
    std::function<CwKeyerControl&()> m_keyer;
    std::function<VoiceControl&()> m_voice;
    std::function<void(const QString&)> m_say;
    std::function<SettingsStore&()> m_keyStore;
    bool m_checkPartialOn = false;
    bool m_callHistoryOn = false;
    bool m_esmOn = false;
    bool m_runMode = true;
    bool m_spotMarksOn = false;
    bool m_masterLoaded = false;
    bool m_historyLoaded = false;
};

} // namespace ditlog
