// Retrieve and reset to defaults against the simulated logger: what goes on
// the wire, what ends up in the model, and every way they fail.
#include "configscript.h"
#include "simanswers.h"
#include "tasktestsupport.h"

#include <QTimeZone>

using namespace corvina;
using namespace corvina::test;

namespace {

const QList<QByteArray> kHandshake = {"\r", "Exit\r", "Service\r"};

// A logger configuration that differs from the defaults in every section.
LoggerConfig DistinctLoggerConfig() {
    LoggerConfig cfg = SimFactoryConfig();
    cfg.System.Name = QStringLiteral("Hut 4");
    cfg.System.MeasInterval = 60;
    cfg.System.LogInterval = 600;
    cfg.System.RepInterval = 3600;
    cfg.System.Vref = 2499.5f;
    cfg.System.Serial1 = QStringLiteral("57600");
    cfg.System.DataFormat = QStringLiteral("CSV");
    cfg.Analog[2] = {1,
                     0,
                     1,
                     QStringLiteral("2500"),
                     QStringLiteral("BIP"),
                     QStringLiteral("PT100"),
                     QStringLiteral("P3"),
                     QStringLiteral("O5")};
    cfg.Analog[11].Range = QStringLiteral("625");
    cfg.Analog[11].Polarity = QStringLiteral("UNIP");
    cfg.Digital[1].Type = QStringLiteral("COUNT");
    cfg.Serial[0].Driver = QStringLiteral("SDI12");
    cfg.Outputs[4].Input = QStringLiteral("A3_PT100");
    cfg.Outputs[4].Alias = QStringLiteral("Air");
    cfg.Polys[2] = {-200.0f, 0.5f, 0.0f, 0.0f};
    cfg.Ews[0].Type = QStringLiteral("MORE");
    cfg.SmsNumber[0] = QStringLiteral("+4912345");
    cfg.Modem.APN = QStringLiteral("internet.example");
    cfg.Modem.ModemInterval = 6.0f;
    return cfg;
}

class RetrieveTest : public SimulatedLogger {
protected:
    void SetUp() override {
        SimulatedLogger::SetUp();
        m_Sim.SetConfig(DistinctLoggerConfig());
        m_Sim.SetClock(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7)));
    }
};

TEST_F(RetrieveTest, FillsTheModelWithWhatTheLoggerHolds) {
    LoggerConfig start = LinkedConfig();
    start.System.Name = QStringLiteral("the user's own");
    const TaskOutcome outcome = Run(LoggerTaskKind::Retrieve, start);
    ASSERT_EQ(outcome.result, kResultOk);
    EXPECT_TRUE(m_Host.Messages().empty());

    const LoggerConfig& got = outcome.config;
    EXPECT_EQ(EncodeConfigScript(got).bytes, EncodeConfigScript(DistinctLoggerConfig()).bytes);
    EXPECT_EQ(got.System.SN, QStringLiteral("12340612"));
    EXPECT_EQ(got.Link.DeviceModel, QStringLiteral("Kettering")); // model code "06"
    EXPECT_TRUE(got.System.Version.contains(QStringLiteral("2.41")));
    EXPECT_EQ(got.System.DateDay + "." + got.System.DateMonth + "." + got.System.DateYear,
              QStringLiteral("05.03.2024"));
    EXPECT_EQ(got.System.TimeHour, QStringLiteral("09"));
    EXPECT_EQ(got.Analog[2].Sensor, QStringLiteral("PT100"));
    EXPECT_EQ(got.Drivers[1].Id, 10);
    EXPECT_EQ(got.Drivers[1].Kind, 1);
    EXPECT_EQ(got.Drivers[1].Name, QStringLiteral("SDI12"));
    EXPECT_EQ(got.Drivers[13].Name, QStringLiteral("WaterTemp"));
    EXPECT_EQ(got.Drivers[14].Id, 0);

    const QList<QByteArray> queries = {
        "?\r",        "SerialDriver?\r", "Config1?\r",      "Config2?\r", "Config3?\r",
        "Config4?\r", "Config5?\r",      "EarlyWarning?\r", "Modem?\r",   "System?\r",
    };
    EXPECT_EQ(Wire(), kHandshake + queries + QList<QByteArray>{"Exit\r"});
    EXPECT_EQ(m_Host.Progress(),
              (std::vector<int>{3, 5, 10, 20, 40, 47, 54, 59, 66, 70, 75, 80, 90, 95, 100, 0}));
    EXPECT_FALSE(theSerialPort.IsOpen());
}

struct FailureCase {
    const char* name;
    SimFaults faults;
    bool holdPort;
    const char* portName; // nullptr: the simulator's
    TaskPacing pacing;
    int result;
    const char* message;
    qsizetype commandsOnWire; // -1: not checked
};

class RetrieveFailureTest : public RetrieveTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(RetrieveFailureTest, ShowsItsMessageAndKeepsTheUsersConfiguration) {
    const FailureCase& c = GetParam();
    m_Sim.SetFaults(c.faults);
    std::optional<PortHolder> holder;
    if (c.holdPort) {
        holder.emplace(kSimPort);
        ASSERT_TRUE(holder->Holding());
    }
    LoggerConfig start = LinkedConfig();
    if (c.portName)
        start.Link.PortName = QString::fromLatin1(c.portName);
    start.System.Name = QStringLiteral("the user's own");
    start.System.RS485Address = QStringLiteral("7");

    const TaskOutcome outcome = Run(LoggerTaskKind::Retrieve, start, c.pacing);
    EXPECT_EQ(outcome.result, c.result);
    const std::vector<ShownMessage> messages = m_Host.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, QStringLiteral("Error Message"));
    EXPECT_EQ(messages[0].text, QString::fromLatin1(c.message));

    // The task's copy holds the starting values; the forms' configuration
    // does not take them over.
    LoggerConfig forms = start;
    ApplyTaskOutcome(forms, outcome);
    EXPECT_EQ(forms.System.Name, QStringLiteral("the user's own"));
    EXPECT_EQ(outcome.config.System.Name, QString());
    EXPECT_EQ(outcome.config.System.Vref, 0.0f);
    EXPECT_EQ(outcome.config.Polys[0].A1, 0.0f);
    EXPECT_EQ(outcome.config.Serial[0].Driver, QStringLiteral("0"));
    EXPECT_EQ(outcome.config.System.RS485Address, QStringLiteral("7"));
    if (c.commandsOnWire >= 0) {
        m_Sim.WaitForCommands(c.commandsOnWire, 200);
        EXPECT_EQ(Wire().size(), c.commandsOnWire) << "Exit or a query went out after a failure";
    }
    EXPECT_FALSE(theSerialPort.IsOpen()) << "a failed task keeps the port from other programs";
}

const FailureCase kFailures[] = {
    {"SilentLogger",
     {.silent = true},
     false,
     nullptr,
     kProtocolPacing,
     kResultNoResponse,
     "No Response from Datalogger",
     5},
    {"SilentAfterTheHandshake",
     {.stopAfter = 3},
     false,
     nullptr,
     kQuickSilentPacing,
     kResultNoResponse,
     "No Response from Datalogger",
     6},
    {"AnswersWithoutTheExpectedText",
     {.oversizeBytes = 12000},
     false,
     nullptr,
     kProtocolPacing,
     kResultNotExpected,
     "No Expected  Response from Datalogger",
     5},
    {"PortHeldByAnotherProcess",
     {},
     true,
     nullptr,
     kProtocolPacing,
     kResultPortBusy,
     "COM port used by another application",
     0},
    {"PortWithoutDevice",
     {},
     false,
     "COM200",
     kProtocolPacing,
     kResultPortFailure,
     "Communication Error. Check PC baud rate setting, please.",
     0},
    {"NoPortChosen",
     {},
     false,
     "",
     kProtocolPacing,
     kResultPortFailure,
     "Communication Error. Check PC baud rate setting, please.",
     0},
};
INSTANTIATE_TEST_SUITE_P(Failures, RetrieveFailureTest, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// --- reset to defaults -------------------------------------------------------

class ResetTest : public RetrieveTest {};

TEST_F(ResetTest, TellsTheLoggerAndChangesOnlyWhatTheAnswerNames) {
    const LoggerConfig start = LinkedConfig();
    const TaskOutcome outcome = Run(LoggerTaskKind::Default, start);
    ASSERT_EQ(outcome.result, kResultOk);
    EXPECT_TRUE(m_Host.Messages().empty());
    const QList<QByteArray> reset = {"SetDefaultConfig\r", "Exit\r"};
    EXPECT_EQ(Wire(), kHandshake + reset);
    EXPECT_EQ(m_Sim.Config().System.Name, QString()) << "the logger did not reset";
    EXPECT_EQ(EncodeConfigScript(outcome.config).bytes, EncodeConfigScript(start).bytes);
    EXPECT_EQ(m_Host.Progress(), (std::vector<int>{3, 10, 20, 50, 70, 90, 100, 0}));
    EXPECT_FALSE(theSerialPort.IsOpen());
}

TEST_F(ResetTest, SilentLoggerIsNoResponseAndNothingFollowsTheHandshake) {
    m_Sim.SetFaults({.silent = true});
    const TaskOutcome outcome = Run(LoggerTaskKind::Default, LinkedConfig());
    EXPECT_EQ(outcome.result, kResultNoResponse);
    ASSERT_EQ(m_Host.Messages().size(), 1u);
    EXPECT_EQ(m_Host.Messages()[0].text, QStringLiteral("No Response from Datalogger"));
    EXPECT_FALSE(Wire().contains("SetDefaultConfig\r"));
    EXPECT_EQ(Wire().count("Exit\r"), 1);
    EXPECT_EQ(m_Sim.Config().System.Name, QStringLiteral("Hut 4"));
}

TEST_F(ResetTest, PortHeldByAnotherProcess) {
    PortHolder holder(kSimPort);
    ASSERT_TRUE(holder.Holding());
    const TaskOutcome outcome = Run(LoggerTaskKind::Default, LinkedConfig());
    EXPECT_EQ(outcome.result, kResultPortBusy);
    ASSERT_EQ(m_Host.Messages().size(), 1u);
    EXPECT_EQ(m_Host.Messages()[0].text, QStringLiteral("COM port used by another application"));
}

} // namespace
