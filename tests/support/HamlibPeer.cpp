// Starting and stopping Hamlib's rigctld, socat and rigctlcom for the peer tests.
#include "HamlibPeer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

namespace ditlog::testing {

namespace {
int freeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    return probe.serverPort();
}
} // namespace

HamlibPeer::HamlibPeer() = default;

HamlibPeer::~HamlibPeer() {
    stop(m_emulator);
    stop(m_socat);
    stop(m_daemon);
}

QString HamlibPeer::missingPrograms(bool withSerialEmulator) {
    QStringList needed{QStringLiteral("rigctld"), QStringLiteral("rigctl")};
    if (withSerialEmulator) {
        needed += {QStringLiteral("rigctlcom"), QStringLiteral("socat")};
    }
    QStringList missing;
    for (const QString& program : needed) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            missing.append(program);
        }
    }
    return missing.isEmpty() ? QString()
                             : missing.join(QStringLiteral(", ")) +
                                   QStringLiteral(" not installed (Debian: libhamlib-utils, socat)");
}

void HamlibPeer::stop(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
}

bool HamlibPeer::startDaemon() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = freeLoopbackPort();
        if (launchDaemon()) {
            return true;
        }
    }
    m_why = QStringLiteral("rigctld did not start");
    return false;
}

bool HamlibPeer::restartDaemon() {
    stop(m_daemon);
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (launchDaemon()) {
            return true;
        }
        QThread::msleep(500);
    }
    m_why = QStringLiteral("rigctld did not start again on port %1").arg(m_port);
    return false;
}

bool HamlibPeer::launchDaemon() {
    // -P RIG: rigctlcom of Hamlib 4.5 needs the daemon's PTT type set.
    m_daemon.start(QStringLiteral("rigctld"), {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                                               QStringLiteral("127.0.0.1"), QStringLiteral("-t"),
                                               QString::number(m_port), QStringLiteral("-P"), QStringLiteral("RIG")});
    if (m_daemon.waitForStarted(5000) && waitForDaemon()) {
        // A narrow passband keeps rigctlcom 4.5.4 from crashing on MD; and IF;.
        return rigctl({QStringLiteral("M"), QStringLiteral("USB"), QStringLiteral("1")}).has_value();
    }
    stop(m_daemon);
    return false;
}

bool HamlibPeer::waitForDaemon() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000) {
        if (m_daemon.state() == QProcess::NotRunning) {
            return false;
        }
        if (rigctl({QStringLiteral("f")})) {
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

void HamlibPeer::stopDaemon() {
    stop(m_daemon);
}

bool HamlibPeer::startKenwoodEmulator() {
    const QString emulatorEnd = m_dir.filePath(QStringLiteral("emulator"));
    m_socat.start(QStringLiteral("socat"),
                  {QStringLiteral("pty,raw,echo=0,link=") + emulatorEnd,
                   QStringLiteral("pty,raw,echo=0,link=") + deviceForProgram()});
    QElapsedTimer t;
    t.start();
    while (!(QFile::exists(emulatorEnd) && QFile::exists(deviceForProgram())) && t.elapsed() < 5000) {
        QThread::msleep(50);
    }
    if (!QFile::exists(deviceForProgram())) {
        m_why = QStringLiteral("socat made no pseudo-terminal pair");
        return false;
    }
    m_emulator.start(QStringLiteral("rigctlcom"),
                     {QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                      QStringLiteral("127.0.0.1:%1").arg(m_port), QStringLiteral("-R"), emulatorEnd,
                      QStringLiteral("-S"), QStringLiteral("4800")});
    if (!m_emulator.waitForStarted(5000)) {
        m_why = QStringLiteral("rigctlcom did not start");
        return false;
    }
    return true;
}

std::optional<QString> HamlibPeer::rigctl(const QStringList& command) const {
    QProcess p;
    p.start(QStringLiteral("rigctl"),
            QStringList{QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                        QStringLiteral("127.0.0.1:%1").arg(m_port)} +
                command);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        return std::nullopt;
    }
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

} // namespace ditlog::testing
