// Message roles, function-key names and their place in the settings store.
#include "assist/MessageKeys.h"

#include "platform/SettingsStore.h"

namespace ditlog {

namespace {
constexpr MessageRole kRoles[] = {MessageRole::Cq, MessageRole::Exchange, MessageRole::ThankYou,
                                  MessageRole::MyCall, MessageRole::HisCall};
} // namespace

QString messageRoleCaption(MessageRole role) {
    switch (role) {
    case MessageRole::Cq: return QStringLiteral("CQ");
    case MessageRole::Exchange: return QStringLiteral("Exchange");
    case MessageRole::ThankYou: return QStringLiteral("Thank you");
    case MessageRole::MyCall: return QStringLiteral("My call");
    case MessageRole::HisCall: return QStringLiteral("His call");
    }
    return {};
}

QString messageRoleKey(MessageRole role) {
    switch (role) {
    case MessageRole::Cq: return QStringLiteral("EsmKeyCq");
    case MessageRole::Exchange: return QStringLiteral("EsmKeyExchange");
    case MessageRole::ThankYou: return QStringLiteral("EsmKeyThankYou");
    case MessageRole::MyCall: return QStringLiteral("EsmKeyMyCall");
    case MessageRole::HisCall: return QStringLiteral("EsmKeyHisCall");
    }
    return {};
}

QString functionKeyName(int keyCode) {
    if (keyCode >= 112 && keyCode <= 120) {
        return QStringLiteral("F%1").arg(keyCode - 111);
    }
    if (keyCode == 124) {
        return QStringLiteral("F10");
    }
    if (keyCode == 122) {
        return QStringLiteral("F11");
    }
    return {};
}

std::optional<int> functionKeyCode(const QString& name) {
    const QString t = name.trimmed().toUpper();
    if (!t.startsWith(QLatin1Char('F'))) {
        return std::nullopt;
    }
    bool ok = false;
    const int n = t.mid(1).toInt(&ok);
    if (!ok || n < 1 || n > 11) {
        return std::nullopt;
    }
    return n <= 9 ? 111 + n : n == 10 ? 124 : 122;
}

MessageKeys MessageKeys::load(const SettingsStore& store) {
    MessageKeys keys;
    for (const MessageRole role : kRoles) {
        if (const auto code = functionKeyCode(store.value(messageRoleKey(role)))) {
            keys.setCode(role, *code);
        }
    }
    return keys;
}

void MessageKeys::save(SettingsStore& store) const {
    for (const MessageRole role : kRoles) {
        store.setValue(messageRoleKey(role), functionKeyName(code(role)));
    }
}

} // namespace ditlog
