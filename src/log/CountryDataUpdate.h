// Replacing the country data in use ("arrlpre2.txt" and "ADIFCnt.txt") with a fresh
// conversion of a country file, and the text that tells the operator what changes.
#pragma once

#include "log/CountryFileConverter.h"

#include <optional>

namespace ditlog {

struct DataFolders;

// The file the program reads for a country-data name: the first existing one of the
// shared, data and working folders; in the shared folder when there is none yet.
QString countryDataPath(const DataFolders& folders, const QString& name);

// Writes both tables where they are read from, each atomically. When the second cannot
// be written the first is put back, so the two always belong together. Returns an error
// text, or nothing on success.
std::optional<QString> installCountryFiles(const DataFolders& folders, const CountryFiles& files);

// What an update would change, for the operator to confirm: the file's version (and the
// version in use, when known), the counts, the entities added and removed and the
// number of prefixes added and removed.
QString describeCountryDataChanges(const CountryDataChanges& changes, const QString& version,
                                   const QString& versionInUse);

} // namespace ditlog
