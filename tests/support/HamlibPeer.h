// Hamlib's own programs as an independent peer for the rig tests: rigctld with its dummy
// radio on a free loopback port, and, on request, rigctlcom emulating a Kenwood TS-2000 on
// one end of a socat pseudo-terminal pair backed by that daemon. Everything started here
// is stopped when the peer goes.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace ditlog::testing {

class HamlibPeer {
public:
    HamlibPeer();
    ~HamlibPeer();

    // Why the peer cannot run here (a program missing), or empty.
    static QString missingPrograms(bool withSerialEmulator);

    // rigctld -m 1 on 127.0.0.1 and a free port; false with why() set on failure.
    bool startDaemon();
    // The daemon's TS-2000 emulator on a pseudo-terminal; the program's end is deviceForProgram().
    bool startKenwoodEmulator();
    void stopDaemon();
    // The daemon again on the port it had (a restart, as an operator would do it).
    bool restartDaemon();

    int daemonPort() const { return m_port; }
    QString deviceForProgram() const { return m_dir.filePath(QStringLiteral("program")); }
    QString why() const { return m_why; }

    // rigctl -m 2 against the daemon; the command's output, or nothing when it failed.
    std::optional<QString> rigctl(const QStringList& command) const;

private:
    bool waitForDaemon();
    bool launchDaemon();
    static void stop(QProcess& process);

    QTemporaryDir m_dir;
    int m_port = 0;
    QString m_why;
    QProcess m_daemon;
    QProcess m_socat;
    QProcess m_emulator;
};

} // namespace ditlog::testing
