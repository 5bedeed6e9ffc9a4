// The Pegasus control program's status file.
#include "rig/PegasusFile.h"
#include "rig/RigHex.h"
#include "rig/RigCommand.h"

#include "log/RecordFile.h"

#include <QDir>

#include <cmath>

namespace ditlog {

namespace {
constexpr qint64 kMaxStatusFile = 4096;
}

QString defaultPegasusFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\Pegasus");
#else
    return QDir::homePath() + QStringLiteral("/.wine/drive_c/Pegasus");
#endif
}

RigReading parsePegasusStatus(const QByteArray& content) {
    RecordReader reader(content);
    const auto frequencyText = reader.readText();
    const auto modeText = reader.readText();
    if (!frequencyText || !modeText) {
        return {};
    }
    bool ok = false;
    const double mhz = frequencyText->trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(mhz) || mhz < 0 || mhz > 1e6) {
        return {};
    }
    RigReading r;
    r.frequency = mhz;
    const QString mode = modeText->trimmed();
    if (!mode.isEmpty()) {
        r.mode = mode == QLatin1String("CW") ? mode : QStringLiteral("PH");
    }
    return r;
}

RigReading readPegasusStatus(const QString& folder) {
    const auto content =
        readWholeFile(QDir(folder).filePath(kPegasusStatusFile), nullptr, kMaxStatusFile);
    return content ? parsePegasusStatus(*content) : RigReading{};
}


EncodedCommand pegasusCommandFile(double mhz, const RigCommandContext& context) {
    if (!frequencyDigits(mhz, 1e6, 1, 11)) {
        return EncodedCommand::failed(unsendableFrequency(mhz));
    }
    return {shortestMegahertzText(mhz).toLatin1() + "\r\n" + context.mode.toLatin1() + "\r\n", {}};
}

} // namespace ditlog
