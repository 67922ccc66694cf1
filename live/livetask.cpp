#include "livetask.h"

#include "activity.h"
#include "loggertasks.h"

#include <QMetaObject>

#include <utility>

namespace corvina {

LiveTaskSetup LiveTaskSetupFrom(const LoggerConfig& cfg) {
    LiveTaskSetup setup;
    setup.PortName = cfg.Link.PortName;
    setup.PortSpeed = cfg.Link.PortSpeed;
    setup.Separator = LiveFieldSeparator(cfg.System.DataFormat);
    setup.Columns = LiveDataColumns(cfg);
    return setup;
}

void CLiveStop::Request() {
    {
        std::lock_guard lock(m_Mutex);
        m_bStop = true;
    }
    m_Wake.notify_all();
}

void CLiveStop::Reset() {
    std::lock_guard lock(m_Mutex);
    m_bStop = false;
}

void CLiveStop::Pause(int ms) {
    std::unique_lock lock(m_Mutex);
    m_Wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_bStop.load(); });
}

int LiveViewThread(const LiveTaskSetup& setup, CLiveTaskHost& host, CLiveStop& stop,
                   CSerialPort& port) {
    const int columns = static_cast<int>(setup.Columns.size());
    try {
        CCommandExchange exchange(port);
        exchange.OpenTaskPort(setup.PortName, setup.PortSpeed);
        CLiveLineSplitter splitter;
        char buffer[kLiveReadBytes];
        while (ActivityFlags.load() == kActivityLive && !stop.Requested()) {
            const uint32_t n = port.ReadEx(buffer, sizeof buffer);
            if (n > 0) {
                LiveBatch batch;
                for (const LiveLine& line : splitter.Append(LiveTextFromBytes({buffer, n}))) {
                    batch.LastLine = line.Text;
                    if (line.TooLong)
                        continue;
                    if (auto row = ParseLiveRow(line.Text, setup.Separator, columns))
                        batch.Rows.push_back(std::move(*row));
                }
                batch.Pending = splitter.Pending();
                host.Received(std::move(batch));
            }
            stop.Pause(kLiveCyclePauseMs);
        }
        port.Flush();
        port.Close();
        return kResultOk;
    } catch (const CSerialException& e) {
        const int result = ResultOfPortFailure(e);
        // Another program, or the next task, may want the port at once.
        port.Close();
        // The port messages are the same for every kind of task.
        host.Failed(QString::fromLatin1(kErrorCaption),
                    TaskResultMessage(LoggerTaskKind::Retrieve, result));
        return result;
    }
}

class CLiveTaskRunner::CWorkerHost : public CLiveTaskHost {
public:
    CWorkerHost(CLiveTaskRunner* runner, quint64 run) : m_pRunner(runner), m_nRun(run) {}

    void Received(LiveBatch batch) override {
        // Should the runner go away meanwhile, its destructor waits for this
        // thread and the queued call dies with the object.
        QMetaObject::invokeMethod(
            m_pRunner,
            [runner = m_pRunner, run = m_nRun, batch = std::move(batch)] {
                runner->Deliver(run, batch);
            },
            Qt::QueuedConnection);
    }

    void Failed(const QString& caption, const QString& text) override {
        QMetaObject::invokeMethod(
            m_pRunner,
            [runner = m_pRunner, run = m_nRun, caption, text] { runner->Fail(run, caption, text); },
            Qt::QueuedConnection);
    }

private:
    CLiveTaskRunner* m_pRunner;
    quint64 m_nRun;
};

CLiveTaskRunner::CLiveTaskRunner(QObject* parent) : QObject(parent) {}

CLiveTaskRunner::~CLiveTaskRunner() {
    if (m_bRunning || m_Worker.joinable())
        Stop();
}

bool CLiveTaskRunner::Start(const LiveTaskSetup& setup) {
    // Only the user-interface thread sets bits, and only on an idle word.
    uint32_t idle = 0;
    if (!ActivityFlags.compare_exchange_strong(idle, kActivityLive))
        return false;
    JoinWorker(); // a worker that failed has ended already
    m_Stop.Reset();
    m_bRunning = true;
    const quint64 run = ++m_nRun;
    m_Worker = std::thread([this, run, setup] {
        CWorkerHost host(this, run);
        LiveViewThread(setup, host, m_Stop);
    });
    return true;
}

void CLiveTaskRunner::Stop() {
    ActivityFlags.fetch_and(~uint32_t(kActivityLive));
    m_Stop.Request();
    // The worker never waits for this thread, so this ends within one read.
    JoinWorker();
    m_bRunning = false;
}

void CLiveTaskRunner::JoinWorker() {
    if (m_Worker.joinable())
        m_Worker.join();
}

void CLiveTaskRunner::Deliver(quint64 run, const LiveBatch& batch) {
    if (run == m_nRun)
        Q_EMIT received(batch);
}

void CLiveTaskRunner::Fail(quint64 run, const QString& caption, const QString& text) {
    if (run != m_nRun)
        return;
    Q_EMIT errorMessage(caption, text);
    // The task has ended; like the other tasks it frees the link once its
    // message was read. A Stop or a new start meanwhile has done so already.
    if (run == m_nRun && m_bRunning) {
        JoinWorker();
        m_bRunning = false;
        ActivityFlags.fetch_and(~uint32_t(kActivityLive));
    }
}

} // namespace corvina
