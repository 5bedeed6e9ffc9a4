// The 62 state and province multipliers: code, full name, call-area group and worked flag.
#pragma once

#include <QString>

#include <array>

namespace ditlog {

struct MultiplierRow {
    QString code;
    QString name;
    QString group; // "1" .. "9", "0" or "Canada"
    bool worked = false;
};

class MultiplierTable {
public:
    static constexpr int kRows = 62;

    MultiplierTable();

    // Rows are numbered 1 to 62 as shown on the window.
    const MultiplierRow& row(int number) const { return m_rows.at(std::size_t(number - 1)); }
    // The row whose code equals the text, ignoring letter case; 0 when none.
    int find(const QString& code) const;
    bool markWorked(int number); // true when the row was not worked before
    void clearWorked();
    int workedCount() const;

private:
    std::array<MultiplierRow, kRows> m_rows;
};

} // namespace ditlog
