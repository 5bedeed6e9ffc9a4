// The aid-file fuzz targets and the rules they check.
#include "FuzzTargetsAssist.h"
#include "FuzzRules.h"

#include "assist/AidFile.h"
#include "assist/CallHistory.h"
#include "assist/CheckPartial.h"

#include <QByteArray>
#include <QSet>

#include <string_view>

namespace ditlog::testing {

namespace {

std::string_view view(QByteArrayView v) { return {v.data(), size_t(v.size())}; }

// Latin-1 as well: the files are read and written as such.
bool storableLatin1(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c.unicode() < 32 || c.unicode() > 0xFF) {
            return false;
        }
    }
    return true;
}

void checkSearches(const CheckPartial& list, QByteArrayView fragment) {
    QList<int> found;
    list.forEachContaining(fragment, [&](int i) {
        found.append(i);
        return true;
    });
    QList<int> scanned;
    QList<int> nearScanned;
    for (int i = 0; i < list.size(); ++i) {
        const QByteArrayView call = list.callAt(i);
        if (fragment.size() >= 2 && view(call).find(view(fragment)) != std::string_view::npos) {
            scanned.append(i);
        }
        if (fragment.size() >= 2 && view(call) != view(fragment) && oneEditApart(call, fragment)) {
            nearScanned.append(i);
        }
    }
    require(found == scanned, "containing: the same calls as a plain scan, in order");
    QList<int> near;
    list.forEachNear(fragment, [&](int i) {
        near.append(i);
        return true;
    });
    require(near == nearScanned, "near: the same calls as a plain scan, in order");
}
} // namespace

void fuzzMasterList(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckPartial list;
    list.loadText("W1AW\nK1ABC\n");
    const CallListLoad load = list.loadText(bytes);
    if (load.error) {
        require(list.size() == 2 && list.contains("W1AW"), "a failed load keeps the list");
        return;
    }
    require(load.calls == list.size() && list.size() > 0, "the count loaded");
    for (int i = 0; i < list.size(); ++i) {
        require(isListableCall(list.callAt(i)), "every call listable");
        require(i == 0 || view(list.callAt(i - 1)) < view(list.callAt(i)), "sorted, no repeats");
        require(list.contains(list.callAt(i)), "each call found whole");
    }
    // Fragments: the input's first bytes, and pieces of the first calls.
    checkSearches(list, bytes.first(std::min<qsizetype>(bytes.size(), 4)).toByteArray().toUpper());
    for (int i = 0; i < std::min(list.size(), 3); ++i) {
        const QByteArrayView call = list.callAt(i);
        checkSearches(list, call.sliced(1, std::min<qsizetype>(call.size() - 1, 3)));
        checkSearches(list, call);
        checkSearches(list, call.first(call.size() - 1));
    }
}

void fuzzCallHistory(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CallHistory history;
    history.loadText("W1AW,HIRAM 1\n");
    const HistoryLoad load = history.loadText(bytes);
    if (load.error) {
        require(history.fileEntries() == 1 && history.knows(QStringLiteral("w1aw")),
                "a failed load keeps the history");
        return;
    }
    require(load.entries == history.fileEntries() && load.entries > 0, "the count loaded");
    // Every call named on a line is found with storable values.
    AidLines lines(bytes);
    QByteArrayView line;
    bool tooLong = false;
    int checked = 0;
    while (lines.next(line, tooLong) && checked < 200) {
        const QString text = decodeAidLine(line);
        for (const QString& cell : text.split(QLatin1Char(','))) {
            const std::optional<HistoryValues> v = history.find(cell.trimmed());
            if (!v) {
                continue;
            }
            ++checked;
            require(storableLatin1(v->name) && storableLatin1(v->spc) && storableLatin1(v->exchange), "storable values");
            require(v->name == v->name.toUpper() && v->exchange == v->exchange.toUpper(), "capitals");
            require(v->name.size() <= 30 && v->spc.size() <= 30 && v->exchange.size() <= 20,
                    "within the fields");
            require(!v->isEmpty(), "something to fill");
        }
    }
    const QString whole = decodeAidLine(bytes.first(std::min<qsizetype>(bytes.size(), 4096)));
    require(storableLatin1(storableText(whole)), "storable text is storable");
    require(storableText(storableText(whole)) == storableText(whole), "storable text is stable");
}

} // namespace ditlog::testing
