#include "taskstarter.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace corvina {

void ClearActivityBit(LoggerTaskKind task) {
    ActivityFlags.fetch_and(~ActivityBitOf(task));
}

CTaskStarter::CTaskStarter() {
    m_launch = [](LoggerTaskKind task) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [task] { ClearActivityBit(task); }, Qt::QueuedConnection);
    };
}

void CTaskStarter::SetLauncher(TaskLauncher launcher) {
    m_launch = std::move(launcher);
}

bool CTaskStarter::Start(LoggerTaskKind task) {
    // Only the user-interface thread sets bits, and only on an idle word, so
    // the compare-and-set cannot lose against another starter.
    uint32_t idle = 0;
    if (!ActivityFlags.compare_exchange_strong(idle, ActivityBitOf(task)))
        return false;
    if (m_launch)
        m_launch(task);
    else
        ClearActivityBit(task);
    return true;
}

} // namespace corvina
