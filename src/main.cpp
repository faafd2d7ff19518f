#include "app/wiring.h"
#include "shell/startup_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZVC7140 Evaluation Software"));
    WireProgram(QCoreApplication::applicationDirPath());
    Main();
    return QApplication::exec();
}
