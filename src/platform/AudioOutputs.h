// The audio outputs present on this computer (sound cards, USB sound cards of radios,
// headsets), each named by the id a player is told to use.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QAudioDevice;
class QMediaDevices;

namespace ditlog {

struct AudioOutput {
    QByteArray id;       // the sound service's own name of the output, stored by the program
    QString description; // what the operator is shown

    friend bool operator==(const AudioOutput&, const AudioOutput&) = default;
};

class AudioOutputs : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The outputs present now. The first call may connect to the sound service.
    virtual QList<AudioOutput> outputs() const = 0;

    bool contains(const QByteArray& id) const;
    // The description of an output present now; empty when it is not.
    QString describe(const QByteArray& id) const;

Q_SIGNALS:
    // An output came or went (a USB sound card plugged in or out).
    void outputsChanged();
};

// The outputs Qt Multimedia reports. Nothing is asked of the sound service until the
// first call of outputs(), so that creating this object costs nothing at start. From
// then on the list is watched: Qt 6.4 keeps its list current but does not signal the
// change, so it is compared every few seconds as well.
class MediaAudioOutputs final : public AudioOutputs {
    Q_OBJECT
public:
    static constexpr int kWatchIntervalMs = 2000;
    using AudioOutputs::AudioOutputs;
    QList<AudioOutput> outputs() const override;

private:
    void startWatching() const;
    void compare();

    mutable QMediaDevices* m_watch = nullptr;
    mutable QList<QByteArray> m_lastIds;
};

// The output with this id, or the system's default output for an empty id or one that
// is not present (found tells which). A null device when the computer has no output.
QAudioDevice audioOutputById(const QByteArray& id, bool* found = nullptr);

} // namespace ditlog
