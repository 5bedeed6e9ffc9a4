// Scripted prompts: replay queued answers and record what was asked.
#include "TestDoubles.h"

namespace ditlog::testing {

QList<PromptCall> ScriptedPrompts::callsOf(const QString& kind) const {
    QList<PromptCall> out;
    for (const PromptCall& c : m_calls) {
        if (c.kind == kind) {
            out.append(c);
        }
    }
    return out;
}

std::optional<ScriptedPrompts::Answer> ScriptedPrompts::next() {
    if (m_answers.empty()) {
        return std::nullopt;
    }
    Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

PromptAnswer ScriptedPrompts::message(const QString& title, const QString& text,
                                      PromptButtons buttons, PromptIcon) {
    m_calls.append({QStringLiteral("message"), title, text, {}});
    const bool asks = buttons != PromptButtons::Ok;
    if (!asks) {
        return PromptAnswer::Ok;
    }
    if (auto a = next(); a && std::holds_alternative<PromptAnswer>(*a)) {
        return std::get<PromptAnswer>(*a);
    }
    return buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel : PromptAnswer::No;
}

QString ScriptedPrompts::input(const QString& title, const QString& prompt,
                               const QString& defaultText) {
    m_calls.append({QStringLiteral("input"), title, prompt, defaultText});
    if (auto a = next(); a && std::holds_alternative<QString>(*a)) {
        return std::get<QString>(*a);
    }
    return {};
}

QString ScriptedPrompts::openFile(const FileDialogRequest& request) {
    m_calls.append({QStringLiteral("open"), request.title, request.filter, request.folder});
    if (auto a = next(); a && std::holds_alternative<QString>(*a)) {
        return std::get<QString>(*a);
    }
    return {};
}

QString ScriptedPrompts::saveFile(const FileDialogRequest& request) {
    m_calls.append({QStringLiteral("save"), request.title, request.filter, request.proposedPath});
    if (auto a = next(); a && std::holds_alternative<QString>(*a)) {
        return std::get<QString>(*a);
    }
    return {};
}

std::optional<quint32> ScriptedPrompts::chooseColour(quint32 initial) {
    m_calls.append({QStringLiteral("colour"), {}, QString::number(initial), {}});
    if (auto a = next(); a && std::holds_alternative<quint32>(*a)) {
        return std::get<quint32>(*a);
    }
    return std::nullopt;
}

} // namespace ditlog::testing
