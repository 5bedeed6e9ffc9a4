// The entry row of the main window: the six contact fields with their keystroke rules,
// the status and possible-duplicate lines, the entity, bearing and distance labels, the
// post-contest date and time, and logging a contact (Mains).
#pragma once

#include "assist/EntryAssist.h"
#include "log/DuplicateCheck.h"
#include "platform/Services.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>

#include <optional>
#include <utility>

class QLabel;
class QLineEdit;
class QTimer;

namespace ditlog {

class ContactLog;
class DesignCanvas;
class KeyHold;
class LogFile;
class OperatingTime;
class PrefixTable;
class VoiceControl;
struct StationPreferences;

class EntryPanel : public QObject {
    Q_OBJECT
public:
    EntryPanel(Services services, ContactLog& log, const LogFile& file, StationPreferences& prefs,
               const PrefixTable& prefixes, const OperatingTime& operating, VoiceControl& voice,
               DesignCanvas& canvas, QObject* parent = nullptr);

    // The fields, in keyboard order.
    QLineEdit* txtCall = nullptr;
    QLineEdit* txtRSTR = nullptr;
    QLineEdit* txtCntry = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtSec = nullptr;
    QLineEdit* txtRSTS = nullptr;
    QLineEdit* txtPostConTime = nullptr;
    QLineEdit* txtPostConDate = nullptr;
    QLabel* lblDialog = nullptr;
    QLabel* lblDupe = nullptr;
    QLabel* lblNew = nullptr;
    QLabel* Label19 = nullptr; // continent
    QLabel* Label22 = nullptr; // bearing
    QLabel* Label23 = nullptr; // distance in miles

    void Mains();
    void cmdClear_Click();
    void DupCheck();
    void CountryLookup();
    void NewIndicator();

    // Report fields take 3 characters in CW and 2 in phone.
    void applyMode();
    void setPostContestMode(bool on);
    bool postContestMode() const;
    void setPartialDuplicatesShown(bool on) { m_partialDupes = on; }
    bool partialDuplicatesShown() const { return m_partialDupes; }
    // The frequency text the rig link delivered; stored with the next contact.
    void setRigFrequency(const QString& text) { m_rigFrequency = text; }
    void setVoice(VoiceControl& voice) { m_voice = &voice; }
    // The contest aids the row asks; without them the row's rules run unchanged.
    void setAssist(EntryAssist& assist) { m_assist = &assist; }
    void clearAssist() { m_assist = &m_noAssist; }
    // A field still showing what the call history put in (not yet accepted).
    bool historyFilled(const QLineEdit* field) const;
    // The text colour of history values.
    static QColor historyColour();
    // The focus moves to the first empty field of the exchange (leaving the call field
    // first, which fills the reports and what this log knows of the call).
    void focusFirstEmpty();
    bool duplicateFlagged() const { return m_duplicate; }
    // Keys typed into the entry fields wait here while something holds them (the three
    // seconds after a duplicate; other causes may hold them too).
    KeyHold& keyHold() { return *m_keyHold; }
    // The frequency the next contact would be stored with.
    const QString& rigFrequency() const { return m_rigFrequency; }

    // The status line's text: every change goes through here (or the two below), so that
    // statusTextChanged reports it.
    void setStatusText(const QString& text);
    // Status line colours.
    // The status line on its usual background (see setStatusColour).
    void showNormalStatus(const QString& text);
    // The usual background of the status line: RGB 0,192,192, or another while a mode
    // that colours it is on (keyboard CW); an invalid colour restores the first.
    void setStatusColour(const QColor& colour);
    void showStatusOn(const QString& text, const QColor& colour);
    void setDupeIdle();
    void focusCall();
    void putSpc(const QString& code);

Q_SIGNALS:
    // A contact was stored; row is the multiplier newly worked (0 when none), entity
    // tells whether the DX entity list grew.
    void contactLogged(int newlyWorkedRow, bool entityAdded);
    void contactNotStored();
    void callFieldEntered();
    void previousContactsFound(const QList<int>& records);
    void callChanged(const QString& call);
    // The status line shows another text (whether or not the window is painted).
    void statusTextChanged(const QString& text);
    void rstSentChanged(const QString& rst);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields(DesignCanvas& canvas);
    QLineEdit* addField(DesignCanvas& canvas, const QString& name, int left, int width,
                        int maxLength, const QString& heading, int headingIndex);
    void cleanPastedText(QLineEdit* field);

    // Key handlers: each takes a key code and returns what is left of it (0 discards).
    int txtCall_KeyPress(int key);
    int txtRSTR_KeyPress(int key);
    int txtRSTS_KeyPress(int key);
    int txtName_KeyPress(int key);
    int txtSec_KeyPress(int key);
    int txtCntry_KeyPress(int key);
    int postContest_KeyPress(QLineEdit* field, int key);
    void PartialDupCheck(int key);
    void txtCall_LostFocus();
    // The report defaults and the Canadian province put in on leaving the call field.
    void fillOnLeavingCall();
    void txtCall_GotFocus();
    void fieldEntered(QLineEdit* field);
    void endDuplicateHoldIfDue();
    bool holdIsOver() const;
    // Runs a field's key rules and types what is left of the key; false when the field
    // should handle the key itself (Backspace).
    bool dispatchKey(QLineEdit* field, int key);
    // Mains, step by step: the date and time to store (nothing when the post-contest
    // fields are invalid) and the append with its messages.
    std::optional<std::pair<QString, QString>> contactDateTime();
    bool storeContact(const QString& date, const QString& time);
    bool frmcmp();
    bool SectionCheck();
    void clearEntry();
    void focusNextAfter(QLineEdit* field);
    void showBearing(float latitude, float longitude);
    // Call history: fields it filled take the operator's values back when the call
    // changes, and a typed or accepted value ends the history colour.
    void withdrawHistoryFill();
    void fillFromHistory();
    void acceptHistoryFill(QLineEdit* field);
    // Enter in an entry field: the aids first, else Mains.
    void enterKey();

    Services m_services;
    ContactLog& m_log;
    const LogFile& m_file;
    StationPreferences& m_prefs;
    const PrefixTable& m_prefixes;
    const OperatingTime& m_operating;
    VoiceControl* m_voice;
    QList<QLineEdit*> m_order;
    QList<QLabel*> m_headings;

    int m_pending = 0; // 3: letter from the report into SPC; 4: digit forwarded
    int m_pendingKey = 0;
    bool m_duplicate = false;
    qint64 m_duplicateAtNs = 0;
    bool m_waitingForVoice = false; // the spoken "Dupe" has not ended yet
    KeyHold* m_keyHold = nullptr;
    QTimer* m_holdTimer = nullptr;
    // While logging moves the focus between fields, leaving the call field checks nothing.
    bool m_inMains = false;
    // The SPC text the country lookup itself put in, so a later lookup may take it back.
    QString m_lookupSpc;
    bool m_partialDupes = true;
    QColor m_statusColour{0, 192, 192}; // the status line's usual background
    QString m_rigFrequency;
    NoEntryAssist m_noAssist;
    EntryAssist* m_assist = &m_noAssist;
    QHash<QLineEdit*, QString> m_historyFill; // field -> the value the history put in
    bool m_quietFocus = false; // focus moves that announce nothing
};

} // namespace ditlog
