#include "app/wiring.h"
#include "shell/layout_font.h"
#include "shell/program_icon.h"
#include "shell/startup_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZVC7140 Evaluation Software"));
    QApplication::setWindowIcon(ProgramIcon());
    FollowApplicationFont();
    WireProgram(QCoreApplication::applicationDirPath());
    Main();
    return QApplication::exec();
}
