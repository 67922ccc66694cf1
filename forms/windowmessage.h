// Messages that worker threads post to the main window. Posting is safe from
// any thread; the main window handles them on the user-interface thread in
// the order of arrival, interleaved with the user's input.
#pragma once

#include <QEvent>

class QObject;

namespace corvina {

// A finished retrieve or reset asks for the forms to be reloaded from the model.
inline constexpr int WM_REFRESH_VIEWS = 0x400;
// A task's progress, 0 to 100, for the active form's progress bar.
inline constexpr int WM_TASK_PROGRESS = 0x401;

class CWindowMessageEvent : public QEvent {
public:
    static const QEvent::Type kType;
    CWindowMessageEvent(int message, int wParam, int lParam)
        : QEvent(kType), m_message(message), m_wParam(wParam), m_lParam(lParam) {}
    int Message() const { return m_message; }
    int WParam() const { return m_wParam; }
    int LParam() const { return m_lParam; }

private:
    int m_message;
    int m_wParam;
    int m_lParam;
};

// The window that receives posted messages; set by the main frame while it lives.
void SetMainWindow(QObject* window);
// Queues the message for the main window; dropped when there is none.
// Returns whether it was queued.
bool PostMainWindowMessage(int message, int wParam = 0, int lParam = 0);

// What the tasks call: shows percent (0-100) in the active form's progress bar.
void SetTaskProgress(int percent);

} // namespace corvina
