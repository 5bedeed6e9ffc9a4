// A generated contest log for the benchmarks: plausible sprint contacts with varied
// calls, names, exchanges, states, provinces and entities, in runs on one band at a time
// with frequencies inside that band, one contact every 15 to 75 seconds.
#pragma once

#include "log/ContactLog.h"
#include "log/EntryRules.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace ditlog::bench {

inline QByteArray generatedLog(int count) {
    static const char* const prefixes[] = {"W", "K", "N", "AA", "AB", "AC", "KA", "KB", "KC", "KD",
                                           "WA", "WB", "N", "VE", "VA", "G", "DL", "JA", "I", "F"};
    static const char* const homeSpcs[] = {"CT", "MA", "ME", "NH", "RI", "VT", "NY", "NJ", "PA", "MD",
                                           "GA", "NC", "FL", "VA", "TX", "OK", "CA", "AZ", "WA", "OR",
                                           "MI", "OH", "IL", "IN", "WI", "CO", "MN", "MO"};
    static const char* const provinces[] = {"ON", "QC", "BC", "AB", "MB", "NS"};
    static const char* const dx[] = {"England", "Germany", "Japan", "Italy", "France"};
    static const char* const names[] = {"BOB", "AL", "JIM", "SUE", "ED", "HANS", "TARO", "PAT",
                                        "MIKE", "JOHN", "ANN", "RAY", "TOM", "BILL", "JOE", "DAVE",
                                        "KEN", "GARY", "FRED", "LEE", "CHUCK", "LARRY", "MARY", "DON"};
    struct Band {
        const char* name;
        double low;
    };
    static const Band bands[] = {{"80", 3.5}, {"40", 7.0}, {"20", 14.0}, {"15", 21.0}, {"10", 28.0}};
    QRandomGenerator random(2026); // the same log every run
    QDateTime t(QDate(2026, 12, 8), QTime(0, 0), Qt::UTC);
    QByteArray out;
    int band = 2;
    for (int i = 0; i < count; ++i) {
        if (random.bounded(40) == 0) {
            band = int(random.bounded(5)); // a run on one band, then a move
        }
        t = t.addSecs(15 + random.bounded(61));
        const int p = int(random.bounded(20));
        QString call = QLatin1String(prefixes[p]) + QString::number(random.bounded(10));
        for (int k = 0, letters = 1 + int(random.bounded(3)); k < letters; ++k) {
            call += QChar(char('A' + random.bounded(26)));
        }
        QString spc;
        if (p == 13 || p == 14) {
            spc = QLatin1String(provinces[random.bounded(6)]);
        } else if (p >= 15) {
            spc = QLatin1String(dx[p - 15]);
        } else {
            spc = QLatin1String(homeSpcs[random.bounded(28)]);
        }
        const bool member = random.bounded(4) != 0;
        const QString exchange = member ? QString::number(1 + random.bounded(9999))
                                        : QString::number(5 * (1 + random.bounded(20))) + QLatin1Char('W');
        const double mhz = bands[band].low + 0.001 * (20 + random.bounded(40));
        const ContactRecord r{call,
                              QStringLiteral("599"),
                              exchange,
                              QStringLiteral("599"),
                              spc,
                              t.toString(QStringLiteral("yyyy/MM/dd")),
                              t.toString(QStringLiteral("HH:mm:ss")),
                              QLatin1String(names[random.bounded(24)]),
                              QLatin1String(bands[band].name),
                              contactPoints(exchange),
                              QString::number(mhz, 'f', 3)};
        out += recordLine(r);
    }
    return out;
}

} // namespace ditlog::bench
