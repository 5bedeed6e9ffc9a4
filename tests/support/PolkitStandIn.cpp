// CheckAuthorization answered as told.
#include "PolkitStandIn.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>

namespace ditlog::testing {

bool PolkitStandIn::registerOn(QDBusConnection& connection) {
    return connection.registerVirtualObject(QLatin1String(kPath), this) &&
           connection.registerService(QLatin1String(kService));
}

bool PolkitStandIn::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.member() != u"CheckAuthorization") {
        return false;
    }
    asked << message.arguments().value(1).toString();
    // (is_authorized, is_challenge, details)
    QDBusArgument result;
    result.beginStructure();
    result << allow << false;
    result.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    result.endMap();
    result.endStructure();
    QDBusMessage reply = message.createReply();
    reply << QVariant::fromValue(result);
    return connection.send(reply);
}

} // namespace ditlog::testing
