// The program runs the logger tasks: Send and Retrieve on a form start them
// against the simulated logger, the progress bar of the visible form moves,
// a second click while one runs does nothing, and failures end in a message
// box.
#include "activity.h"
#include "apptestfixture.h"
#include "linkpanel.h"
#include "loggersim.h"
#include "simanswers.h"
#include "view.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

namespace corvina {

namespace {
constexpr int kSimPort = 7;
}

class TestProgramTasks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_ports.isValid());
        qputenv("CORVINASETUP_PORTS", m_ports.path().toLocal8Bit());
    }
    void init() {
        LoggerConfig logger = SimFactoryConfig();
        logger.System.Name = QStringLiteral("Hut 4");
        logger.Analog[0].Measure = 1;
        m_sim.SetConfig(logger);
        QString error;
        QVERIFY2(m_sim.Start(kSimPort, &error), qPrintable(error));
        m_fx = std::make_unique<AppFixture>();
        QVERIFY(m_fx->Start());
    }
    void cleanup() {
        m_fx.reset();
        m_sim.Stop();
    }

    void retrieveFromAFormFillsTheFormsOnce();
    void sendFromAnotherFormWritesTheModel();
    void failureShowsTheErrorMessage();

private:
    CConfigFormView* Form() const {
        return static_cast<CConfigFormView*>(m_fx->Frame()->GetActiveView());
    }
    void ChoosePort(const QString& port) {
        auto* combo = Form()->Item<QComboBox>(IDC_PORT);
        combo->setEditText(port);
    }
    void Click(int id) { QTest::mouseClick(Form()->Item<QPushButton>(id), Qt::LeftButton); }
    // Every value the visible form's progress bar takes.
    void RecordProgress() {
        m_progress.clear();
        connect(Form()->Progress(), &QProgressBar::valueChanged, this,
                [this](int v) { m_progress << v; });
    }

    QTemporaryDir m_ports;
    LoggerSim m_sim;
    std::unique_ptr<AppFixture> m_fx;
    QList<int> m_progress;
};

void TestProgramTasks::retrieveFromAFormFillsTheFormsOnce() {
    ChoosePort(QStringLiteral("COM%1").arg(kSimPort));
    RecordProgress();
    Click(Form()->LinkIds().retrieve);
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivityRetrieve));
    Click(Form()->LinkIds().retrieve);
    Click(Form()->LinkIds().send);
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivityRetrieve));

    QTRY_COMPARE_WITH_TIMEOUT(ActivityFlags.load(), 0u, 15000);
    QVERIFY2(m_progress.contains(40) && m_progress.contains(90),
             qPrintable(QString::number(m_progress.size())));
    QTRY_COMPARE(Form()->Progress()->value(), 0);
    QCOMPARE(theConfig.System.Name, QStringLiteral("Hut 4"));
    QCOMPARE(theConfig.Link.PortName, QStringLiteral("COM%1").arg(kSimPort));
    QCOMPARE(m_sim.ReceivedCommands().count("Service\r"), 1);
    QCOMPARE(m_sim.ReceivedCommands().count("?\r"), 1);
    QVERIFY(m_fx->messages.empty());
}

void TestProgramTasks::sendFromAnotherFormWritesTheModel() {
    // A full send is long by design; this one runs on a compressed clock.
    m_fx->Frame()->TaskRunner().SetPacing({{2, 0, 20, 0, 0}, 2});
    // The system form shows these once it is switched to, and stores them
    // back before the send.
    theConfig.System.MeasInterval = 123;
    theConfig.System.Serial1 = QStringLiteral("57600");
    m_fx->Frame()->SwitchView(7);
    ChoosePort(QStringLiteral("COM%1").arg(kSimPort));
    RecordProgress();
    Click(Form()->LinkIds().send);
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivitySend));
    Click(Form()->LinkIds().send);
    Click(Form()->LinkIds().retrieve);

    QTRY_COMPARE_WITH_TIMEOUT(ActivityFlags.load(), 0u, 15000);
    QVERIFY(m_progress.contains(50));
    QCOMPARE(m_progress.last(), 0);
    QCOMPARE(m_sim.Config().System.MeasInterval, 123);
    QCOMPARE(m_sim.ReceivedCommands().count("Service\r"), 1);
    QCOMPARE(m_sim.SaveCount(), 2);
    QCOMPARE(theConfig.Link.PortSpeed, QStringLiteral("57600"));
    QVERIFY(m_fx->messages.empty());
}

void TestProgramTasks::failureShowsTheErrorMessage() {
    ChoosePort(QStringLiteral("COM200"));
    Click(Form()->LinkIds().retrieve);
    QTRY_COMPARE_WITH_TIMEOUT(ActivityFlags.load(), 0u, 5000);
    QCOMPARE(m_fx->messages.size(), size_t(1));
    QCOMPARE(m_fx->messages[0].caption, QStringLiteral("Error Message"));
    QCOMPARE(m_fx->messages[0].text,
             QStringLiteral("Communication Error. Check PC baud rate setting, please."));
    QCOMPARE(m_fx->messages[0].icon, MessageIcon::Error);
}

} // namespace corvina

QTEST_MAIN(corvina::TestProgramTasks)
#include "tst_programtasks.moc"
