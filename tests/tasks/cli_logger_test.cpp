// corvinasetup-cli's logger commands against the simulated logger: they run
// the program's own task code and turn its result into the exit status.
#include "simanswers.h"
#include "tasktestsupport.h"

#include <QFile>
#include <QProcess>

using namespace corvina;
using namespace corvina::test;

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class CliLoggerTest : public SimulatedLogger {
protected:
    void SetUp() override {
        SimulatedLogger::SetUp();
        ASSERT_TRUE(m_Dir.isValid());
        LoggerConfig cfg = SimFactoryConfig();
        cfg.System.Name = QStringLiteral("Hut 4");
        m_Sim.SetConfig(cfg);
        m_Sim.SetClock(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7)));
    }

    CliRun Cli(QStringList args) const {
        for (QString& a : args)
            if (a.startsWith(QLatin1Char('@')))
                a = Path(a.mid(1));
        QProcess process;
        process.setWorkingDirectory(m_Dir.path());
        process.start(QStringLiteral(CORVINASETUP_CLI), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
    QString Path(const QString& name) const { return m_Dir.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    const QString m_Port = QStringLiteral("COM%1").arg(kSimPort);
    QTemporaryDir m_Dir;
};

TEST_F(CliLoggerTest, RetrieveSavesTheConfigurationAndPrintsTheLoggersData) {
    const CliRun run = Cli({"retrieve", "@out.txt", "--port", m_Port, "--info"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
    EXPECT_TRUE(Read("out.txt").contains("\r\nName Hut 4\r\n"));
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], "SN 12340612");
    EXPECT_EQ(lines[1], "DeviceModel Kettering");
    EXPECT_EQ(lines[2], "Version 2.41");
    EXPECT_EQ(lines[3], "Date 05.03.2024");
    EXPECT_TRUE(lines[4].startsWith("Time 09:05:")) << lines[4].constData();
    EXPECT_EQ(lines[5], "SerialDriver 1,1,NONE");
    EXPECT_EQ(run.out.count("SerialDriver "), 14);
    EXPECT_TRUE(run.out.endsWith("SerialDriver 42,0,WaterTemp\n"));
}

TEST_F(CliLoggerTest, FailedRetrieveLeavesAnExistingFileAlone) {
    Write("out.txt", "precious");
    const CliRun run =
        Cli({"retrieve", "@out.txt", "--port", QStringLiteral("COM%1").arg(kMissingPort)});
    EXPECT_EQ(run.exitCode, 6);
    EXPECT_TRUE(run.err.contains("Communication Error. Check PC baud rate setting, please."))
        << run.err.constData();
    EXPECT_EQ(Read("out.txt"), "precious");
}

TEST_F(CliLoggerTest, ResetRestoresTheFactoryConfiguration) {
    const CliRun run = Cli({"reset", "--port", m_Port, "--speed", "115200"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(m_Sim.Config().System.Name, QString());
}

TEST_F(CliLoggerTest, SendListsUnacknowledgedCommandsAndExitsWith3) {
    // Written by hand: a report interval longer than its line may carry.
    Write("in.txt", "Name Hut 5\r\nRepInterval 1234567\r\n");
    const CliRun run = Cli({"send", "@in.txt", "--port", m_Port});
    EXPECT_EQ(run.exitCode, 3) << run.err.constData();
    EXPECT_TRUE(run.err.contains("Commands with no response:\n  RepInterval 1234567\n"))
        << run.err.constData();
    EXPECT_EQ(m_Sim.Config().System.Name, QStringLiteral("Hut 5"));
    EXPECT_EQ(m_Sim.SaveCount(), 2);
}

TEST_F(CliLoggerTest, PortHeldByAnotherProcessExitsWith5) {
    Write("in.txt", "Name Hut 5\r\n");
    PortHolder holder(kSimPort);
    ASSERT_TRUE(holder.Holding());
    const CliRun run = Cli({"send", "@in.txt", "--port", m_Port, "--set-time"});
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_TRUE(run.err.contains("Error Message: COM port used by another application"))
        << run.err.constData();
    EXPECT_TRUE(Wire().isEmpty());
}

struct UsageCase {
    const char* name;
    QStringList args;
    int exitCode;
};

class CliLoggerUsageTest : public CliLoggerTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(CliLoggerUsageTest, IsRefusedBeforeTheLoggerHearsAnything) {
    Write("in.txt", "Name Hut 5\r\n");
    const CliRun run = Cli(GetParam().args);
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err.constData();
    EXPECT_TRUE(run.err.startsWith("corvinasetup-cli: ")) << run.err.constData();
    EXPECT_TRUE(Wire().isEmpty());
}

const UsageCase kUsageCases[] = {
    {"SendWithoutPort", {"send", "@in.txt"}, 64},
    {"PortThatIsNoComName", {"send", "@in.txt", "--port", "/dev/ttyS0"}, 64},
    {"SpeedThatIsNoNumber", {"reset", "--port", "COM7", "--speed", "fast"}, 64},
    {"RetrieveWithoutOutput", {"retrieve", "--port", "COM7"}, 64},
    {"ResetWithAFile", {"reset", "@in.txt", "--port", "COM7"}, 64},
    {"OptionOfAnotherCommand", {"reset", "--port", "COM7", "--info"}, 64},
    {"UnreadableFile", {"send", "@absent.txt", "--port", "COM7"}, 66},
};
INSTANTIATE_TEST_SUITE_P(Usage, CliLoggerUsageTest, testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliLoggerTest, RetrieveToAnUnwritableFileExitsWith73) {
    const CliRun run = Cli({"retrieve", "@missing/dir/out.txt", "--port", m_Port});
    EXPECT_EQ(run.exitCode, 73);
    EXPECT_TRUE(run.err.startsWith("corvinasetup-cli: ")) << run.err.constData();
}

} // namespace
