// The files that ship with the program (prefix and country-number tables, band plan,
// help text, voice prompts): found beside the installed program in
// <prefix>/share/ditlog, in the source tree of a development build, or, last, compiled
// into the program under ":/data".
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ditlog {

// The folders searched before the compiled-in copies, in order: the installed data
// folder relative to the executable (../share/ditlog), then the source tree's data/
// folder when the program was built from one that still exists.
QStringList shippedDataFolders();

// The path of a shipped file ("BandPlan.txt", "prompts/Call.wav"): the first folder that
// holds it, else its compiled-in resource path; empty when neither has it.
QString shippedDataPath(const QString& name);

// The content of a shipped file; nothing when it is not shipped or cannot be read.
std::optional<QByteArray> readShippedData(const QString& name);

// Copies a shipped file into a folder, atomically, unless the folder already holds one
// of that name (the operator's own file is never replaced). Returns an error text, or
// nothing when the file is there afterwards.
std::optional<QString> placeShippedFile(const QString& name, const QString& folder);

} // namespace ditlog
