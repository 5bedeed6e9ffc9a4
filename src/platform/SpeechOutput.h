// Spoken announcements through a text-to-speech voice that works offline.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace ditlog {

class SpeechOutput {
public:
    virtual ~SpeechOutput() = default;
    // Speaks the text, cutting off what is still being said.
    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;
    // Loads the voice ahead of the first text, where that takes a while.
    virtual void prepare() {}
    // The audio output to speak on, by its id (AudioOutputs); empty for the default.
    virtual void setOutputDevice(const QByteArray& id) = 0;
};

// The flite synthesiser's "kal16" voice, loaded from the system's flite library when it
// is first needed (never at start-up): each text is synthesised to a wave file on a
// thread of its own and played by a wave player on the chosen output, so a long text is
// heard whole and the window thread never waits for the voice. When flite is not
// installed or no output works, texts are dropped.
class TextToSpeechOutput final : public SpeechOutput {
public:
    TextToSpeechOutput();
    ~TextToSpeechOutput() override;

    // Loads the voice on the synthesis thread.
    void prepare() override;
    void say(const QString& text) override;
    void stop() override;
    void setOutputDevice(const QByteArray& id) override;

    // Whether the flite library and its voice are installed.
    static bool voiceInstalled();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace ditlog
