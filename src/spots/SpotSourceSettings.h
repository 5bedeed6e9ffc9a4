// The spotting window's settings and their file "PackSpot.txt": fourteen values, one a
// line, text in double quotes, numbers bare, the list/band-map choice as #TRUE#/#FALSE#.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ditlog {

// "None", "TNC", "Telnet" or "AGW Packet Engine"; compared without regard to case.
namespace SpotSource {
inline const QString None = QStringLiteral("None");
inline const QString Tnc = QStringLiteral("TNC");
inline const QString Telnet = QStringLiteral("Telnet");
inline const QString Agw = QStringLiteral("AGW Packet Engine");
inline const QStringList All{None, Tnc, Telnet, Agw};
// The documented spelling of a source name, or nothing for an unknown name.
std::optional<QString> canonical(const QString& name);
bool is(const QString& source, const QString& which);
} // namespace SpotSource

struct SpotSourceSettings {
    static inline const QStringList kBauds{QStringLiteral("1200"),  QStringLiteral("2400"),
                                           QStringLiteral("4800"),  QStringLiteral("9600"),
                                           QStringLiteral("14400"), QStringLiteral("19200")};

    QString Baud = QStringLiteral("9600");
    QString Parity = QStringLiteral("N");   // O, N or E
    QString DataBits = QStringLiteral("8"); // 7 or 8
    QString StopBits = QStringLiteral("1"); // 1 or 2
    int Port = 1;                           // serial port 1..10
    QString PowerLine = QStringLiteral("N"); // N none, R raise RTS, D raise DTR
    QString Source = SpotSource::None;
    int ConvertToHex = 0;
    int Handshake = 1; // 1 none, 2 XON/XOFF, 3 RTS, 4 RTS and XON/XOFF
    int DxOnly = 0;
    bool ShowAsList = false;
    QString CommandChar = QStringLiteral("03"); // two hexadecimal digits
    QString TelnetPort = QStringLiteral("7300");
    QString TelnetHost;

    // The serial settings text: baud, parity, data and stop bits joined by commas.
    QString serialSettings() const;

    bool operator==(const SpotSourceSettings&) const = default;
};

inline const QString kSpotSettingsFileName = QStringLiteral("PackSpot.txt");

QByteArray spotSettingsText(const SpotSourceSettings& settings);

// The fourteen values of the file. A file that does not hold them all in their forms is
// refused as a whole; a value outside its documented set keeps the default.
std::optional<SpotSourceSettings> readSpotSettings(const QByteArray& content);

// "PackSpot.txt" in the working folder: nothing when it is missing or unreadable.
std::optional<SpotSourceSettings> LoadSpotSettings(const QString& workingFolder);
// Rewrites the file atomically; the error text on failure.
std::optional<QString> SaveSpotSettings(const QString& workingFolder,
                                        const SpotSourceSettings& settings);

} // namespace ditlog
