// Choosing the line by the family and passing on the chosen line's signals.
#include "rig/RoutedRigTransport.h"

#include "rig/RigFamily.h"

namespace ditlog {

RoutedRigTransport::RoutedRigTransport(RigTransport& serial, RigTransport& network, QObject* parent)
    : RigTransport(parent), m_serial(serial), m_network(network), m_active(&serial) {
    follow(serial);
    follow(network);
}

void RoutedRigTransport::follow(RigTransport& line) {
    RigTransport* from = &line;
    connect(from, &RigTransport::readyRead, this, [this, from] {
        if (m_active == from) {
            Q_EMIT readyRead();
        }
    });
    connect(from, &RigTransport::drained, this, [this, from] {
        if (m_active == from) {
            Q_EMIT drained();
        }
    });
    connect(from, &RigTransport::failed, this, [this, from](const QString& description) {
        if (m_active == from) {
            Q_EMIT failed(description);
        }
    });
    connect(from, &RigTransport::statusChanged, this, [this, from](const QString& status) {
        if (m_active == from) {
            Q_EMIT statusChanged(status);
        }
    });
    connect(from, &RigTransport::lineLost, this, [this, from](const QString& description) {
        if (m_active == from) {
            Q_EMIT lineLost(description);
        }
    });
    connect(from, &RigTransport::lineRestored, this, [this, from](const QString& description) {
        if (m_active == from) {
            Q_EMIT lineRestored(description);
        }
    });
}

bool RoutedRigTransport::open(const RigSettings& settings, const RigFamily& family) {
    RigTransport* wanted = family.transport == RigTransportKind::Network ? &m_network : &m_serial;
    if (wanted != m_active) {
        m_active->close();
        m_active = wanted;
    }
    return m_active->open(settings, family);
}

void RoutedRigTransport::close() {
    m_active->close();
}

} // namespace ditlog
