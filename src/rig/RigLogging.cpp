// The rig link's logging category, off by default.
#include "rig/RigLogging.h"

namespace ditlog {
Q_LOGGING_CATEGORY(lcRig, "ditlog.rig", QtWarningMsg)
}
