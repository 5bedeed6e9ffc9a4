// The rig link's trace: every byte sent and received with its time and what it decoded
// to. Off by default; QT_LOGGING_RULES="ditlog.rig.debug=true" switches it on.
#pragma once

#include <QLoggingCategory>

namespace ditlog {
Q_DECLARE_LOGGING_CATEGORY(lcRig)
}
