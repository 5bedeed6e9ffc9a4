// The platform services handed to windows and core objects that use several of them.
#pragma once

namespace ditlog {

class Clock;
class SettingsStore;
class UserPrompts;
class Screen;

struct Services {
    Clock& clock;
    SettingsStore& settings;
    UserPrompts& prompts;
    Screen& screen;
};

} // namespace ditlog
