// Creates the real services and the windows once and runs the event loop.
#pragma once

namespace ditlog {
int runApplication(int argc, char* argv[]);
}
