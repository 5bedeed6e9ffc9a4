// The fixed texts of the spotting window: socket error lines, the packet-engine failure,
// the status lines and the guidance shown for each source.
#pragma once

#include <QString>

namespace ditlog {

// The console text for a socket error number; "Error number N" for one not listed.
QString socketErrorText(int code);

// The guidance for a source ("None" shows every paragraph).
QString spotSourceGuidance(const QString& source);

namespace SpotText {
inline const QString kCrLf = QStringLiteral("\r\n");
inline const QString WindowCaption = QStringLiteral("DX Spotting Setup");
inline const QString AttemptingToOpen = QStringLiteral("** Attempting to Open Port **\r\n\r\n");
inline const QString TncOpen = QStringLiteral("** TNC Serial Port Open **\r\n\r\n");
inline const QString TncFailed = QStringLiteral("** Unable to open TNC Serial Port **\r\n\r\n");
inline const QString PortClosed = QStringLiteral("\r\n\r\n** Port Closed **");
inline const QString AgwConnected =
    QStringLiteral("\r\n** Successfully connected to AGW Packet Engine **\r\n\r\n");
inline const QString NotYetEstablished = QStringLiteral(
    "**  Connection not yet established.  Please wait a moment and try again.\r\n\r\n");
inline const QString TncSettingsTitle = QStringLiteral("Invalid Comm Settings.");
inline const QString TncSettingsText = QStringLiteral(
    "The comm port that you selected for DX Spotting is either in use, invalid or the settings "
    "that you have selected are invalid.  Please select another combination or choose None for "
    "your DX Spot selection.");
inline const QString CallRequiredTitle = QStringLiteral("Call Sign Required!");
inline const QString CallRequiredText =
    QStringLiteral("Please enter your call sign on the setup form to transmit!");
inline const QString ConnectCallTitle = QStringLiteral("Call sign Required");
inline const QString ConnectCallText =
    QStringLiteral("You must enter a call sign to connect to such as :C TREVO");
inline const QString AgwFailedTitle = QStringLiteral("Unable to connect to the AGW Packet Engine.");
QString agwFailedMessage();
QString agwFailedConsole();
} // namespace SpotText

} // namespace ditlog
