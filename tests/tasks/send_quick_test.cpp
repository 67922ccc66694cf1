// The send task's choices and failure paths. A logger that stops answering
// makes every line wait for three attempts; these tests compress the
// protocol's clock so that such a send takes seconds, not minutes. The
// protocol's own pacing is checked by the wire test and the benchmark.
#include "scopednumericlocale.h"
#include "tasktestsupport.h"

using namespace corvina;
using namespace corvina::test;

namespace {

class SendTest : public SimulatedLogger {
protected:
    // The lines between the last SMS number and the Serial2 line.
    QList<QByteArray> ClockLines() const {
        const QList<QByteArray> wire = Wire();
        const qsizetype sms = wire.indexOf(SmsLinesOnWire(m_Cfg).last());
        qsizetype serial2 = -1;
        for (qsizetype i = 0; i < wire.size(); ++i)
            if (wire[i].startsWith("Serial2 "))
                serial2 = i;
        if (sms < 0 || serial2 < sms)
            return {"<no SMS or Serial2 line>"};
        return wire.mid(sms + 1, serial2 - sms - 1);
    }

    LoggerConfig m_Cfg = LinkedConfig();
};

struct ClockCase {
    const char* name;
    Flag setTime;
    Flag setSystemTime;
    const char* dateYear;
    QList<QByteArray> lines;
};

class SendClockTest : public SendTest, public testing::WithParamInterface<ClockCase> {};

TEST_P(SendClockTest, SendsTheFormsDateAndTimeOrThePcClockOrNeither) {
    const ClockCase& c = GetParam();
    m_Cfg.System.SetTime = c.setTime;
    m_Cfg.Link.SetSystemTime = c.setSystemTime;
    m_Cfg.System.DateDay = QStringLiteral("1");
    m_Cfg.System.DateMonth = QStringLiteral("2");
    m_Cfg.System.DateYear = QString::fromLatin1(c.dateYear);
    m_Cfg.System.TimeHour = QStringLiteral("13");
    m_Cfg.System.TimeMinute = QStringLiteral("4");
    m_Cfg.System.TimeSecond = QStringLiteral("5");
    m_Host.SetClock(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7)));

    const TaskOutcome outcome = Run(LoggerTaskKind::Send, m_Cfg, kQuickPacing);
    EXPECT_EQ(outcome.result, kResultOk);
    EXPECT_TRUE(outcome.noResponseList.isEmpty()) << outcome.noResponseList.toStdString();
    EXPECT_EQ(ClockLines(), c.lines);
}

const ClockCase kClockCases[] = {
    {"FormFieldsWinOverThePcClock", 1, 1, "2025", {"Date 1.2.2025\r\n", "Time 13:4:5\r\n"}},
    {"FormFieldsWithoutSystemTime", 1, 0, "2025", {"Date 1.2.2025\r\n", "Time 13:4:5\r\n"}},
    {"IncompleteFormDateTakesThePcDate", 1, 1, "", {"Date 5.3.2024\r", "Time 13:4:5\r\n"}},
    {"PcClockWithoutLeadingZeros", 0, 1, "2025", {"Date 5.3.2024\r", "Time 9:5:7\r"}},
    {"Neither", 0, 0, "2025", {}},
};
INSTANTIATE_TEST_SUITE_P(Clock, SendClockTest, testing::ValuesIn(kClockCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The logger reads numbers with a decimal point only; a desktop locale with a
// comma must not reach the wire.
TEST_F(SendTest, SendsTheSameLinesUnderACommaLocale) {
    m_Cfg.Modem.ModemInterval = 1.5f;
    m_Cfg.Polys[0] = {1.5f, -0.25f, 0.0f, 0.0f};
    const QList<QByteArray> inC = ConfigurationLinesOnWire(m_Cfg);
    ScopedNumericLocale locale;
    ASSERT_TRUE(locale.ok()) << kCommaLocaleMissing;

    const TaskOutcome outcome = Run(LoggerTaskKind::Send, m_Cfg, kQuickPacing);
    EXPECT_EQ(outcome.result, kResultOk);
    const QList<QByteArray> wire = Wire();
    for (const QByteArray& line : inC)
        EXPECT_TRUE(wire.contains(line)) << line.toStdString();
    for (const QByteArray& line :
         {QByteArray("ModemInterval 1.500\r"), QByteArray("p 1, 0=1.5, 1=-0.25, 2=0, 3=0\r")})
        EXPECT_TRUE(wire.contains(line)) << line.toStdString();
}

TEST_F(SendTest, LoggerSilentAfterTheHandshakeGetsEveryLineThreeTimesAndAllAreListed) {
    m_Sim.SetFaults({.stopAfter = 3});
    m_Cfg.System.MeasInterval = 60;
    const TaskOutcome outcome = Run(LoggerTaskKind::Send, m_Cfg, kQuickSilentPacing);
    EXPECT_EQ(outcome.result, kResultOk) << "each line sets the result back";

    // Every configuration line, the first SMS number, then the early-warning
    // switch and the last store at the new speed; never Serial2, which awaits nothing.
    QString expected;
    for (const QByteArray& line : ConfigurationLinesOnWire(m_Cfg) + QList<QByteArray>{"EWS 0\r\n"})
        expected += QString::fromLatin1(line);
    expected += QString::fromLatin1(SmsLinesOnWire(m_Cfg).first());
    expected += QStringLiteral("EWS 0\r\nSaveConfig\r");
    EXPECT_EQ(outcome.noResponseList, expected);
    EXPECT_TRUE(outcome.noResponseList.contains(QStringLiteral("MeasInterval 60\r")));

    const QList<QByteArray> wire = Wire();
    for (const QByteArray& line : ConfigurationLinesOnWire(m_Cfg).mid(1))
        EXPECT_EQ(wire.count(line), 3) << line.toStdString();
    EXPECT_EQ(wire.count(SmsLinesOnWire(m_Cfg)[0]), 3);
    EXPECT_FALSE(wire.contains(SmsLinesOnWire(m_Cfg)[1]));

    const std::vector<ShownMessage> messages = m_Host.Messages();
    ASSERT_EQ(messages.size(), 1u) << "no result message, only the list";
    EXPECT_EQ(messages[0].caption, QStringLiteral("Commands with no response"));
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("EWS 0\nName \nMeasInterval 60\n")))
        << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.endsWith(QStringLiteral("\nEWS 0\nSaveConfig")));
    EXPECT_EQ(outcome.config.Link.PortSpeed, m_Cfg.System.Serial1);
}

TEST_F(SendTest, LinesThatCannotBeBuiltAreNotSentCutButListed) {
    m_Cfg.System.Name = QStringLiteral("\u0141\u00f3d\u017a"); // no 8-bit form
    m_Cfg.Modem.EmailTo = QString(130, QLatin1Char('e'));      // over 127 characters
    m_Cfg.System.RepInterval = 1234567;                        // over its 19
    const TaskOutcome outcome = Run(LoggerTaskKind::Send, m_Cfg, kQuickPacing);
    EXPECT_EQ(outcome.result, kResultOk);
    const QString name = QStringLiteral("Name \u0141\u00f3d\u017a\r");
    const QString email = QStringLiteral("EmailTo ") + m_Cfg.Modem.EmailTo + QLatin1Char('\r');
    EXPECT_EQ(outcome.noResponseList, name + QStringLiteral("RepInterval 1234567\r") + email);
    for (const QByteArray& line : Wire()) {
        EXPECT_FALSE(line.startsWith("Name ")) << line.toStdString();
        EXPECT_FALSE(line.startsWith("RepInterval ")) << line.toStdString();
        EXPECT_FALSE(line.startsWith("EmailTo ")) << line.toStdString();
    }
    EXPECT_TRUE(Wire().contains("MeasInterval 0\r"));
    EXPECT_EQ(m_Sim.SaveCount(), 2);
}

struct SendFailureCase {
    const char* name;
    SimFaults faults;
    bool holdPort;
    const char* serial2;
    int result;
    const char* message;
    bool linesSent;
};

class SendFailureTest : public SendTest, public testing::WithParamInterface<SendFailureCase> {};

TEST_P(SendFailureTest, EndsWithItsMessageAndTheSpeedOfSerial1) {
    const SendFailureCase& c = GetParam();
    m_Sim.SetFaults(c.faults);
    std::optional<PortHolder> holder;
    if (c.holdPort) {
        holder.emplace(kSimPort);
        ASSERT_TRUE(holder->Holding());
    }
    m_Cfg.System.Serial1 = QStringLiteral("38400");
    m_Cfg.System.Serial2 = QString::fromLatin1(c.serial2);
    const TaskOutcome outcome = Run(LoggerTaskKind::Send, m_Cfg, kQuickSilentPacing);
    EXPECT_EQ(outcome.result, c.result);
    const std::vector<ShownMessage> messages = m_Host.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].caption, QStringLiteral("Error Message"));
    EXPECT_EQ(messages[0].text, QString::fromLatin1(c.message));
    EXPECT_EQ(Wire().contains("EWS 0\r"), c.linesSent);
    EXPECT_FALSE(Wire().contains("SaveConfig\r")) << "stored after a failure";
    EXPECT_EQ(outcome.config.Link.PortSpeed, QStringLiteral("38400"));
    EXPECT_FALSE(theSerialPort.IsOpen());
}

const SendFailureCase kSendFailures[] = {
    {"SilentLogger",
     {.silent = true},
     false,
     "115200",
     kResultNoResponse,
     "No Response from Datalogger",
     false},
    // Only the echo arrives while the task waits; the rest comes far too late.
    {"AnswersWithoutTheExpectedText",
     {.pieceBytes = 8, .piecePauseMs = 3000},
     false,
     "115200",
     kResultNotExpected,
     "No Expected Response from Datalogger",
     false},
    {"PortHeldByAnotherProcess",
     {},
     true,
     "115200",
     kResultPortBusy,
     "COM port used by another application",
     false},
    {"NewSpeedThePcCannotSet",
     {},
     false,
     "12345",
     kResultPortFailure,
     "Communication Error. Check PC baud rate setting, please.",
     true},
};
INSTANTIATE_TEST_SUITE_P(Failures, SendFailureTest, testing::ValuesIn(kSendFailures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
