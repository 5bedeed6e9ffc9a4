// Serial ports by number on a real pseudo-terminal, the settings text, the port map, the
// shared-port rule and the parallel-port address rule. (The control lines themselves are
// tested down to the system call in tst_keyinglines, never on this machine's own ports.)
#include "KeyingDoubles.h"
#include "PseudoTerminal.h"
#include "platform/ControlLinePort.h"
#include "platform/KeyingLine.h"
#include "platform/ParallelPort.h"
#include "platform/PortMap.h"
#include "platform/PortOwnership.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>


using namespace ditlog;
using namespace ditlog::testing;

class TestSerialPort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<QtSettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
        m_map = std::make_unique<PortMap>(*m_settings);
    }

    void settingsText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("rig") << "4800,N,8,2" << true << "4800,N,8,2";
        QTest::newRow("stored with a blank") << "4800 ,n,8,2" << true << "4800,N,8,2";
        QTest::newRow("even 7 1.5") << "1200,E,7,1.5" << true << "1200,E,7,1.5";
        QTest::newRow("mark space odd") << "300,m,5,1" << true << "300,M,5,1";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("three items") << "9600,N,8" << false << "";
        QTest::newRow("speed not numeric") << "fast,N,8,1" << false << "";
        QTest::newRow("speed zero") << "0,N,8,1" << false << "";
        QTest::newRow("parity") << "9600,X,8,1" << false << "";
        QTest::newRow("data bits") << "9600,N,9,1" << false << "";
        QTest::newRow("stop bits") << "9600,N,8,3" << false << "";
    }
    void settingsText() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, normalised);
        const auto parsed = parseSerialSettings(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid) {
            QCOMPARE(serialSettingsText(*parsed), normalised);
        }
    }

    void portMapDefaultsAndMappings() {
        QCOMPARE(m_map->devicePath(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(m_map->devicePath(16), QStringLiteral("/dev/ttyS15"));
        QCOMPARE(m_map->devicePath(0), QString());
        QCOMPARE(m_map->devicePath(-3), QString());
        m_map->setMappedPath(3, QStringLiteral(" /dev/ttyUSB0 "));
        QCOMPARE(m_map->devicePath(3), QStringLiteral("/dev/ttyUSB0"));
        // Kept in the settings store, so a new map (the next run) sees it.
        QCOMPARE(PortMap(*m_settings).devicePath(3), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(m_settings->value(QStringLiteral("SerialPort3")), QStringLiteral("/dev/ttyUSB0"));
        m_map->setMappedPath(3, QString());
        QCOMPARE(m_map->devicePath(3), QStringLiteral("/dev/ttyS2"));
        // Numbers beyond the mapped range keep their default device.
        m_map->setMappedPath(17, QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(m_map->devicePath(17), QStringLiteral("/dev/ttyS16"));
    }

    void dataBothWaysOnAPseudoTerminal() {
        PseudoTerminal device;
        QVERIFY(device.isValid());
        m_map->setMappedPath(5, device.devicePath());
        QtSerialPort port(*m_map);
        QVERIFY2(port.open(5, QStringLiteral("4800,N,8,2")), qPrintable(port.errorString()));
        QCOMPARE(port.portNumber(), 5);
        QCOMPARE(port.devicePath(), device.devicePath());
        QVERIFY(port.nativeHandle() >= 0);

        QSignalSpy sent(&port, &SerialPort::allSent);
        QSignalSpy written(&port, &SerialPort::bytesWritten);
        QCOMPARE(port.write("FA;IF;"), qint64(6));
        QTRY_COMPARE(device.received(), QByteArray("FA;IF;"));
        QTRY_VERIFY(sent.count() >= 1);
        QCOMPARE(written.last().at(1).toLongLong(), qint64(0));

        QSignalSpy ready(&port, &SerialPort::readyRead);
        device.send(QByteArray("FA00014025000;\x00\xff", 16));
        QByteArray got;
        QTRY_VERIFY((got += port.readAll()).size() == 16);
        QCOMPARE(got, QByteArray("FA00014025000;\x00\xff", 16));
        QVERIFY(ready.count() >= 1);

        // A pty has no modem lines: the change is refused, the port stays usable.
        QVERIFY(!port.setDtr(true));
        QVERIFY(!port.errorString().isEmpty());
        QVERIFY(port.isOpen());
        QVERIFY(port.setSettings(QStringLiteral("1200,N,8,2")));
        QVERIFY(!port.setSettings(QStringLiteral("1200,N,8")));

        QSignalSpy closing(&port, &SerialPort::aboutToClose);
        port.close();
        QCOMPARE(closing.count(), 1);
        QVERIFY(!port.isOpen());
        QCOMPARE(port.nativeHandle(), -1);
        QCOMPARE(port.write("x"), qint64(-1));
        port.close();
        QCOMPARE(closing.count(), 1);
    }

    void openFailuresSayWhy() {
        QtSerialPort port(*m_map);
        QVERIFY(!port.open(0));
        QVERIFY(!port.errorString().isEmpty());
        m_map->setMappedPath(2, m_dir->filePath(QStringLiteral("no-such-device")));
        QVERIFY(!port.open(2));
        QVERIFY(port.errorString().contains(QStringLiteral("no-such-device")));
        PseudoTerminal device;
        m_map->setMappedPath(2, device.devicePath());
        QVERIFY(!port.open(2, QStringLiteral("9600,Q,8,1")));
        QVERIFY(!port.isOpen());
        QVERIFY(port.open(2, QStringLiteral("9600,N,8,1"), Handshake::XonXoff));
    }

    // A pulled cable closes the port and is told once, for a data port and for a port of
    // control lines alone (which drops what the device sends, and notices the hang-up
    // without reading anything the program asked for); the device back, it opens again.
    void vanishingDeviceClosesThePort_data() {
        QTest::addColumn<bool>("controlLines");
        QTest::newRow("data port") << false;
        QTest::newRow("control lines") << true;
    }
    void vanishingDeviceClosesThePort() {
        QFETCH(bool, controlLines);
        auto device = std::make_unique<PseudoTerminal>();
        m_map->setMappedPath(4, device->devicePath());
        std::unique_ptr<SerialPort> port;
        if (controlLines) {
            port = std::make_unique<ControlLinePort>(*m_map);
        } else {
            port = std::make_unique<QtSerialPort>(*m_map);
        }
        QVERIFY(port->open(4, QStringLiteral("9600,N,8,1")));
        QSignalSpy failed(port.get(), &SerialPort::errorOccurred);
        QSignalSpy closing(port.get(), &SerialPort::aboutToClose);
        device->send(QByteArray(4096, 'x')); // a chatty device is no failure
        QTest::qWait(100);
        QVERIFY(port->isOpen());
        QCOMPARE(failed.count(), 0);
        device.reset(); // the cable is pulled
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 10000);
        QVERIFY(!port->isOpen());
        QCOMPARE(closing.count(), 1);
        QVERIFY(!failed.first().at(0).toString().isEmpty());
        QTest::qWait(100);
        QCOMPARE(failed.count(), 1);
        // The next open of a working device succeeds.
        PseudoTerminal again;
        m_map->setMappedPath(4, again.devicePath());
        QVERIFY(port->open(4));
    }

    void portOwnershipClosesTheOthers() {
        PortOwnership owners;
        QStringList released;
        owners.setReleaser(PortUser::CwKeying, [&] { released << QStringLiteral("cw"); });
        owners.setReleaser(PortUser::VoicePtt, [&] { released << QStringLiteral("ptt"); });
        owners.setReleaser(PortUser::WinKeyer, [&] { released << QStringLiteral("wk"); });
        owners.claim(PortUser::CwKeying);
        QVERIFY(released.isEmpty());
        owners.claim(PortUser::CwKeying); // reopening its own port releases nobody
        QVERIFY(released.isEmpty());
        owners.claim(PortUser::VoicePtt);
        QCOMPARE(released, QStringList{QStringLiteral("cw")});
        QVERIFY(!owners.holds(PortUser::CwKeying));
        owners.claim(PortUser::CwKeying);
        owners.claim(PortUser::WinKeyer);
        QCOMPARE(released, (QStringList{QStringLiteral("cw"), QStringLiteral("ptt"),
                                        QStringLiteral("cw")}));
        // A user that closed by itself is not asked again.
        owners.released(PortUser::WinKeyer);
        owners.claim(PortUser::VoicePtt);
        QCOMPARE(released.size(), 3);
    }

    void parallelAddresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("default") << "&H378" << 0x378;
        QTest::newRow("second") << "&h278" << 0x278;
        QTest::newRow("decimal") << "888" << 888;
        QTest::newRow("trailing text") << " 888 (LPT1)" << 888;
        QTest::newRow("C style") << "0x3BC" << 0x3BC;
        QTest::newRow("octal") << "&O1570" << 888;
        QTest::newRow("nothing") << "LPT1" << 0;
        QTest::newRow("too big") << "&H123456" << 0;
    }
    void parallelAddresses() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(parallelAddressValue(text), value);
    }

    void parallelBaseToPortNumber() {
        QTemporaryDir proc;
        const auto entry = [&](const QString& name, const QByteArray& base) {
            QDir(proc.path()).mkpath(name);
            QFile f(proc.filePath(name + QStringLiteral("/base-addr")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(base);
        };
        // No kernel entries: the two classic addresses.
        QCOMPARE(parallelPortNumberForBase(0x378, proc.path()), 0);
        QCOMPARE(parallelPortNumberForBase(0x278, proc.path()), 1);
        QCOMPARE(parallelPortNumberForBase(0xD010, proc.path()), -1);
        // The kernel's list wins: a PCI card first, the on-board port second.
        entry(QStringLiteral("parport0"), "53264\t53248\n");
        entry(QStringLiteral("parport1"), "888\t1912\n");
        QCOMPARE(parallelPortNumberForBase(0xD010, proc.path()), 0);
        QCOMPARE(parallelPortNumberForBase(0x378, proc.path()), 1);
        QCOMPARE(parallelPortNumberForBase(parallelAddressValue(QStringLiteral("&H278")),
                                           proc.path()),
                 1);
    }

    // The line keys 3 and 2 on the opening it was attached to; a port opened anew (by the
    // push-to-talk at another address) or closed is not keyed by it, and it says released.
    void parallelLineWritesThreeAndTwo() {
        RecordingParallelPort port;
        ParallelControlLine line(port);
        QVERIFY(!line.setKeyDown(true)); // not open
        QVERIFY(port.open(0x278));
        QCOMPARE(port.portNumber(), 1);
        line.attach();
        QVERIFY(line.setKeyDown(true));
        QVERIFY(line.setKeyDown(false));
        QCOMPARE(port.writes(), (QList<quint8>{2, 3, 2})); // opening rests the register
        QVERIFY(!line.released());
        QVERIFY(port.open(0x378));
        QVERIFY(!line.setKeyDown(true));
        QVERIFY(line.released());
        port.close();
        QCOMPARE(port.writes(), (QList<quint8>{2, 3, 2, 2, 2, 2})); // closed resting each time
        PpdevParallelPort real(m_dir->path(), m_dir->filePath(QStringLiteral("parport")));
        QVERIFY(!real.open(0x378)); // no device node: a clear failure
        QVERIFY(!real.errorString().isEmpty());
        QVERIFY(!real.writeControl(3));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QtSettingsStore> m_settings;
    std::unique_ptr<PortMap> m_map;
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
