// The live form: its columns follow the output channels, the rows of the
// simulated logger appear newest on top, Start and Stop drive the task, and
// an update stops a running task with its notification.
#include "activity.h"
#include "formhost.h"
#include "liveview.h"
#include "loggersim.h"
#include "messagebox.h"
#include "serialport.h"
#include "simanswers.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace corvina;

namespace {

constexpr int kSimPort = 7;

class TestHost : public CFormHost {
public:
    LoggerConfig cfg;
    CView* active = nullptr;
    LoggerConfig& Config() override { return cfg; }
    CView* GetActiveView() const override { return active; }
    void StartRetrieveTask() override {}
    void StartSendTask() override {}
    void StartDefaultTask() override {}
};

void UseOutput(LoggerConfig& cfg, int k, const QString& alias, Flag min = 0, Flag max = 0,
               Flag sdev = 0) {
    cfg.Outputs[k].Input = QStringLiteral("A1_X");
    cfg.Outputs[k].Alias = alias;
    cfg.Outputs[k].Min = min;
    cfg.Outputs[k].Max = max;
    cfg.Outputs[k].Sdev = sdev;
}

} // namespace

class TestLiveView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void templateControls();
    void columnsFollowTheOutputs_data();
    void columnsFollowTheOutputs();
    void rowsOfTheLoggerNewestOnTop();
    void startWhileAnotherTaskRunsDoesNothing();
    void updateStopsARunningTaskWithItsNotification();
    void portFailureShowsItsMessageAndFreesTheLink();
    void closingTheFormEndsTheTask();
    void textLineShowsTheLastLineAndLoadsTheUnsplitText();

private:
    void Click(int id) { QTest::mouseClick(m_view->Item<QPushButton>(id), Qt::LeftButton); }
    QStringList Headers() const { return m_view->Model()->Captions(); }
    void LoggerWithOutputs(int intervalMs) {
        LoggerConfig logger = SimFactoryConfig();
        logger.Outputs = m_host.cfg.Outputs;
        logger.System.DataFormat = m_host.cfg.System.DataFormat;
        m_sim.SetConfig(logger);
        m_sim.StartLive(intervalMs);
    }

    QTemporaryDir m_ports;
    LoggerSim m_sim;
    TestHost m_host;
    std::unique_ptr<CLiveView> m_view;
    std::vector<MessageRecord> m_messages;
};

void TestLiveView::initTestCase() {
    QVERIFY(m_ports.isValid());
    qputenv("CORVINASETUP_PORTS", m_ports.path().toLocal8Bit());
}

void TestLiveView::init() {
    ActivityFlags = 0;
    ResetToDefaults(m_host.cfg);
    m_host.cfg.Link.PortName = QStringLiteral("COM%1").arg(kSimPort);
    m_host.cfg.Link.PortSpeed = QStringLiteral("115200");
    m_host.cfg.System.DataFormat = QStringLiteral("Default");
    QString error;
    QVERIFY2(m_sim.Start(kSimPort, &error), qPrintable(error));
    m_messages.clear();
    SetMessageHook([this](const MessageRecord& m) { m_messages.push_back(m); });
    m_view = std::make_unique<CLiveView>(&m_host);
    m_host.active = m_view.get();
    m_view->OnInitialUpdate();
}

void TestLiveView::cleanup() {
    m_view.reset();
    SetMessageHook(nullptr);
    m_sim.Stop();
    ActivityFlags = 0;
}

void TestLiveView::templateControls() {
    QVERIFY(m_view->Table());
    QVERIFY(m_view->Table()->showGrid());
    QCOMPARE(Headers(), QStringList({"Date", "Time"}));
    QCOMPARE(m_view->Item<QPushButton>(IDC_LIVE_START)->text(), QStringLiteral("Start"));
    QCOMPARE(m_view->Item<QPushButton>(IDC_LIVE_STOP)->text(), QStringLiteral("Stop"));
    QCOMPARE(m_view->Item<QPushButton>(IDC_LIVE_MEASURE)->text(), QStringLiteral("Measure"));
    QVERIFY(m_view->Item<QPushButton>(IDC_LIVE_START)->isEnabled());
    QVERIFY(m_view->Item<QPushButton>(IDC_LIVE_STOP)->isEnabled());
    QVERIFY(!m_view->Item<QPushButton>(IDC_LIVE_MEASURE)->isEnabled());
    QVERIFY(m_view->Item<QLineEdit>(IDC_LIVE_TEXT));
    const QHeaderView* header = m_view->Table()->horizontalHeader();
    QCOMPARE(header->sectionSize(0), 65);
    QCOMPARE(header->sectionSize(1), 60);
}

void TestLiveView::columnsFollowTheOutputs_data() {
    QTest::addColumn<LoggerConfig>("cfg");
    QTest::addColumn<QStringList>("data");
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    QTest::addRow("no output in use") << cfg << QStringList();

    LoggerConfig example = cfg;
    UseOutput(example, 0, QStringLiteral("Temp"), 0, 1);
    UseOutput(example, 1, QStringLiteral("Hum"));
    QTest::addRow("aliases and a maximum") << example << QStringList({"Temp", "Max", "Hum"});

    LoggerConfig unused = cfg;
    unused.Outputs[3].Min = 1;
    unused.Outputs[3].Alias = QStringLiteral("never shown");
    QTest::addRow("minimum of an unused output") << unused << QStringList({"Min"});

    LoggerConfig all = cfg;
    QStringList allColumns;
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        UseOutput(all, k, QStringLiteral("O%1").arg(k + 1), 1, 1, 1);
        allColumns << QStringLiteral("O%1").arg(k + 1) << "Min"
                   << "Max"
                   << "Stdev";
    }
    QTest::addRow("every output with every statistic") << all << allColumns;
}

void TestLiveView::columnsFollowTheOutputs() {
    QFETCH(LoggerConfig, cfg);
    QFETCH(QStringList, data);
    // Start from a full table: the update removes whatever was there.
    for (int k = 0; k < kOutputChannelsUsed; ++k)
        UseOutput(m_host.cfg, k, QStringLiteral("old"), 1, 1, 1);
    m_view->OnUpdate();
    QCOMPARE(m_view->Model()->columnCount(), 130);

    m_host.cfg.Outputs = cfg.Outputs;
    m_view->OnUpdate();
    QCOMPARE(Headers(), QStringList({"Date", "Time"}) + data);
    const QHeaderView* header = m_view->Table()->horizontalHeader();
    for (int c = 2; c < m_view->Model()->columnCount(); ++c) {
        QCOMPARE(header->sectionSize(c), 60);
        QCOMPARE(m_view->Model()
                         ->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole)
                         .value<Qt::Alignment>() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
    }
    QVERIFY(m_messages.empty());
}

void TestLiveView::rowsOfTheLoggerNewestOnTop() {
    UseOutput(m_host.cfg, 0, QStringLiteral("Temp"), 0, 1);
    UseOutput(m_host.cfg, 1, QStringLiteral("Hum"));
    m_host.cfg.System.DataFormat = QStringLiteral("CSV");
    LoggerWithOutputs(40);
    // Columns of the outputs as they are at the start, not as they were last shown.
    QCOMPARE(Headers(), QStringList({"Date", "Time"}));

    Click(IDC_LIVE_START);
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivityLive));
    QCOMPARE(Headers(), QStringList({"Date", "Time", "Temp", "Max", "Hum"}));
    Click(IDC_LIVE_START); // already running: nothing happens
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivityLive));

    CLiveTableModel* model = m_view->Model();
    QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() >= 4, 5000);
    Click(IDC_LIVE_STOP);
    QCOMPARE(ActivityFlags.load(), 0u);
    QVERIFY(!theSerialPort.IsOpen());

    // Rows received before the stop still come in with the next batch.
    QTest::qWait(CLiveView::kRowBatchMs * 2);
    const int rows = model->rowCount();
    QTest::qWait(400);
    QCOMPARE(model->rowCount(), rows);
    for (int r = 0; r < rows; ++r) {
        QVERIFY(QDate::fromString(model->Cell(r, 0), QStringLiteral("dd.MM.yyyy")).isValid());
        QVERIFY(QTime::fromString(model->Cell(r, 1), QStringLiteral("hh:mm:ss")).isValid());
        QCOMPARE(model->Cell(r, 3).toDouble() - model->Cell(r, 2).toDouble(), 5.0);
        QVERIFY(!model->Cell(r, 4).isEmpty());
        if (r > 0) {
            QVERIFY2(model->Cell(r - 1, 1) >= model->Cell(r, 1), "the newest row is on top");
        }
    }
    QVERIFY(m_messages.empty());

    // Starting again rebuilds the columns from the outputs now and empties the table.
    m_host.cfg.Outputs[1].Input = QStringLiteral("0");
    m_sim.StopLive();
    Click(IDC_LIVE_START);
    QCOMPARE(Headers(), QStringList({"Date", "Time", "Temp", "Max"}));
    QCOMPARE(model->rowCount(), 0);
    Click(IDC_LIVE_STOP);
}

void TestLiveView::startWhileAnotherTaskRunsDoesNothing() {
    UseOutput(m_host.cfg, 0, QStringLiteral("Temp"));
    LoggerWithOutputs(30);
    ActivityFlags = kActivitySend;
    Click(IDC_LIVE_START);
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivitySend));
    QVERIFY(!m_view->Runner().IsRunning());
    QCOMPARE(Headers(), QStringList({"Date", "Time"}));
    // Stop takes only its own bit.
    Click(IDC_LIVE_STOP);
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivitySend));
    QVERIFY(m_messages.empty());
}

void TestLiveView::updateStopsARunningTaskWithItsNotification() {
    UseOutput(m_host.cfg, 0, QStringLiteral("Temp"));
    LoggerWithOutputs(30);
    Click(IDC_LIVE_START);
    QTRY_VERIFY_WITH_TIMEOUT(m_view->Model()->rowCount() >= 1, 5000);

    m_view->OnUpdate();
    QCOMPARE(m_messages.size(), size_t(1));
    QCOMPARE(m_messages[0].caption, QStringLiteral("Notification"));
    QCOMPARE(m_messages[0].text, QStringLiteral("LiveView Stopped"));
    QCOMPARE(m_messages[0].icon, MessageIcon::None);
    QCOMPARE(ActivityFlags.load(), 0u);
    QVERIFY(!theSerialPort.IsOpen());
    QCOMPARE(m_view->Model()->rowCount(), 0);
    QCOMPARE(Headers(), QStringList({"Date", "Time", "Temp"}));

    // Rows the task received before it stopped belong to the emptied table's
    // past: the update's emptying wins over them.
    QTest::qWait(CLiveView::kRowBatchMs * 2);
    m_view->OnUpdate();
    QCOMPARE(m_view->Model()->rowCount(), 0);
    QCOMPARE(m_messages.size(), size_t(1)); // no task runs: no notification
}

void TestLiveView::portFailureShowsItsMessageAndFreesTheLink() {
    UseOutput(m_host.cfg, 0, QStringLiteral("Temp"));
    m_host.cfg.Link.PortName.clear(); // no port chosen
    Click(IDC_LIVE_START);
    QTRY_VERIFY_WITH_TIMEOUT(!m_view->Runner().IsRunning(), 5000);
    QCOMPARE(m_messages.size(), size_t(1));
    QCOMPARE(m_messages[0].caption, QStringLiteral("Error Message"));
    QCOMPARE(m_messages[0].text,
             QStringLiteral("Communication Error. Check PC baud rate setting, please."));
    QCOMPARE(m_messages[0].icon, MessageIcon::Error);
    QCOMPARE(ActivityFlags.load(), 0u);
    QCOMPARE(Headers(), QStringList({"Date", "Time", "Temp"}));
    QCOMPARE(m_view->Model()->rowCount(), 0);
}

void TestLiveView::closingTheFormEndsTheTask() {
    UseOutput(m_host.cfg, 0, QStringLiteral("Temp"));
    LoggerWithOutputs(30);
    Click(IDC_LIVE_START);
    QTRY_VERIFY_WITH_TIMEOUT(m_view->Model()->rowCount() >= 1, 5000);
    QElapsedTimer timer;
    timer.start();
    m_view.reset();
    QVERIFY(timer.elapsed() < 1000);
    QCOMPARE(ActivityFlags.load(), 0u);
    QVERIFY(!theSerialPort.IsOpen());
    QVERIFY(m_messages.empty());
}

void TestLiveView::textLineShowsTheLastLineAndLoadsTheUnsplitText() {
    UseOutput(m_host.cfg, 0, QStringLiteral("Temp"));
    LoggerWithOutputs(30);
    auto* text = m_view->Item<QLineEdit>(IDC_LIVE_TEXT);
    Click(IDC_LIVE_START);
    QTRY_VERIFY_WITH_TIMEOUT(m_view->Model()->rowCount() >= 2, 5000);
    Click(IDC_LIVE_STOP);
    QTest::qWait(CLiveView::kRowBatchMs * 2);
    const QString shown = text->text();
    QVERIFY(ParseLiveRow(shown, ' ', 1).has_value());
    QCOMPARE(shown.section(u' ', 0, 1),
             m_view->Model()->Cell(0, 0) + QLatin1Char(' ') + m_view->Model()->Cell(0, 1));

    // Storing the text line leaves the received stream alone.
    text->setText(QStringLiteral("typed"));
    m_view->UpdateData(true);
    QCOMPARE(m_view->LiveText(), QStringLiteral("typed"));
    m_view->UpdateData(false);
    QCOMPARE(text->text(), QStringLiteral("typed"));
}

QTEST_MAIN(TestLiveView)
#include "tst_liveview.moc"
