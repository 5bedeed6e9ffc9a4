// Socket error lines, failure texts and the guidance of the spotting window.
#include "spots/SpotMessages.h"

#include "spots/SpotSourceSettings.h"

#include <QHash>

namespace ditlog {

QString socketErrorText(int code) {
    static const QHash<int, QString> texts{
        {7, QStringLiteral("ERROR: Out of memory.")},
        {380, QStringLiteral("ERROR: The property value is invalid.")},
        {383, QStringLiteral("ERROR: The property is read-only.")},
        {394, QStringLiteral("ERROR: The property can't be read.")},
        {1004, QStringLiteral("ERROR: The operation was canceled.")},
        {10014, QStringLiteral("ERROR: The requested address is a broadcast address, but flag is not set.")},
        {10035, QStringLiteral("ERROR: Socket is non-blocking and the specified operation will block.")},
        {10036, QStringLiteral("ERROR: A blocking Winsock operation in progress.")},
        {10037, QStringLiteral("ERROR: The operation is completed. No blocking operation in progress")},
        {10038, QStringLiteral("ERROR: The descriptor is not a socket.")},
        {10040, QStringLiteral("ERROR: The datagram is too large to fit into the buffer and is truncated.")},
        {10043, QStringLiteral("ERROR: The specified port is not supported.")},
        {10048, QStringLiteral("ERROR: Address in use.")},
        {10049, QStringLiteral("ERROR: Address not available from the local machine.")},
        {10050, QStringLiteral("ERROR: Network subsystem failed.")},
        {10051, QStringLiteral("ERROR: The network cannot be reached from this host at this time.")},
        {10052, QStringLiteral("ERROR: Connection has timed out when SO_KEEPALIVE is set.")},
        {10053, QStringLiteral("ERROR: Connection is aborted due to timeout or other failure.")},
        {10054, QStringLiteral("ERROR: The connection is reset by remote side.!")},
        {10055, QStringLiteral("ERROR: No buffer space is available.")},
        {10056, QStringLiteral("ERROR: Socket is already connected.")},
        {10057, QStringLiteral("ERROR: Socket is not connected.")},
        {10058, QStringLiteral("ERROR: Socket has been shut down.")},
        {10060, QStringLiteral("ERROR: Socket has been shut down.")},
        {10061, QStringLiteral("ERROR: Connection is forcefully rejected.")},
        {10093, QStringLiteral("ERROR: WinsockInit should be called first.")},
        {11001, QStringLiteral("ERROR: Authoritative answer: Host not found.")},
        {11002, QStringLiteral("ERROR: Non-Authoritative answer: Host not found.")},
        {11003, QStringLiteral("ERROR: Non-recoverable errors.")},
        {11004, QStringLiteral("ERROR: Valid name, no data record of requested type.")},
    };
    const auto found = texts.constFind(code);
    return found != texts.constEnd() ? *found : QStringLiteral("Error number %1").arg(code);
}

namespace {

const QString kDownload = QStringLiteral(
    "Download the freely available AGW Packet Engine software from https://www.sv2agw.com "
    "(Dire Wolf, https://github.com/wb2osz/direwolf, offers the same interface).");

QString introduction() {
    return QStringLiteral(
        "Use this form to configure your DX spotting options.  Choose where the spots come "
        "from: a packet TNC on a serial port, a Telnet DX cluster on the internet, or the AGW "
        "Packet Engine.  Everything the source sends is shown in the window below.\r\n\r\n"
        "Under Main Form Display, choose List to show the spots as a list at the bottom of the "
        "main form, or Band Map to show the spots of the current band along a frequency scale "
        "(hover over a spot to see its call, frequency and time).\r\n\r\n"
        "The program keeps the last 50 DX posts regardless of band in memory.  On the band "
        "map, spots younger than 10 minutes are shown in yellow, spots 10 to 30 minutes old in "
        "white and spots 30 to 60 minutes old in grey; older spots are no longer shown.  Right "
        "click a spot to tune your radio to it and put the call into the call field; left "
        "click a spot to remove it from the map.");
}

QString telnet() {
    return QStringLiteral(
        "Telnet: enter the host name or address of a DX cluster and its port (often 7300, 7373 "
        "or 23), then click Open.  When the cluster asks for your call, the program answers "
        "with the call from your station setup (untick the box to log in by hand).  Type "
        "cluster commands in the send box and press Enter.");
}

QString tnc() {
    return QStringLiteral(
        "TNC: choose the serial port and the settings given in your modem's documentation "
        "(speed, parity, data bits, stop bits, handshaking) and whether the TNC is powered from "
        "the RTS or DTR line.  Ctrl C or Esc sends the TNC's command-mode character (03 unless "
        "you change it) without Enter.  Tick \"List DX Only\" to filter out everything but DX "
        "spots; spots repeated within a few lines are shown only once.");
}

QString agw() {
    return QStringLiteral(
        "AGW Packet Engine: the packet engine is a separate program that runs your sound card "
        "or TNC as a packet station and shares it with other programs.  It must be installed, "
        "configured and running before you click Open.  To connect to a DX cluster node, type "
        ":C TREVO     or to disconnect :D and press enter (you can also use the Esc key to add "
        "a colon).  ") + kDownload;
}

QString closing() {
    return QStringLiteral(
        "When you have configured your DX spotting options, click Open to initiate the "
        "communication.  Then click Done to return to the main form.\r\n\r\n"
        "If the list is being displayed on the main form, you can click on it to quickly return "
        "to this form.  To return the main form to the original display, select None from the "
        "spotting options.");
}

QString note() {
    return QStringLiteral(
        "Note: the TNC support follows the TNC2 command conventions (Ctrl C for command mode, "
        "MONITOR ON to see the spots); it has been tested against a simulated TNC2.");
}

} // namespace

QString spotSourceGuidance(const QString& source) {
    QStringList parts;
    if (SpotSource::is(source, SpotSource::Tnc)) {
        parts = {tnc(), closing(), note()};
    } else if (SpotSource::is(source, SpotSource::Telnet)) {
        parts = {telnet(), closing()};
    } else if (SpotSource::is(source, SpotSource::Agw)) {
        parts = {agw(), closing(), note()};
    } else {
        parts = {introduction(), telnet(), tnc(), agw(), closing(), note()};
    }
    return parts.join(QStringLiteral("\r\n\r\n"));
}

namespace {


QString agwFailedFirstLine() {
    return SpotText::AgwFailedTitle +
           QStringLiteral("  To use the AGW Packet Engine to send and receive packet with your "
                          "soundcard or devices such a Baypac:");
}

} // namespace

QString SpotText::agwFailedMessage() {
    return agwFailedFirstLine() + QStringLiteral("\r\n\r\n") + kDownload +
           QStringLiteral("\r\n\r\n- Make sure the AGW Packet Engine software is running and "
                          "configure it as described on the AGW Packet Engine website.");
}

QString SpotText::agwFailedConsole() {
    return agwFailedFirstLine() + QStringLiteral("\r\n\r\n") + kDownload + QStringLiteral("\r\n\r\n") +
           QStringLiteral("- Run the Packet Engine software and configure it as described on the "
                          "AGW Packet Engine website for your sound card or TNC.\r\n\r\n") +
           QStringLiteral("- Click Open from this program.\r\n\r\n");
}

} // namespace ditlog
