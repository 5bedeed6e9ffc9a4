// What the spot list, the band maps and the tune panel ask of the rig link: move the
// radio. NoRigTuning stands for a program that has no rig link yet.
#pragma once

namespace ditlog {

class RigTuning {
public:
    virtual ~RigTuning() = default;
    // Tunes the radio to a frequency in MHz and, by the band plan, to a suitable mode.
    // Does nothing while the link is not polling.
    virtual void ChangeFrequency(double mhz) = 0;
};

class NoRigTuning final : public RigTuning {
public:
    void ChangeFrequency(double) override {}
};

} // namespace ditlog
