// One received DX spot and the store of the 50 most recent ones that the spot list and
// both band maps draw from.
#pragma once

#include <QDateTime>
#include <QString>

#include <array>

namespace ditlog {

struct DxSpot {
    QString Call;       // the spotted call as received, trimmed
    float FreqMHz = 0;  // 0: withdrawn (or empty), never drawn
    QDateTime Time;     // moment of reception, local time; invalid for an empty slot
    QString LabelText;  // the short text drawn on the maps

    bool isEmpty() const { return Call.isEmpty() && !Time.isValid(); }
};

// Fifty slots: slot 49 holds the newest spot, slot 0 the oldest. A new spot shifts every
// slot down by one, so the oldest leaves the store.
class SpotStore {
public:
    static constexpr int kSlots = 50;

    const DxSpot& slot(int index) const { return m_slots.at(std::size_t(index)); }
    const std::array<DxSpot, kSlots>& slots() const { return m_slots; }

    // Files a spot in slot 49 and withdraws the most recent earlier spot of the same call
    // (slots 48 down to 1, letter case ignored; slot 0 is not searched). Returns the slot
    // that was withdrawn, or -1.
    int take(const QString& call, float freqMHz, const QDateTime& time);

    // Withdraws a spot: it stays in its slot but is no longer drawn.
    void withdraw(int index);
    void clear() { m_slots = {}; }

private:
    std::array<DxSpot, kSlots> m_slots{};
};

} // namespace ditlog
