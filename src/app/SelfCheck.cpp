// Start-up self-check for packages and installations.
#include "app/SelfCheck.h"

#include "app/MainWindow.h"
#include "log/PrefixTable.h"
#include "platform/ShippedData.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>

namespace ditlog {

int runSelfCheck(MainWindow& window, QTextStream& out) {
    int faults = 0;
    window.repaint();
    out << "platform " << QGuiApplication::platformName() << '\n';
    if (!window.isVisible()) {
        out << "FAULT the main window is not shown\n";
        ++faults;
    } else {
        out << "main window \"" << window.windowTitle() << "\" shown\n";
    }
    const QString resourceRoot = QStringLiteral(":/data/");
    QDirIterator it(resourceRoot, QDir::Files, QDirIterator::Subdirectories);
    QStringList names;
    while (it.hasNext()) {
        names.append(it.next().mid(resourceRoot.size()));
    }
    names.sort();
    for (const QString& name : std::as_const(names)) {
        const QString path = shippedDataPath(name);
        if (path.startsWith(u':')) {
            out << "FAULT " << name << " is only compiled in; searched "
                << shippedDataFolders().join(QStringLiteral(", ")) << '\n';
            ++faults;
        } else {
            out << "found " << name << " in " << path << '\n';
        }
    }
    const QString prefixPath = shippedDataPath(QStringLiteral("arrlpre2.txt"));
    QFile prefixFile(prefixPath);
    PrefixTable table;
    if (!prefixFile.open(QIODevice::ReadOnly) || LoadPrefixTable(table, prefixFile.readAll()) ||
        table.isEmpty()) {
        out << "FAULT the prefix table does not load\n";
        ++faults;
    } else {
        out << "prefix table: " << table.count() << " prefixes\n";
    }
    out << (faults == 0 ? "self-check passed\n" : "self-check FAILED\n");
    out.flush();
    return faults == 0 ? 0 : 1;
}

} // namespace ditlog
