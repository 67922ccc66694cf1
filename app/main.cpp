#include "tessarsetup.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    corvina::StartupOptions options;
    QString error;
    if (!corvina::ParseStartupArguments(QApplication::arguments(), &options, &error)) {
        std::fprintf(stderr, "corvinasetup: %s\n", qPrintable(error));
        return 2;
    }
    corvina::CTessarSetupApp theApp;
    if (!theApp.InitInstance(options))
        return 1;
    return QApplication::exec();
}
