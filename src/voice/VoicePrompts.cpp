// Prompt playback with its waits as continuations on the player's end, and the start-up
// placement of the shipped prompt files.
#include "voice/VoicePrompts.h"

#include "log/RecordFile.h"
#include "platform/ShippedData.h"
#include "platform/WavePlayer.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include <algorithm>

namespace ditlog {

Q_LOGGING_CATEGORY(lcVoicePrompts, "ditlog.voice", QtWarningMsg)

const QStringList& VoicePrompts::promptNames() {
    static const QStringList names{
        QStringLiteral("Call"),  QStringLiteral("RstSnt"), QStringLiteral("RstRcvd"),
        QStringLiteral("Name"),  QStringLiteral("Power"),  QStringLiteral("SPC"),
        QStringLiteral("Dupe"),  QStringLiteral("NavEn"),  QStringLiteral("NavDis")};
    return names;
}

VoicePrompts::VoicePrompts(WavePlayer& player, QString workingFolder, QObject* parent)
    : QObject(parent), m_player(player), m_folder(std::move(workingFolder)) {
    connect(&m_player, &WavePlayer::playbackEnded, this, &VoicePrompts::playerEnded);
}

QString VoicePrompts::promptPath(const QString& name) const {
    const QDir folder(m_folder);
    const QString file = name + QStringLiteral(".wav");
    if (QFile::exists(folder.filePath(file))) {
        return folder.filePath(file);
    }
    for (const QString& entry : folder.entryList(QDir::Files)) {
        if (entry.compare(file, Qt::CaseInsensitive) == 0) {
            return folder.filePath(entry);
        }
    }
    return folder.filePath(file);
}

bool VoicePrompts::play(const QString& name) {
    m_player.close();
    if (name.trimmed().isEmpty()) {
        return false;
    }
    const QString path = promptPath(name.trimmed());
    if (!m_player.open(path) || !m_player.play()) {
        qCDebug(lcVoicePrompts) << "prompt not played" << path;
        return false;
    }
    return true;
}

void VoicePrompts::BlindKeyPhone(const QString& name) {
    if (m_waiting) {
        m_following = name;
        return;
    }
    play(name);
}

void VoicePrompts::playAndWait(const QString& name) {
    m_following.clear();
    if (play(name)) {
        if (!std::exchange(m_waiting, true)) {
            Q_EMIT waitStarted();
        }
    } else {
        endWait();
    }
}

void VoicePrompts::announceNavigation(int level) {
    if (level <= 0) {
        BlindKeyPhone(QStringLiteral("NavDis"));
    } else if (level == 1) {
        playAndWait(QStringLiteral("NavEn"));
        if (m_waiting) {
            m_following = QStringLiteral("Call");
        } else {
            play(QStringLiteral("Call"));
        }
    } else {
        BlindKeyPhone(QStringLiteral("NavEn"));
    }
}

bool VoicePrompts::isPlaying() const { return m_player.isPlaying(); }

void VoicePrompts::afterPrompt(QObject* context, std::function<void()> done) {
    if (!m_waiting) {
        done();
        return;
    }
    m_waiters.append({context, std::move(done)});
}

void VoicePrompts::close() {
    m_player.close();
    m_following.clear();
    endWait();
}

void VoicePrompts::playerEnded() {
    if (!m_waiting) {
        return;
    }
    const QString next = std::exchange(m_following, {});
    endWait();
    if (!next.isEmpty() && !m_waiting) {
        play(next);
    }
}

void VoicePrompts::endWait() {
    const bool was = std::exchange(m_waiting, false);
    const QList<Waiter> waiters = std::exchange(m_waiters, {});
    for (const Waiter& w : waiters) {
        if (!w.context.isNull()) {
            w.done();
        }
    }
    if (was) {
        Q_EMIT waitEnded();
    }
}

QStringList installMissingPrompts(const QString& workingFolder, const QString& shippedFolder) {
    QStringList placed;
    const QDir folder(workingFolder);
    const QStringList present = folder.entryList(QDir::Files);
    for (const QString& name : VoicePrompts::promptNames()) {
        const QString file = name + QStringLiteral(".wav");
        const bool own = std::any_of(present.begin(), present.end(), [&](const QString& entry) {
            return entry.compare(file, Qt::CaseInsensitive) == 0;
        });
        if (own) {
            continue;
        }
        const QString source = shippedFolder.isEmpty()
                                   ? shippedDataPath(QStringLiteral("prompts/") + file)
                                   : QDir(shippedFolder).filePath(file);
        QFile shipped(source);
        if (source.isEmpty() || !shipped.open(QIODevice::ReadOnly)) {
            qCWarning(lcVoicePrompts) << "shipped prompt missing" << file;
            continue;
        }
        if (const auto error = writeFileAtomically(folder.filePath(file), shipped.readAll())) {
            qCDebug(lcVoicePrompts) << "cannot place prompt" << file << *error;
            continue;
        }
        placed.append(name);
    }
    return placed;
}

} // namespace ditlog
