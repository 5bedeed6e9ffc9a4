// Setting up, starting and ending the soak run's station.
#include "SoakStation.h"

#include "keyer/CwSettings.h"
#include "log/StationPreferences.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"
#include "rig/RigSettings.h"
#include "spots/SpotSourceSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace ditlog::soak {

namespace {
const QString kReader = QStringLiteral(DITLOG_SOURCE_DIR "/bench/soak/screen_reader.py");
const QString kCluster = QStringLiteral(DITLOG_SOURCE_DIR "/tools/loopback_cluster.py");

void stopProcess(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString memoryScratchTemplate() {
    const QString memory = QStringLiteral("/dev/shm");
    return (QFileInfo(memory).isDir() && QFileInfo(memory).isWritable() ? memory : QDir::tempPath()) +
           QStringLiteral("/ditlog-soak-XXXXXX");
}
} // namespace

SoakStation::SoakStation(StationPlan plan)
    : m_plan(std::move(plan)), m_recordDir(memoryScratchTemplate()) {
}

SoakStation::~SoakStation() {
    stopProcess(m_program);
    stopProcess(m_cluster);
}

QString SoakStation::missingPrograms(bool withAccessibility) {
    QStringList missing;
    if (const QString x = XSession::missingPrograms(withAccessibility); !x.isEmpty()) {
        missing.append(x);
    }
    if (const QString hamlib = testing::HamlibPeer::missingPrograms(false); !hamlib.isEmpty()) {
        missing.append(hamlib);
    }
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty()) {
        missing.append(QStringLiteral("python3 (Debian: python3)"));
    }
    if (withAccessibility) {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"), QStringLiteral("import pyatspi")});
        if (!probe.waitForFinished(20000) || probe.exitCode() != 0) {
            missing.append(QStringLiteral("pyatspi (Debian: python3-pyatspi)"));
        }
    }
    if (!QFile::exists(QStringLiteral(MODEM_SHIM))) {
        missing.append(QStringLiteral("the modem-line shim (build the tests)"));
    }
    return missing.join(QStringLiteral("; "));
}

QString SoakStation::mainWindowTitle() {
    return QStringLiteral("Ditlog " DITLOG_VERSION);
}

bool SoakStation::start(QString* why) {
    if (!m_dir.isValid() || !m_recordDir.isValid() || !m_keyingPort.isValid()) {
        *why = QStringLiteral("no scratch folder or pseudo-terminal");
        return false;
    }
    if (!m_x.start(m_plan.accessibility, why)) {
        return false;
    }
    if (!m_radio.startDaemon()) {
        *why = m_radio.why();
        return false;
    }
    // The radio starts on 20 m in CW, as the station settings say.
    m_radio.rigctl({QStringLiteral("F"), QStringLiteral("14025000")});
    m_radio.rigctl({QStringLiteral("M"), QStringLiteral("CW"), QStringLiteral("500")});
    return startCluster(why) && prepareFolder(why) && startProgram(why) && answerStartUp(why);
}

bool SoakStation::prepareFolder(QString* why) {
    const QString work = m_dir.filePath(QStringLiteral("work"));
    const QString config = m_dir.filePath(QStringLiteral("home/.config"));
    if (!QDir().mkpath(work) || !QDir().mkpath(config + QStringLiteral("/TREVO_Software")) ||
        !QDir().mkpath(m_dir.filePath(QStringLiteral("home/Documents"))) ||
        !QDir().mkpath(m_dir.filePath(QStringLiteral("runtime")))) {
        *why = QStringLiteral("cannot make the working folders");
        return false;
    }
    QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    StationPreferences prefs;
    prefs.OwnCall = m_plan.ownCall;
    prefs.OwnSpc = QStringLiteral("CT");
    prefs.OwnFirstName = QStringLiteral("SAM");
    prefs.OwnMemberNumber = QStringLiteral("1234");
    prefs.OwnCountry = QStringLiteral("USA");
    prefs.OwnContinent = QStringLiteral("NA");
    prefs.OwnLongitude = 72.7f;
    prefs.OwnLatitude = 41.7f;
    prefs.UtcOffset = 0; // the program runs in UTC: no offset question
    prefs.Band = QStringLiteral("20");
    prefs.RigType = QStringLiteral("Hamlib rigctld");

    RigSettings rig;
    rig.rigType = QStringLiteral("Hamlib rigctld");
    rig.frequencyQuery = QStringLiteral("f");
    rig.modeQuery = QStringLiteral("m");
    rig.pollRate = QStringLiteral("F"); // 100 ms
    rig.networkHost = QStringLiteral("127.0.0.1");
    rig.networkPort = quint16(m_radio.daemonPort());

    SpotSourceSettings spots;
    spots.Source = SpotSource::Telnet;
    spots.TelnetHost = QStringLiteral("127.0.0.1");
    spots.TelnetPort = QString::number(m_clusterPort);
    spots.ShowAsList = false; // the band map

    CwSettings cw;
    cw.messages[0] = m_plan.callingMessage;
    cw.messages[1] = m_plan.exchangeMessage;
    cw.portText = QStringLiteral("1");
    cw.speedText = QString::number(m_plan.wpm);
    cw.keyingLine = KeyingLineChoice::Dtr;
    cw.repeatText = m_plan.repeatSeconds;

    // Port 1 is the pseudo-terminal; "Timer" keying.
    QtSettingsStore store(config + QStringLiteral("/TREVO_Software/TREVO_Software.conf"));
    PortMap(store).setMappedPath(1, m_keyingPort.devicePath());
    store.setValue(QStringLiteral("UserCWSelection"), QStringLiteral("Timer"));

    if (writePreferences(work, prefs) || saveRigSettings(work, rig) ||
        SaveSpotSettings(work, spots) ||
        !writeFile(QDir(work).filePath(QLatin1String(kCwSettingsFileName)), writeCwSettings(cw)) ||
        !writeFile(QDir(work).filePath(QStringLiteral("log.txt")), {})) {
        *why = QStringLiteral("cannot write the working files");
        return false;
    }
    return true;
}

bool SoakStation::startCluster(QString* why) {
    m_cluster.setStandardErrorFile(m_dir.filePath(QStringLiteral("cluster-errors.txt")));
    m_cluster.start(QStringLiteral("python3"),
                    {kCluster, QStringLiteral("0"), QStringLiteral("--per-second"),
                     QString::number(m_plan.spotsPerSecond), QStringLiteral("--unique"),
                     QStringLiteral("--record"), clusterRecordPath()});
    QElapsedTimer t;
    t.start();
    while (!m_cluster.canReadLine() && t.elapsed() < 15000 &&
           m_cluster.state() != QProcess::NotRunning) {
        m_cluster.waitForReadyRead(200);
    }
    const QString greeting = QString::fromLatin1(m_cluster.readLine());
    m_clusterPort = quint16(greeting.section(u':', 1).section(u',', 0, 0).toUInt());
    if (m_clusterPort == 0) {
        *why = QStringLiteral("the loopback cluster did not start: %1").arg(greeting);
        return false;
    }
    return true;
}

bool SoakStation::startProgram(QString* why) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    m_x.addTo(env);
    env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(MODEM_SHIM));
    env.insert(QStringLiteral("MODEMSHIM_LOG"), shimLogPath());
    env.insert(QStringLiteral("MODEMSHIM_SERIAL"), m_keyingPort.devicePath());
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    // A sanitizer runtime must not insist on coming before the shim.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + u':') +
                                                   QStringLiteral("verify_asan_link_order=0"));
    if (m_plan.accessibility) {
        // A screen reader's view, as a blind operator runs the program.
        env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    }
    m_program.setProcessEnvironment(env);
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    m_program.setStandardOutputFile(programOutputPath());
    m_program.start(QStringLiteral(DITLOG_PROGRAM),
                    {QStringLiteral("--working-folder"), m_dir.filePath(QStringLiteral("work")),
                     QStringLiteral("--stall-report"), stallReportPath()});
    if (!m_program.waitForStarted(10000)) {
        *why = QStringLiteral("the program did not start: %1").arg(m_program.errorString());
        return false;
    }
    return true;
}

bool SoakStation::answerStartUp(QString* why) {
    const QString station = QStringLiteral(" Amateur Station I.D.");
    const QString question = QStringLiteral("Open existing log?");
    if (!m_x.waitForWindow(station, 60000) || !m_x.focus(station) ||
        !m_x.key({QStringLiteral("Return")})) {
        *why = QStringLiteral("the station window never came");
        return false;
    }
    if (!m_x.waitForWindow(question, 30000) || !m_x.focus(question) ||
        !m_x.key({QStringLiteral("y")})) {
        *why = QStringLiteral("the open-log question never came");
        return false;
    }
    if (!m_x.waitWindowGone(question, 10000) || !focusMain()) {
        *why = QStringLiteral("the main window never took the keyboard");
        return false;
    }
    // The cluster's login answered with the station's call: the first spot has been sent.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000) {
        QFile sent(clusterRecordPath());
        if (sent.exists() && sent.size() > 0) {
            return programRunning();
        }
        QThread::msleep(200);
    }
    *why = QStringLiteral("the cluster's login was never answered");
    return false;
}

bool SoakStation::focusMain() {
    return m_x.focus(mainWindowTitle());
}

void SoakStation::stopCluster() {
    stopProcess(m_cluster);
}

bool SoakStation::runReader(const QStringList& arguments, QString* why, QByteArray* output) {
    QProcess reader;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    m_x.addTo(env);
    reader.setProcessEnvironment(env);
    reader.start(QStringLiteral("/usr/bin/python3"), QStringList{kReader} + arguments);
    if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
        reader.kill();
        reader.waitForFinished(1000);
        *why = QString::fromLocal8Bit(reader.readAllStandardError()).trimmed();
        if (why->isEmpty()) {
            *why = QStringLiteral("the reader ended with %1").arg(reader.exitCode());
        }
        return false;
    }
    if (output != nullptr) {
        *output = reader.readAllStandardOutput();
    }
    return true;
}

QStringList SoakStation::readSpotList(QString* why) {
    // The band map gives way to the list as the operator switches them: Ctrl+D opens the
    // spotting window, where the reader chooses "List" and presses "Done".
    QStringList arguments;
    if (focusMain() && m_x.key({QStringLiteral("ctrl+d")})) {
        QThread::msleep(1500);
        arguments.append(QStringLiteral("--show-list"));
    }
    QByteArray rows;
    if (!runReader(arguments, why, &rows)) {
        return {};
    }
    return QString::fromUtf8(rows).split(u'\n', Qt::SkipEmptyParts);
}

bool SoakStation::editNewestContact(const QString& name, QString* why) {
    const QString dialog = QStringLiteral("Edit Contact Entry");
    if (!runReader({QStringLiteral("--open-edit")}, why)) {
        return false;
    }
    if (!m_x.waitForWindow(dialog, 10000) || !m_x.focus(dialog)) {
        *why = QStringLiteral("the edit window never came");
        return false;
    }
    // Call, the two reports, SPC, exchange, date, time: the eighth field is the name.
    m_x.key(QStringList(7, QStringLiteral("Tab")));
    m_x.type(name);
    m_x.key({QStringLiteral("Return")}); // "Done"
    if (!m_x.waitWindowGone(dialog, 10000)) {
        *why = QStringLiteral("the edit window stayed open");
        return false;
    }
    return focusMain();
}

int SoakStation::exitProgram() {
    if (focusMain()) {
        m_x.key({QStringLiteral("alt+f")});
        QThread::msleep(400);
        m_x.key({QStringLiteral("e")});
    }
    if (m_program.waitForFinished(20000)) {
        return m_program.exitStatus() == QProcess::NormalExit ? m_program.exitCode() : -1;
    }
    m_program.kill();
    m_program.waitForFinished(3000);
    return -1;
}

void SoakStation::keepFiles(const QString& folder) const {
    QDir().mkpath(folder);
    for (const QString& path :
         {logPath(), shimLogPath(), stallReportPath(), clusterRecordPath(), programOutputPath()}) {
        const QString target = QDir(folder).filePath(QFileInfo(path).fileName());
        QFile::remove(target);
        QFile::copy(path, target);
    }
}

} // namespace ditlog::soak
