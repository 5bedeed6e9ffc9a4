// The private sound server: pulseaudio with its native socket in a temporary folder,
// anonymous clients, no shared memory, no autospawn, and the given null sinks.
#include "AudioServer.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace ditlog::testing {

AudioServer::AudioServer(const QStringList& sinks) {
    const QString server = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (server.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()) {
        m_why = QStringLiteral("needs pulseaudio and pactl (tools/install-deps.sh)");
        return;
    }
    const QString socket = m_dir.filePath(QStringLiteral("native"));
    QStringList arguments{QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                          QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
                          QStringLiteral("--use-pid-file=no"), QStringLiteral("--system=no"),
                          QStringLiteral("-F"), QStringLiteral("/dev/null"),
                          QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket};
    for (const QString& sink : sinks) {
        QString description = sink;
        description[0] = description.at(0).toUpper();
        arguments << QStringLiteral("--load=module-null-sink sink_name=%1 "
                                    "sink_properties=device.description=%2")
                         .arg(sink, description);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_dir.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path());
    m_server.setProcessEnvironment(environment);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(server, arguments);
    if (!m_server.waitForStarted(5000)) {
        m_why = QStringLiteral("pulseaudio did not start: ") + m_server.errorString();
        return;
    }
    // The socket appears once the modules are loaded; the server may take a while on a
    // busy machine.
    for (int i = 0; i < 200 && !QFileInfo::exists(socket); ++i) {
        if (m_server.waitForFinished(50)) {
            m_why = QStringLiteral("pulseaudio ended: ") + QString::fromLocal8Bit(m_server.readAll());
            return;
        }
    }
    qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
    // A client never starts a server of its own.
    qputenv("PULSE_CLIENTCONFIG", m_dir.filePath(QStringLiteral("client.conf")).toLocal8Bit());
    QFile conf(m_dir.filePath(QStringLiteral("client.conf")));
    if (conf.open(QIODevice::WriteOnly)) {
        conf.write("autospawn = no\n");
    }
    conf.close();
    bool ok = false;
    pactl({QStringLiteral("info")}, &ok);
    m_running = ok;
    if (!ok) {
        m_why = QStringLiteral("pulseaudio does not answer: ") + QString::fromLocal8Bit(m_server.readAll());
    }
}

AudioServer::~AudioServer() {
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
}

QString AudioServer::pactl(const QStringList& arguments, bool* ok) const {
    QProcess tool;
    tool.start(QStringLiteral("pactl"), arguments);
    const bool finished = tool.waitForFinished(10000);
    if (ok != nullptr) {
        *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

QStringList AudioServer::sinksPlaying() const {
    // "short" lists: sinks as "index name ...", streams as "index sink-index ...".
    QHash<QString, QString> sinkNames;
    for (const QString& line : pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")})
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() > 1) {
            sinkNames.insert(fields.at(0), fields.at(1));
        }
    }
    QStringList playing;
    for (const QString& line :
         pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")})
             .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() > 1 && sinkNames.contains(fields.at(1))) {
            playing.append(sinkNames.value(fields.at(1)));
        }
    }
    return playing;
}

bool AudioServer::unloadSink(const QString& name) {
    for (const QString& line : pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("modules")})
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() > 2 && fields.at(1) == QLatin1String("module-null-sink") &&
            fields.at(2).contains(QStringLiteral("sink_name=") + name + QLatin1Char(' '))) {
            bool ok = false;
            pactl({QStringLiteral("unload-module"), fields.at(0)}, &ok);
            return ok;
        }
    }
    return false;
}

} // namespace ditlog::testing
