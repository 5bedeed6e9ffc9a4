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
    ~PseudoTerminal() override;

    bool isValid() const { return m_master >= 0; }
    // The path the program opens (/dev/pts/N).
    QString devicePath() const { return m_path; }
    // Sends bytes to the program's port.
    void send(const QByteArray& bytes);
    // Everything received from the program so far; take() empties it.
    QByteArray received() const { return m_received; }
    QByteArray take();
    // Closes the far end: the program's port reads end of file or an error.
    void hangUp();

Q_SIGNALS:
    void bytesReceived(const QByteArray& bytes);

private:
    void readMaster();

    int m_master = -1;
    int m_slave = -1; // held open so the far end stays readable when the program closes
    QString m_path;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_received;
};

} // namespace ditlog::testing
