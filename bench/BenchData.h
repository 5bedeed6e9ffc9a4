// A generated contest log for the benchmarks: twelve thousand plausible contacts, one
// every ten seconds, spread over bands, states, provinces and DX entities.
#pragma once

#include "log/ContactLog.h"

#include <QDateTime>

namespace ditlog::bench {

inline QByteArray generatedLog(int count) {
    static const char* const spcs[] = {"CT", "NY", "ON", "England", "CA", "FL", "Japan", "IL",
                                       "TX", "BC", "Germany", "OH", "WA", "QC", "MA"};
    static const char* const bands[] = {"80", "40", "20", "15", "10"};
    const QDateTime start(QDate(2026, 12, 8), QTime(0, 0), Qt::UTC);
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const QDateTime t = start.addSecs(qint64(i) * 10);
        ContactRecord r{QStringLiteral("K%1AB%2").arg(i % 10).arg(QChar('A' + (i / 10) % 26)) +
                            QString::number(i / 260),
                        QStringLiteral("599"),
                        i % 3 == 0 ? QStringLiteral("100W") : QString::number(1000 + i),
                        QStringLiteral("579"),
                        QLatin1String(spcs[i % 15]),
                        t.toString(QStringLiteral("yyyy/MM/dd")),
                        t.toString(QStringLiteral("HH:mm:ss")),
                        QStringLiteral("BOB"),
                        QLatin1String(bands[i % 5]),
                        i % 3 == 0 ? 2.0f : 5.0f,
                        QStringLiteral("14.025")};
        out += recordLine(r);
    }
    return out;
}

} // namespace ditlog::bench
