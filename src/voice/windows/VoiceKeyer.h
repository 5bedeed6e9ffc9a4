// The station's voice: the voice keyer (PhoneFrm) and voice navigation (BlindFrm) with
// their players, the spoken prompts and the speech for what changes on the screen. The
// main window reaches it as its VoiceControl; its windows are made on first use and
// kept until the main window closes.
#pragma once

#include "voice/VoiceControl.h"

#include <QObject>

#include <memory>

class QWidget;

namespace ditlog {

class AudioOutputs;
class BlindWindow;
class ParallelPort;
class PhoneKeyer;
class PhoneWindow;
class PortOwnership;
class Screen;
class SerialPort;
class SettingsStore;
class SpeechOutput;
class UserPrompts;
class VoicePrompts;
class WavePlayer;
struct StationPreferences;

// The devices the voice uses; the program hands it real ones, tests doubles.
struct VoiceDevices {
    WavePlayer& phonePlayer;  // the voice keyer's own playback device
    WavePlayer& promptPlayer; // the navigation window's own playback device
    SpeechOutput& speech;
    SerialPort& pttPort;      // a port object of the voice keyer's own
    ParallelPort& parallel;   // the station's parallel port, shared with the CW keyer
    PortOwnership& ownership; // the CW keying port, PTT port and WinKeyer rule
    AudioOutputs& outputs;    // the audio outputs present, for the output choices
};

class VoiceKeyer : public QObject, public VoiceControl {
    Q_OBJECT
public:
    // The settings store key of the choice to speak what changes ("1" or "0").
    static constexpr char kSpeechKey[] = "SpeakChanges";

    VoiceKeyer(const VoiceDevices& devices, StationPreferences& prefs, SettingsStore& settings,
               UserPrompts& prompts, const Screen& screen, QString workingFolder,
               QWidget* windowParent);
    ~VoiceKeyer() override;

    void FKeyPhone(int keyCode) override;
    bool stopMessage() override;
    // "Dupe" with voice navigation on is a prompt the window waits for.
    void BlindKeyPhone(const QString& word) override;
    bool isPlaying() const override;
    void afterPrompt(QObject* context, std::function<void()> done) override;

    // Start-up: reads "wave2.txt" into the keyer, then (once the entry row is ready)
    // checks that the chosen outputs are present and loads the speech voice.
    void loadWaveList();
    void mnuVoiceSetup_Click();
    void mnuVoiceNavigation_Click();

    PhoneKeyer& keyer() { return *m_keyer; }
    VoicePrompts& prompts() { return *m_prompts; }
    PhoneWindow* phoneWindow() const { return m_phoneWindow; }
    BlindWindow* blindWindow() const { return m_blindWindow; }

    // Speech for what changes: chosen in the navigation window, spoken while voice
    // navigation is on. A text asked for while a prompt plays follows the prompt.
    bool speechChosen() const { return m_speechChosen; }
    bool speaking() const;
    void speak(const QString& text);

Q_SIGNALS:
    // The navigation level was chosen: the preferences should be saved.
    void preferencesChanged();
    // A line for the main window's status line (an output that is gone, a message that
    // push-to-talk kept off the air).
    void statusShown(const QString& text);

private:
    PhoneWindow& ensurePhoneWindow();
    void sayPending();
    // The prompts and speech take the output chosen in the keyer window.
    void applyPromptOutput();
    // Tells, once per change, which chosen output is not present (its sound then goes to
    // the default output).
    void checkOutputs();

    StationPreferences& m_prefs;
    SettingsStore& m_settings;
    UserPrompts& m_userPrompts;
    const Screen& m_screen;
    SpeechOutput& m_speech;
    WavePlayer& m_promptPlayer;
    AudioOutputs& m_outputs;
    QString m_folder;
    QWidget* m_windowParent;
    std::unique_ptr<PhoneKeyer> m_keyer;
    std::unique_ptr<VoicePrompts> m_prompts;
    PhoneWindow* m_phoneWindow = nullptr;
    BlindWindow* m_blindWindow = nullptr;
    bool m_speechChosen = false;
    QString m_pendingSpeech;
    // The chosen outputs found missing at the last check.
    QList<QByteArray> m_missingOutputs;
};

} // namespace ditlog
