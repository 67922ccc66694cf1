// The worker runner: signals on the user-interface thread, a message that
// holds the worker until it is acknowledged, the activity bit cleared only
// after the result was taken over, and a prompt end when the program closes.
#include "activity.h"
#include "taskrunner.h"
#include "tasktestsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

using namespace corvina;
using namespace corvina::test;

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "tasks_runner_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

class RunnerTest : public SimulatedLogger {
protected:
    void SetUp() override {
        App();
        SimulatedLogger::SetUp();
        ActivityFlags = 0;
        m_Runner = std::make_unique<CTaskRunner>();
        QObject::connect(m_Runner.get(), &CTaskRunner::progress,
                         [this](int percent) { m_Events << QStringLiteral("%1").arg(percent); });
        QObject::connect(m_Runner.get(), &CTaskRunner::finished, [this](const TaskOutcome& o) {
            m_Events << QStringLiteral("finished");
            m_bBitSetInFinished = (ActivityFlags & ActivityBitOf(o.task)) != 0;
            ApplyTaskOutcome(m_Forms, o);
        });
        QObject::connect(m_Runner.get(), &CTaskRunner::refreshRequested, [this] {
            m_Events << QStringLiteral("refresh");
            m_bIdleAtRefresh = ActivityFlags == 0;
        });
    }
    void TearDown() override {
        m_Runner.reset();
        SimulatedLogger::TearDown();
        ActivityFlags = 0;
    }

    // As the program's starter does: the bit first, then the worker.
    bool Start(LoggerTaskKind task) {
        ActivityFlags |= ActivityBitOf(task);
        return m_Runner->Start(task, m_Forms);
    }

    // Runs the event loop until the runner is idle again.
    bool WaitUntilIdle(int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        QTimer tick; // wakes the wait below when no event comes
        tick.start(20);
        while (m_Runner->IsRunning() && timer.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        return !m_Runner->IsRunning();
    }

    std::unique_ptr<CTaskRunner> m_Runner;
    LoggerConfig m_Forms = LinkedConfig();
    QStringList m_Events;
    bool m_bBitSetInFinished = false;
    bool m_bIdleAtRefresh = false;
};

TEST_F(RunnerTest, RetrieveReportsProgressAndHandsItsResultOverBeforeTheBitClears) {
    m_Forms.System.Name = QStringLiteral("the user's own");
    ASSERT_TRUE(Start(LoggerTaskKind::Retrieve));
    EXPECT_FALSE(m_Runner->Start(LoggerTaskKind::Send, m_Forms)) << "a second task started";
    ASSERT_TRUE(WaitUntilIdle(15000));
    EXPECT_EQ(m_Events.join(QLatin1Char(' ')),
              QStringLiteral("3 5 10 20 40 47 54 59 66 70 75 80 90 95 100 0 finished refresh"));
    EXPECT_TRUE(m_bBitSetInFinished);
    EXPECT_TRUE(m_bIdleAtRefresh);
    EXPECT_EQ(m_Forms.System.SN, m_Sim.Config().System.SN);
    EXPECT_EQ(m_Forms.System.Name, QString());
    EXPECT_EQ(m_Forms.Link.PortName, QStringLiteral("COM%1").arg(kSimPort));
}

TEST_F(RunnerTest, WorkerWaitsUntilTheMessageIsClosed) {
    m_Forms.Link.PortName = QStringLiteral("COM%1").arg(kMissingPort);
    m_Forms.System.Serial1 = QStringLiteral("38400");
    QObject::connect(m_Runner.get(), &CTaskRunner::errorMessage,
                     [this](const QString& caption, const QString& text) {
                         m_Events << caption + QLatin1Char(':') + text;
                         // A modal box runs its own event loop for as long as it is open.
                         QEventLoop box;
                         QTimer::singleShot(300, &box, &QEventLoop::quit);
                         box.exec();
                         m_Events << QStringLiteral("closed");
                         EXPECT_NE(ActivityFlags.load(), 0u);
                     });
    ASSERT_TRUE(Start(LoggerTaskKind::Send));
    ASSERT_TRUE(WaitUntilIdle(5000));
    EXPECT_EQ(m_Events.join(QLatin1Char('|')),
              QStringLiteral("Error Message:Communication Error. Check PC baud rate setting, "
                             "please.|closed|finished"))
        << "the send asks for no refresh";
    EXPECT_EQ(ActivityFlags.load(), 0u);
    EXPECT_EQ(m_Forms.Link.PortSpeed, QStringLiteral("38400"));
}

TEST_F(RunnerTest, ClosingTheProgramEndsARunningTaskPromptly) {
    m_Sim.SetFaults({.silent = true});
    ASSERT_TRUE(Start(LoggerTaskKind::Retrieve));
    QThread::msleep(600);
    QElapsedTimer timer;
    timer.start();
    m_Runner.reset();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(theSerialPort.IsOpen());
    EXPECT_EQ(ActivityFlags.load(), 0u);
}

TEST(ApplyOutcomeTest, TakesTheLoggersPartAndKeepsThisPcsChoices) {
    LoggerConfig forms;
    ResetToDefaults(forms);
    forms.Link.PortName = QStringLiteral("COM3");
    forms.Link.PortSpeed = QStringLiteral("115200");
    forms.Link.SetSystemTime = 1;
    forms.Sensors[0].Name = QStringLiteral("PT100");
    forms.PortPresence[3] = 1;

    TaskOutcome retrieved;
    retrieved.task = LoggerTaskKind::Retrieve;
    retrieved.config.System.Name = QStringLiteral("Hut 4");
    retrieved.config.Link.DeviceModel = QStringLiteral("Kettering");
    retrieved.config.Link.PortName = QStringLiteral("COM9");
    LoggerConfig after = forms;
    ApplyTaskOutcome(after, retrieved);
    EXPECT_EQ(after.System.Name, QStringLiteral("Hut 4"));
    EXPECT_EQ(after.Link.DeviceModel, QStringLiteral("Kettering"));
    EXPECT_EQ(after.Link.PortName, QStringLiteral("COM3"));
    EXPECT_EQ(after.Link.PortSpeed, QStringLiteral("115200"));
    EXPECT_EQ(after.Link.SetSystemTime, 1);
    EXPECT_EQ(after.Sensors[0].Name, QStringLiteral("PT100"));
    EXPECT_EQ(after.PortPresence[3], 1);

    TaskOutcome sent;
    sent.task = LoggerTaskKind::Send;
    sent.config.Link.PortSpeed = QStringLiteral("9600");
    after = forms;
    ApplyTaskOutcome(after, sent);
    EXPECT_EQ(after.Link.PortSpeed, QStringLiteral("9600"));
    EXPECT_EQ(after.System.Name, forms.System.Name);

    // An abandoned or failed retrieve leaves the user's configuration alone;
    // a reset's answer only names what the logger changed.
    for (int result : {-1, int(kResultNoResponse), int(kResultPortBusy)}) {
        retrieved.result = result;
        after = forms;
        ApplyTaskOutcome(after, retrieved);
        EXPECT_EQ(after.System.Name, forms.System.Name) << result;
    }
    TaskOutcome reset = retrieved;
    reset.task = LoggerTaskKind::Default;
    reset.result = int(kResultNoResponse);
    after = forms;
    ApplyTaskOutcome(after, reset);
    EXPECT_EQ(after.System.Name, QStringLiteral("Hut 4"));
}

} // namespace
