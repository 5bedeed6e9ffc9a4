// A private PulseAudio server with null sinks, so that tests play through a real audio
// output: the program's players and Qt's sound service connect to it as to any sound
// server, and the test asks it which sink is playing what.
//
//   AudioServer server({"radio", "phones"});   // before anything asks Qt for devices
//   if (!server.isRunning()) QSKIP(qPrintable(server.why()));
//   ... play on the sink id "radio" ...
//   QTRY_VERIFY(server.sinksPlaying().contains("radio"));
//
// The server runs from a temporary folder, owned by the test, and ends with the object.
// PULSE_SERVER is set for the test process, so it must be started before the first use
// of Qt Multimedia.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace ditlog::testing {

class AudioServer {
public:
    // Null sinks by name; each sink's description is its name with a capital.
    explicit AudioServer(const QStringList& sinks = {QStringLiteral("radio"), QStringLiteral("phones")});
    ~AudioServer();
    AudioServer(const AudioServer&) = delete;
    AudioServer& operator=(const AudioServer&) = delete;

    bool isRunning() const { return m_running; }
    // Why the server is not running (not installed, did not start).
    QString why() const { return m_why; }
    // The names of the sinks that have a stream playing now.
    QStringList sinksPlaying() const;
    // Removes a sink, as if a USB sound card were pulled out.
    bool unloadSink(const QString& name);

private:
    QString pactl(const QStringList& arguments, bool* ok = nullptr) const;

    QTemporaryDir m_dir;
    QProcess m_server;
    bool m_running = false;
    QString m_why;
};

} // namespace ditlog::testing
