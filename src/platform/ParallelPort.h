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

class ParallelPort {
public:
    virtual ~ParallelPort() = default;
    // Opens and claims the port at a base address; false (errorString set) on failure.
    virtual bool open(int baseAddress) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int baseAddress() const = 0;
    // Writes the control register (base + 2). Safe from any thread; never blocks long.
    virtual bool writeControl(quint8 value) noexcept = 0;
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
    bool writeControl(quint8 value) noexcept override;
    QString errorString() const override;

private:
    QString m_procRoot;
    QString m_deviceStem;
    mutable std::mutex m_mutex;
    int m_fd = -1;
    int m_base = 0;
    QString m_error;
};

} // namespace ditlog
