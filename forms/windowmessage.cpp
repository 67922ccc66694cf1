#include "windowmessage.h"

#include <QCoreApplication>
#include <QMutex>
#include <QObject>

namespace corvina {

const QEvent::Type CWindowMessageEvent::kType =
    static_cast<QEvent::Type>(QEvent::registerEventType());

namespace {
QMutex windowLock;
QObject* mainWindow = nullptr; // cleared by the window before it is destroyed
} // namespace

void SetMainWindow(QObject* window) {
    QMutexLocker guard(&windowLock);
    mainWindow = window;
}

bool PostMainWindowMessage(int message, int wParam, int lParam) {
    QMutexLocker guard(&windowLock);
    if (!mainWindow)
        return false;
    // postEvent is thread-safe; the lock keeps the window from going away between
    // the test and the post (it unregisters itself before it is destroyed).
    QCoreApplication::postEvent(mainWindow, new CWindowMessageEvent(message, wParam, lParam));
    return true;
}

void SetTaskProgress(int percent) {
    PostMainWindowMessage(WM_TASK_PROGRESS, qBound(0, percent, 100), 0);
}

} // namespace corvina
