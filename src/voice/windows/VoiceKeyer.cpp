// The station's voice: keyer, prompts, their windows and the spoken changes.
#include "voice/windows/VoiceKeyer.h"

#include "log/StationPreferences.h"
#include "platform/AudioOutputs.h"
#include "platform/SettingsStore.h"
#include "platform/SpeechOutput.h"
#include "platform/WavePlayer.h"
#include "voice/PhoneKeyer.h"
#include "voice/PhoneSettings.h"
#include "voice/VoicePrompts.h"
#include "voice/windows/BlindWindow.h"
#include "voice/windows/PhoneWindow.h"

#include <QTimer>

namespace ditlog {

VoiceKeyer::VoiceKeyer(const VoiceDevices& devices, StationPreferences& prefs,
                       SettingsStore& settings, UserPrompts& prompts, const Screen& screen,
                       QString workingFolder, QWidget* windowParent)
    : QObject(windowParent), m_prefs(prefs), m_settings(settings), m_userPrompts(prompts),
      m_screen(screen), m_speech(devices.speech), m_promptPlayer(devices.promptPlayer),
      m_outputs(devices.outputs), m_folder(std::move(workingFolder)), m_windowParent(windowParent),
      m_keyer(std::make_unique<PhoneKeyer>(devices.phonePlayer, devices.pttPort, devices.parallel,
                                           devices.ownership, prompts)),
      m_prompts(std::make_unique<VoicePrompts>(devices.promptPlayer, m_folder)) {
    m_speechChosen = m_settings.value(QString::fromLatin1(kSpeechKey)) == QLatin1String("1");
    connect(m_keyer.get(), &PhoneKeyer::pttPortRefused, this, [this] {
        // The operator corrects the port in the keyer window.
        PhoneWindow& w = ensurePhoneWindow();
        if (!w.isVisible()) {
            w.open();
        }
    });
    connect(&m_promptPlayer, &WavePlayer::playbackEnded, this, &VoiceKeyer::sayPending);
    connect(m_keyer.get(), &PhoneKeyer::settingsChanged, this, &VoiceKeyer::applyPromptOutput);
    connect(m_keyer.get(), &PhoneKeyer::notKeyed, this, &VoiceKeyer::statusShown);
    connect(&m_outputs, &AudioOutputs::outputsChanged, this, [this] {
        // A chosen output plugged in or pulled out: the speech voice moves to where its
        // sound now goes, and a missing output is told.
        applyPromptOutput();
        checkOutputs();
    });
}

VoiceKeyer::~VoiceKeyer() {
    // The windows go first: they refer to the keyer and the prompts.
    delete m_phoneWindow;
    delete m_blindWindow;
    m_prompts->close();
    m_speech.stop();
}

void VoiceKeyer::FKeyPhone(int keyCode) { m_keyer->FKeyPhone(keyCode); }

bool VoiceKeyer::stopMessage() { return m_keyer->stopMessage(); }

void VoiceKeyer::BlindKeyPhone(const QString& word) {
    if (word == QLatin1String("Dupe") && m_prefs.VoiceNavigation > 0) {
        m_prompts->playAndWait(word);
    } else {
        m_prompts->BlindKeyPhone(word);
    }
}

bool VoiceKeyer::isPlaying() const { return m_prompts->isPlaying(); }

void VoiceKeyer::afterPrompt(QObject* context, std::function<void()> done) {
    m_prompts->afterPrompt(context, std::move(done));
}

void VoiceKeyer::loadWaveList() {
    const WaveListLoad load = readWaveList(m_folder);
    m_keyer->setSettings(load.settings);
    applyPromptOutput();
    if (m_phoneWindow != nullptr) {
        m_phoneWindow->showSettings();
    }
    // The sound service and the voice take a moment: after the entry row is ready, not
    // before it, and never in the middle of a keystroke.
    QTimer::singleShot(0, this, [this] {
        checkOutputs();
        if (speaking()) {
            m_speech.prepare();
        }
    });
}

void VoiceKeyer::applyPromptOutput() {
    const QByteArray& id = m_keyer->settings().promptOutput;
    m_promptPlayer.setOutputDevice(id);
    m_speech.setOutputDevice(id);
}

void VoiceKeyer::checkOutputs() {
    const PhoneSettings& s = m_keyer->settings();
    QList<QByteArray> missing;
    QStringList lines;
    const std::pair<QByteArray, QString> chosen[] = {
        {s.keyerOutput, QStringLiteral("Voice keyer output")},
        {s.promptOutput, QStringLiteral("Prompts and speech output")}};
    for (const auto& [id, what] : chosen) {
        if (!id.isEmpty() && !m_outputs.contains(id)) {
            missing.append(id);
            lines.append(QStringLiteral("%1 \"%2\" not found").arg(what, QString::fromLatin1(id)));
        }
    }
    if (missing == m_missingOutputs) {
        return;
    }
    m_missingOutputs = missing;
    if (!lines.isEmpty()) {
        Q_EMIT statusShown(lines.join(QStringLiteral("; ")) +
                           QStringLiteral(": the default output is used."));
    }
}

PhoneWindow& VoiceKeyer::ensurePhoneWindow() {
    if (m_phoneWindow == nullptr) {
        m_phoneWindow = new PhoneWindow(*m_keyer, m_outputs, m_folder, m_screen, m_userPrompts,
                                        m_windowParent);
    }
    return *m_phoneWindow;
}

void VoiceKeyer::mnuVoiceSetup_Click() {
    PhoneWindow& w = ensurePhoneWindow();
    w.show();
    w.raise();
    w.activateWindow();
}

void VoiceKeyer::mnuVoiceNavigation_Click() {
    if (m_blindWindow == nullptr) {
        m_blindWindow = new BlindWindow(m_prefs, *m_prompts, m_folder, m_screen, m_userPrompts,
                                        m_windowParent);
        connect(m_blindWindow, &BlindWindow::navigationChosen, this, [this](int, bool speech) {
            m_speechChosen = speech;
            m_settings.setValue(QString::fromLatin1(kSpeechKey),
                                speech ? QStringLiteral("1") : QStringLiteral("0"));
            if (speaking()) {
                QTimer::singleShot(0, this, [this] { m_speech.prepare(); });
            } else {
                m_pendingSpeech.clear();
                m_speech.stop();
            }
            Q_EMIT preferencesChanged();
        });
    }
    m_blindWindow->setSpeechChosen(m_speechChosen);
    m_blindWindow->show();
    m_blindWindow->raise();
    m_blindWindow->activateWindow();
}

bool VoiceKeyer::speaking() const { return m_speechChosen && m_prefs.VoiceNavigation > 0; }

void VoiceKeyer::speak(const QString& text) {
    if (!speaking() || text.trimmed().isEmpty()) {
        return;
    }
    if (m_prompts->isPlaying()) {
        m_pendingSpeech = text;
        return;
    }
    m_speech.say(text);
}

void VoiceKeyer::sayPending() {
    // The prompt player may go straight on with a following prompt.
    QTimer::singleShot(0, this, [this] {
        if (!m_pendingSpeech.isEmpty() && !m_prompts->isPlaying()) {
            m_speech.say(std::exchange(m_pendingSpeech, {}));
        }
    });
}

} // namespace ditlog
