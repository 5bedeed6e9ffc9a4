// Spoken announcements through a text-to-speech voice that works offline.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QTextToSpeech;

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

// Qt TextToSpeech, preferring the offline "flite" engine. The engine is loaded by
// prepare() (it takes a noticeable moment, so the caller runs it outside a keystroke)
// or at the first text. When no engine or no audio output works, texts are dropped.
class TextToSpeechOutput final : public SpeechOutput {
public:
    TextToSpeechOutput();
    ~TextToSpeechOutput() override;

    void prepare() override;
    void say(const QString& text) override;
    void stop() override;
    // The engine speaks on the output it was loaded with: a different output (or the
    // chosen one coming or going) loads it anew at the next prepare() or text.
    void setOutputDevice(const QByteArray& id) override;

private:
    std::unique_ptr<QTextToSpeech> m_engine;
    bool m_prepared = false;
    QByteArray m_outputId;
    // The output the engine was loaded on (empty: the default at that moment).
    QByteArray m_loadedOn;
};

} // namespace ditlog
