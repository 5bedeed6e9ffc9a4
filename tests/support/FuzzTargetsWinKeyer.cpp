// Fuzz target of the WinKeyer host protocol, over a serial port held in memory.
#include "FuzzTargetsWinKeyer.h"

#include "platform/WinKeyer.h"
#include "platform/SerialPort.h"

#include <QCoreApplication>

namespace ditlog::testing {

namespace {
// A port whose far end is the fuzz input.
class MemoryPort final : public SerialPort {
public:
    bool open(int, const QString&, Handshake) override { return m_open = true; }
    void close() override {
        if (m_open) {
            Q_EMIT aboutToClose();
        }
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    int portNumber() const override { return m_open ? 1 : 0; }
    QString devicePath() const override { return {}; }
    bool setSettings(const QString&) override { return true; }
    bool setHandshake(Handshake) override { return true; }
    bool setDtr(bool) override { return m_open; }
    bool setRts(bool) override { return m_open; }
    qint64 write(const QByteArray& bytes) override {
        if (!m_open) {
            return -1;
        }
        written += bytes;
        return bytes.size();
    }
    QByteArray readAll() override {
        QByteArray out;
        out.swap(m_input);
        return out;
    }
    qint64 bytesToWrite() const override { return 0; }
    void clearBuffers() override { m_input.clear(); }
    int nativeHandle() const override { return -1; }
    QString errorString() const override { return {}; }

    void arrive(const QByteArray& bytes) {
        m_input += bytes;
        Q_EMIT readyRead();
    }
    QByteArray written;

private:
    bool m_open = false;
    QByteArray m_input;
};

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}
} // namespace

void fuzzWinKeyerBytes(const uint8_t* data, size_t size) {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    MemoryPort port;
    HostWinKeyer keyer(port, HostWinKeyer::Timing{0, 0, 1000});
    int result = -1;
    QObject::connect(&keyer, &WinKeyer::opened, [&](int r, int) { result = r; });
    keyer.wk_open(1);
    settle(); // settled: the echo test goes out
    // The first two bytes answer the echo test and host open (when they get that far).
    port.arrive(input.left(2));
    settle();
    if (keyer.opening()) {
        settle(); // the answer timeout (0 ms) ends it
    }
    if (keyer.opening() || winKeyResultText(result).isEmpty()) {
        qFatal("opening did not end with a documented result (%d)", result);
    }
    if (!keyer.isOpen()) {
        return;
    }
    int given = 0;
    for (qsizetype i = 2; i < input.size(); ++i) {
        const auto b = quint8(input.at(i));
        // Bytes with the top bit clear and below 0x10 are the program's own actions.
        if (b < 0x10) {
            switch (b % 4) {
            case 0: keyer.wk_char(quint8('A' + b)); ++given; break;
            case 1: keyer.wk_backspace(); given = std::max(0, given - 1); break;
            case 2:
                keyer.wk_clearbuf();
                given = 0;
                if (keyer.wk_getstatus() != 0) {
                    qFatal("pending after a clear");
                }
                break;
            default: keyer.wk_getstatus(); break;
            }
        } else {
            port.arrive(QByteArray(1, char(b)));
        }
        const int pending = keyer.wk_getstatus();
        if (pending < 0 || (pending > given && pending != 5)) {
            qFatal("pending %d with %d handed over", pending, given);
        }
        if (pending == 0) {
            given = 0; // the keyer said it is idle: a fresh count
        }
    }
}

} // namespace ditlog::testing
