// What the main window asks of the voice keyer: phone function keys and the spoken
// field prompts. SilentVoice stands for a station without voice messages.
#pragma once

#include <QString>

#include <functional>

class QObject;

namespace ditlog {

class VoiceControl {
public:
    virtual ~VoiceControl() = default;
    virtual void FKeyPhone(int keyCode) = 0;
    // Esc: a voice message playing stops, push-to-talk with it; false when none played.
    virtual bool stopMessage() { return false; }
    // Announces a field or event word ("Call", "RstRcvd", "Dupe" ...).
    virtual void BlindKeyPhone(const QString& word) = 0;
    virtual bool isPlaying() const = 0;
    // Runs done once the prompt the window waits for ("Dupe" with voice navigation on)
    // has ended, at once when there is none; dropped when context goes first.
    virtual void afterPrompt(QObject* context, std::function<void()> done) = 0;
};

class SilentVoice final : public VoiceControl {
public:
    void FKeyPhone(int) override {}
    void BlindKeyPhone(const QString&) override {}
    bool isPlaying() const override { return false; }
    void afterPrompt(QObject*, std::function<void()> done) override { done(); }
};

} // namespace ditlog
