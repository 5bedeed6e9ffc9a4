// The radio as the keyers reach it through the rig link: the rig port's DTR and RTS as
// keying and push-to-talk lines, the radio's own keyer fed with text and its transmit
// switch, all by the family table of the radio the link drives. Rules of sharing: a line
// that the rig link raises as connection power, or holds for handshaking, keys nothing;
// CW and push-to-talk never share one line; the link never raises a line that keys.
#pragma once

#include "keyer/RadioKeying.h"
#include "voice/RadioTransmit.h"

#include <QObject>

namespace ditlog {

class DataPortLines;
class RigLink;

class StationRadio final : public QObject, public RadioKeying, public RadioTransmit {
    Q_OBJECT
public:
    StationRadio(RigLink& link, DataPortLines& lines, QObject* parent = nullptr);

    // RadioKeying
    QString keyingLineRefusal(SerialControlLine::Signal line) const override;
    void useKeyingLine(std::optional<SerialControlLine::Signal> line) override;
    KeyingLine* keyingLine(QString* why) override;
    QString cwKeyerMissing() const override;
    QString cwUnavailable() const override;
    int cwCharactersPerCommand() const override;
    bool cwTrailingBlankLost() const override;
    QByteArray cwCharacters(QChar c) const override;
    void sendCw(const QByteArray& characters, int wpm,
                std::function<void(CwAnswer answer, const QString& why)> done) override;
    void setCwSpeed(int wpm) override;
    void stopCw() override;

    // RadioTransmit
    QString pttLineRefusal(SerialControlLine::Signal line) const override;
    void usePttLine(std::optional<SerialControlLine::Signal> line) override;
    KeyingLine* pttLine(QString* why) override;
    QString transmitSwitchMissing() const override;
    QString transmitUnavailable() const override;
    void setTransmit(bool on, std::function<void(bool ok, const QString& why)> done) override;

    // Why a rig-port line cannot power the interface (it keys CW or push-to-talk), empty
    // when it can: for the rig window's "Connection Power".
    QString powerRefusal(const QString& power) const;

private:
    // Why the rig link's settings keep a line from keying, empty when they do not.
    QString lineTakenByLink(SerialControlLine::Signal line) const;
    KeyingLine* lineOf(int user, QString* why);
    QString linkNotReady() const;

    RigLink& m_link;
    DataPortLines& m_lines;
    int m_speedSent = -1;        // the keyer speed the radio has, this polling session
    bool m_transmitting = false; // transmit asked on by CAT and not off since
};

} // namespace ditlog
