// The PC parallel port's control register, through Linux ppdev (/dev/parportN). The
// operator gives the port's base address ("&H378", "888"); it names parportN by the
// kernel's base-addr entries, with 0x378 as parport0 and 0x278 as parport1 when the
// kernel lists nothing.
#pragma once

#include <QString>

#include <mutex>

namespace ditlog {

// The numeric value of an address as typed: "&H378" (hexadecimal), "&O1570" (octal),
// "0x378", or a decimal number; leading blanks are skipped and reading stops at the
// first character that does not belong (so "888 " is 888). 0 when nothing is readable.
int parallelAddressValue(const QString& text);

// The N of /dev/parportN for a base address: the parport*/base-addr entry under procRoot
// whose first number equals the address, else 0 for 0x378 and 1 for 0x278, else -1.
int parallelPortNumberForBase(int baseAddress,
                              const QString& procRoot = QStringLiteral("/proc/sys/dev/parport"));

// One port object is shared by its users (CW keying, voice push-to-talk). Both key bit 0
// of the control register: 3 is down, 2 the resting value (up).
class ParallelPort {
public:
    static constexpr quint8 kKeyDownControl = 3;
    static constexpr quint8 kRestingControl = 2;

    virtual ~ParallelPort() = default;
    // Opens and claims the port at a base address and sets the resting value; a port
    // open elsewhere is closed first. False (errorString set) on failure.
    virtual bool open(int baseAddress) = 0;
    // Sets the resting value and lets the port go, in one step: no write of another
    // thread can land between them.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int baseAddress() const = 0;
    // Each opening is a new session (numbered from 1); 0 while closed. A user that keys
    // through an opening of its own checks that it is still the port's.
    virtual quint64 session() const = 0;
    // Writes the control register (base + 2). Safe from any thread; never blocks long.
    virtual bool writeControl(quint8 value) noexcept = 0;
    // The same, but only while the port is still open in the given session.
    virtual bool writeControlInSession(quint8 value, quint64 session) noexcept = 0;
    virtual QString errorString() const = 0;
};

class PpdevParallelPort final : public ParallelPort {
public:
    explicit PpdevParallelPort(QString procRoot = QStringLiteral("/proc/sys/dev/parport"),
                               QString deviceStem = QStringLiteral("/dev/parport"));
    ~PpdevParallelPort() override;

    bool open(int baseAddress) override;
    void close() override;
    bool isOpen() const override;
    int baseAddress() const override { return m_base; }
    quint64 session() const override;
    bool writeControl(quint8 value) noexcept override;
    bool writeControlInSession(quint8 value, quint64 session) noexcept override;
    QString errorString() const override;

private:
    void closeLocked();
    bool writeLocked(quint8 value) noexcept;

    QString m_procRoot;
    QString m_deviceStem;
    mutable std::mutex m_mutex;
    int m_fd = -1;
    int m_base = 0;
    quint64 m_session = 0;
    quint64 m_openings = 0;
    int m_emergencySlot = -1;
    QString m_error;
};

} // namespace ditlog
