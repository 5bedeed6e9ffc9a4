// Hex pairs to bytes and back, and hex-digit fields of binary replies.
#include "rig/RigHex.h"

#include <algorithm>
#include <cmath>

namespace ditlog {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<QByteArray> pairsToBytes(const QByteArray& text, int stride) {
    QByteArray out;
    out.reserve(text.size() / stride + 1);
    for (qsizetype i = 0; i < text.size(); i += stride) {
        // A lone last digit is read as a one-digit number, as a two-character field would be.
        const int high = hexValue(text.at(i));
        const int low = i + 1 < text.size() ? hexValue(text.at(i + 1)) : -2;
        if (high < 0 || low == -1) {
            return std::nullopt;
        }
        out.append(char(low == -2 ? high : high * 16 + low));
    }
    return out;
}

} // namespace

std::optional<QByteArray> SpacedHexToBytes(const QByteArray& text) {
    return pairsToBytes(text, 3);
}

std::optional<QByteArray> PackedHexToBytes(const QByteArray& text) {
    return pairsToBytes(text, 2);
}

QString HexDump(const QByteArray& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = quint8(c);
        out.append(QLatin1Char(digits[b >> 4]));
        out.append(QLatin1Char(digits[b & 0x0F]));
        out.append(QLatin1Char(' '));
    }
    return out;
}

QByteArray hexString(const QByteArray& bytes) {
    return bytes.toHex().toUpper();
}

std::optional<quint64> hexDigitsValue(const QByteArray& bytes, int first, int last) {
    if (first < 1 || last < first || last - first >= 16 || (last + 1) / 2 > bytes.size()) {
        return std::nullopt;
    }
    quint64 value = 0;
    for (int d = first; d <= last; ++d) {
        const auto b = quint8(bytes.at((d - 1) / 2));
        value = value * 16 + ((d % 2 == 1) ? (b >> 4) : (b & 0x0F));
    }
    return value;
}

std::optional<quint64> bcdDigitsValue(const QByteArray& bytes, int first, int last) {
    if (first < 1 || last < first || last - first > 18 || (last + 1) / 2 > bytes.size()) {
        return std::nullopt;
    }
    quint64 value = 0;
    for (int d = first; d <= last; ++d) {
        const auto b = quint8(bytes.at((d - 1) / 2));
        const int digit = (d % 2 == 1) ? (b >> 4) : (b & 0x0F);
        if (digit > 9) {
            return std::nullopt;
        }
        value = value * 10 + quint64(digit);
    }
    return value;
}

std::optional<int> lowNibble(const QByteArray& bytes, int n) {
    if (n < 1 || n > bytes.size()) {
        return std::nullopt;
    }
    return quint8(bytes.at(n - 1)) & 0x0F;
}

std::optional<QByteArray> frequencyDigits(double mhz, double scale, int width, int maxDigits) {
    const double scaled = std::round(mhz * scale);
    // 1e15 is past any width a radio takes, and inside what a double holds exactly.
    if (!std::isfinite(scaled) || scaled < 1 || scaled >= 1e15) {
        return std::nullopt;
    }
    const QByteArray digits = QByteArray::number(qint64(scaled)).rightJustified(width, '0');
    if (digits.size() > maxDigits) {
        return std::nullopt;
    }
    return digits;
}

QByteArray bcdBytes(const QByteArray& digits) {
    QByteArray out;
    out.reserve(digits.size() / 2);
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        out.append(char(((digits.at(i) - '0') << 4) | (digits.at(i + 1) - '0')));
    }
    return out;
}

QByteArray reversedBytes(QByteArray bytes) {
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

} // namespace ditlog
