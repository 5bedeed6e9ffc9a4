// A stand-in for polkit's authority on a private system bus. RealtimeKit asks polkit
// whether the calling user may have real-time priority; polkit answers yes for a user
// at the machine (an active logind session), which a test machine has no way to show.
// This answers CheckAuthorization as told and notes the actions asked about.
#pragma once

#include <QDBusVirtualObject>
#include <QStringList>

namespace ditlog::testing {

class PolkitStandIn final : public QDBusVirtualObject {
public:
    static constexpr char kService[] = "org.freedesktop.PolicyKit1";
    static constexpr char kPath[] = "/org/freedesktop/PolicyKit1/Authority";

    bool allow = true;
    QStringList asked;

    // Registers on the connection; false when the name or path is taken.
    bool registerOn(QDBusConnection& connection);

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
};

} // namespace ditlog::testing
