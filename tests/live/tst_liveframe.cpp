// The live form in the program: it listens on the port stored from another
// form's link panel, a switch to another form stops it with one notification,
// and closing the program while it runs ends it at once.
#include "activity.h"
#include "apptestfixture.h"
#include "linkpanel.h"
#include "liveview.h"
#include "loggersim.h"
#include "serialport.h"
#include "simanswers.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>

namespace corvina {

namespace {
constexpr int kSimPort = 7;
}

class TestLiveFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_ports.isValid());
        qputenv("CORVINASETUP_PORTS", m_ports.path().toLocal8Bit());
    }
    void init() {
        LoggerConfig logger = SimFactoryConfig();
        logger.Outputs[0].Input = QStringLiteral("A1_PT100");
        logger.Outputs[0].Alias = QStringLiteral("Temp");
        m_sim.SetConfig(logger);
        QString error;
        QVERIFY2(m_sim.Start(kSimPort, &error), qPrintable(error));
        m_sim.StartLive(30);
        m_fx = std::make_unique<AppFixture>();
        QVERIFY(m_fx->Start());
        CMainFrame* f = m_fx->Frame();
        f->Config().Outputs = logger.Outputs;
        f->Config().System.DataFormat = logger.System.DataFormat;
        // The port is chosen on a configuration form; the switch stores it.
        f->GetActiveView()->Item<QComboBox>(IDC_PORT)->setEditText(
            QStringLiteral("COM%1").arg(kSimPort));
        f->GetActiveView()->Item<QComboBox>(IDC_SPEED)->setEditText(QStringLiteral("115200"));
        f->SwitchView(9);
        QVERIFY(Live());
    }
    void cleanup() {
        m_fx.reset();
        m_sim.Stop();
    }

    void switchingAwayStopsTheTaskWithOneNotification();
    void closingTheProgramEndsARunningTask();

private:
    CLiveView* Live() const { return qobject_cast<CLiveView*>(m_fx->Frame()->GetActiveView()); }
    void StartAndWaitForRows() {
        QTest::mouseClick(Live()->Item<QPushButton>(IDC_LIVE_START), Qt::LeftButton);
        QCOMPARE(ActivityFlags.load(), uint32_t(kActivityLive));
        QTRY_VERIFY_WITH_TIMEOUT(Live()->Model()->rowCount() >= 2, 5000);
        QCOMPARE(Live()->Model()->Captions(), QStringList({"Date", "Time", "Temp"}));
    }
    int Notifications() const {
        int n = 0;
        for (const auto& m : m_fx->messages)
            n += m.text == u"LiveView Stopped";
        return n;
    }

    QTemporaryDir m_ports;
    LoggerSim m_sim;
    std::unique_ptr<AppFixture> m_fx;
};

void TestLiveFrame::switchingAwayStopsTheTaskWithOneNotification() {
    StartAndWaitForRows();
    CLiveView* live = Live();
    m_fx->Frame()->SwitchView(5);
    QCOMPARE(Notifications(), 1);
    QCOMPARE(ActivityFlags.load(), 0u);
    QVERIFY(!theSerialPort.IsOpen());
    QCOMPARE(live->Model()->rowCount(), 0);
    m_fx->Frame()->SwitchView(2);
    m_fx->Frame()->SwitchView(9);
    QCOMPARE(Notifications(), 1);
    QCOMPARE(m_fx->messages.size(), size_t(1));
}

void TestLiveFrame::closingTheProgramEndsARunningTask() {
    StartAndWaitForRows();
    QElapsedTimer timer;
    timer.start();
    m_fx.reset();
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(ActivityFlags.load(), 0u);
    QVERIFY(!theSerialPort.IsOpen());
}

} // namespace corvina

QTEST_MAIN(corvina::TestLiveFrame)
#include "tst_liveframe.moc"
