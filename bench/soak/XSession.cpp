// Xvfb, the buses and xdotool for the soak run.
#include "XSession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace ditlog::soak {

namespace {
const QString kLauncher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");

void stopProcess(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
}

// A line the process prints on standard output within the time, or nothing.
QString firstLine(QProcess& process, int ms) {
    QElapsedTimer t;
    t.start();
    while (!process.canReadLine() && t.elapsed() < ms && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
    }
    return process.canReadLine() ? QString::fromLatin1(process.readLine()).trimmed() : QString();
}
} // namespace

XSession::~XSession() {
    stop();
}

QString XSession::missingPrograms(bool withAccessibility) {
    QStringList missing;
    const QList<std::pair<const char*, const char*>> programs{{"Xvfb", "xvfb"},
                                                              {"xdotool", "xdotool"}};
    for (const auto& [program, package] : programs) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty()) {
            missing.append(QStringLiteral("%1 (Debian: %2)")
                               .arg(QLatin1String(program), QLatin1String(package)));
        }
    }
    if (withAccessibility) {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            missing.append(QStringLiteral("dbus-daemon (Debian: dbus-daemon)"));
        }
        if (!QFile::exists(kLauncher)) {
            missing.append(QStringLiteral("at-spi-bus-launcher (Debian: at-spi2-core)"));
        }
    }
    return missing.join(QStringLiteral(", "));
}

bool XSession::start(bool withAccessibility, QString* why) {
    // -displayfd: Xvfb picks a free display and names it when it takes connections.
    m_xvfb.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    const QString number = firstLine(m_xvfb, 15000);
    if (number.isEmpty()) {
        *why = QStringLiteral("Xvfb did not start: %1")
                   .arg(QString::fromLocal8Bit(m_xvfb.readAllStandardError()));
        return false;
    }
    m_display = u':' + number;
    if (!withAccessibility) {
        return true;
    }
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1")});
    m_busAddress = firstLine(m_bus, 10000);
    if (m_busAddress.isEmpty()) {
        *why = QStringLiteral("no session bus: %1")
                   .arg(QString::fromLocal8Bit(m_bus.readAllStandardError()));
        return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    addTo(environment);
    m_accessibilityBus.setProcessEnvironment(environment);
    m_accessibilityBus.start(kLauncher, {QStringLiteral("--launch-immediately")});
    if (!m_accessibilityBus.waitForStarted(5000)) {
        *why = QStringLiteral("at-spi-bus-launcher did not start");
        return false;
    }
    QThread::msleep(1000); // the accessibility bus registers itself on the session bus
    m_accessibility = true;
    return true;
}

void XSession::stop() {
    stopProcess(m_accessibilityBus);
    stopProcess(m_bus);
    stopProcess(m_xvfb);
}

void XSession::addTo(QProcessEnvironment& environment) const {
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (!m_busAddress.isEmpty()) {
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    }
}

bool XSession::xdotool(const QStringList& arguments, QByteArray* output) {
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral("xdotool"), arguments);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (output != nullptr) {
        *output = p.readAllStandardOutput();
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool XSession::key(const QStringList& keys) {
    return xdotool(
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("25")} + keys);
}

bool XSession::type(const QString& text) {
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text});
}

std::optional<QString> XSession::window(const QString& title) {
    QByteArray out;
    const QString pattern = u'^' + QRegularExpression::escape(title) + u'$';
    if (!xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--name"), pattern},
                 &out)) {
        return std::nullopt; // no such window (xdotool ends with 1)
    }
    const QString first = QString::fromLatin1(out).section(u'\n', 0, 0).trimmed();
    return first.isEmpty() ? std::nullopt : std::optional(first);
}

bool XSession::waitForWindow(const QString& title, int ms) {
    QElapsedTimer t;
    t.start();
    do {
        if (window(title)) {
            return true;
        }
        QThread::msleep(100);
    } while (t.elapsed() < ms);
    return false;
}

bool XSession::waitWindowGone(const QString& title, int ms) {
    QElapsedTimer t;
    t.start();
    do {
        if (!window(title)) {
            return true;
        }
        QThread::msleep(100);
    } while (t.elapsed() < ms);
    return false;
}

bool XSession::focus(const QString& title) {
    const auto id = window(title);
    if (!id || !xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), *id})) {
        return false;
    }
    QThread::msleep(300); // the program takes the focus in before keys count
    return true;
}

bool XSession::screenshot(const QString& path) {
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    return p.waitForFinished(20000) && p.exitCode() == 0;
}

} // namespace ditlog::soak
