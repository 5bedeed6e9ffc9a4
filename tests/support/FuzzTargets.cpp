// Fuzz targets for the file readers and the rules each checks on every input; shared by
// the libFuzzer executables and the test that replays their corpus.
#include "FuzzTargets.h"
#include "FuzzRules.h"

#include "log/ContactLog.h"
#include "log/PrefixTable.h"
#include "log/RecordFile.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>

namespace ditlog::testing {

namespace {



bool holdsLineEndOrQuote(const QString& text) {
    return text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\r')) ||
           text.contains(QLatin1Char('\n'));
}

// ---- record reader -------------------------------------------------------------------

enum class FieldKind { Text, Number, Boolean };

struct Field {
    FieldKind kind = FieldKind::Text;
    QString text;
    double number = 0;
    bool flag = false;

    bool operator==(const Field&) const = default;
};

using KindOf = FieldKind (*)(qsizetype);

// Line breaks as the reader counts them: CR LF, a lone CR and a lone LF each end a line.
int lineBreaks(const QByteArray& content) {
    int count = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const bool crLf = content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n';
        if ((content[i] == '\r' && !crLf) || content[i] == '\n') {
            ++count;
        }
    }
    return count;
}

std::optional<Field> readField(RecordReader& reader, FieldKind kind) {
    Field field{kind, {}, 0, false};
    if (kind == FieldKind::Text) {
        const auto text = reader.readText();
        if (!text) {
            return std::nullopt;
        }
        require(!holdsLineEndOrQuote(*text), "a text field holds no quote and no line end");
        field.text = *text;
    } else if (kind == FieldKind::Number) {
        const auto number = reader.readNumber();
        if (!number) {
            return std::nullopt;
        }
        require(std::isfinite(*number), "a number read is finite");
        field.number = *number;
    } else {
        const auto flag = reader.readBool();
        if (!flag) {
            return std::nullopt;
        }
        field.flag = *flag;
    }
    return field;
}

// Reads fields until the end or the first failure.
QList<Field> readFields(RecordReader& reader, const QByteArray& content, KindOf kindOf) {
    QList<Field> fields;
    while (!reader.atEnd()) {
        require(fields.size() < content.size(), "the reader yields at most one field per byte");
        const auto field = readField(reader, kindOf(fields.size()));
        if (!field) {
            require(reader.failed(), "a read that yields nothing marks the reader failed");
            break;
        }
        fields.append(*field);
    }
    if (reader.failed()) {
        const RecordError& error = reader.error();
        require(error.line >= 1 && error.line <= lineBreaks(content) + 1,
                "an error names a line of the input");
        require(error.field >= 1 && !error.message.isEmpty(), "an error names a field and a cause");
        require(reader.atEnd() && !reader.readText() && !reader.readNumber() && !reader.readBool(),
                "a failed reader stays failed");
    }
    return fields;
}

QByteArray writeFields(const QList<Field>& fields) {
    RecordWriter writer;
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const Field& field = fields.at(i);
        if (field.kind == FieldKind::Text) {
            writer.text(field.text);
        } else if (field.kind == FieldKind::Number) {
            writer.number(field.number);
        } else {
            writer.boolean(field.flag);
        }
        if (i % 5 == 4) {
            out += writer.takeLine();
        }
    }
    if (!writer.isEmpty()) {
        out += writer.takeLine();
    }
    return out;
}

void readPass(const QByteArray& content, KindOf kindOf) {
    RecordReader reader(content);
    const QList<Field> fields = readFields(reader, content, kindOf);
    const QByteArray written = writeFields(fields);
    RecordReader again(written);
    const QList<Field> reread = readFields(again, written, kindOf);
    require(!again.failed() && reread == fields, "fields read write and read back the same");
}

// ---- contact log ---------------------------------------------------------------------

// Everything a load may change, to tell whether a failed load changed anything.
struct LogState {
    QList<ContactRecord> records;
    float totalPoints = 0;
    int dxContacts = 0;
    QStringList entities;
    int multipliersWorked = 0;
    int backupReference = 0;
    std::array<bool, MultiplierTable::kRows> worked{};

    bool operator==(const LogState&) const = default;
};

LogState stateOf(const ContactLog& log) {
    LogState state{log.records(),           log.totalPoints(),       log.dxContacts(),
                   log.dxEntityList(),      log.multipliersWorked(), log.backupReferenceCount(),
                   {}};
    for (int row = 1; row <= MultiplierTable::kRows; ++row) {
        state.worked[std::size_t(row - 1)] = log.multipliers().row(row).worked;
    }
    return state;
}

// The running values recomputed from the records alone.
void checkRunningValues(const ContactLog& log) {
    require(log.count() <= ContactLog::kMaxRecords, "a log holds at most 12000 records");
    float total = 0;
    int dx = 0;
    QStringList entities;
    QSet<int> rows;
    const MultiplierTable table;
    for (const ContactRecord& r : log.records()) {
        for (const QString* text : {&r.call, &r.rstReceived, &r.exchange, &r.rstSent, &r.spc,
                                    &r.date, &r.time, &r.name, &r.band, &r.frequency}) {
            require(!holdsLineEndOrQuote(*text), "a stored field holds no quote and no line end");
        }
        require(std::isfinite(r.points), "points are a finite number");
        total += r.points;
        if (r.spc.size() > 2) {
            ++dx;
            if (entities.size() < ContactLog::kMaxEntities &&
                !entities.contains(r.spc, Qt::CaseInsensitive)) {
                entities.append(r.spc);
            }
        } else if (const int row = r.spc.size() == 2 ? table.find(r.spc) : 0) {
            rows.insert(row);
        }
    }
    require(log.totalPoints() == total, "total points are the sum of the records' points");
    require(log.dxContacts() == dx, "DX contacts are the records with an SPC beyond 2 characters");
    require(log.dxEntityList() == entities, "the entity list holds each DX SPC once, in order");
    require(log.multipliersWorked() == rows.size() && rows.size() <= MultiplierTable::kRows,
            "the multipliers worked are the table rows named by an SPC");
    for (int row = 1; row <= MultiplierTable::kRows; ++row) {
        require(log.multipliers().row(row).worked == rows.contains(row),
                "a row is marked worked exactly when an SPC names it");
    }
}

QByteArray earlierLog() {
    return QByteArrayLiteral(
        "\"K1ABC\",\"579\",\"1234\",\"599\",\"CT\",\"2007/03/04\",\"14:05:33\",\"BOB\",\"20\",5,"
        "\"14.025\"\r\n"
        "\"G4XYZ\",\"599\",\"100W\",\"599\",\"England\",\"2007/03/04\",\"14:07:01\",\"AL\","
        "\"20\",2,\"\"\r\n");
}

// ---- prefix table --------------------------------------------------------------------

int firstKey(const QString& prefix) {
    return prefix.isEmpty() ? -1 : prefix.front().toUpper().unicode();
}

bool sortedByFirstCharacter(const PrefixTable& table) {
    int previous = -1;
    for (int index = 1; index <= table.count(); ++index) {
        const int key = firstKey(table.entry(index).prefix);
        if (key < previous) {
            return false;
        }
        previous = key;
    }
    return true;
}

qsizetype longestMatch(const PrefixTable& table, QStringView call) {
    qsizetype longest = 0;
    for (int index = 1; index <= table.count(); ++index) {
        const QString& prefix = table.entry(index).prefix;
        if (call.startsWith(prefix, Qt::CaseInsensitive)) {
            longest = std::max(longest, prefix.size());
        }
    }
    return longest;
}

// Bearing "0" to "360" and distance up to half the circumference, each with one blank,
// or both empty.
void checkBearingLabels(const QString& bearing, const QString& distance) {
    require(bearing.isEmpty() == distance.isEmpty(), "bearing and distance are shown together");
    if (bearing.isEmpty()) {
        return;
    }
    static const QRegularExpression grouped(QStringLiteral("^(\\d{1,3}(,\\d{3})*)? $"));
    require(grouped.match(distance).hasMatch(), "the distance is a grouped whole number");
    static const QRegularExpression whole(QStringLiteral("^\\d{0,3} $"));
    require(whole.match(bearing).hasMatch(), "the bearing is a whole number");
    const int degrees = bearing.chopped(1).toInt();
    const qint64 miles = distance.chopped(1).remove(QLatin1Char(',')).toLongLong();
    require(degrees <= 360 && miles <= 12428, "bearing and distance lie on the globe");
}

void checkCallLookup(const PrefixTable& table, const QString& call, bool sorted,
                     const PrefixEntry& own) {
    const QStringView lookedUp = callForLookup(call);
    require(QStringView(call).endsWith(lookedUp), "the part looked up ends the call");
    const int found = findPrefixEntry(table, lookedUp, Qt::CaseInsensitive);
    require(found >= 0 && found <= table.count(), "a lookup finds an entry of the table or none");
    const QString& prefix = table.entry(found).prefix;
    require(found == 0 || (!prefix.isEmpty() && lookedUp.startsWith(prefix, Qt::CaseInsensitive)),
            "the entry found begins the call");
    if (sorted) {
        require(prefix.size() == longestMatch(table, lookedUp),
                "in a sorted table the lookup finds the longest prefix that begins the call");
    }
    const CountryLookupResult result =
        CountryLookup(table, call, call.left(9), own.latitude, own.longitude);
    require(result.ran == !lookedUp.isEmpty(), "every call but an empty one is looked up");
    require(result.entryIndex >= 0 && result.entryIndex <= table.count(),
            "the entry shown is one of the table's");
    checkBearingLabels(result.bearing, result.distance);
    const QStringView shownSpc = result.setSpc ? QStringView(result.spc) : QStringView(call).left(9);
    if (result.ran && shownSpc.compare(u"Not Found", Qt::CaseInsensitive) == 0) {
        require(result.continent.isEmpty() && result.bearing.isEmpty() && result.entryIndex == 0,
                "Not Found shows no continent, bearing or distance");
    }
}

void checkCompletion(const PrefixTable& table, const QString& typed) {
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        int expected = 0;
        for (int index = 1; index <= table.count(); ++index) {
            if (table.entry(index).entity.startsWith(typed, cs)) {
                expected = index;
            }
        }
        require(findEntityCompletion(table, typed, cs) == expected,
                "completion offers the last entity that begins with the typed text");
    }
}

// Pieces of the input between commas and line ends, as calls and typed names.
QStringList piecesOf(const QByteArray& content) {
    QStringList pieces;
    const QString text = QString::fromLatin1(content);
    static const QRegularExpression separators(QStringLiteral("[,\\r\\n]"));
    for (const QString& piece : text.split(separators)) {
        if (pieces.size() == 12) {
            break;
        }
        pieces.append(piece.trimmed().remove(QLatin1Char('"')).left(14));
    }
    return pieces;
}

void runLookups(const PrefixTable& table, const QByteArray& content) {
    const bool sorted = sortedByFirstCharacter(table);
    const PrefixEntry own = table.entry(1);
    const QStringList pieces = piecesOf(content);
    const int step = std::max(1, table.count() / 8);
    for (int index = 1; index <= table.count(); index += step) {
        const PrefixEntry& entry = table.entry(index);
        checkCallLookup(table, entry.prefix + QStringLiteral("1AB"), sorted, own);
        checkCallLookup(table, QStringLiteral("W1ABC/") + entry.prefix, sorted, own);
        checkCompletion(table, entry.entity.left(std::max<qsizetype>(1, entry.entity.size() / 2)));
        const BearingDistance labels =
            HDCalc(own.latitude, own.longitude, entry.latitude, entry.longitude);
        checkBearingLabels(labels.bearing, labels.distance);
        if (entry.latitude == own.latitude && entry.longitude == own.longitude) {
            require(labels.bearing.isEmpty(), "no bearing to the own position");
        }
    }
    for (const QString& piece : pieces) {
        checkCallLookup(table, piece, sorted, own);
        checkCompletion(table, piece);
    }
}

// ---- preferences ---------------------------------------------------------------------

void checkPreferenceRanges(const StationPreferences& p) {
    for (const QString* text : {&p.OwnCall, &p.OwnSpc, &p.Mode, &p.OwnCountry, &p.Band,
                                &p.OwnContinent, &p.OwnMemberNumber, &p.RigType, &p.OwnFirstName,
                                &p.DefaultRst}) {
        require(stripUnstorable(*text) == *text, "a preference text holds nothing unstorable");
    }
    for (const float value : {p.UtcOffset, p.OperatingTime, p.OwnLongitude, p.OwnLatitude}) {
        require(std::isfinite(value), "a preference number is finite");
    }
    require(p.FormSizePercent >= 30 && p.FormSizePercent <= 100, "the form size is 30 to 100");
    require(p.VoiceNavigation <= 2 && p.TaskbarMode <= 1 && p.ListPreviousContacts <= 1,
            "the option bytes stay within their choices");
}

// Preferences differing from the defaults in every field, so a value left unread shows.
StationPreferences unlikePreferences() {
    StationPreferences p;
    for (QString* text : {&p.OwnCall, &p.OwnSpc, &p.Mode, &p.OwnCountry, &p.Band, &p.OwnContinent,
                          &p.OwnMemberNumber, &p.RigType, &p.OwnFirstName, &p.DefaultRst}) {
        *text = QStringLiteral("unread");
    }
    p.UtcOffset = p.OperatingTime = p.OwnLongitude = p.OwnLatitude = 77.5f;
    p.FormSizePercent = 55;
    p.WorkedColour = p.RemainingColour = 0x123456;
    p.VoiceNavigation = p.TaskbarMode = p.ListPreviousContacts = 1;
    return p;
}

// ---- shared preference file ----------------------------------------------------------

struct Element {
    qsizetype contentStart = 0;
    qsizetype closeAt = 0;
};

// Whole elements of one tag in order: an opening tag whose closing tag follows before the
// next opening tag of the same name.
QList<Element> elementsOf(const QString& text, const QString& name) {
    const QString open = QLatin1Char('<') + name + QLatin1Char('>');
    const QString close = QStringLiteral("</") + name + QLatin1Char('>');
    QList<Element> elements;
    qsizetype at = text.indexOf(open);
    while (at >= 0) {
        const qsizetype contentStart = at + open.size();
        const qsizetype closeAt = text.indexOf(close, contentStart);
        if (closeAt < 0) {
            break;
        }
        const qsizetype next = text.indexOf(open, contentStart);
        if (next < 0 || next > closeAt) {
            elements.append({contentStart, closeAt});
            at = text.indexOf(open, closeAt + close.size());
        } else {
            at = next;
        }
    }
    return elements;
}

void checkElementSet(const QString& before, const QString& after, const QString& tag,
                     const QString& value) {
    const QString name = tag.toUpper();
    const QList<Element> old = elementsOf(before, name);
    const QString expected =
        old.isEmpty()
            ? before + QStringLiteral("\r\n<") + name + QLatin1Char('>') + value +
                  QStringLiteral("</") + name + QLatin1Char('>')
            : before.left(old.front().contentStart) + value + before.mid(old.front().closeAt);
    require(after == expected, "setting a tag changes its first element only, losing nothing");
    const QList<Element> now = elementsOf(after, name);
    require(now.size() == std::max<qsizetype>(1, old.size()), "setting a tag adds no second element");
    const Element& first = now.front();
    require(after.mid(first.contentStart, first.closeAt - first.contentStart) == value,
            "the tag's first element holds the value");
}

void setWriteAndReopen(SharedPreferences& shared, const QString& tag, const QString& value,
                       bool plain) {
    const QString before = shared.text();
    require(!shared.SetSharedPreference(tag, value, true).has_value(),
            "the shared file is written to a writable folder");
    SharedPreferences reopened;
    reopened.OpenSharedPreferences(shared.path());
    require(reopened.text() == shared.text(), "the written file reopens as the text written");
    if (plain) {
        checkElementSet(before, shared.text(), tag, value);
    }
}

} // namespace

void fuzzRecordReader(const uint8_t* data, size_t size) {
    const QByteArray content = bytesOf(data, size);
    readPass(content, [](qsizetype) { return FieldKind::Text; });
    readPass(content, [](qsizetype) { return FieldKind::Number; });
    readPass(content, [](qsizetype i) { return static_cast<FieldKind>(i % 3); });
}

void fuzzLogLoad(const uint8_t* data, size_t size) {
    const QByteArray content = bytesOf(data, size);
    ContactLog fresh;
    const auto freshError = fresh.loadFromText(content);

    ContactLog busy;
    require(!busy.loadFromText(earlierLog()).has_value(), "the earlier log loads");
    const ContactRecord repeated = busy.record(2);
    busy.addLogged(repeated, true);
    const LogState before = stateOf(busy);
    const auto busyError = busy.loadFromText(content);
    require(freshError.has_value() == busyError.has_value(),
            "a load's outcome does not depend on the log it replaces");
    if (busyError) {
        require(stateOf(busy) == before && stateOf(fresh) == stateOf(ContactLog()),
                "a failed load leaves the log as it was");
        require(busyError->line >= 0 && !busyError->message.isEmpty(), "a failed load says why");
        return;
    }
    require(fresh.records() == busy.records(), "both loads read the same records");
    checkRunningValues(fresh);
    checkRunningValues(busy);
    require(fresh.backupReferenceCount() == fresh.count() &&
                busy.backupReferenceCount() == before.backupReference,
            "a load sets the backup reference only while it is 0");

    const QByteArray written = fresh.toText();
    ContactLog reloaded;
    require(!reloaded.loadFromText(written).has_value(), "a written log loads");
    require(reloaded.records() == fresh.records() && reloaded.toText() == written,
            "a written log loads back to the same records");
}

void fuzzPrefixLoad(const uint8_t* data, size_t size) {
    const QByteArray content = bytesOf(data, size);
    PrefixTable table(QList<PrefixEntry>{{QStringLiteral("K"), QStringLiteral("USA"),
                                          QStringLiteral("NA"), 90, 40}});
    const auto error = LoadPrefixTable(table, content);
    require(table.count() <= PrefixTable::MaxEntries, "a table holds at most 10000 entries");
    if (error) {
        require(table.isEmpty() && !error->message.isEmpty(), "a failed load leaves no table");
    }
    for (int index = 1; index <= table.count(); ++index) {
        const PrefixEntry& entry = table.entry(index);
        require(std::isfinite(entry.latitude) && std::isfinite(entry.longitude),
                "positions are finite");
    }
    require(table.entry(0).prefix.isEmpty() && table.entry(table.count() + 1).prefix.isEmpty(),
            "indexes outside the table give the empty entry");
    runLookups(table, content);
}

void fuzzPreferences(const uint8_t* data, size_t size) {
    const QByteArray content = bytesOf(data, size);
    StationPreferences first;
    const PreferenceLoad load = readPreferences(content, first);
    require(load.status != PreferenceLoad::Status::Missing, "content read is never missing");
    checkPreferenceRanges(first);

    const QByteArray written = preferencesText(first);
    StationPreferences second = unlikePreferences();
    require(readPreferences(written, second).status == PreferenceLoad::Status::Loaded,
            "written preferences read back whole");
    require(second == first, "written preferences read back as the same values");
    require(preferencesText(second) == written, "preferences written twice give the same text");
}

void fuzzSharedXml(const uint8_t* data, size_t size) {
    const QByteArray input = bytesOf(data, size);
    const qsizetype tagEnd = input.indexOf('\0');
    const qsizetype valueEnd = tagEnd < 0 ? -1 : input.indexOf('\0', tagEnd + 1);
    if (valueEnd < 0) {
        return;
    }
    const QString tag = QString::fromUtf8(input.left(tagEnd));
    const QString value = QString::fromUtf8(input.mid(tagEnd + 1, valueEnd - tagEnd - 1));
    const QByteArray content = input.mid(valueEnd + 1);

    QTemporaryDir folder;
    require(folder.isValid(), "a temporary folder can be made");
    const QString path = folder.filePath(QStringLiteral("SharedUserPreferences.xml"));
    if (!content.isEmpty()) {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly) && file.write(content) == content.size(),
                "the input is stored as the shared file");
    }
    SharedPreferences shared;
    shared.OpenSharedPreferences(path);
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString decoded = utf8.decode(content);
    if (utf8.hasError()) {
        require(shared.SetSharedPreference(tag, value, true).has_value(),
                "a file that is not UTF-8 text is not replaced");
        QFile file(path);
        require(file.open(QIODevice::ReadOnly) && file.readAll() == content,
                "a file that is not UTF-8 text is left as it was");
        return;
    }
    static const QRegularExpression brackets(QStringLiteral("[<>]"));
    const bool plain = !tag.contains(brackets) && !value.contains(brackets);
    setWriteAndReopen(shared, tag, value, plain);
    setWriteAndReopen(shared, tag, value + value, plain);
}

} // namespace ditlog::testing
