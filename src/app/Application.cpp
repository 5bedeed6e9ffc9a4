#include "app/Application.h"

#include <QApplication>

namespace ditlog {
int runApplication(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return 0;
}
} // namespace ditlog
