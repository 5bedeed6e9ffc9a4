// Which function key holds which message of a running or search-and-pounce exchange (CQ,
// exchange, thank-you, my call, his call), as Enter sends them; kept in the settings store.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace ditlog {

class SettingsStore;

enum class MessageRole { Cq, Exchange, ThankYou, MyCall, HisCall };
constexpr int kMessageRoles = 5;

// The role's caption ("CQ", "Exchange", "Thank you", "My call", "His call").
QString messageRoleCaption(MessageRole role);
// The settings store key of the role ("EsmKeyCq" ...).
QString messageRoleKey(MessageRole role);

// Function-key codes as the keyers take them: 112 (F1) ... 120 (F9), 124 (F10), 122 (F11).
QString functionKeyName(int keyCode); // "F1" ... "F11", empty for another code
std::optional<int> functionKeyCode(const QString& name);

struct MessageKeys {
    std::array<int, kMessageRoles> codes{112, 113, 114, 115, 116}; // F1 ... F5

    int code(MessageRole role) const { return codes[std::size_t(role)]; }
    void setCode(MessageRole role, int code) { codes[std::size_t(role)] = code; }

    // A missing or unknown value keeps the role's default.
    static MessageKeys load(const SettingsStore& store);
    void save(SettingsStore& store) const;
    bool operator==(const MessageKeys&) const = default;
};

} // namespace ditlog
