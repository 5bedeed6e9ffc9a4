// The main window's voice: the voice keyer and navigation windows on the Options menu,
// the prompts placed at start, keys held while a prompt the window waits for plays, and
// the speech for what the screen shows: the status line, the DX entity found for a
// call, and on Ctrl+T and Ctrl+L the score and the last contact.
#include "app/MainWindow.h"

#include "app/EntryPanel.h"
#include "app/MainWindowRig.h"
#include "app/ScorePanel.h"
#include "ui/KeyHold.h"
#include "voice/PhoneKeyer.h"
#include "voice/SpokenText.h"
#include "voice/VoicePrompts.h"
#include "voice/windows/VoiceKeyer.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

namespace ditlog {

namespace {
const QString kVoiceHold = QStringLiteral("voice");
constexpr int kEntityPauseMs = 400;

// Speaks the status line when its text changes, whether the window is seen, covered or
// minimised. The text is taken once the event that changed it is over: a text replaced
// within one keystroke is not said.
class StatusLineSpeech final : public QObject {
public:
    StatusLineSpeech(EntryPanel& entry, VoiceKeyer& voice)
        : QObject(&voice), m_voice(voice), m_status(*entry.lblDialog), m_settle(new QTimer(this)) {
        m_settle->setSingleShot(true);
        m_settle->setInterval(0);
        connect(m_settle, &QTimer::timeout, this, &StatusLineSpeech::sayChange);
        connect(&entry, &EntryPanel::statusTextChanged, m_settle, qOverload<>(&QTimer::start));
        m_lastText = m_status.text();
    }

private:
    void sayChange() {
        const QString text = m_status.text();
        if (text != m_lastText) {
            m_lastText = text;
            m_voice.speak(spokenStatus(text));
        }
    }

    VoiceKeyer& m_voice;
    const QLabel& m_status;
    QTimer* m_settle;
    QString m_lastText;
};
} // namespace

void MainWindow::attachVoice(const VoiceDevices& devices) {
    detachVoice();
    // A fresh installation finds its prompts; the operator's own recordings stay.
    installMissingPrompts(m_folders.WorkingFolder);
    m_voiceKeyer = new VoiceKeyer(devices, m_prefs, m_services.settings, m_services.prompts,
                                  m_services.screen, m_folders.WorkingFolder, this);
    setVoice(*m_voiceKeyer);
    VoiceKeyer* voice = m_voiceKeyer;
    // "Rig port RTS", "Rig port DTR" and "Radio (CAT)" go through the rig link; why one
    // could not key reaches the status line through statusShown.
    voice->keyer().setRadio(&m_rig->radio());

    for (const auto& [name, slot] : {std::pair{QStringLiteral("mnuVoiceSetup"), &VoiceKeyer::mnuVoiceSetup_Click},
                                     std::pair{QStringLiteral("mnuVoiceNavigation"),
                                               &VoiceKeyer::mnuVoiceNavigation_Click}}) {
        QAction* item = m_actions.value(name);
        item->setEnabled(true);
        connect(item, &QAction::triggered, voice, slot);
    }
    connect(voice, &VoiceKeyer::preferencesChanged, this, &MainWindow::SavePref);
    connect(this, &MainWindow::startUpFinished, voice, &VoiceKeyer::loadWaveList);

    // While a prompt the window waits for plays ("Dupe", "NavEn" before "Call"), keys
    // typed into the entry row wait and are typed when it has ended.
    connect(&voice->prompts(), &VoicePrompts::waitStarted, this,
            [this] { m_entry->keyHold().hold(kVoiceHold); });
    connect(&voice->prompts(), &VoicePrompts::waitEnded, this,
            [this] { m_entry->keyHold().release(kVoiceHold); });

    new StatusLineSpeech(*m_entry, *voice);
    connect(voice, &VoiceKeyer::statusShown, this, &MainWindow::showStatus);
    // The entity is said once the typing pauses, not at every character of the call.
    auto* entityPause = new QTimer(voice);
    entityPause->setSingleShot(true);
    entityPause->setInterval(kEntityPauseMs);
    connect(entityPause, &QTimer::timeout, voice, [this, voice] { voice->speak(m_entry->txtCntry->text()); });
    connect(m_entry->txtCntry, &QLineEdit::textChanged, entityPause, [this, entityPause](const QString& text) {
        // The lookup fills the SPC field with the entity while the call is typed, the
        // duplicate check with the earlier contact's; what is typed there is not said.
        if (!m_entry->txtCntry->hasFocus() && !text.isEmpty()) {
            entityPause->start();
        } else {
            entityPause->stop();
        }
    });
    auto* score = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    score->setObjectName(QStringLiteral("scSpeakScore"));
    connect(voice, &QObject::destroyed, score, &QObject::deleteLater);
    connect(score, &QShortcut::activated, voice, [this, voice] {
        voice->speak(spokenScore({m_score->lblTotalContacts()->text(),
                                  m_score->lblTotalPoints()->text(),
                                  m_score->lblTotalMultipliers()->text(),
                                  m_score->lblTotalScore()->text()}));
    });
    auto* last = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    last->setObjectName(QStringLiteral("scSpeakLastContact"));
    connect(voice, &QObject::destroyed, last, &QObject::deleteLater);
    connect(last, &QShortcut::activated, voice, [this, voice] {
        voice->speak(spokenLastContact(m_log.count() > 0 ? &m_log.record(m_log.count()) : nullptr));
    });
}

void MainWindow::detachVoice() {
    if (m_voiceKeyer == nullptr) {
        return;
    }
    setVoice(m_silentVoice);
    m_voiceKeyer->keyer().setRadio(nullptr);
    m_entry->keyHold().release(kVoiceHold);
    delete std::exchange(m_voiceKeyer, nullptr);
}

} // namespace ditlog
