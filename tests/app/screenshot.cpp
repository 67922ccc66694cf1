// Draws the main window as a newcomer first sees it, into the PNG file named
// by the first argument. COM1 and COM3 stand in for the PC's ports.
#include "tessarsetup.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    corvina::CTessarSetupApp theApp;
    theApp.Document().SetPortProbe([](int n) { return n == 1 || n == 3; });
    if (!theApp.InitInstance({}))
        return 1;
    const QString out = QString::fromLocal8Bit(argv[1]);
    int rc = 1;
    QTimer::singleShot(500, [&] {
        rc = theApp.MainFrame()->grab().save(out) ? 0 : 1;
        app.quit();
    });
    QApplication::exec();
    return rc;
}
