// The fixed multiplier rows in their display order.
#include "log/MultiplierTable.h"

namespace ditlog {

namespace {
struct Seed {
    const char* code;
    const char* name;
    const char* group;
};

// Hawaii and Alaska carry four-letter codes that no 2-character entry can equal: they
// count as DX entities, never as state multipliers.
constexpr Seed kSeeds[MultiplierTable::kRows] = {
    {"CT", "Connecticut", "1"},   {"MA", "Massachusetts", "1"}, {"ME", "Maine", "1"},
    {"NH", "New Hampshire", "1"}, {"RI", "Rhode Island", "1"},  {"VT", "Vermont", "1"},
    {"NY", "New York", "2"},      {"NJ", "New Jersey", "2"},    {"DE", "Delaware", "3"},
    {"PA", "Pennsylvania", "3"},  {"MD", "Maryland", "3"},      {"AL", "Alabama", "4"},
    {"GA", "Georgia", "4"},       {"KY", "Kentucky", "4"},      {"NC", "North Carolina", "4"},
    {"FL", "Florida", "4"},       {"SC", "South Carolina", "4"}, {"TN", "Tennessee", "4"},
    {"VA", "Virginia", "4"},      {"AR", "Arkansas", "5"},      {"LA", "Louisiana", "5"},
    {"MS", "Mississippi", "5"},   {"NM", "New Mexico", "5"},    {"TX", "Texas", "5"},
    {"OK", "Oklahoma", "5"},      {"CA", "California", "6"},    {"XHIX", "Hawaii", "6"},
    {"AZ", "Arizona", "7"},       {"WA", "Washington", "7"},    {"ID", "Idaho", "7"},
    {"MT", "Montana", "7"},       {"NV", "Nevada", "7"},        {"OR", "Oregon", "7"},
    {"UT", "Utah", "7"},          {"WY", "Wyoming", "7"},       {"XAKX", "Alaska", "7"},
    {"MI", "Michigan", "8"},      {"OH", "Ohio", "8"},          {"WV", "West Virginia", "8"},
    {"IL", "Illinois", "9"},      {"IN", "Indiana", "9"},       {"WI", "Wisconsin", "9"},
    {"CO", "Colorado", "0"},      {"IA", "Iowa", "0"},          {"KS", "Kansas", "0"},
    {"MN", "Minnesota", "0"},     {"MO", "Missouri", "0"},      {"NE", "Nebraska", "0"},
    {"ND", "North Dakota", "0"},  {"SD", "South Dakota", "0"},  {"NB", "New Brunswick", "Canada"},
    {"NS", "Nova Scotia", "Canada"}, {"QC", "Quebec", "Canada"}, {"ON", "Ontario", "Canada"},
    {"MB", "Manitoba", "Canada"}, {"SK", "Saskatchewan", "Canada"}, {"AB", "Alberta", "Canada"},
    {"BC", "British Columbia", "Canada"}, {"NT", "Northwest Territories", "Canada"},
    {"NL", "Newfoundland Labrador", "Canada"}, {"YK", "Yukon", "Canada"},
    {"PE", "Prince Edward", "Canada"},
};
} // namespace

MultiplierTable::MultiplierTable() {
    for (int i = 0; i < kRows; ++i) {
        m_rows[std::size_t(i)] = {QString::fromLatin1(kSeeds[i].code),
                                  QString::fromLatin1(kSeeds[i].name),
                                  QString::fromLatin1(kSeeds[i].group), false};
    }
}

int MultiplierTable::find(const QString& code) const {
    if (code.size() != 2 && code.size() != 4) {
        return 0; // every code has two letters, or four for Hawaii and Alaska
    }
    if (code.size() == 2) {
        // Runs for every record of a load: compare the two capitals directly.
        const char16_t a = code.at(0).toUpper().unicode();
        const char16_t b = code.at(1).toUpper().unicode();
        for (int i = 0; i < kRows; ++i) {
            const QString& c = m_rows[std::size_t(i)].code;
            if (c.size() == 2 && c.at(0).unicode() == a && c.at(1).unicode() == b) {
                return i + 1;
            }
        }
        return 0;
    }
    for (int i = 0; i < kRows; ++i) {
        if (m_rows[std::size_t(i)].code.compare(code, Qt::CaseInsensitive) == 0) {
            return i + 1;
        }
    }
    return 0;
}

bool MultiplierTable::markWorked(int number) {
    MultiplierRow& r = m_rows.at(std::size_t(number - 1));
    if (r.worked) {
        return false;
    }
    r.worked = true;
    return true;
}

void MultiplierTable::clearWorked() {
    for (MultiplierRow& r : m_rows) {
        r.worked = false;
    }
}

int MultiplierTable::workedCount() const {
    int n = 0;
    for (const MultiplierRow& r : m_rows) {
        n += r.worked ? 1 : 0;
    }
    return n;
}

} // namespace ditlog
