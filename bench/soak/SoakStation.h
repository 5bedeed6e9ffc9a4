// The station of a soak run: the real program with everything on at once, and the
// peers around it. A working folder set up as an operator leaves it (the station data,
// the rig on Hamlib's rigctld dummy polled every 100 ms, a Telnet cluster with the band
// map shown, CW keying on DTR of port 1), a loopback cluster sending spots, rigctld, and
// the keying port: a pseudo-terminal whose modem lines the modem-line shim plays and
// records. The program's start-up questions are answered through the keyboard.
#pragma once

#include "HamlibPeer.h"
#include "PseudoTerminal.h"
#include "XSession.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace ditlog::soak {

struct StationPlan {
    QString ownCall = QStringLiteral("N0SOAK");
    double wpm = 40;
    QString callingMessage = QStringLiteral("CQ SST");  // F1, repeated
    QString exchangeMessage = QStringLiteral("SAM CT"); // F2, the sprint's exchange
    QString repeatSeconds = QStringLiteral("0.5");
    double spotsPerSecond = 10;
    bool accessibility = true; // needed to read the spot list back at the end
};

class SoakStation {
  public:
    explicit SoakStation(StationPlan plan);
    ~SoakStation();
    SoakStation(const SoakStation&) = delete;
    SoakStation& operator=(const SoakStation&) = delete;

    // Programs missing on this machine (with their Debian packages), or empty.
    static QString missingPrograms(bool withAccessibility);

    // Everything up and the program's entry row in front; why says what failed.
    bool start(QString* why);

    const StationPlan& plan() const { return m_plan; }
    XSession& x() { return m_x; }
    testing::HamlibPeer& radio() { return m_radio; }
    qint64 programPid() const { return m_program.processId(); }
    bool programRunning() const { return m_program.state() == QProcess::Running; }
    QString folder(const QString& name) const { return m_dir.filePath(name); }
    QString logPath() const { return m_dir.filePath(QStringLiteral("work/log.txt")); }
    QString shimLogPath() const { return m_recordDir.filePath(QStringLiteral("lines.log")); }
    QString stallReportPath() const { return m_dir.filePath(QStringLiteral("stalls.txt")); }
    QString clusterRecordPath() const { return m_dir.filePath(QStringLiteral("spots-sent.txt")); }
    QString programOutputPath() const { return m_dir.filePath(QStringLiteral("program.txt")); }
    static QString mainWindowTitle();

    // Gives the main window the keyboard focus back (after a dialog closed).
    bool focusMain();
    // The cluster stops sending (its connection ends with it).
    void stopCluster();
    // The spot list as a screen reader reads it: "call frequency" per row, newest first.
    QStringList readSpotList(QString* why);
    // The newest contact of the recent list opened for editing, its name replaced and the
    // edit ended with Enter ("Done"); the main window has the keyboard again.
    bool editNewestContact(const QString& name, QString* why);
    // File > Exit, as the operator ends the program; the exit code, or -1 when it had to
    // be killed.
    int exitProgram();
    // Keeps the run's files (log, shim record, stall report, program output) in a folder.
    void keepFiles(const QString& folder) const;

  private:
    bool prepareFolder(QString* why);
    bool startCluster(QString* why);
    bool startProgram(QString* why);
    bool answerStartUp(QString* why);
    // The accessibility bus reader (screen_reader.py) with these arguments.
    bool runReader(const QStringList& arguments, QString* why, QByteArray* output = nullptr);

    StationPlan m_plan;
    QTemporaryDir m_dir;
    // The line changes are recorded by the keying thread's own system calls: in memory, so
    // that a loaded disk's write latency is not counted as the keyer's lateness.
    QTemporaryDir m_recordDir;
    XSession m_x;
    testing::HamlibPeer m_radio;
    testing::PseudoTerminal m_keyingPort;
    QProcess m_cluster;
    QProcess m_program;
    quint16 m_clusterPort = 0;
};

} // namespace ditlog::soak
