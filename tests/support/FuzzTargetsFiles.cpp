// Fuzz targets for the smaller files.
#include "FuzzTargetsFiles.h"
#include "FuzzRules.h"

#include "export/ExportRules.h"
#include "keyer/WinKeyerLink.h"
#include "log/ContactLog.h"
#include "log/LogSalvage.h"
#include "platform/SerialPort.h"
#include "rig/PegasusFile.h"

#include <QByteArray>
#include <QtGlobal>

#include <cmath>

namespace ditlog::testing {

void fuzzLogSalvage(const uint8_t* data, size_t size) {
    const QByteArray content = bytesOf(data, size);
    const LogSalvage salvage = salvageLog(content);
    const qsizetype lines = content.count('\n') + 1;
    require(salvage.records.size() <= ContactLog::kMaxRecords, "at most 12000 records are kept");
    require(salvage.records.size() + salvage.damagedLines.size() <= lines,
            "a line is kept or set aside, never both");
    for (qsizetype i = 0; i < salvage.damagedLines.size(); ++i) {
        const int line = salvage.damagedLines.at(i);
        require(line >= 1 && line <= lines, "a line set aside is a line of the input");
        require(i == 0 || line > salvage.damagedLines.at(i - 1), "lines set aside ascend");
    }
    QByteArray whole;
    for (const ContactRecord& record : salvage.records) {
        const QByteArray line = recordLine(record);
        ContactLog one;
        require(!one.loadFromText(line) && one.count() == 1 && one.record(1) == record,
                "a kept record written as a line loads back the same");
        whole += line;
    }
    ContactLog kept;
    require(!kept.loadFromText(whole) && kept.count() == salvage.records.size(),
            "the kept records load as a log of as many");
}

void fuzzWinKeySettings(const uint8_t* data, size_t size) {
    const WinKeySettings s = readWinKeySettings(bytesOf(data, size));
    for (const int value : {s.comPort, s.pinConfig, s.mode}) {
        require(value >= 0 && value <= 255, "port, pins and mode are bytes");
    }
    for (const QString* text : {&s.wpm, &s.weight, &s.leadIn, &s.tail, &s.ratio}) {
        require(storable(*text), "a text read holds no quote and no line break");
    }
    const QByteArray written = writeWinKeySettings(s);
    const WinKeySettings again = readWinKeySettings(written);
    require(again == s, "WK.txt reads back as written");
    require(writeWinKeySettings(again) == written, "WK.txt writes the same bytes again");
}

void fuzzPegasusStatus(const uint8_t* data, size_t size) {
    const RigReading r = parsePegasusStatus(bytesOf(data, size));
    if (r.frequency) {
        require(std::isfinite(*r.frequency) && *r.frequency >= 0 && *r.frequency <= 1e6,
                "a frequency from 0 to 10^6 MHz");
        RigCommandContext context;
        context.mode = r.mode.value_or(QStringLiteral("CW"));
        (void)pegasusCommandFile(*r.frequency, context);
    } else {
        require(!r.mode, "no mode without a frequency");
    }
    if (r.mode) {
        require(*r.mode == QLatin1String("CW") || *r.mode == QLatin1String("PH"), "the mode is CW or PH");
    }
    require(!r.vfo, "the status file names no VFO");
}

void fuzzAdifCountries(const uint8_t* data, size_t size) {
    QString why;
    const auto table = AdifCountryTable::parse(bytesOf(data, size), &why);
    if (!table) {
        require(!why.isEmpty(), "a refusal says why");
        return;
    }
    const QList<AdifCountryTable::Entry>& entries = table->entries();
    require(entries.size() <= AdifCountryTable::kMaxEntries, "at most 1000 entries");
    for (const AdifCountryTable::Entry& e : entries) {
        if (e.name != e.name.trimmed()) {
            continue; // looked up by the trimmed name, which is another name
        }
        qint16 first = 0;
        for (const AdifCountryTable::Entry& earlier : entries) {
            if (earlier.name.compare(e.name, Qt::CaseInsensitive) == 0 &&
                earlier.name.toCaseFolded() == e.name.toCaseFolded()) {
                first = earlier.number;
                break;
            }
        }
        require(table->lookup(e.name) == first, "a name finds its first entry");
    }
}

void fuzzSerialSettings(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(bytesOf(data, qMin<size_t>(size, 256)));
    const auto settings = parseSerialSettings(text);
    if (!settings) {
        return;
    }
    require(settings->baud > 0 && settings->dataBits >= 5 && settings->dataBits <= 8,
            "speed and data bits within their ranges");
    const auto again = parseSerialSettings(serialSettingsText(*settings));
    require(again && *again == *settings, "the settings text reads back as the same settings");
}

} // namespace ditlog::testing
