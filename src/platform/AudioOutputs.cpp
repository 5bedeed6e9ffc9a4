// Audio outputs through QMediaDevices.
#include "platform/AudioOutputs.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>

namespace ditlog {

bool AudioOutputs::contains(const QByteArray& id) const {
    const QList<AudioOutput> present = outputs();
    return std::any_of(present.begin(), present.end(),
                       [&id](const AudioOutput& o) { return o.id == id; });
}

QString AudioOutputs::describe(const QByteArray& id) const {
    for (const AudioOutput& o : outputs()) {
        if (o.id == id) {
            return o.description;
        }
    }
    return {};
}

QList<AudioOutput> MediaAudioOutputs::outputs() const {
    startWatching();
    QList<AudioOutput> list;
    m_lastIds.clear();
    for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
        list.append({device.id(), device.description()});
        m_lastIds.append(device.id());
    }
    return list;
}

void MediaAudioOutputs::startWatching() const {
    if (m_watch != nullptr) {
        return;
    }
    // Watching starts with the first question: the sound service is not contacted at
    // start-up for a station that never plays a sound.
    auto* self = const_cast<MediaAudioOutputs*>(this);
    m_watch = new QMediaDevices(self);
    connect(m_watch, &QMediaDevices::audioOutputsChanged, self, &MediaAudioOutputs::compare);
    auto* poll = new QTimer(self);
    connect(poll, &QTimer::timeout, self, &MediaAudioOutputs::compare);
    poll->start(kWatchIntervalMs);
}

void MediaAudioOutputs::compare() {
    QList<QByteArray> ids;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
        ids.append(device.id());
    }
    if (ids != m_lastIds) {
        m_lastIds = ids;
        Q_EMIT outputsChanged();
    }
}

QAudioDevice audioOutputById(const QByteArray& id, bool* found) {
    if (!id.isEmpty()) {
        for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
            if (device.id() == id) {
                if (found != nullptr) {
                    *found = true;
                }
                return device;
            }
        }
    }
    if (found != nullptr) {
        *found = id.isEmpty();
    }
    return QMediaDevices::defaultAudioOutput();
}

} // namespace ditlog
