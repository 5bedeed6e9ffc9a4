// The shared-port rule.
#include "platform/PortOwnership.h"

namespace ditlog {

void PortOwnership::setReleaser(PortUser user, std::function<void()> release) {
    m_release[index(user)] = std::move(release);
}

void PortOwnership::claim(PortUser user) {
    for (int other = 0; other < int(m_holds.size()); ++other) {
        if (other == index(user) || !m_holds[other]) {
            continue;
        }
        m_holds[other] = false;
        if (m_release[other]) {
            m_release[other]();
        }
    }
    m_holds[index(user)] = true;
}

void PortOwnership::released(PortUser user) { m_holds[index(user)] = false; }

} // namespace ditlog
