// The 50-slot spot store: shifting in a new spot and withdrawing old ones.
#include "spots/SpotStore.h"

#include "spots/SpotText.h"

namespace ditlog {

int SpotStore::take(const QString& call, float freqMHz, const QDateTime& time) {
    for (int i = 1; i < kSlots; ++i) {
        DxSpot& to = m_slots[std::size_t(i - 1)];
        DxSpot& from = m_slots[std::size_t(i)];
        to.Call = std::move(from.Call);
        to.FreqMHz = from.FreqMHz;
        to.Time = from.Time;
        to.LabelText = std::move(from.LabelText);
    }
    DxSpot& newest = m_slots[kSlots - 1];
    newest.Call = call;
    newest.FreqMHz = freqMHz;
    newest.Time = time;
    newest.LabelText = SpotLabelText(call);

    for (int i = kSlots - 2; i >= 1; --i) {
        DxSpot& earlier = m_slots[std::size_t(i)];
        if (earlier.Call.compare(call, Qt::CaseInsensitive) == 0) {
            earlier.FreqMHz = 0;
            return i;
        }
    }
    return -1;
}

void SpotStore::withdraw(int index) {
    if (index >= 0 && index < kSlots) {
        m_slots[std::size_t(index)].FreqMHz = 0;
    }
}

} // namespace ditlog
