// Tests that start another program (rigctld, socat, Dire Wolf, RealtimeKit ...) or need a
// private network namespace: on a developer's machine a missing peer skips the test with
// the reason; under continuous integration (CI=true, as .ci/run sets it) it fails the
// test, since tools/install-deps.sh installs every peer there and a skip would pass
// unseen.
//
//   if (const QString missing = HamlibPeer::missingPrograms(false); !missing.isEmpty()) {
//       SKIP_OR_FAIL_WITHOUT_PEER(missing);
//   }
#pragma once

#include <QString>
#include <QTest>

namespace ditlog::testing {

// True when CI is "true" or "1": a missing peer is then a failure.
inline bool peersRequired() {
    const QString ci = qEnvironmentVariable("CI").trimmed();
    return ci.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || ci == QLatin1String("1");
}

} // namespace ditlog::testing

#define SKIP_OR_FAIL_WITHOUT_PEER(reason)                                                            \
    do {                                                                                             \
        const QString ditlogPeerReason_ = (reason);                                                  \
        if (::ditlog::testing::peersRequired()) {                                                    \
            QFAIL(qPrintable(QStringLiteral("Missing peer under CI: ") + ditlogPeerReason_));       \
        }                                                                                            \
        QSKIP(qPrintable(ditlogPeerReason_));                                                        \
    } while (false)
