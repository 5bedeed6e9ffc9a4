// The rig link's stored settings, "RigCntrl.txt": fourteen values, one per line, and the
// link's own additions after them (the Pegasus folder, the rigctld host and port).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ditlog {

inline const QString kRigSettingsFileName = QStringLiteral("RigCntrl.txt");

// Mode source options of the "Mode by:" frame.
enum class ModeSource { Rig = 1, Frequency = 2, DontUse = 3 };

struct RigSettings {
    QString speed = QStringLiteral("4800 "); // 5 characters, padded with blanks
    QString parity = QStringLiteral("N");    // "O", "N", "E"
    QString dataBits = QStringLiteral("8");  // "7", "8"
    QString stopBits = QStringLiteral("2");  // "1", "2"
    QString modeQuery;                       // txtMode
    QString frequencyQuery;                  // txtFreq
    QString portSettings = QStringLiteral("4800,N,8,2");
    quint8 portNumber = 1;                   // 1 to 10
    QString power = QStringLiteral("N");     // "N", "R" raise RTS, "D" raise DTR
    QString pollRate = QStringLiteral("M");  // "F", "M", "S", "R"
    QString rigType = QStringLiteral("None");
    int convertToHex = 0;
    int useFrequency = 1;
    ModeSource modeSource = ModeSource::Rig;
    // Beyond the fourteen documented values.
    QString pegasusFolder;                   // empty: the default folder
    QString networkHost = QStringLiteral("127.0.0.1");
    quint16 networkPort = 4532;

    // Speed, parity, data bits and stop bits joined by commas: "4800,N,8,2".
    QString joinedPortSettings() const;
    bool operator==(const RigSettings&) const = default;
};

// The speeds, parities and poll rates the window offers, in their order.
const QStringList& rigSpeeds();       // "1200" ... "56000"
const QStringList& rigPollRates();    // "F", "M", "S", "R"
// Half the advertised poll period: one send tick and one receive tick make a period.
int pollTimerIntervalMs(const QString& pollRate);

// Reads the values in order, separated by commas or line ends, quoted or not. Values
// that are missing or out of range keep what settings held; the result says whether
// anything at all was read.
bool readRigSettings(const QByteArray& content, RigSettings& settings);
QByteArray rigSettingsText(const RigSettings& settings);

// The file in the working folder. Loading a missing or unreadable file changes nothing.
bool loadRigSettings(const QString& workingFolder, RigSettings& settings);
std::optional<QString> saveRigSettings(const QString& workingFolder, const RigSettings& settings);

} // namespace ditlog
