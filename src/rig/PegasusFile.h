// "Ten Tec Pegasus": the radio is driven by its own control program, which writes the
// radio's state to PEGASUS.OUT and takes commands from PEGASUS.IN in one folder.
#pragma once

#include "rig/RigReading.h"
#include "rig/RigCommand.h"

#include <QString>

namespace ditlog {

inline const QString kPegasusStatusFile = QStringLiteral("PEGASUS.OUT");
inline const QString kPegasusCommandFile = QStringLiteral("PEGASUS.IN");

// The control program's folder when none is set: c:\Pegasus on Windows, the same folder
// inside Wine's drive C elsewhere.
QString defaultPegasusFolder();

// The status file's two values, the frequency in MHz and the mode text. A file that does
// not hold them gives nothing at all; an empty mode leaves the mode alone and any mode
// other than "CW" is phone.
RigReading parsePegasusStatus(const QByteArray& content);

// Reads and parses the status file in the folder; nothing when it cannot be read.
RigReading readPegasusStatus(const QString& folder);


// The command file's two lines: the frequency in MHz as the shortest decimal text, then the
// mode as the link last saw it.
EncodedCommand pegasusCommandFile(double mhz, const RigCommandContext& context);

} // namespace ditlog
