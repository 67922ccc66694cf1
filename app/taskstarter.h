// Starting the logger tasks: one at a time, guarded by ActivityFlags.
#pragma once

#include "activity.h"
#include "loggertasks.h"

#include <functional>

namespace corvina {

// Starts a task's work once its bit is set, on the user-interface thread. The
// work must clear the bit when it ends (ClearActivityBit, from any thread).
using TaskLauncher = std::function<void(LoggerTaskKind)>;

void ClearActivityBit(LoggerTaskKind task);

class CTaskStarter {
public:
    // Without a launcher a task does no work: its bit is cleared on the next
    // turn of the event loop.
    CTaskStarter();

    void SetLauncher(TaskLauncher launcher);

    // Does nothing and returns false while any task (live view included) runs;
    // otherwise sets the task's bit, launches the task and returns true.
    bool Start(LoggerTaskKind task);

private:
    TaskLauncher m_launch;
};

} // namespace corvina
