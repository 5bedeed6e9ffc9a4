// Who holds the shared station ports: the CW keying port, the voice push-to-talk port and
// the WinKeyer link close each other's port when one of them opens (they may be the same
// physical port). Each user registers how it lets go; claim() tells the others to.
#pragma once

#include <array>
#include <functional>

namespace ditlog {

enum class PortUser { CwKeying, VoicePtt, WinKeyer };

class PortOwnership {
public:
    // How a user closes its port when another claims. The callback must not claim.
    void setReleaser(PortUser user, std::function<void()> release);
    // Call before opening: every other user holding a port lets go, then user holds.
    void claim(PortUser user);
    // Call when a user closed its port on its own (or its open failed).
    void released(PortUser user);
    bool holds(PortUser user) const { return m_holds[index(user)]; }

private:
    static constexpr int index(PortUser u) { return int(u); }
    std::array<std::function<void()>, 3> m_release;
    std::array<bool, 3> m_holds{};
};

} // namespace ditlog
