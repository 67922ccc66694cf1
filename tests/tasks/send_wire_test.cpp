// One whole send at the protocol's own pacing, checked line by line on the
// wire: the order, every terminator, the date and time from the system
// form, and the closing commands at the logger's new speed.
#include "simanswers.h"
#include "tasktestsupport.h"

using namespace corvina;
using namespace corvina::test;

namespace {

class SendWireTest : public SimulatedLogger {};

TEST_F(SendWireTest, SendsEveryLineInTheLoggersOrderAndStoresAtTheNewSpeed) {
    // The simulator ignores what arrives at another speed than its own, as a
    // real line would garble it.
    m_Sim.SetFaults({.checkSpeed = true});
    LoggerConfig cfg = LinkedConfig(QStringLiteral("115200"));
    cfg.System.Name = QStringLiteral("Hut 4");
    cfg.System.MeasInterval = 60;
    cfg.System.LogInterval = 300;
    cfg.System.RepInterval = 600;
    cfg.System.Serial1 = QStringLiteral("57600");
    cfg.System.Serial2 = QStringLiteral("9600");
    cfg.System.EWS = 1;
    cfg.Polys[15] = {1.5f, 2.0f, 0.0f, 0.0f};
    cfg.SmsNumber[0] = QStringLiteral("+4912345");
    cfg.SmsNumber[1] = QStringLiteral("+4967890");
    // The system form's date and time win over the PC clock.
    cfg.Link.SetSystemTime = 1;
    cfg.System.SetTime = 1;
    cfg.System.DateDay = QStringLiteral("1");
    cfg.System.DateMonth = QStringLiteral("2");
    cfg.System.DateYear = QStringLiteral("2025");
    cfg.System.TimeHour = QStringLiteral("13");
    cfg.System.TimeMinute = QStringLiteral("4");
    cfg.System.TimeSecond = QStringLiteral("5");

    const TaskOutcome outcome = Run(LoggerTaskKind::Send, cfg);
    EXPECT_EQ(outcome.result, kResultOk);
    EXPECT_TRUE(outcome.noResponseList.isEmpty()) << outcome.noResponseList.toStdString();
    EXPECT_TRUE(m_Host.Messages().empty());

    const QList<QByteArray> handshake = {"\r", "Exit\r", "Service\r"};
    const QList<QByteArray> closing = {"EWS 0\r\n"};
    const QList<QByteArray> clock = {"Date 1.2.2025\r\n", "Time 13:4:5\r\n", "Serial2 9600\r"};
    const QList<QByteArray> atNewSpeed = {"\r", "SaveConfig\r", "EWS 1\r\n",
                                          "\r", "SaveConfig\r", "Exit\r"};
    const QList<QByteArray> expected = handshake + ConfigurationLinesOnWire(cfg) + closing +
                                       SmsLinesOnWire(cfg) + clock + atNewSpeed;
    ASSERT_TRUE(m_Sim.WaitForCommands(expected.size(), 2000));
    const QList<QByteArray> wire = Wire();
    EXPECT_EQ(wire, expected);
    // A few lines spelt out, so that the expectation above cannot drift with the writer.
    for (const QByteArray& line :
         {QByteArray("MeasInterval 60\r"), QByteArray("RepInterval 600\r"),
          QByteArray("p 16, 0=1.5, 1=2, 2=0, 3=0\r"), QByteArray("SmsNumber 2 +4967890\r")})
        EXPECT_TRUE(wire.contains(line)) << line.toStdString();
    EXPECT_LT(wire.indexOf("RepInterval 600\r"), wire.indexOf("LogInterval 300\r"));
    EXPECT_LT(wire.indexOf("p 16, 0=1.5, 1=2, 2=0, 3=0\r"),
              wire.indexOf("p 1, 0=0, 1=1, 2=0, 3=0\r"));

    EXPECT_EQ(m_Sim.LineSpeed(), 9600);
    EXPECT_EQ(m_Sim.SaveCount(), 2);
    EXPECT_EQ(m_Sim.Config().System.Name, QStringLiteral("Hut 4"));
    EXPECT_EQ(m_Sim.Config().System.EWS, 1);
    EXPECT_EQ(m_Sim.Clock().date(), QDate(2025, 2, 1));
    EXPECT_EQ(outcome.config.Link.PortSpeed, QStringLiteral("57600"));
    EXPECT_FALSE(theSerialPort.IsOpen());

    const std::vector<int> progress = m_Host.Progress();
    ASSERT_GE(progress.size(), 8u);
    EXPECT_EQ(progress.front(), 1);
    for (int milestone : {22, 30, 40, 50, 60, 70, 80, 85, 90, 94, 95, 96, 97})
        EXPECT_NE(std::find(progress.begin(), progress.end(), milestone), progress.end())
            << milestone;
    EXPECT_EQ(std::vector<int>(progress.end() - 6, progress.end()),
              (std::vector<int>{98, 99, 99, 99, 100, 0}));
}

} // namespace
