// Runs the logger tasks on a worker thread for a program with an event loop,
// and brings everything the user sees back to the runner's own thread (the
// user-interface thread) as signals.
//
// Contract for the program (all signals are emitted on the runner's thread):
//   - progress(percent): show it in the active configuration form's progress
//     bar.
//   - errorMessage(caption, text): show a message box with that caption, the
//     error icon and an OK button, modally (QMessageBox::exec or the like),
//     in a slot connected directly. The worker waits until every connected
//     slot has returned; the task's ActivityFlags bit stays set meanwhile.
//   - finished(outcome): take the result over into the configuration the
//     forms edit with ApplyTaskOutcome. Only after all slots have returned
//     does the runner clear the task's ActivityFlags bit, so no new task can
//     start from a configuration that has not yet taken the result over.
//   - refreshRequested(): after a retrieve or reset, once the bit is clear:
//     reload the visible form from the configuration and update every form.
//
// The runner does not test or set ActivityFlags itself: the task starter
// sets the bit on an idle word, then calls Start.
#pragma once

#include "loggertasks.h"

#include <QDateTime>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace corvina {

class CTaskRunner : public QObject {
    Q_OBJECT
public:
    explicit CTaskRunner(QObject* parent = nullptr);
    // Waits for a running task. A task that still runs then is abandoned: it
    // stops at its next sleep or read, without messages, the port is closed
    // and the task's ActivityFlags bit cleared.
    ~CTaskRunner() override;

    // The clock the send task reads for its date and time lines (tests fix it).
    void SetClock(std::function<QDateTime()> clock);
    // Only tests change the protocol's pacing.
    void SetPacing(const TaskPacing& pacing) { m_Pacing = pacing; }

    // Starts task on a worker thread with a copy of config, taken now.
    // Returns false, and does nothing, while a task of this runner runs.
    bool Start(LoggerTaskKind task, const LoggerConfig& config);
    bool IsRunning() const { return m_bRunning; }

Q_SIGNALS:
    void progress(int percent);
    void errorMessage(const QString& caption, const QString& text);
    void finished(const corvina::TaskOutcome& outcome);
    void refreshRequested();

private:
    class CWorkerHost;

    void Finish(const TaskOutcome& outcome);
    void ShowErrorFromWorker(const QString& caption, const QString& text);

    TaskPacing m_Pacing;
    std::function<QDateTime()> m_Clock;
    std::thread m_Worker;
    bool m_bRunning = false; // runner's thread only
    LoggerTaskKind m_Task = LoggerTaskKind::Retrieve;

    std::atomic<bool> m_bAbandon{false};
    std::mutex m_Mutex;
    std::condition_variable m_Acknowledged;
    quint64 m_nMessagesShown = 0; // guarded by m_Mutex
};

} // namespace corvina
