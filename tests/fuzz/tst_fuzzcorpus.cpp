// Replays the committed fuzzing corpus through the fuzz targets, so that every input that
// once broke a reader, or reached new code in one, is checked again by each test run.
#include "FuzzTargets.h"
#include "FuzzTargetsAssist.h"
#include "FuzzTargetsCountry.h"
#include "FuzzTargetsVoice.h"
#include "FuzzTargetsKeyer.h"
#include "FuzzTargetsWinKeyer.h"
#include "FuzzTargetsRig.h"
#include "FuzzTargetsRigctld.h"
#include "FuzzTargetsSpots.h"
#include "FuzzTargetsCharts.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace ditlog::testing;

namespace {
using Target = void (*)(const uint8_t*, size_t);

struct NamedTarget {
    const char* folder;
    Target run;
};

constexpr NamedTarget kTargets[] = {
    {"recordreader", &fuzzRecordReader}, {"logload", &fuzzLogLoad},
    {"prefixload", &fuzzPrefixLoad},     {"preferences", &fuzzPreferences},
    {"sharedxml", &fuzzSharedXml},
    {"countryfile", &fuzzCountryFile},
    {"waveheader", &fuzzWaveHeader},     {"wavelist", &fuzzWaveList},
    {"cwsettings", &fuzzCwSettings},     {"winkeyerbytes", &fuzzWinKeyerBytes},
    {"rigreplies", &fuzzRigReplies},     {"rigsettings", &fuzzRigSettings},
    {"bandplan", &fuzzBandPlan},
    {"rigctldreplies", &fuzzRigctldReplies},
    {"spotlines", &fuzzSpotLines},       {"agwframes", &fuzzAgwFrames},
    {"packspot", &fuzzPackSpot},
    {"rategraph", &fuzzRateGraph},
    {"masterlist", &fuzzMasterList},     {"callhistory", &fuzzCallHistory},
};

QDir corpusFolder(const char* target) {
    return QDir(QStringLiteral(DITLOG_SOURCE_DIR "/fuzz/corpus/") + QLatin1String(target));
}
} // namespace

class TestFuzzCorpus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTargetHasSeeds() {
        for (const NamedTarget& target : kTargets) {
            QVERIFY2(!corpusFolder(target.folder).isEmpty(QDir::Files), target.folder);
        }
    }

    // One row per corpus file; a broken rule ends the run through qFatal, which the test
    // log reports against the row, that is the target and the file.
    void replaysTheCorpus_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("path");
        for (int t = 0; t < int(std::size(kTargets)); ++t) {
            const QDir folder = corpusFolder(kTargets[t].folder);
            for (const QFileInfo& file : folder.entryInfoList(QDir::Files, QDir::Name)) {
                const QString tag = QLatin1String(kTargets[t].folder) + QLatin1Char('/') + file.fileName();
                QTest::newRow(qPrintable(tag)) << t << file.filePath();
            }
        }
    }

    void replaysTheCorpus() {
        QFETCH(int, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray input = file.readAll();
        kTargets[target].run(reinterpret_cast<const uint8_t*>(input.constData()),
                             size_t(input.size()));
    }
};

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
