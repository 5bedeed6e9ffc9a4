// Text-to-speech with the flite library, loaded at run time: synthesis on a thread of its
// own into a wave file, playback by a wave player on the chosen output.
#include "platform/SpeechOutput.h"

#include "platform/WavePlayer.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThreadPool>

#include <atomic>

namespace ditlog {

Q_LOGGING_CATEGORY(lcSpeech, "ditlog.speech", QtWarningMsg)

namespace {

// The few flite functions used; voices and waves are opaque here.
struct FliteLibrary {
    using Init = int (*)();
    using RegisterVoice = void* (*)(const char*);
    using TextToWave = void* (*)(const char*, void*);
    using SaveRiff = int (*)(void*, const char*);
    using DeleteWave = void (*)(void*);

    QLibrary flite{QStringLiteral("flite"), 1};
    QLibrary kal{QStringLiteral("flite_cmu_us_kal16"), 1};
    TextToWave textToWave = nullptr;
    SaveRiff saveRiff = nullptr;
    DeleteWave deleteWave = nullptr;
    void* voice = nullptr;
    bool tried = false;

    // Loads the library and the voice once; false when they are not installed.
    bool load() {
        if (tried) {
            return voice != nullptr;
        }
        tried = true;
        if (!flite.load() || !kal.load()) {
            qCDebug(lcSpeech) << "flite not available:" << flite.errorString() << kal.errorString();
            return false;
        }
        const auto init = reinterpret_cast<Init>(flite.resolve("flite_init"));
        const auto registerVoice = reinterpret_cast<RegisterVoice>(kal.resolve("register_cmu_us_kal16"));
        textToWave = reinterpret_cast<TextToWave>(flite.resolve("flite_text_to_wave"));
        saveRiff = reinterpret_cast<SaveRiff>(flite.resolve("cst_wave_save_riff"));
        deleteWave = reinterpret_cast<DeleteWave>(flite.resolve("delete_wave"));
        if (init == nullptr || registerVoice == nullptr || textToWave == nullptr ||
            saveRiff == nullptr || deleteWave == nullptr) {
            qCDebug(lcSpeech) << "flite lacks a function";
            return false;
        }
        init();
        voice = registerVoice(nullptr);
        return voice != nullptr;
    }

    bool synthesise(const QString& text, const QString& path) {
        if (!load()) {
            return false;
        }
        void* wave = textToWave(text.toLatin1().constData(), voice);
        if (wave == nullptr) {
            return false;
        }
        const bool saved = saveRiff(wave, QFile::encodeName(path).constData()) == 0;
        deleteWave(wave);
        return saved;
    }
};

} // namespace

struct TextToSpeechOutput::State {
    SoundEffectPlayer player;
    QTemporaryDir folder;
    // Each text counts up; a text synthesised after a newer one was asked for is dropped.
    std::atomic<quint64> generation{0};
    // Used on the synthesis thread only; shared so that a late task never outlives it.
    std::shared_ptr<FliteLibrary> flite = std::make_shared<FliteLibrary>();
    // Last: destroyed first, waiting for a synthesis under way.
    QThreadPool synthesis;

    State() { synthesis.setMaxThreadCount(1); }
};

TextToSpeechOutput::TextToSpeechOutput() : m_state(std::make_unique<State>()) {}

TextToSpeechOutput::~TextToSpeechOutput() {
    m_state->generation += 1;
    m_state->synthesis.clear();
}

bool TextToSpeechOutput::voiceInstalled() {
    QLibrary kal(QStringLiteral("flite_cmu_us_kal16"), 1);
    const bool installed = kal.load();
    return installed;
}

void TextToSpeechOutput::prepare() {
    m_state->synthesis.start([flite = m_state->flite] { flite->load(); });
}

void TextToSpeechOutput::say(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return;
    }
    stop();
    State* state = m_state.get();
    const quint64 generation = state->generation;
    const QDir folder(state->folder.path());
    const QString path = folder.filePath(QStringLiteral("speech-%1.wav").arg(generation));
    const QString older = folder.filePath(QStringLiteral("speech-%1.wav").arg(generation - 2));
    state->synthesis.start([state, flite = state->flite, text, path, older, generation] {
        QFile::remove(older); // long since replaced
        if (generation != state->generation) {
            return; // a newer text or a stop came while this one waited
        }
        if (!flite->synthesise(text, path)) {
            return;
        }
        // Played on the window thread, unless the output went away meanwhile.
        QMetaObject::invokeMethod(&state->player, [state, path, generation] {
            if (generation == state->generation && state->player.open(path)) {
                state->player.play();
            }
        });
    });
}

void TextToSpeechOutput::stop() {
    m_state->generation += 1;
    m_state->player.close();
}

void TextToSpeechOutput::setOutputDevice(const QByteArray& id) { m_state->player.setOutputDevice(id); }

} // namespace ditlog
