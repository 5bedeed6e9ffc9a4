// Moving the radio through the rig daemon: what ChangeFrequency and ChangeMode do when
// the link's radio is "Hamlib rigctld". The serial families' commands live beside their
// parsers; these callers hand the network family here first.
#pragma once

#include <QString>

namespace ditlog {

class RigLink;

enum class RigctldTune {
    NotNetwork, // the link's radio is no daemon: nothing done here
    Queued,     // the command is on the link's queue
    NotSent,    // nothing sent; why says why when the operator should hear of it
};

// Tunes to mhz, with the band plan's mode first (none on 160 m or outside every row).
// Only while the link polls; a daemon that is not connected is reported in why.
RigctldTune rigctldChangeFrequency(RigLink& link, double mhz, QString* why);
// The mode alone; an empty word takes the band plan's mode for mhz.
RigctldTune rigctldChangeMode(RigLink& link, double mhz, const QString& modeWord, QString* why);

} // namespace ditlog
