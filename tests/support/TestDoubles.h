// Test doubles for the platform services: a settable clock, scripted prompts that record
// every call, and a screen of fixed size.
#pragma once

#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/UserPrompts.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <variant>

namespace ditlog::testing {

class SettableClock final : public Clock {
public:
    explicit SettableClock(const QDateTime& localNow = QDateTime(QDate(2026, 3, 4), QTime(9, 5, 33)),
                           int utcMinusLocalSeconds = 5 * 3600)
        : m_local(localNow), m_utcOffset(utcMinusLocalSeconds) {}

    QDateTime localNow() const override { return m_local; }
    QDateTime utcNow() const override {
        const QDateTime shifted = m_local.addSecs(m_utcOffset);
        return QDateTime(shifted.date(), shifted.time(), Qt::UTC);
    }
    qint64 monotonicNs() const override { return m_monotonicNs; }

    void setLocal(const QDateTime& local) { m_local = local; }
    void advanceSeconds(qint64 seconds) {
        m_local = m_local.addSecs(seconds);
        m_monotonicNs += seconds * 1'000'000'000LL;
    }
    void advanceMs(qint64 ms) {
        m_local = m_local.addMSecs(ms);
        m_monotonicNs += ms * 1'000'000LL;
    }
    void setUtcMinusLocalSeconds(int s) { m_utcOffset = s; }

private:
    QDateTime m_local;
    int m_utcOffset;
    qint64 m_monotonicNs = 1'000'000'000LL;
};

class FixedScreen final : public Screen {
public:
    explicit FixedScreen(QSize pixels = {1024, 768}) : m_px(pixels) {}
    QSize sizeTwips() const override { return m_px * kTwipsPerPixel; }
    QRect workAreaTwips() const override {
        const QRect work = m_workPx.isValid() ? m_workPx : QRect(QPoint(0, 0), m_px);
        return {work.topLeft() * kTwipsPerPixel, work.size() * kTwipsPerPixel};
    }
    void setPixels(QSize px) { m_px = px; }
    // A work area smaller than the screen, as beside a taskbar.
    void setWorkArea(QRect px) { m_workPx = px; }

private:
    QSize m_px;
    QRect m_workPx;
};

// One recorded prompt: which kind, its title and text.
struct PromptCall {
    QString kind; // "message", "input", "open", "save", "colour", "beep", "clipboard"
    QString title;
    QString text;
    QString defaultText; // input default, or dialog proposed path / folder
};

// Answers are taken in order from one queue; a prompt with no scripted answer gets
// the cancel-like answer (Ok for a plain box, No for yes/no, empty input, cancelled
// dialogs).
class ScriptedPrompts final : public UserPrompts {
public:
    using Answer = std::variant<PromptAnswer, QString, quint32>;

    void script(Answer answer) { m_answers.push_back(std::move(answer)); }
    const QList<PromptCall>& calls() const { return m_calls; }
    QList<PromptCall> callsOf(const QString& kind) const;
    int beeps() const { return int(callsOf(QStringLiteral("beep")).size()); }
    QString clipboard() const { return m_clipboard; }
    void clear() {
        m_calls.clear();
        m_answers.clear();
    }
    int pendingAnswers() const { return int(m_answers.size()); }

    PromptAnswer message(const QString& title, const QString& text, PromptButtons buttons,
                         PromptIcon icon) override;
    QString input(const QString& title, const QString& prompt,
                  const QString& defaultText) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    std::optional<quint32> chooseColour(quint32 initial) override;
    void beep() override { m_calls.append({QStringLiteral("beep"), {}, {}, {}}); }
    void setClipboardText(const QString& text) override {
        m_clipboard = text;
        m_calls.append({QStringLiteral("clipboard"), {}, text, {}});
    }

private:
    std::optional<Answer> next();
    std::deque<Answer> m_answers;
    QList<PromptCall> m_calls;
    QString m_clipboard;
};

} // namespace ditlog::testing
