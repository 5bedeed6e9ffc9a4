// What the fuzz targets share: a rule that ends the run when it breaks, the input as bytes,
// and whether a text can stand in a quoted record field.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// Ends the run when a rule does not hold; the fuzzer keeps the input that broke it.
inline void require(bool holds, const char* rule) {
    if (!holds) {
        qFatal("Broken rule: %s", rule);
    }
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// No double quote and no control character: a text a quoted record field can hold.
inline bool storable(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c.unicode() < 32) {
            return false;
        }
    }
    return true;
}

} // namespace ditlog::testing
