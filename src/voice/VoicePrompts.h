// The spoken prompts of voice navigation: fixed-name wave files in the working folder
// ("Call", "RstSnt", ... "NavDis"), played on the navigation window's own player with no
// push-to-talk. A prompt the program waits for ("Dupe" with navigation on, "NavEn" before
// "Call") is never cut off: prompts asked for meanwhile follow it, and whatever waits for
// it runs when it has ended.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace ditlog {

class WavePlayer;

class VoicePrompts : public QObject {
    Q_OBJECT
public:
    // The nine prompt names, as the files are named.
    static const QStringList& promptNames();

    VoicePrompts(WavePlayer& player, QString workingFolder, QObject* parent = nullptr);

    // Plays a prompt, cutting off the one playing; while a prompt the program waits for
    // plays, the latest such request follows it instead. A missing or unplayable file
    // plays nothing and reports nothing.
    void BlindKeyPhone(const QString& name);
    // Plays a prompt the program waits for (see above).
    void playAndWait(const QString& name);
    // What choosing a navigation level says: 0 "NavDis"; 1 "NavEn" then "Call";
    // 2 "NavEn".
    void announceNavigation(int level);

    bool isPlaying() const;
    bool isWaiting() const { return m_waiting; }
    // Runs done once no prompt the program waits for is playing (at once when none is).
    // Dropped when context is destroyed first.
    void afterPrompt(QObject* context, std::function<void()> done);
    // "Close": stops the prompt playing; what waited for it runs.
    void close();

    // The file of a prompt: working folder, name, ".wav"; an existing file whose name
    // differs only in letter case is taken too (recordings made on other systems).
    QString promptPath(const QString& name) const;

Q_SIGNALS:
    // A prompt the program waits for started, and ended (or was closed).
    void waitStarted();
    void waitEnded();

private:
    bool play(const QString& name);
    void playerEnded();
    void endWait();

    struct Waiter {
        QPointer<QObject> context;
        std::function<void()> done;
    };

    WavePlayer& m_player;
    QString m_folder;
    bool m_waiting = false;
    QString m_following;
    QList<Waiter> m_waiters;
};

// Copies each shipped prompt that the working folder lacks into it; the operator's own
// recordings (of any letter case) are kept. Returns the names placed. The prompts come
// from shippedFolder, or, when it is empty, from the program's shipped data ("prompts/").
QStringList installMissingPrompts(const QString& workingFolder,
                                  const QString& shippedFolder = {});

} // namespace ditlog
