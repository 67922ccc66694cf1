// The live task against the simulated logger on a pseudo-terminal: its rows
// arrive whole and in their columns, Stop ends it promptly with the port
// closed, port failures give the logger tasks' messages, and the task word
// admits it only on an idle link.
#include "activity.h"
#include "livetask.h"
#include "loggersim.h"
#include "simanswers.h"
#include "tasktestsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>

using namespace corvina;
using namespace corvina::test;

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "live_task_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

class RecordingLiveHost : public CLiveTaskHost {
public:
    void Received(LiveBatch batch) override {
        std::lock_guard lock(m_Mutex);
        m_Batches.push_back(std::move(batch));
    }
    void Failed(const QString& caption, const QString& text) override {
        std::lock_guard lock(m_Mutex);
        m_Failures.push_back({caption, text});
    }
    QList<LiveRow> Rows() const {
        std::lock_guard lock(m_Mutex);
        QList<LiveRow> rows;
        for (const auto& b : m_Batches)
            rows += b.Rows;
        return rows;
    }
    std::vector<ShownMessage> Failures() const {
        std::lock_guard lock(m_Mutex);
        return m_Failures;
    }

private:
    mutable std::mutex m_Mutex;
    std::vector<LiveBatch> m_Batches;
    std::vector<ShownMessage> m_Failures;
};

int ElapsedMs(std::chrono::steady_clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

class LiveTaskTest : public SimulatedLogger {
protected:
    void SetUp() override {
        App();
        ActivityFlags = 0;
        SimulatedLogger::SetUp();
    }
    void TearDown() override {
        ActivityFlags = 0;
        SimulatedLogger::TearDown();
    }

    // The logger and the forms agree on the outputs: Temp with its maximum,
    // and Hum.
    LoggerConfig Outputs(const QString& format) const {
        LoggerConfig cfg = LinkedConfig();
        cfg.System.DataFormat = format;
        cfg.Outputs[0].Input = QStringLiteral("A1_PT100");
        cfg.Outputs[0].Alias = QStringLiteral("Temp");
        cfg.Outputs[0].Max = 1;
        cfg.Outputs[1].Input = QStringLiteral("A2_HUM");
        cfg.Outputs[1].Alias = QStringLiteral("Hum");
        return cfg;
    }
    // Every output with every statistic: each row is longer than one read.
    LoggerConfig WideOutputs() const {
        LoggerConfig cfg = LinkedConfig();
        cfg.System.DataFormat = QStringLiteral("Default");
        for (int k = 0; k < kOutputChannelsUsed; ++k) {
            cfg.Outputs[k].Input = QStringLiteral("A1_X");
            cfg.Outputs[k].Alias = QStringLiteral("O%1").arg(k + 1);
            cfg.Outputs[k].Min = cfg.Outputs[k].Max = cfg.Outputs[k].Sdev = 1;
        }
        return cfg;
    }
    void Logger(const LoggerConfig& cfg, int intervalMs) {
        LoggerConfig logger = SimFactoryConfig();
        logger.System.DataFormat = cfg.System.DataFormat;
        logger.Outputs = cfg.Outputs;
        m_Sim.SetConfig(logger);
        m_Sim.StartLive(intervalMs);
    }
};

// The worker on a thread of its own, as the runner runs it.
class Worker {
public:
    Worker(const LiveTaskSetup& setup, RecordingLiveHost& host) {
        m_Thread = std::thread([&, setup] { m_nResult = LiveViewThread(setup, host, m_Stop); });
    }
    ~Worker() { Join(); }
    void Join() {
        if (m_Thread.joinable())
            m_Thread.join();
    }
    int Result() const { return m_nResult; }

private:
    CLiveStop m_Stop;
    std::thread m_Thread;
    std::atomic<int> m_nResult{-1};
};

double Number(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return v;
}

class LiveTaskFormatTest : public LiveTaskTest, public testing::WithParamInterface<const char*> {};

TEST_P(LiveTaskFormatTest, RowsArriveInTheirColumnsUntilTheBitIsCleared) {
    const LoggerConfig cfg = Outputs(QString::fromLatin1(GetParam()));
    Logger(cfg, 40);
    RecordingLiveHost host;
    ActivityFlags = kActivityLive;
    Worker worker(LiveTaskSetupFrom(cfg), host);
    ASSERT_TRUE(WaitFor([&] { return host.Rows().size() >= 4; }, 5000));
    ActivityFlags = 0; // what Stop does; the worker sees it at its next check
    const auto stopped = std::chrono::steady_clock::now();
    worker.Join();
    EXPECT_LT(ElapsedMs(stopped), 1000);
    EXPECT_FALSE(theSerialPort.IsOpen());
    EXPECT_EQ(worker.Result(), 0);
    EXPECT_TRUE(host.Failures().empty());

    for (const LiveRow& row : host.Rows()) {
        EXPECT_TRUE(QDate::fromString(row.Date, QStringLiteral("dd.MM.yyyy")).isValid())
            << row.Date.toStdString();
        EXPECT_TRUE(QTime::fromString(row.Time, QStringLiteral("hh:mm:ss")).isValid());
        ASSERT_EQ(row.Values.size(), 3); // Temp, Max, Hum
        EXPECT_NEAR(Number(row.Values[1]) - Number(row.Values[0]), 5.0, 0.011)
            << "Max belongs to Temp";
        Number(row.Values[2]);
    }
}

INSTANTIATE_TEST_SUITE_P(DataFormats, LiveTaskFormatTest, testing::Values("Default", "CSV"));

TEST_F(LiveTaskTest, RowsLongerThanOneReadKeepTheirColumns) {
    const LoggerConfig cfg = WideOutputs();
    Logger(cfg, 60);
    ASSERT_GT(SimLiveRow(cfg, QDateTime::currentDateTime(), 0).size(), kLiveReadBytes);
    RecordingLiveHost host;
    ActivityFlags = kActivityLive;
    Worker worker(LiveTaskSetupFrom(cfg), host);
    ASSERT_TRUE(WaitFor([&] { return host.Rows().size() >= 3; }, 5000));
    ActivityFlags = 0;
    worker.Join();
    for (const LiveRow& row : host.Rows()) {
        ASSERT_EQ(row.Values.size(), 128);
        for (int k = 0; k < kOutputChannelsUsed; ++k) {
            const double value = Number(row.Values[4 * k]);
            EXPECT_NEAR(Number(row.Values[4 * k + 1]), value - 5.0, 0.011) << "Min of O" << k + 1;
            EXPECT_NEAR(Number(row.Values[4 * k + 2]), value + 5.0, 0.011) << "Max of O" << k + 1;
        }
    }
}

struct PortFailure {
    const char* name;
    int port; // -1: no port chosen; 0: the simulator's port, held by another program
    const char* text;
};

void PrintTo(const PortFailure& f, std::ostream* os) {
    *os << f.name;
}

class LiveTaskFailureTest : public LiveTaskTest, public testing::WithParamInterface<PortFailure> {};

TEST_P(LiveTaskFailureTest, ReportsTheMessageAndLeavesThePortClosed) {
    const PortFailure& f = GetParam();
    LoggerConfig cfg = Outputs(QStringLiteral("Default"));
    std::unique_ptr<PortHolder> holder;
    if (f.port < 0) {
        cfg.Link.PortName.clear();
    } else if (f.port == 0) {
        holder = std::make_unique<PortHolder>(kSimPort);
        ASSERT_TRUE(holder->Holding());
    } else {
        cfg.Link.PortName = QStringLiteral("COM%1").arg(f.port);
    }
    RecordingLiveHost host;
    CLiveStop stop;
    ActivityFlags = kActivityLive;
    const int result = LiveViewThread(LiveTaskSetupFrom(cfg), host, stop);
    EXPECT_EQ(result, f.port == 0 ? kResultPortBusy : kResultPortFailure);
    const auto failures = host.Failures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].caption, QStringLiteral("Error Message"));
    EXPECT_EQ(failures[0].text, QString::fromLatin1(f.text));
    EXPECT_FALSE(theSerialPort.IsOpen());
}

const PortFailure kPortFailures[] = {
    {"MissingPort", kMissingPort, "Communication Error. Check PC baud rate setting, please."},
    {"NoPortChosen", -1, "Communication Error. Check PC baud rate setting, please."},
    {"PortHeldByAnotherProgram", 0, "COM port used by another application"},
};

INSTANTIATE_TEST_SUITE_P(Ports, LiveTaskFailureTest, testing::ValuesIn(kPortFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// The runner, as the live form uses it.
class LiveRunnerTest : public LiveTaskTest {
protected:
    void SetUp() override {
        LiveTaskTest::SetUp();
        m_Runner = std::make_unique<CLiveTaskRunner>();
        QObject::connect(m_Runner.get(), &CLiveTaskRunner::received,
                         [this](const LiveBatch& b) { m_Rows += b.Rows; });
        QObject::connect(m_Runner.get(), &CLiveTaskRunner::errorMessage,
                         [this](const QString& caption, const QString& text) {
                             m_Messages << caption + QLatin1Char(':') + text;
                             m_bBitSetDuringMessage = ActivityFlags == kActivityLive;
                         });
    }
    void TearDown() override {
        m_Runner.reset();
        LiveTaskTest::TearDown();
    }

    std::unique_ptr<CLiveTaskRunner> m_Runner;
    QList<LiveRow> m_Rows;
    QStringList m_Messages;
    bool m_bBitSetDuringMessage = false;
};

TEST_F(LiveRunnerTest, StopClosesThePortPromptlyAndFreesTheLink) {
    const LoggerConfig cfg = Outputs(QStringLiteral("Default"));
    Logger(cfg, 30);
    ASSERT_TRUE(m_Runner->Start(LiveTaskSetupFrom(cfg)));
    EXPECT_EQ(ActivityFlags.load(), uint32_t(kActivityLive));
    EXPECT_FALSE(m_Runner->Start(LiveTaskSetupFrom(cfg))) << "the live task itself runs";
    ASSERT_TRUE(WaitFor([&] { return m_Rows.size() >= 3; }, 5000));

    const auto stopping = std::chrono::steady_clock::now();
    m_Runner->Stop();
    EXPECT_LT(ElapsedMs(stopping), 1000);
    EXPECT_EQ(ActivityFlags.load(), 0u);
    EXPECT_FALSE(m_Runner->IsRunning());
    EXPECT_FALSE(theSerialPort.IsOpen());
    // Nobody holds the port any longer.
    CSerialPort other;
    EXPECT_NO_THROW(other.Open(kSimPort, 115200));
    other.Close();
    EXPECT_TRUE(m_Messages.isEmpty());

    // Stop with nothing running changes nothing but the live bit.
    ActivityFlags = kActivityRetrieve;
    m_Runner->Stop();
    EXPECT_EQ(ActivityFlags.load(), uint32_t(kActivityRetrieve));
}

TEST_F(LiveRunnerTest, AnotherTasksBitKeepsItFromStarting) {
    const LoggerConfig cfg = Outputs(QStringLiteral("Default"));
    for (uint32_t bit : {kActivityRetrieve, kActivitySend, kActivityReset}) {
        ActivityFlags = bit;
        EXPECT_FALSE(m_Runner->Start(LiveTaskSetupFrom(cfg))) << bit;
        EXPECT_EQ(ActivityFlags.load(), bit);
        EXPECT_FALSE(m_Runner->IsRunning());
        EXPECT_FALSE(theSerialPort.IsOpen());
    }
}

TEST_F(LiveRunnerTest, AFailureIsShownThenTheLinkIsFree) {
    LoggerConfig cfg = Outputs(QStringLiteral("Default"));
    cfg.Link.PortName = QStringLiteral("COM%1").arg(kMissingPort);
    ASSERT_TRUE(m_Runner->Start(LiveTaskSetupFrom(cfg)));
    ASSERT_TRUE(WaitFor([&] { return !m_Runner->IsRunning(); }, 5000));
    EXPECT_EQ(
        m_Messages,
        QStringList("Error Message:Communication Error. Check PC baud rate setting, please."));
    EXPECT_TRUE(m_bBitSetDuringMessage) << "the link stays taken while the message is up";
    EXPECT_EQ(ActivityFlags.load(), 0u);
    EXPECT_TRUE(m_Runner->Start(LiveTaskSetupFrom(cfg))) << "a new start is admitted";
    ASSERT_TRUE(WaitFor([&] { return !m_Runner->IsRunning(); }, 5000));
    EXPECT_EQ(m_Messages.size(), 2);
}

TEST_F(LiveRunnerTest, RowsOfAnEarlierRunNeverReachALaterOne) {
    LoggerConfig first = Outputs(QStringLiteral("Default"));
    Logger(first, 20);
    ASSERT_TRUE(m_Runner->Start(LiveTaskSetupFrom(first)));
    // Rows pile up in the event queue while this thread is busy.
    QThread::msleep(600);
    m_Runner->Stop();
    LoggerConfig second = first;
    second.Outputs[1].Input = QStringLiteral("0"); // Hum goes: two columns
    ASSERT_TRUE(m_Runner->Start(LiveTaskSetupFrom(second)));
    WaitFor([&] { return m_Rows.size() >= 2; }, 3000);
    m_Runner->Stop();
    ASSERT_FALSE(m_Rows.isEmpty());
    for (const LiveRow& row : m_Rows)
        EXPECT_EQ(row.Values.size(), 2);
}

TEST_F(LiveRunnerTest, DestroyingTheRunnerEndsARunningTask) {
    const LoggerConfig cfg = Outputs(QStringLiteral("Default"));
    Logger(cfg, 30);
    ASSERT_TRUE(m_Runner->Start(LiveTaskSetupFrom(cfg)));
    QThread::msleep(250);
    const auto closing = std::chrono::steady_clock::now();
    m_Runner.reset();
    EXPECT_LT(ElapsedMs(closing), 1000);
    EXPECT_EQ(ActivityFlags.load(), 0u);
    EXPECT_FALSE(theSerialPort.IsOpen());
}

} // namespace
