// Fuzz target for the country-file conversion.
#include "FuzzTargetsCountry.h"

#include "export/ExportRules.h"
#include "log/CountryFileConverter.h"
#include "log/PrefixTable.h"

#include <QtGlobal>

namespace ditlog::testing {

void fuzzCountryFile(const uint8_t* data, size_t size) {
    const QByteArray csv(reinterpret_cast<const char*>(data), qsizetype(size));
    const CountryConversion result = convertCountryFile(csv);
    if (!result.files) {
        if (result.problem.text.isEmpty() || result.problem.line < 0) {
            qFatal("a refusal without a reason");
        }
        return;
    }
    const CountryFiles& files = *result.files;
    PrefixTable table;
    if (const auto error = LoadPrefixTable(table, files.prefixFile)) {
        qFatal("the converted prefix table does not load: %s", qPrintable(error->describe()));
    }
    if (table.count() != files.prefixes.size()) {
        qFatal("the prefix table lost entries");
    }
    for (int i = 1; i <= table.count(); ++i) {
        if (table.entry(i).prefix != files.prefixes.at(i - 1)) {
            qFatal("prefix %d differs", i);
        }
        if (i > 1 && table.entry(i).prefix.at(0) < table.entry(i - 1).prefix.at(0)) {
            qFatal("first characters out of order at %d", i);
        }
    }
    QString why;
    const auto countries = AdifCountryTable::parse(files.countryFile, &why);
    if (!countries || countries->entries().size() != files.entities.size()) {
        qFatal("the country-number table does not read back: %s", qPrintable(why));
    }
    for (int i = 0; i < files.entities.size(); ++i) {
        if (countries->entries().at(i).name != files.entities.at(i)) {
            qFatal("entity %d differs", i);
        }
    }
}

} // namespace ditlog::testing
