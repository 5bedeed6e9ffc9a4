// Text-to-speech over Qt TextToSpeech.
#include "platform/SpeechOutput.h"

#include <QLoggingCategory>
#include <QTextToSpeech>

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
    m_engine = std::make_unique<QTextToSpeech>(engine);
    qCDebug(lcSpeech) << "engine" << engine << m_engine->state() << m_engine->errorString();
}

void TextToSpeechOutput::say(const QString& text) {
    prepare();
    if (m_engine == nullptr || text.trimmed().isEmpty()) {
        return;
    }
    m_engine->say(text);
}

void TextToSpeechOutput::stop() {
    if (m_engine != nullptr) {
        m_engine->stop(QTextToSpeech::BoundaryHint::Immediate);
    }
}

} // namespace ditlog
