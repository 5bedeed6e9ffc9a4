// The polkit stand-in as a process of its own, on the bus DBUS_SYSTEM_BUS_ADDRESS names,
// answering yes (or no with POLKIT_STANDIN_ALLOW=0) until it is ended: for running the
// keying benchmark as a normal user with RealtimeKit (tools/bench-keying-rtkit.sh).
#include "PolkitStandIn.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::systemBus();
    ditlog::testing::PolkitStandIn authority;
    authority.allow = qEnvironmentVariable("POLKIT_STANDIN_ALLOW") != QLatin1String("0");
    if (!bus.isConnected() || !authority.registerOn(bus)) {
        std::fprintf(stderr, "polkit_standin: cannot register on the system bus\n");
        return 1;
    }
    return QCoreApplication::exec();
}
