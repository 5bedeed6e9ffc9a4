// Builds the shipped prefix table (data/arrlpre2.txt) and ADIF country-number table
// (data/ADIFCnt.txt) from the CSV form of the amateur-radio country file, with the same
// conversion the program's "Update Country Data" command uses.
#include "log/CountryFileConverter.h"
#include "log/RecordFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

using namespace ditlog;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() > 2 || args.contains(QStringLiteral("-h")) ||
        args.contains(QStringLiteral("--help"))) {
        std::fprintf(stderr, "Usage: make_country_files [cty.csv] [output folder]\n"
                             "The CSV file defaults to data/cty.csv and the output folder to "
                             "data/ of the source tree.\n");
        return 2;
    }
    const QString root = QStringLiteral(DITLOG_SOURCE_DIR);
    const QString csvPath = args.value(0, root + QStringLiteral("/data/cty.csv"));
    const QString outDir = args.value(1, root + QStringLiteral("/data"));

    QString readError;
    const auto csv = readWholeFile(csvPath, &readError, kMaxCountryFileBytes + 1);
    if (!csv) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(csvPath), qPrintable(readError));
        return 1;
    }
    const CountryConversion result = convertCountryFile(*csv);
    if (!result.files) {
        std::fprintf(stderr, "%s: line %d: %s\n", qPrintable(csvPath), result.problem.line,
                     qPrintable(result.problem.text));
        return 1;
    }
    QDir().mkpath(outDir);
    for (const auto& [name, content] :
         {std::pair{QStringLiteral("arrlpre2.txt"), result.files->prefixFile},
          std::pair{QStringLiteral("ADIFCnt.txt"), result.files->countryFile}}) {
        if (const auto error = writeFileAtomically(QDir(outDir).filePath(name), content)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(*error));
            return 1;
        }
    }
    std::printf("%d prefixes, %d entities (version %s) written to %s\n",
                int(result.files->prefixes.size()), int(result.files->entities.size()),
                qPrintable(result.files->version), qPrintable(outDir));
    return 0;
}
