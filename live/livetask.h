// The live measurement task: listens on the task port to the value rows that
// a logger writes by itself while it measures, and hands every line and row
// to the user-interface thread. It sends nothing to the logger.
//
// Like the other logger tasks it owns ActivityFlags bit 0x04 while it runs
// and starts only on an idle word. It works on its own copy of what it needs
// (LiveTaskSetup), never on the configuration the forms exchange with, and
// never touches a widget: everything it has to show travels as values.
#pragma once

#include "liverows.h"
#include "serialport.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace corvina {

// What the task takes from the configuration when it starts.
struct LiveTaskSetup {
    QString PortName;  // LinkSettings.PortName ("COM3")
    QString PortSpeed; // LinkSettings.PortSpeed ("115200")
    std::optional<char> Separator;
    QStringList Columns; // the data columns, LiveDataColumns
};

LiveTaskSetup LiveTaskSetupFrom(const LoggerConfig& cfg);

// What one read of the port completed.
struct LiveBatch {
    // The last line completed (every line goes to the text line in turn, so
    // this is the one it shows); empty when the read completed none.
    QString LastLine;
    // The rows of the dated lines, in order of arrival.
    QList<LiveRow> Rows;
    // Received text not yet split into lines.
    QString Pending;
};

// The pacing of the task: one read of at most kLiveReadBytes under the task
// port's time-outs, then a pause. It takes at most about 5 kB a second from
// the line; what comes faster waits in the port's input queue.
inline constexpr int kLiveReadBytes = 512;
inline constexpr int kLiveCyclePauseMs = 100;

// What the worker needs from the program around it. Both calls come from the
// worker thread and must not block: the user-interface thread may be waiting
// for the worker to end.
class CLiveTaskHost {
public:
    virtual ~CLiveTaskHost() = default;
    // The lines and rows one read completed; called only when there are some.
    virtual void Received(LiveBatch batch) = 0;
    // A port failure ended the task: the message to show, with its caption
    // ("Error Message"). The worker's last call.
    virtual void Failed(const QString& caption, const QString& text) = 0;
};

// A stop request from another thread, which also cuts the worker's pauses
// short.
class CLiveStop {
public:
    void Request();
    void Reset();
    bool Requested() const { return m_bStop.load(); }
    // Waits ms milliseconds, or less when a stop is requested meanwhile.
    void Pause(int ms);

private:
    std::atomic<bool> m_bStop{false};
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
};

// The worker body. Opens the port of the setup as every task opens it (8 data
// bits, no parity, one stop bit, the task time-outs), then reads and splits
// the stream while ActivityFlags equals kActivityLive and no stop is
// requested, handing each read's lines and rows to the host. At the end the
// port is flushed and closed.
//
// A port failure (the port missing, held by another program, unplugged)
// traces "Handle Exception, Message %s\n", closes the port and reports the
// logger tasks' message for it through host.Failed. Returns 0, or the result
// code of the failure (5 busy, 6 any other).
int LiveViewThread(const LiveTaskSetup& setup, CLiveTaskHost& host, CLiveStop& stop,
                   CSerialPort& port = theSerialPort);

// Runs the live task on a worker thread and brings what it reports back to
// the runner's own thread (the user-interface thread) as signals.
class CLiveTaskRunner : public QObject {
    Q_OBJECT
public:
    explicit CLiveTaskRunner(QObject* parent = nullptr);
    // Stops a running task and waits for its worker (see Stop).
    ~CLiveTaskRunner() override;

    // Does nothing and returns false while ActivityFlags is not 0 (another
    // task, or the live task itself, runs). Otherwise sets bit 0x04 and starts
    // the worker on the port of theSerialPort with a copy of setup.
    bool Start(const LiveTaskSetup& setup);

    // Clears bit 0x04 and waits until the worker has closed the port and
    // ended: at most the rest of one read (about 100 ms). Lines it received
    // before still arrive as signals. Harmless when nothing runs.
    void Stop();

    // From Start until Stop, or until a failure has been reported.
    bool IsRunning() const { return m_bRunning; }

Q_SIGNALS:
    // What one read completed. Never carries anything of an earlier run once
    // the task has been started again.
    void received(const corvina::LiveBatch& batch);
    // A port failure ended the task. Show it in a message box with the error
    // icon, modally, in a slot connected directly: bit 0x04 stays set until
    // every slot has returned, and is cleared then.
    void errorMessage(const QString& caption, const QString& text);

private:
    class CWorkerHost;

    void Deliver(quint64 run, const LiveBatch& batch);
    void Fail(quint64 run, const QString& caption, const QString& text);
    void JoinWorker();

    std::thread m_Worker;
    CLiveStop m_Stop;
    bool m_bRunning = false; // runner's thread only
    quint64 m_nRun = 0;      // counts the starts; stale reports carry an old one
};

} // namespace corvina
