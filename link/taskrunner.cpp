#include "taskrunner.h"

#include "activity.h"

#include <QMetaObject>

#include <memory>

namespace corvina {

class CTaskRunner::CWorkerHost : public CTaskHost {
public:
    CWorkerHost(CTaskRunner& runner, std::function<QDateTime()> clock)
        : m_Runner(runner), m_Clock(std::move(clock)) {}

    void SetProgress(int percent) override {
        CTaskRunner* runner = &m_Runner;
        QMetaObject::invokeMethod(
            runner, [runner, percent] { Q_EMIT runner->progress(percent); }, Qt::QueuedConnection);
    }

    void ShowError(const QString& caption, const QString& text) override {
        m_Runner.ShowErrorFromWorker(caption, text);
    }

    QDateTime LocalTime() override { return m_Clock ? m_Clock() : QDateTime::currentDateTime(); }

private:
    CTaskRunner& m_Runner;
    std::function<QDateTime()> m_Clock;
};

CTaskRunner::CTaskRunner(QObject* parent) : QObject(parent) {}

CTaskRunner::~CTaskRunner() {
    m_bAbandon = true;
    {
        std::lock_guard lock(m_Mutex);
        m_Acknowledged.notify_all();
    }
    if (m_Worker.joinable())
        m_Worker.join();
    if (m_bRunning)
        ActivityFlags.fetch_and(~ActivityBitOf(m_Task));
}

void CTaskRunner::SetClock(std::function<QDateTime()> clock) {
    m_Clock = std::move(clock);
}

bool CTaskRunner::Start(LoggerTaskKind task, const LoggerConfig& config) {
    if (m_bRunning)
        return false;
    if (m_Worker.joinable())
        m_Worker.join();
    m_bRunning = true;
    m_Task = task;
    m_bAbandon = false;
    auto start = std::make_shared<const LoggerConfig>(config);
    m_Worker = std::thread([this, task, start, pacing = m_Pacing, clock = m_Clock] {
        CWorkerHost host(*this, clock);
        CCommandExchange exchange(theSerialPort, pacing);
        exchange.SetAbandonFlag(&m_bAbandon);
        auto outcome = std::make_shared<TaskOutcome>(RunLoggerTask(task, *start, host, exchange));
        if (m_bAbandon)
            return;
        // Should the runner be going away meanwhile, its destructor waits for
        // this thread and the queued call dies with the object.
        QMetaObject::invokeMethod(
            this, [this, outcome] { Finish(*outcome); }, Qt::QueuedConnection);
    });
    return true;
}

void CTaskRunner::Finish(const TaskOutcome& outcome) {
    if (m_Worker.joinable())
        m_Worker.join();
    m_bRunning = false;
    Q_EMIT finished(outcome);
    ActivityFlags.fetch_and(~ActivityBitOf(outcome.task));
    if (outcome.task != LoggerTaskKind::Send)
        Q_EMIT refreshRequested();
}

void CTaskRunner::ShowErrorFromWorker(const QString& caption, const QString& text) {
    quint64 shown;
    {
        std::lock_guard lock(m_Mutex);
        shown = m_nMessagesShown;
    }
    QMetaObject::invokeMethod(
        this,
        [this, caption, text] {
            Q_EMIT errorMessage(caption, text);
            std::lock_guard lock(m_Mutex);
            ++m_nMessagesShown;
            m_Acknowledged.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_Mutex);
    m_Acknowledged.wait(lock, [&] { return m_nMessagesShown > shown || m_bAbandon.load(); });
}

} // namespace corvina
