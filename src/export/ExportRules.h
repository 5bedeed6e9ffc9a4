// What the ADIF and Ledra exports derive from each contact (country, state, date, time,
// DXCC number) and the ADIF country-number table "ADIFCnt.txt".
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace ditlog {

struct ContactRecord;
struct DataFolders;

// Country name to ADIF DXCC entity number, read from "ADIFCnt.txt".
class AdifCountryTable {
  public:
    static constexpr int kMaxEntries = 1000;

    struct Entry {
        QString name;
        qint16 number = 0;
    };

    // Reads name/number pairs in record style. Nothing and an error text when a pair is
    // malformed, a number is not a 16-bit whole number or there are more than 1000 pairs.
    static std::optional<AdifCountryTable> parse(const QByteArray& content, QString* error);

    // The first "ADIFCnt.txt" of the shared, data and working folders; the working-folder
    // path when none exists, so that opening it reports the missing file.
    static QString locate(const DataFolders& folders);

    // Locates, reads and parses the table; a missing or unreadable file is an error.
    static std::optional<AdifCountryTable> load(const DataFolders& folders, QString* error);

    // The number of the first entry named like the trimmed country, ignoring letter
    // case; 0 when none is.
    int lookup(const QString& country) const;

    const QList<Entry>& entries() const { return m_entries; }

  private:
    void add(const QString& name, qint16 number);

    QList<Entry> m_entries;
    QHash<QString, qint16> m_firstByName; // case-folded name -> first number
};

// The values exported with one contact.
struct ExportFields {
    QString ExportCountry;
    QString ExportState;
    QString ExportDate; // YYYYMMDD, or empty for a date that is not valid
    QString ExportTime; // always 4 characters
    int ExportDxcc = 0;
};

// Country and state from the spc and the call: a two-letter spc with a call beginning
// A, K, N or W is a US state (HI and AK are the countries Hawaii and Alaska), with any
// other call a Canadian province; a longer spc is a DX entity name.
void exportCountryAndState(const QString& spc, const QString& call, QString* country,
                           QString* state);

// "yyyy/mm/dd" (also with "-" or one-digit month and day) as "YYYYMMDD"; empty when the
// text is not a valid date.
QString exportDate(const QString& date);

// Hours and minutes as four characters: "14:05:33" and "14:05" give "1405", "9:05"
// gives "0905"; text without a colon is cut to 4 characters and filled up with "0" on
// the right; an empty time gives "0000".
QString exportTime(const QString& time);

// Every derived value of one contact; table may be null (Ledra needs no DXCC number).
ExportFields deriveExportFields(const ContactRecord& record, const AdifCountryTable* table);

} // namespace ditlog
