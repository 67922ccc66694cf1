// What a form needs from the window and document around it.
#pragma once

#include "loggerconfig.h"

namespace corvina {

class CView;

class CFormHost {
public:
    virtual ~CFormHost() = default;
    // The model the forms exchange with.
    virtual LoggerConfig& Config() = 0;
    // The main frame's active (visible) form, or null.
    virtual CView* GetActiveView() const = 0;
    // Task starters: do nothing while any task runs (ActivityFlags not 0),
    // otherwise set the task's bit and start it. No result.
    virtual void StartRetrieveTask() = 0;
    virtual void StartSendTask() = 0;
    virtual void StartDefaultTask() = 0;
};

} // namespace corvina
