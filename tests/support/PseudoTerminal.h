// A pseudo-terminal pair for serial tests: the program opens devicePath() as its serial
// port (map a port number to it in the PortMap), and the test plays the device on the
// far end: bytes the program writes arrive in received() and bytesReceived, bytes the
// test writes with send() arrive at the program's port.
//
//   PseudoTerminal device;
//   portMap.setMappedPath(5, device.devicePath());
//   connect(&device, &PseudoTerminal::bytesReceived, [&](const QByteArray& b) {
//       if (b.contains("FA;")) device.send("FA00014025000;");
//   });
//
// The far end has no modem lines: DTR and RTS changes on the port are refused (ENOTTY).
// hangUp() closes the far end, which the program sees as a device that vanished.
//
// Given a stable name, the pair is reached through a symbolic link of that name (as
// /dev/serial/by-id names a USB adapter): hangUp() removes the name with the pair, as a
// pulled adapter takes its device node along, and plugIn() brings a new pair back under
// the same name.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace ditlog::testing {

class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr);
    explicit PseudoTerminal(const QString& stableName, QObject* parent = nullptr);
    ~PseudoTerminal() override;

    bool isValid() const { return m_master >= 0; }
    // The path the program opens: the stable name, else /dev/pts/N.
    QString devicePath() const { return m_stableName.isEmpty() ? m_path : m_stableName; }
    bool pluggedIn() const { return m_master >= 0; }
    // Sends bytes to the program's port.
    void send(const QByteArray& bytes);
    // Everything received from the program so far; take() empties it.
    QByteArray received() const { return m_received; }
    QByteArray take();
    // Closes the far end: the program's port reads end of file or an error.
    void hangUp();
    // A new pair after hangUp(), under the stable name; false when none could be made.
    bool plugIn();

Q_SIGNALS:
    void bytesReceived(const QByteArray& bytes);

private:
    void readMaster();
    bool openPair();

    int m_master = -1;
    int m_slave = -1; // held open so the far end stays readable when the program closes
    QString m_path;
    QString m_stableName;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_received;
};

} // namespace ditlog::testing
