// Call-history files, learning from earlier logs, and the lookup of one call.
#include "assist/CallHistory.h"

#include "assist/AidFile.h"
#include "assist/CheckPartial.h"
#include "log/ContactLog.h"

#include <QStringList>

#include <algorithm>
#include <string_view>

namespace ditlog {

namespace {
// The entry fields' lengths.
constexpr int kNameLength = 30;
constexpr int kSpcLength = 30;
constexpr int kExchangeLength = 20;

QString fieldValue(const QString& raw, int length) {
    // Capitals twice: a letter that is only storable after the first pass (a superscript
    // n, say) is upper-cased by the second, and a capital outside Latin-1 (Ÿ) made plain.
    return storableText(storableText(raw.toUpper()).toUpper()).left(length).trimmed();
}

QString spcValue(const QString& raw) {
    // State and province codes in capitals; an entity name keeps its own spelling.
    const QString text = storableText(raw.trimmed());
    if (text.compare(QLatin1String("Not Found"), Qt::CaseInsensitive) == 0) {
        return {}; // what the country lookup shows for an unknown prefix, not a place
    }
    return (text.size() <= 2 ? text.toUpper() : text).left(kSpcLength).trimmed();
}

bool isNumberOrPower(const QString& word) {
    qsizetype digits = 0;
    while (digits < word.size() && word.at(digits).isDigit()) {
        ++digits;
    }
    return digits > 0 && (digits == word.size() ||
                          (digits + 1 == word.size() && word.back().toUpper() == QLatin1Char('W')));
}

std::string_view view(QByteArrayView v) { return {v.data(), size_t(v.size())}; }

// Column positions of a "!!Order!!" header; -1 where the header has no such column.
struct Columns {
    int call = -1;
    int name = -1;
    int state = -1;
    int loc1 = -1;
    int exch1 = -1;
};

Columns columnsOf(const QStringList& header) {
    Columns c;
    for (int i = 1; i < header.size(); ++i) {
        const QString name = header.at(i).trimmed().toLower();
        int* slot = name == QLatin1String("call")    ? &c.call
                    : name == QLatin1String("name")  ? &c.name
                    : name == QLatin1String("state") ? &c.state
                    : name == QLatin1String("loc1")  ? &c.loc1
                    : name == QLatin1String("exch1") ? &c.exch1
                                                     : nullptr;
        if (slot != nullptr && *slot < 0) {
            *slot = i - 1; // data lines have no "!!Order!!" cell
        }
    }
    return c;
}

struct ParsedLine {
    QByteArray call;
    HistoryValues values;
};

std::optional<ParsedLine> parseLine(const QString& text, const std::optional<Columns>& header) {
    const QStringList cells = text.split(QLatin1Char(','));
    const auto cell = [&](int i) { return i >= 0 && i < cells.size() ? cells.at(i).trimmed() : QString(); };
    ParsedLine parsed;
    const QString call = header ? cell(header->call) : cell(0);
    parsed.call = call.toUpper().toLatin1();
    if (!isListableCall(parsed.call) || call.size() != parsed.call.size()) {
        return std::nullopt;
    }
    if (header) {
        const QString state = cell(header->state);
        parsed.values = {fieldValue(cell(header->name), kNameLength),
                         spcValue(state.isEmpty() ? cell(header->loc1) : state),
                         fieldValue(cell(header->exch1), kExchangeLength)};
    } else {
        if (cells.size() < 2) {
            return std::nullopt;
        }
        parsed.values = splitRosterExchange(cells.mid(1).join(QLatin1Char(' ')));
    }
    if (parsed.values.isEmpty()) {
        return std::nullopt;
    }
    return parsed;
}
} // namespace

HistoryValues splitRosterExchange(const QString& exchange) {
    QStringList words = exchange.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    HistoryValues v;
    if (!words.isEmpty() && isNumberOrPower(words.back())) {
        v.exchange = fieldValue(words.takeLast(), kExchangeLength);
    }
    v.name = fieldValue(words.join(QLatin1Char(' ')), kNameLength);
    return v;
}

HistoryLoad CallHistory::loadText(QByteArrayView content) {
    HistoryLoad result;
    std::vector<ParsedLine> parsed;
    std::optional<Columns> header;
    AidLines lines(content);
    QByteArrayView raw;
    bool tooLong = false;
    const auto skip = [&] {
        ++result.skipped;
        if (result.firstSkippedLine == 0) {
            result.firstSkippedLine = lines.number();
        }
    };
    while (lines.next(raw, tooLong)) {
        const QByteArrayView trimmed = raw.trimmed();
        if (tooLong) {
            skip();
            continue;
        }
        if (trimmed.isEmpty() || trimmed.startsWith('#')) {
            continue;
        }
        const QString text = decodeAidLine(trimmed);
        if (text.startsWith(QLatin1String("!!Order!!"), Qt::CaseInsensitive)) {
            header = columnsOf(text.split(QLatin1Char(',')));
            continue;
        }
        std::optional<ParsedLine> line = parseLine(text, header);
        if (!line) {
            skip();
            continue;
        }
        if (int(parsed.size()) >= kMaxEntries) {
            result.error = QStringLiteral("It holds more than %L1 calls, more than a call "
                                          "history can hold.")
                               .arg(kMaxEntries);
            return result;
        }
        parsed.push_back(std::move(*line));
    }
    if (parsed.empty()) {
        result.error = header && header->call < 0
                           ? QStringLiteral("Its !!Order!! line names no Call column.")
                           : QStringLiteral("No line of it names a call with a name, state or "
                                            "number.");
        return result;
    }
    // A call listed twice keeps its last line.
    std::stable_sort(parsed.begin(), parsed.end(), [](const ParsedLine& a, const ParsedLine& b) {
        return view(a.call) < view(b.call);
    });
    QByteArray pool;
    std::vector<quint32> index;
    for (size_t i = 0; i < parsed.size(); ++i) {
        if (i + 1 < parsed.size() && parsed[i + 1].call == parsed[i].call) {
            continue;
        }
        index.push_back(quint32(pool.size()));
        const ParsedLine& p = parsed[i];
        for (const QByteArray& part : {p.call, p.values.name.toLatin1(), p.values.spc.toLatin1(),
                                       p.values.exchange.toLatin1()}) {
            pool.append(part);
            pool.append('\0');
        }
    }
    m_pool = std::move(pool);
    m_index = std::move(index);
    result.entries = fileEntries();
    return result;
}

void CallHistory::clearFile() {
    m_pool.clear();
    m_index.clear();
}

std::optional<HistoryValues> CallHistory::fromFile(const QByteArray& call) const {
    const char* base = m_pool.constData();
    const auto at = std::lower_bound(m_index.begin(), m_index.end(), view(call),
                                     [base](quint32 offset, std::string_view c) {
                                         return std::string_view(base + offset) < c;
                                     });
    if (at == m_index.end() || std::string_view(base + *at) != view(call)) {
        return std::nullopt;
    }
    const char* p = base + *at;
    const auto nextPart = [&p] {
        p += std::char_traits<char>::length(p) + 1;
        return QString::fromLatin1(p);
    };
    HistoryValues v;
    v.name = nextPart();
    v.spc = nextPart();
    v.exchange = nextPart();
    return v;
}

void CallHistory::learn(const QList<ContactRecord>& records) {
    for (const ContactRecord& r : records) {
        const QString call = r.call.trimmed().toUpper();
        if (!isListableCall(call.toLatin1())) {
            continue;
        }
        const QString when = r.date + QLatin1Char(' ') + r.time;
        const auto known = m_learned.constFind(call);
        if (known != m_learned.cend() ? known->when > when
                                      : m_learned.size() >= kMaxLearnedCalls) {
            continue;
        }
        m_learned.insert(call, {{fieldValue(r.name, kNameLength), spcValue(r.spc),
                                 fieldValue(r.exchange, kExchangeLength)},
                                when});
    }
}

std::optional<HistoryValues> CallHistory::find(const QString& call) const {
    const QString upper = call.trimmed().toUpper();
    std::optional<HistoryValues> found;
    if (!m_index.empty()) {
        found = fromFile(upper.toLatin1());
    }
    const auto learned = m_learned.constFind(upper);
    if (learned == m_learned.cend()) {
        return found;
    }
    if (!found) {
        return learned->values;
    }
    for (auto [mine, theirs] : {std::pair{&found->name, &learned->values.name},
                                std::pair{&found->spc, &learned->values.spc},
                                std::pair{&found->exchange, &learned->values.exchange}}) {
        if (mine->isEmpty()) {
            *mine = *theirs;
        }
    }
    return found;
}

} // namespace ditlog
