// What the entry row asks of the contest aids. The entry row holds one of these and asks
// it at a few points of its own rules; NoEntryAssist, with every aid off, answers so that
// the rules run exactly as they do without aids.
#pragma once

#include "assist/CallHistory.h"

#include <QString>

#include <optional>

namespace ditlog {

class EntryAssist {
public:
    virtual ~EntryAssist() = default;
    // The call field changed (typed, pasted, cleared).
    virtual void callChanged(const QString& call) = 0;
    // The values to put into the empty fields for a call while it is typed; nothing
    // when the aid is off or the call is unknown (or this log's own contacts will fill).
    virtual std::optional<HistoryValues> historyFor(const QString& call) const = 0;
    // Enter was pressed in an entry field: true when the aid took care of it, false to
    // log as usual.
    virtual bool enterPressed() = 0;
    // Something on the entry row changed that may change what Enter does next.
    virtual void entryChanged() = 0;
    // The operator asked to hear the first calls of the check-partial list (Ctrl+K);
    // false when check partial is off and the key is the field's own.
    virtual bool speakPartials() = 0;
};

class NoEntryAssist final : public EntryAssist {
public:
    void callChanged(const QString&) override {}
    std::optional<HistoryValues> historyFor(const QString&) const override { return std::nullopt; }
    bool enterPressed() override { return false; }
    void entryChanged() override {}
    bool speakPartials() override { return false; }
};

} // namespace ditlog
