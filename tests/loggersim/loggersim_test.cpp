// The simulated logger, driven from outside through its COM port link with
// plain POSIX I/O, as the program's serial port would drive it.

#include "configparser.h"
#include "loggersim.h"
#include "portmap.h"
#include "simanswers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <ostream>

// Readable failure messages for Qt texts.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toPercentEncoding(" ,.:;=?+-_@()").toStdString() << '"';
}

using namespace corvina;

namespace {

constexpr int kPort = 7;

// The ports folder of this process: test processes run in parallel.
class PortsFolder : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        qputenv("CORVINASETUP_PORTS", dir_.path().toLocal8Bit());
    }

private:
    QTemporaryDir dir_;
};
const auto* const kPortsFolder = ::testing::AddGlobalTestEnvironment(new PortsFolder);

// The PC side of the line: raw, exact bytes.
class Line {
public:
    explicit Line(const QString& path) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios tio{};
            ::tcgetattr(fd_, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~Line() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }

    void Write(const QByteArray& bytes) {
        ASSERT_EQ(::write(fd_, bytes.constData(), size_t(bytes.size())), bytes.size());
    }

    void SetSpeed(speed_t speed) {
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfsetspeed(&tio, speed);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }

    // Reads until expected has arrived or timeoutMs passed.
    QByteArray ReadUntil(const QByteArray& expected, int timeoutMs = 2000) {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (!got.contains(expected) && timer.elapsed() < timeoutMs)
            got += ReadSome(int(timeoutMs - timer.elapsed()));
        return got;
    }

    // Everything that arrives within ms.
    QByteArray ReadFor(int ms) {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            got += ReadSome(int(ms - timer.elapsed()));
        return got;
    }

    // The answer to a command, read up to the text that ends it.
    QByteArray Exchange(const QByteArray& command, const QByteArray& expected = "\r\nOK\r\n") {
        Write(command);
        return ReadUntil(expected);
    }

    QByteArray ReadSome(int waitMs) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, qMax(waitMs, 0)) <= 0)
            return {};
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, n) : QByteArray();
    }

private:
    int fd_ = -1;
};

class LoggerSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(sim_.Start(kPort, &error)) << error.toStdString();
        line_ = std::make_unique<Line>(PortLinkPath(kPort));
        ASSERT_TRUE(line_->ok());
    }

    void EnterService() {
        line_->Exchange("\r", "\r\n");
        line_->Exchange("Exit\r", "\r\n");
        ASSERT_TRUE(line_->Exchange("Service\r", "Service mode started\r\n")
                        .contains("Service mode started"));
    }

    LoggerSim sim_;
    std::unique_ptr<Line> line_;
};

TEST_F(LoggerSimTest, HandshakeEntersAndExitLeavesServiceMode) {
    EXPECT_EQ(line_->Exchange("\r", "\r\n"), QByteArray("\r\n"));
    EXPECT_EQ(line_->Exchange("Exit\r", "\r\n"), QByteArray("Exit\r\r\n"));
    EXPECT_FALSE(sim_.InServiceMode());
    EXPECT_EQ(line_->Exchange("Service\r", "started\r\n"),
              QByteArray("Service\r\r\nService mode started\r\n"));
    EXPECT_TRUE(sim_.InServiceMode());
    // A lone CR, as the send task writes before storing, keeps service mode.
    line_->Exchange("\r", "\r\n");
    EXPECT_TRUE(sim_.InServiceMode());
    line_->Exchange("Exit\r", "\r\n");
    EXPECT_FALSE(sim_.InServiceMode());
}

TEST_F(LoggerSimTest, OutsideServiceModeNothingIsTaken) {
    const QByteArray answer = line_->Exchange("MeasInterval 60\r", "\r\n");
    EXPECT_EQ(answer, QByteArray("MeasInterval 60\r\r\n"));
    EXPECT_FALSE(line_->ReadFor(100).contains("OK"));
    EXPECT_EQ(sim_.Config().System.MeasInterval, 0);
}

struct LineCase {
    const char* name;
    QByteArray wire;
    std::function<void(const LoggerSim&)> check;
};

class ConfigLineTest : public LoggerSimTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ConfigLineTest, IsStoredAndAnsweredOk) {
    EnterService();
    const LineCase& c = GetParam();
    const QByteArray echo = c.wire.left(c.wire.indexOf('\r') + 1);
    EXPECT_EQ(line_->Exchange(c.wire), echo + "\r\nOK\r\n");
    c.check(sim_);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfigLineTest,
    ::testing::Values(
        LineCase{"MeasInterval", "MeasInterval 60\r",
                 [](const LoggerSim& s) { EXPECT_EQ(s.Config().System.MeasInterval, 60); }},
        LineCase{"AnalogLong", "a 12, M=1, U=1, G=3, R=1, P=4, O=7\r",
                 [](const LoggerSim& s) {
                     const AnalogInput a = s.Config().Analog[11];
                     EXPECT_EQ(a.Measure, 1);
                     EXPECT_EQ(a.Polarity, "UNIP");
                     EXPECT_EQ(a.Range, "625");
                     EXPECT_EQ(a.Ratio, 1);
                     EXPECT_EQ(a.Poly, "P4");
                     EXPECT_EQ(a.Output, "O7");
                 }},
        LineCase{"EwsWithCrLf", "EWS 1\r\n",
                 [](const LoggerSim& s) { EXPECT_EQ(s.Config().System.EWS, 1); }},
        LineCase{"SmsNumber", "SmsNumber 12 +123456\r",
                 [](const LoggerSim& s) { EXPECT_EQ(s.Config().SmsNumber[11], "+123456"); }},
        LineCase{"Ftp", "Ftp 1\r",
                 [](const LoggerSim& s) { EXPECT_EQ(s.Config().Modem.ModemMode, "FTP"); }},
        LineCase{"DateFromPcClock", "Date 5.3.2024\r",
                 [](const LoggerSim& s) { EXPECT_EQ(s.Clock().date(), QDate(2024, 3, 5)); }},
        LineCase{"TimeFromForm", "Time 9:5:7\r\n",
                 [](const LoggerSim& s) {
                     const QTime t = s.Clock().time();
                     EXPECT_LE(QTime(9, 5, 7).secsTo(t), 2);
                     EXPECT_GE(QTime(9, 5, 7).secsTo(t), 0);
                 }}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(LoggerSimTest, UnknownCommandsAndLoggerOnlyKeysAreRefused) {
    EnterService();
    for (const QByteArray& command :
         {QByteArray("Bogus 1\r"), QByteArray("SN 99990999\r"), QByteArray("Version 9\r")}) {
        const QByteArray answer = line_->Exchange(command, "Unknown command\r\n");
        EXPECT_TRUE(answer.endsWith("\r\nUnknown command\r\n")) << answer.toStdString();
        EXPECT_FALSE(answer.contains("OK"));
    }
    EXPECT_EQ(sim_.Config().System.SN, "12340612");
}

TEST_F(LoggerSimTest, SaveConfigIsAcknowledgedAndCounted) {
    EnterService();
    EXPECT_TRUE(line_->Exchange("SaveConfig\r").endsWith("\r\nOK\r\n"));
    EXPECT_EQ(sim_.SaveCount(), 1);
}

LoggerConfig NonDefaultConfig() {
    LoggerConfig cfg = SimFactoryConfig();
    SystemSettings& s = cfg.System;
    s.SN = "55550399";
    s.Version = "Version 3.07";
    s.Name = "Station 7";
    s.MeasInterval = 60;
    s.MeasDelay = 5;
    s.LogInterval = 600;
    s.RepInterval = 3600;
    s.Vref = 1234.5f;
    s.Serial1 = "9600";
    s.Serial2 = "57600";
    s.DataFormat = "CSV";
    s.RS485 = 1;
    s.RS485Address = "12";
    s.EWS = 1;
    s.DisplaySize = "Medium (3 lines)";
    ModemSettings& m = cfg.Modem;
    m.ModemInterval = 0.5f;
    m.ModemOnTimeHour = 7;
    m.ModemOnTimeMinute = 30;
    m.ModemOnDuration = 15;
    m.ModemPIN = "1234";
    m.ModemNumber = "+4917000";
    m.APN = "internet.example";
    m.IP = "10.0.0.1";
    m.UserName = "user";
    m.Password = "secret";
    m.EmailFrom = "a@example.org";
    m.EmailTo = "b@example.org";
    m.TimeServer = "pool.example.org";
    m.TimeZone = -2;
    m.ModemMode = "FTP";
    m.SmsCenter = "+491700000";
    m.IPConnect = "ftp.example.org";
    m.IPConfig = "cfg.example.org";
    m.UserNameConfig = "cfguser";
    m.PasswordConfig = "cfgpass";
    m.UserNameApn = "apnuser";
    m.PasswordApn = "apnpass";
    cfg.Analog[0] = {1, 0, 1, "2500", "BIP", "PT100", "P2", "O1"};
    cfg.Analog[11] = {1, 1, 0, "625", "UNIP", "Pyranometer", "P4", "O7"};
    cfg.Digital[1] = {1, "COUNT", "Rain", "P3", "O2"};
    cfg.Digital[2] = {1, "TIME", "", "P1", "O0"};
    cfg.Internal[4] = {"VMAIN2", "P5", "O3", "O1", "O2"};
    cfg.Serial[0] = {1, "COM2", "9600", "7", "Even", "2", "SDI12", "3"};
    cfg.Outputs[0] = {"A1", 1, 1, 0, 1, "P2", "Temp"};
    cfg.Outputs[5] = {"S1_Temperature", 0, 0, 1, 0, "P1", "Hum"};
    cfg.Polys[1] = {0.5f, 1.25f, -3.75f, 0.001f};
    cfg.Ews[2].Input = "O1";
    cfg.Ews[2].Type = "MORE";
    cfg.Ews[2].LogInt = "60";
    cfg.Ews[2].ModemInt = "1";
    cfg.Ews[2].Alarm = "25.5";
    cfg.Ews[2].Units = "C";
    cfg.Ews[2].T[0] = 1;
    cfg.Ews[2].T[15] = 1;
    cfg.SmsNumber[0] = "+4912345";
    cfg.SmsNumber[11] = "+123456";
    cfg.Drivers[3].Name = "Dewpoint";
    return cfg;
}

// The fields a logger's answers carry, compared one by one so that a failure
// names the field.
void ExpectCarriedFieldsEqual(const LoggerConfig& got, const LoggerConfig& want) {
#define FIELD(f) EXPECT_EQ(got.f, want.f) << #f
#define ENTRY(f) EXPECT_EQ(got.f, want.f) << #f << " of entry " << i + 1
    FIELD(System.SN);
    FIELD(System.Version);
    FIELD(System.Name);
    FIELD(System.MeasInterval);
    FIELD(System.MeasDelay);
    FIELD(System.LogInterval);
    FIELD(System.RepInterval);
    FIELD(System.Vref);
    FIELD(System.Serial1);
    FIELD(System.Serial2);
    FIELD(System.DataFormat);
    FIELD(System.RS485);
    FIELD(System.RS485Address);
    FIELD(System.EWS);
    FIELD(System.DisplaySize);
    FIELD(Modem.ModemInterval);
    FIELD(Modem.ModemOnTimeHour);
    FIELD(Modem.ModemOnTimeMinute);
    FIELD(Modem.ModemOnDuration);
    FIELD(Modem.ModemPIN);
    FIELD(Modem.ModemNumber);
    FIELD(Modem.APN);
    FIELD(Modem.IP);
    FIELD(Modem.UserName);
    FIELD(Modem.Password);
    FIELD(Modem.EmailFrom);
    FIELD(Modem.EmailTo);
    FIELD(Modem.TimeServer);
    FIELD(Modem.TimeZone);
    FIELD(Modem.ModemMode);
    FIELD(Modem.SmsCenter);
    FIELD(Modem.IPConnect);
    FIELD(Modem.IPConfig);
    FIELD(Modem.UserNameConfig);
    FIELD(Modem.PasswordConfig);
    FIELD(Modem.UserNameApn);
    FIELD(Modem.PasswordApn);
    for (int i = 0; i < kAnalogInputs; ++i) {
        ENTRY(Analog[i].Measure);
        ENTRY(Analog[i].Sensor);
        ENTRY(Analog[i].Poly);
        ENTRY(Analog[i].Output);
        if (i < 8) { // short form
            ENTRY(Analog[i].Vect);
        } else {
            ENTRY(Analog[i].Ratio);
            ENTRY(Analog[i].Range);
            ENTRY(Analog[i].Polarity);
        }
    }
    for (int i = 0; i < kDigitalInputs; ++i) {
        ENTRY(Digital[i].Measure);
        ENTRY(Digital[i].Type);
        ENTRY(Digital[i].Sensor);
        ENTRY(Digital[i].Poly);
        ENTRY(Digital[i].Output);
    }
    for (int i = 0; i < kInternalInputsUsed; ++i) {
        ENTRY(Internal[i].Alias);
        ENTRY(Internal[i].Poly);
        ENTRY(Internal[i].Output);
        ENTRY(Internal[i].Input1);
        ENTRY(Internal[i].Input2);
    }
    for (int i = 0; i < kSerialInputsUsed; ++i) {
        ENTRY(Serial[i].Measure);
        ENTRY(Serial[i].Com);
        ENTRY(Serial[i].Brate);
        ENTRY(Serial[i].Bits);
        ENTRY(Serial[i].Parity);
        ENTRY(Serial[i].Stopb);
        ENTRY(Serial[i].Driver);
        ENTRY(Serial[i].Address);
    }
    for (int i = 0; i < kOutputChannelsUsed; ++i) {
        ENTRY(Outputs[i].Input);
        ENTRY(Outputs[i].Min);
        ENTRY(Outputs[i].Max);
        ENTRY(Outputs[i].Sdev);
        ENTRY(Outputs[i].Vect);
        ENTRY(Outputs[i].Poly);
        ENTRY(Outputs[i].Alias);
    }
    for (int i = 0; i < kPolynomials; ++i) {
        ENTRY(Polys[i].A0);
        ENTRY(Polys[i].A1);
        ENTRY(Polys[i].A2);
        ENTRY(Polys[i].A3);
    }
    for (int i = 0; i < kEwsRules; ++i) {
        ENTRY(Ews[i].Input);
        ENTRY(Ews[i].Type);
        ENTRY(Ews[i].LogInt);
        ENTRY(Ews[i].ModemInt);
        ENTRY(Ews[i].Alarm);
        ENTRY(Ews[i].Units);
        ENTRY(Ews[i].T);
    }
    for (int i = 0; i < kSmsNumbers; ++i)
        ENTRY(SmsNumber[i]);
#undef FIELD
#undef ENTRY
}

// The driver list as the retrieve reads it: the first 16 characters (the echo
// of the query and its line end) go, then one entry per line of more than four
// characters: Id, Kind, Name.
QList<SerialDriver> ReadDriverAnswer(const QByteArray& answer) {
    QList<SerialDriver> drivers;
    const QList<QByteArray> lines = answer.mid(16).split('\n');
    for (qsizetype n = 0; n + 1 < lines.size(); ++n) { // text after the last LF is no line
        if (lines[n].size() <= 4)
            continue;
        const QList<QByteArray> f = lines[n].split(',');
        drivers.append({f.value(0).toInt(), f.value(1).toInt(),
                        QString::fromLatin1(f.value(2).left(f.value(2).indexOf('\r')))});
    }
    return drivers;
}

TEST_F(LoggerSimTest, QueriesReadBackIntoTheConfigurationTheyCameFrom) {
    const LoggerConfig want = NonDefaultConfig();
    sim_.SetConfig(want);
    sim_.SetClock(QDateTime(QDate(2019, 12, 24), QTime(12, 34, 56)));
    EnterService();

    LoggerConfig got;
    const QByteArray identity = line_->Exchange("?\r", "OK\r\n");
    EXPECT_TRUE(identity.startsWith("?\r\r\n")) << identity.toStdString();
    ParseConfigScript(got, identity);
    const QByteArray drivers = line_->Exchange("SerialDriver?\r");
    ParseConfigScript(got, drivers);
    for (const char* query : {"Config1?\r", "Config2?\r", "Config3?\r", "Config4?\r", "Config5?\r",
                              "EarlyWarning?\r", "Modem?\r", "System?\r"}) {
        const QByteArray answer = line_->Exchange(query);
        ASSERT_TRUE(answer.endsWith("\r\nOK\r\n")) << query;
        // "OK" at the start of a line ends the answer; nothing before it may
        // look like the end.
        EXPECT_EQ(answer.indexOf("\r\nOK"), answer.size() - 6) << query;
        ParseConfigScript(got, answer);
    }

    ExpectCarriedFieldsEqual(got, want);
    EXPECT_EQ(got.Link.DeviceModel, "Ferrule"); // model code "03" of the SN
    EXPECT_EQ(got.System.DateDay, "24");
    EXPECT_EQ(got.System.DateMonth, "12");
    EXPECT_EQ(got.System.DateYear, "2019");
    EXPECT_EQ(got.System.TimeHour, "12");
    EXPECT_EQ(got.System.TimeMinute, "34");

    const QList<SerialDriver> list = ReadDriverAnswer(drivers);
    int used = 0;
    while (want.Drivers[used].Id != 0)
        ++used;
    ASSERT_EQ(list.size(), used + 1);
    for (int i = 0; i < used; ++i) {
        EXPECT_EQ(list[i].Id, want.Drivers[i].Id) << "driver " << i;
        EXPECT_EQ(list[i].Kind, want.Drivers[i].Kind) << "driver " << i;
        EXPECT_EQ(list[i].Name, want.Drivers[i].Name) << "driver " << i;
    }
    EXPECT_EQ(list.last().Id, 0); // ends the list for the forms
}

TEST_F(LoggerSimTest, SetDefaultConfigRestoresTheFactoryConfiguration) {
    sim_.SetConfig(NonDefaultConfig());
    EnterService();
    EXPECT_EQ(line_->Exchange("SetDefaultConfig\r"), QByteArray("SetDefaultConfig\r\r\nOK\r\n"));
    ExpectCarriedFieldsEqual(sim_.Config(), SimFactoryConfig());
    EXPECT_EQ(sim_.Config().Drivers[3].Name, SimFactoryConfig().Drivers[3].Name);
}

TEST_F(LoggerSimTest, Serial2ChangesTheLineSpeedWithoutAnswer) {
    EnterService();
    line_->Write("Serial2 9600\r");
    EXPECT_EQ(line_->ReadFor(150), QByteArray());
    EXPECT_EQ(sim_.LineSpeed(), 9600);
    EXPECT_EQ(sim_.Config().System.Serial2, "9600");
}

TEST_F(LoggerSimTest, CheckedSpeedIgnoresALineAtTheWrongSpeed) {
    SimFaults faults;
    faults.checkSpeed = true;
    sim_.SetFaults(faults);
    line_->SetSpeed(B115200);
    EnterService();
    line_->Write("Serial2 9600\r");
    ASSERT_TRUE(sim_.WaitForCommands(4, 1000));
    line_->Write("SaveConfig\r");
    EXPECT_EQ(line_->ReadFor(150), QByteArray());
    EXPECT_EQ(sim_.ReceivedCommands().size(), 4);
    line_->SetSpeed(B9600);
    EXPECT_TRUE(line_->Exchange("SaveConfig\r").endsWith("\r\nOK\r\n"));
}

TEST_F(LoggerSimTest, CommandLogHoldsTheExactBytes) {
    EnterService();
    line_->Exchange("EWS 0\r\n");
    // A command that arrives in two writes is one command.
    line_->Write("Name Wes");
    line_->ReadFor(30);
    line_->Exchange("t\r");
    line_->Write("Serial2 57600\r");
    ASSERT_TRUE(sim_.WaitForCommands(6, 1000));
    EXPECT_EQ(sim_.ReceivedCommands(), QList<QByteArray>({"\r", "Exit\r", "Service\r", "EWS 0\r\n",
                                                          "Name West\r", "Serial2 57600\r"}));
}

TEST(LoggerSimObserver, SeesEveryCommandOnceWithItsWholeTerminator) {
    LoggerSim sim;
    QList<QByteArray> seen;
    std::mutex m;
    sim.SetCommandObserver([&](const QByteArray& c) {
        std::lock_guard lock(m);
        seen.append(c);
    });
    ASSERT_TRUE(sim.Start(kPort, nullptr));
    {
        Line line(sim.LinkPath());
        line.Write("Service\r");
        line.ReadUntil("started\r\n");
        line.Write("EWS 1\r\n");
        line.ReadUntil("OK\r\n");
        line.Write("Exit\r");
        line.ReadUntil("\r\n");
    }
    sim.Stop();
    EXPECT_EQ(seen, QList<QByteArray>({"Service\r", "EWS 1\r\n", "Exit\r"}));
}

TEST_F(LoggerSimTest, SilentLoggerLogsButNeverAnswers) {
    SimFaults faults;
    faults.silent = true;
    sim_.SetFaults(faults);
    line_->Write("Service\r");
    EXPECT_EQ(line_->ReadFor(200), QByteArray());
    EXPECT_EQ(sim_.ReceivedCommands(), QList<QByteArray>({"Service\r"}));
    EXPECT_FALSE(sim_.InServiceMode());
}

TEST_F(LoggerSimTest, StopAfterAnswersOnlyTheFirstCommands) {
    SimFaults faults;
    faults.stopAfter = 2;
    sim_.SetFaults(faults);
    EXPECT_EQ(line_->Exchange("\r", "\r\n"), QByteArray("\r\n"));
    EXPECT_EQ(line_->Exchange("Exit\r", "\r\n"), QByteArray("Exit\r\r\n"));
    line_->Write("Service\r");
    EXPECT_EQ(line_->ReadFor(200), QByteArray());
    EXPECT_EQ(sim_.ReceivedCommands().size(), 3);
}

TEST_F(LoggerSimTest, SplitAnswerArrivesInPiecesWithGapsAboveTheInterByteTimeout) {
    SimFaults faults;
    faults.pieceBytes = 8;
    faults.piecePauseMs = 30;
    sim_.SetFaults(faults);
    line_->Write("Service\r");
    // Collect bursts the way the program's port reads them: a read ends 10 ms
    // after the last byte.
    QList<QByteArray> bursts;
    QByteArray all;
    QElapsedTimer timer;
    timer.start();
    while (!all.contains("started\r\n") && timer.elapsed() < 3000) {
        QByteArray burst = line_->ReadSome(500);
        while (!burst.isEmpty()) {
            const QByteArray more = line_->ReadSome(10);
            if (more.isEmpty())
                break;
            burst += more;
        }
        if (!burst.isEmpty()) {
            bursts.append(burst);
            all += burst;
        }
    }
    EXPECT_EQ(all, QByteArray("Service\r\r\nService mode started\r\n"));
    EXPECT_EQ(bursts.size(), 4);
    for (const QByteArray& b : bursts)
        EXPECT_LE(b.size(), 8);
}

TEST_F(LoggerSimTest, GarbageIsOnlyBytesThePcDrops) {
    EnterService();
    SimFaults faults;
    faults.garbageEvery = 5;
    sim_.SetFaults(faults);
    const QByteArray raw = line_->Exchange("?\r", "OK\r\n");
    QByteArray kept;
    for (char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 0x20 && b <= 0x7e) || c == '\r' || c == '\n')
            kept += c;
    }
    EXPECT_GT(raw.size(), kept.size());
    EXPECT_EQ(kept, QByteArray("?\r\r\nSN 12340612\r\nVersion 2.41\r\nOK\r\n"));
}

TEST_F(LoggerSimTest, OversizedAnswerStillEndsWithOk) {
    EnterService();
    SimFaults faults;
    faults.oversizeBytes = 12000;
    sim_.SetFaults(faults);
    const QByteArray answer = line_->Exchange("Config2?\r");
    EXPECT_GT(answer.size(), 12000);
    EXPECT_TRUE(answer.startsWith("Config2?\r"));
    EXPECT_TRUE(answer.endsWith("\r\nOK\r\n"));
    EXPECT_EQ(answer.count("OK"), 1);
}

TEST_F(LoggerSimTest, DelayedAnswerComesAfterTheDelay) {
    SimFaults faults;
    faults.delayMs = 300;
    sim_.SetFaults(faults);
    line_->Write("Service\r");
    EXPECT_EQ(line_->ReadFor(150), QByteArray());
    EXPECT_TRUE(line_->ReadUntil("started\r\n").contains("Service mode started"));
}

class LiveRowTest : public LoggerSimTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LiveRowTest, RowsCarryDateTimeAndOneValuePerColumn) {
    LoggerConfig cfg = sim_.Config();
    cfg.System.DataFormat = GetParam();
    cfg.Outputs[0].Input = "A1";
    cfg.Outputs[0].Max = 1;
    cfg.Outputs[1].Input = "A2";
    sim_.SetConfig(cfg);
    sim_.StartLive(30);
    const QByteArray rows = line_->ReadFor(200);
    const QString sep = cfg.System.DataFormat == "CSV" ? "," : " ";
    const QRegularExpression row(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}%1\\d\\d:\\d\\d:\\d\\d"
                                                "(%1-?\\d+\\.\\d\\d){3}$")
                                     .arg(sep));
    const QList<QByteArray> lines = rows.split('\n');
    ASSERT_GE(lines.size(), 3) << rows.toStdString();
    for (qsizetype n = 0; n + 1 < lines.size(); ++n) {
        ASSERT_TRUE(lines[n].endsWith('\r'));
        EXPECT_TRUE(row.match(QString::fromLatin1(lines[n].chopped(1))).hasMatch())
            << lines[n].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LiveRowTest, ::testing::Values("Default", "CSV"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(LoggerSimTest, NoLiveRowsInServiceMode) {
    EnterService();
    sim_.StartLive(20);
    EXPECT_EQ(line_->ReadFor(150), QByteArray());
    line_->Exchange("Exit\r", "\r\n");
    EXPECT_FALSE(line_->ReadFor(150).isEmpty());
}

TEST(LoggerSimLine, RowsNobodyReadAreLostLikeOnAClosedPort) {
    LoggerSim sim;
    ASSERT_TRUE(sim.Start(kPort, nullptr));
    sim.StartLive(10);
    ::usleep(1800 * 1000); // about 180 rows go out while the port is closed
    Line line(sim.LinkPath());
    sim.StopLive();
    const QByteArray stale = line.ReadFor(50);
    EXPECT_LT(stale.count('\n'), 140) << "rows older than the unread limit were kept";
}

TEST(LoggerSimLifecycle, StartsAndStopsRepeatedlyAndCleansUpItsLink) {
    LoggerSim sim;
    const QString link = PortLinkPath(kPort);
    for (int round = 0; round < 3; ++round) {
        QString error;
        ASSERT_TRUE(sim.Start(kPort, &error)) << error.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        Line line(link);
        ASSERT_TRUE(line.ok());
        EXPECT_TRUE(line.Exchange("Service\r", "started\r\n").contains("Service mode started"));
        sim.Stop();
        EXPECT_FALSE(QFileInfo(link).isSymLink());
    }
}

TEST(LoggerSimLifecycle, RefusesAPortAnotherLoggerOffers) {
    LoggerSim first;
    LoggerSim second;
    ASSERT_TRUE(first.Start(kPort, nullptr));
    QString error;
    EXPECT_FALSE(second.Start(kPort, &error));
    EXPECT_TRUE(error.contains("COM7")) << error.toStdString();
    second.Stop(); // harmless when not running
    EXPECT_TRUE(QFileInfo(PortLinkPath(kPort)).isSymLink());
}

TEST(LoggerSimLifecycle, ReplacesALinkWhoseDeviceIsGone) {
    const QString link = PortLinkPath(kPort);
    QDir().mkpath(PortsDirectory());
    QFile::remove(link);
    ASSERT_TRUE(QFile::link("/dev/pts/no-such-terminal", link));
    LoggerSim sim;
    QString error;
    EXPECT_TRUE(sim.Start(kPort, &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.SlavePath());
}

} // namespace
