// Text-to-speech over Qt TextToSpeech.
#include "platform/SpeechOutput.h"

#include "platform/AudioOutputs.h"

#include <QAudioDevice>
#include <QLoggingCategory>
#include <QTextToSpeech>
#include <QVariantMap>

namespace ditlog {

Q_LOGGING_CATEGORY(lcSpeech, "ditlog.speech", QtWarningMsg)

TextToSpeechOutput::TextToSpeechOutput() = default;

TextToSpeechOutput::~TextToSpeechOutput() = default;

void TextToSpeechOutput::prepare() {
    if (m_prepared) {
        return;
    }
    m_prepared = true;
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty()) {
        qCDebug(lcSpeech) << "no text-to-speech engine";
        return;
    }
    const QString engine =
        engines.contains(QStringLiteral("flite")) ? QStringLiteral("flite") : engines.first();
    // Engines that play through Qt Multimedia take the output as a parameter; the others
    // speak on the sound service's default.
    bool found = false;
    const QAudioDevice device = audioOutputById(m_outputId, &found);
    m_loadedOn = found ? m_outputId : QByteArray();
    QVariantMap parameters;
    if (!device.isNull()) {
        parameters.insert(QStringLiteral("audioDevice"), QVariant::fromValue(device));
    }
    m_engine = std::make_unique<QTextToSpeech>(engine, parameters);
    qCDebug(lcSpeech) << "engine" << engine << m_engine->state() << m_engine->errorString();
}

void TextToSpeechOutput::say(const QString& text) {
    prepare();
    if (m_engine == nullptr || text.trimmed().isEmpty()) {
        return;
    }
    m_engine->say(text);
}

void TextToSpeechOutput::setOutputDevice(const QByteArray& id) {
    m_outputId = id;
    if (!m_prepared) {
        return;
    }
    bool found = false;
    audioOutputById(id, &found);
    if ((found ? id : QByteArray()) != m_loadedOn) {
        stop();
        m_engine.reset();
        m_prepared = false;
    }
}

void TextToSpeechOutput::stop() {
    if (m_engine != nullptr) {
        m_engine->stop(QTextToSpeech::BoundaryHint::Immediate);
    }
}

} // namespace ditlog
