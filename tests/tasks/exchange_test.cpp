// The command exchange: answers found by substring, retries, filtering, the
// bounded receive buffer, and the pieces the tasks build on.
#include "commandexchange.h"
#include "loggertasks.h"
#include "tasktestsupport.h"

#include <QElapsedTimer>

using namespace corvina;
using namespace corvina::test;

namespace {

// --- SendAndWait against the simulated logger -------------------------------

class ExchangeTest : public SimulatedLogger {
protected:
    void SetUp() override {
        SimulatedLogger::SetUp();
        m_Exchange.OpenTaskPort(QStringLiteral("COM%1").arg(kSimPort), QStringLiteral("115200"));
    }
    void TearDown() override {
        m_Port.Close();
        SimulatedLogger::TearDown();
    }
    int CountOnWire(const QByteArray& command) const { return int(Wire().count(command)); }

    CSerialPort m_Port;
    CCommandExchange m_Exchange{m_Port};
};

TEST_F(ExchangeTest, EmptyExpectedTextSucceedsAfterTheCommandWaitEvenWithoutAnAnswer) {
    m_Sim.SetFaults({.silent = true});
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(m_Exchange.SendAndWait("\r", "", 10), kResultOk);
    EXPECT_GE(timer.elapsed(), 45);
    EXPECT_LT(timer.elapsed(), 1000);
    ASSERT_TRUE(m_Sim.WaitForCommands(1, 1000));
    EXPECT_EQ(Wire(), QList<QByteArray>{"\r"});
}

TEST_F(ExchangeTest, SilentLoggerIsNoResponseAfterThreeAttemptsOfElevenReads) {
    m_Sim.SetFaults({.silent = true});
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(m_Exchange.SendAndWait("Service\r", "Service mode started", 10), kResultNoResponse);
    // 50 + 150 + 150 ms of waits and 33 reads of 100 ms each.
    EXPECT_GE(timer.elapsed(), 3600);
    EXPECT_LT(timer.elapsed(), 8000);
    EXPECT_EQ(CountOnWire("Service\r"), 3);
    EXPECT_EQ(m_Exchange.Statistics().emptyReads, 33);
}

TEST_F(ExchangeTest, AnswerWithoutTheExpectedTextIsToldFromNoAnswer) {
    // Outside service mode the logger only echoes a query.
    EXPECT_EQ(m_Exchange.SendAndWait("Config1?\r", "\r\nOK", 10), kResultNotExpected);
    EXPECT_EQ(CountOnWire("Config1?\r"), 3);
    EXPECT_TRUE(m_Exchange.ReceiveBuffer().Contains("Config1?"));
}

struct AnswerCase {
    const char* name;
    SimFaults faults;
    int readLimit;
};

class AnswerTest : public ExchangeTest, public testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerTest, IsFoundOnceItsLastPartArrivedWithOnlyTextBytesKept) {
    m_Sim.SetFaults(GetParam().faults);
    EXPECT_EQ(m_Exchange.SendAndWait("Service\r", "Service mode started", GetParam().readLimit),
              kResultOk);
    EXPECT_EQ(CountOnWire("Service\r"), 1) << "written again although it was answered";
    const QByteArrayView text = m_Exchange.ReceiveBuffer().Text();
    EXPECT_TRUE(text.startsWith("Service\r")) << text.toByteArray().toStdString();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE((byte >= 0x20 && byte <= 0x7E) || byte == '\r' || byte == '\n') << int(byte);
    }
}

const AnswerCase kAnswers[] = {
    {"AtOnce", {}, 10},
    {"InPiecesWithPauses", {.pieceBytes = 4, .piecePauseMs = 30}, 10},
    {"AfterAPause", {.delayMs = 400}, 10},
    {"WithBytesToDrop", {.garbageEvery = 2}, 10},
};
INSTANTIATE_TEST_SUITE_P(Answers, AnswerTest, testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeTest, AnswerLongerThanTheBufferStopsBeingKeptAndFails) {
    // 91 reads of 128 bytes are more than the buffer holds, fewer than the answer.
    m_Sim.SetFaults({.oversizeBytes = 12000});
    EXPECT_EQ(m_Exchange.SendAndWait("Service\r", "Service mode started", 90), kResultNotExpected);
    EXPECT_TRUE(m_Exchange.ReceiveBuffer().Overflowed());
    EXPECT_EQ(m_Exchange.ReceiveBuffer().Text().size(), kReceiveBufferSize - 1);
}

TEST_F(ExchangeTest, ExpectedTextBeforeTheBufferFilledUpStillCounts) {
    // The "?" answer is short; only filler after the expected text would not fit.
    ASSERT_EQ(m_Exchange.SendAndWait("Service\r", "Service mode started", 10), kResultOk);
    m_Sim.SetFaults({.oversizeBytes = 12000});
    EXPECT_EQ(m_Exchange.SendAndWait("Service\r", "Service", 90), kResultOk);
}

// --- the receive buffer -----------------------------------------------------

TEST(ReceiveBufferTest, KeepsPrintableTextCrAndLfOnly) {
    CReceiveBuffer buffer;
    const char bytes[] = {'O', '\0', 'K', '\t', '\r', '\n', char(0x7F), char(0xE9), ' ', '~'};
    buffer.AppendAnswerBytes(bytes, int(sizeof bytes));
    EXPECT_EQ(buffer.Text(), QByteArrayView("OK\r\n ~"));
    EXPECT_TRUE(buffer.Contains("OK"));
    EXPECT_TRUE(buffer.Contains(""));
    buffer.Clear(3000);
    EXPECT_TRUE(buffer.Text().isEmpty());
}

TEST(ReceiveBufferTest, HoldsAtMostItsSizeLessTheTerminatingZero) {
    CReceiveBuffer buffer;
    const QByteArray filler(kReceiveBufferSize + 500, 'x');
    buffer.AppendAnswerBytes(filler.constData(), int(filler.size()));
    EXPECT_EQ(buffer.Text().size(), kReceiveBufferSize - 1);
    EXPECT_TRUE(buffer.Overflowed());
    buffer.AppendAnswerBytes("OK", 2);
    EXPECT_FALSE(buffer.Contains("OK"));
    buffer.Clear();
    buffer.AppendAnswerBytes("OK", 2);
    EXPECT_TRUE(buffer.Contains("OK"));
    EXPECT_FALSE(buffer.Overflowed());
}

// --- line conversion and link settings ---------------------------------------

struct NarrowCase {
    const char* name;
    QString line;
    int bufferSize;
    std::optional<QByteArray> bytes;
};

class NarrowTextTest : public testing::TestWithParam<NarrowCase> {};

TEST_P(NarrowTextTest, ConvertsWholeLinesOrNone) {
    EXPECT_EQ(ToNarrowText(GetParam().line, GetParam().bufferSize), GetParam().bytes);
}

const NarrowCase kNarrowCases[] = {
    {"Plain", QStringLiteral("Name Hut\r"), 128, QByteArray("Name Hut\r")},
    {"Latin1", QStringLiteral("Name Caf\u00e9\r"), 128, QByteArray("Name Caf\xe9\r")},
    {"NoEightBitForm", QStringLiteral("Name \u0141\r"), 128, std::nullopt},
    {"NulWouldCutIt", QStringLiteral("Name a") + QChar(0) + QStringLiteral("b\r"), 128,
     std::nullopt},
    {"Fills127", QString(126, QLatin1Char('x')) + QLatin1Char('\r'), 128,
     QByteArray(126, 'x') + '\r'},
    {"Needs128", QString(127, QLatin1Char('x')) + QLatin1Char('\r'), 128, std::nullopt},
    {"NumberFitsItsBuffer", QStringLiteral("RepInterval 999999\r"), 20,
     QByteArray("RepInterval 999999\r")},
    {"NumberTooLongForItsBuffer", QStringLiteral("RepInterval 1000000\r"), 20, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Lines, NarrowTextTest, testing::ValuesIn(kNarrowCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LinkSettingsTest, PortNumberAndBitRateAreTheLeadingDigits) {
    const struct {
        const char* text;
        int port;
    } kPorts[] = {{"COM12", 12}, {"COM3", 3}, {"COM", 0}, {"", 0}, {"COMx", 0}, {"COM7a", 7}};
    for (const auto& c : kPorts)
        EXPECT_EQ(TaskPortNumber(QString::fromLatin1(c.text)), c.port) << c.text;
    EXPECT_EQ(TaskBaudRate(QStringLiteral("115200")), 115200u);
    EXPECT_EQ(TaskBaudRate(QStringLiteral("9600 bps")), 9600u);
    EXPECT_EQ(TaskBaudRate(QString()), 0u);
}

TEST(ResultMessageTest, OneTableForEveryTask) {
    using K = LoggerTaskKind;
    const struct {
        K task;
        int result;
        const char* message;
    } kCases[] = {
        {K::Retrieve, 0, ""},
        {K::Retrieve, 1, "No Response from Datalogger"},
        {K::Retrieve, 2, "No Expected  Response from Datalogger"},
        {K::Default, 2, "No Expected  Response from Datalogger"},
        {K::Send, 2, "No Expected Response from Datalogger"},
        {K::Send, 5, "COM port used by another application"},
        {K::Default, 6, "Communication Error. Check PC baud rate setting, please."},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(TaskResultMessage(c.task, c.result), QString::fromLatin1(c.message)) << c.result;
}

// --- the serial driver list ---------------------------------------------------

const QByteArray kEcho = "SerialDriver?\r\r\n"; // 16 characters

TEST(SerialDriverTableTest, ReadsOneEntryPerLineAfterTheEcho) {
    LoggerConfig cfg;
    FillSerialDriverTable(cfg, kEcho + "5,1,SDI12\r\n6,0,Temp\r\nOK\r\n");
    EXPECT_EQ(cfg.Drivers[0].Id, 5);
    EXPECT_EQ(cfg.Drivers[0].Kind, 1);
    EXPECT_EQ(cfg.Drivers[0].Name, QStringLiteral("SDI12"));
    EXPECT_EQ(cfg.Drivers[1].Id, 6);
    EXPECT_EQ(cfg.Drivers[1].Name, QStringLiteral("Temp"));
    EXPECT_EQ(cfg.Drivers[2].Id, 0) << "the closing OK is no entry";
}

TEST(SerialDriverTableTest, ShortLinesMakeNoEntryAndMissingPiecesReadEmpty) {
    LoggerConfig cfg;
    FillSerialDriverTable(cfg, kEcho + "\r\nOK\r\n17,1\r\n8,1,NoCr\n9,1,Ok\r\n");
    EXPECT_EQ(cfg.Drivers[0].Id, 17);
    EXPECT_EQ(cfg.Drivers[0].Kind, 0);
    EXPECT_EQ(cfg.Drivers[0].Name, QString());
    EXPECT_EQ(cfg.Drivers[1].Id, 8);
    EXPECT_EQ(cfg.Drivers[1].Name, QString());
    EXPECT_EQ(cfg.Drivers[2].Name, QStringLiteral("Ok"));
}

TEST(SerialDriverTableTest, KeepsLaterEntriesOfAnEarlierList) {
    LoggerConfig cfg;
    QByteArray eight = kEcho;
    for (int i = 1; i <= 8; ++i)
        eight += QByteArray::number(i) + ",1,D" + QByteArray::number(i) + "\r\n";
    FillSerialDriverTable(cfg, eight);
    FillSerialDriverTable(cfg, kEcho + "21,1,New\r\n22,0,Value\r\n");
    EXPECT_EQ(cfg.Drivers[0].Id, 21);
    EXPECT_EQ(cfg.Drivers[1].Id, 22);
    EXPECT_EQ(cfg.Drivers[2].Id, 3);
    EXPECT_EQ(cfg.Drivers[7].Name, QStringLiteral("D8"));
}

TEST(SerialDriverTableTest, NeverWritesPastTheTable) {
    LoggerConfig cfg;
    QByteArray answer = kEcho;
    for (int i = 1; i <= kSerialDrivers + 50; ++i)
        answer += QByteArray::number(i) + ",1,Driver\r\n";
    FillSerialDriverTable(cfg, answer);
    EXPECT_EQ(cfg.Drivers[kSerialDrivers - 1].Id, kSerialDrivers);
}

TEST(SerialDriverTableTest, AnswerShorterThanTheEchoFillsNothing) {
    LoggerConfig cfg;
    FillSerialDriverTable(cfg, "OK\r\n");
    EXPECT_EQ(cfg.Drivers[0].Id, 0);
}

} // namespace
