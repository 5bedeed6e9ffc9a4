// Code practice: random groups from the practice characters, and the sender that feeds
// a text to the keyer one character at a time, so that edits of the text during sending
// take effect from the current position on.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QRandomGenerator;

namespace ditlog {

class CwKeyer;

// "A" to "Z", "0" to "9", ".", ",", "?", "/", "-" (41 entries).
QString practiceCharacters();
// groups groups of size characters from the first 26 entries (letters) or all 41, each
// group followed by one blank.
QString randomGroups(int groups, int size, bool lettersOnly, QRandomGenerator& random);

class CodePracticeSender : public QObject {
    Q_OBJECT
public:
    CodePracticeSender(CwKeyer& keyer, QObject* parent = nullptr);

    // Sends the text the provider returns, re-reading it before each character.
    void start(std::function<QString()> text);
    // Ends after the character being keyed.
    void stop();
    bool running() const { return m_running; }

Q_SIGNALS:
    // The keyer took a character of the text; position counts from 0.
    void characterSent(QChar character, int position);
    void finished();

private:
    void feedNext();

    CwKeyer& m_keyer;
    std::function<QString()> m_text;
    QString m_copy;
    int m_position = 0;
    QChar m_given; // the character handed over last
    bool m_running = false;
    bool m_waiting = false; // the last character given has not been taken yet
};

} // namespace ditlog
