// What is done with received text: the lines are shown in the console and searched for
// DX spots, from the TNC (duplicate window), the Telnet cluster and the AGW Packet
// Engine's frames. Each recognised spot is posted with its frequency text, call and line.
#pragma once

#include "spots/LineSplitter.h"
#include "spots/ReceivedTextFilter.h"

#include <QObject>
#include <QString>

namespace ditlog {

class SpotConsole;

class SpotIntake : public QObject {
    Q_OBJECT
public:
    explicit SpotIntake(SpotConsole& console, QObject* parent = nullptr);

    // "List DX Only": everything but spot lines stays out of the console.
    void setDxOnly(bool on) { m_dxOnly = on; }
    bool dxOnly() const { return m_dxOnly; }
    // The station the packet-engine link is connected to; empty when none.
    void setConnectedStation(const QString& call);
    const QString& connectedStation() const { return m_connected; }

    // TNC input: complete lines are shown unless already shown in the duplicate window,
    // spot lines posted; a partial line waits.
    void SplitTncLines(QByteArrayView bytes);
    // Clean Telnet text (negotiation already taken out): shown as it arrives, and every
    // complete line examined for a spot.
    void ExamineTelnetBlock(const QByteArray& text);
    // One frame of the packet engine: kind, sender's call and data.
    void ExamineAgwFrame(char kind, const QString& fromCall, const QByteArray& data);

    // A new connection: partial lines and half sequences of the last one are forgotten.
    void resetStreams();
    // The text of the Telnet line still waiting for its end (a login prompt).
    QString pendingTelnetText() const { return m_telnetLines.pending(); }
    // The waiting Telnet line was a prompt (it sat unfinished, or was answered): what
    // follows starts a new line. A line that may still become a spot keeps waiting.
    void endTelnetPrompt();
    // The connected station's line still waiting for its end (a node prompt).
    QString pendingAgwText() const { return m_agwLines.pending(); }
    // Shows the part of that line not shown yet, even one that may still become a spot
    // line: it sat unfinished for a whole tick, so it is a prompt.
    void showAgwPrompt() { showAgwPending(true); }

Q_SIGNALS:
    void spotPosted(const QString& frequency, const QString& call, const QString& record);
    // A complete Telnet line, for the login answer.
    void telnetLineReceived(const QString& line);

private:
    void PostSpot(const QString& line);
    void examineAgwLine(const QString& plain, bool fromConnected);
    void takeAgwLine(const ReceivedLine& received);
    void showAgwPending(bool evenSpotStart);

    SpotConsole& m_console;
    bool m_dxOnly = false;
    QString m_connected;
    ReceivedTextFilter m_tncFilter;
    ReceivedTextFilter m_agwFilter;
    LineSplitter m_tncLines;
    LineSplitter m_telnetLines;
    LineSplitter m_agwLines; // data of the connected station
    qsizetype m_agwShown = 0; // characters of its unfinished line shown as they came
};

} // namespace ditlog
