#include "taskstarter.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace corvina {

uint32_t ActivityBitOf(LoggerTask task) {
    switch (task) {
    case LoggerTask::Retrieve:
        return kActivityRetrieve;
    case LoggerTask::Send:
        return kActivitySend;
    case LoggerTask::Default:
        return kActivityReset;
    }
    return 0;
}

void ClearActivityBit(LoggerTask task) {
    ActivityFlags.fetch_and(~ActivityBitOf(task));
}

CTaskStarter::CTaskStarter() {
    m_launch = [](LoggerTask task) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [task] { ClearActivityBit(task); }, Qt::QueuedConnection);
    };
}

void CTaskStarter::SetLauncher(TaskLauncher launcher) {
    m_launch = std::move(launcher);
}

bool CTaskStarter::Start(LoggerTask task) {
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
