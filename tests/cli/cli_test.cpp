#include "scopednumericlocale.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun Cli(const QStringList& args, const QString& workDir = {},
           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(CORVINASETUP_CLI), args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class CliTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const char* name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(CliTest, ConvertOfNothingWritesTheDefaultFile) {
    const CliRun run = Cli({"convert", "/dev/null", Path("out.txt")}, dir_.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.isEmpty());
    const QList<QByteArray> lines = Read(Path("out.txt")).split('\n');
    ASSERT_EQ(lines.size(), 173); // the last element follows the final LF
    EXPECT_EQ(lines[0], "EWS 0\r");
    EXPECT_EQ(lines[1], "SaveConfig\r");
    EXPECT_EQ(lines[169], "SaveConfig\r");
    EXPECT_EQ(lines[170], "EWS 0\r");
    EXPECT_EQ(lines[171], "SaveConfig\r");
    EXPECT_EQ(lines[172], "");
}

TEST_F(CliTest, ConvertKeepsWhatTheInputSaysAndReportsSkippedLines) {
    QFile in(Path("in.txt"));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write("Name Hut 4\r\nEmailTo " + QByteArray(200, 'x') + "\r\nMeasInterval 30\r\n");
    in.close();
    const CliRun run = Cli({"convert", Path("in.txt"), Path("out.txt")}, dir_.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.contains("1 line(s)")) << run.err.constData();
    const QByteArray out = Read(Path("out.txt"));
    EXPECT_TRUE(out.contains("\r\nName Hut 4\r\n"));
    EXPECT_TRUE(out.contains("\r\nMeasInterval 30\r\n"));
    EXPECT_TRUE(out.contains("\r\nEmailTo \r\n"));
}

struct FailureCase {
    const char* name;
    QStringList args;
    int exitCode;
};

class CliFailureTest : public CliTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(CliFailureTest, ExitsWithItsCodeAndOneLine) {
    QStringList args;
    for (const QString& a : GetParam().args)
        args << (a.startsWith('@') ? Path(qPrintable(a.mid(1))) : a);
    const CliRun run = Cli(args, dir_.path());
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_TRUE(run.err.startsWith("corvinasetup-cli: ")) << run.err.constData();
}

const FailureCase kFailures[] = {
    {"NoCommand", {}, 64},
    {"UnknownCommand", {"frobnicate"}, 64},
    {"ConvertWithoutOutput", {"convert", "/dev/null"}, 64},
    {"UnreadableInput", {"convert", "@absent.txt", "@out.txt"}, 66},
    {"UnwritableOutput", {"convert", "/dev/null", "@missing/dir/out.txt"}, 73},
};

INSTANTIATE_TEST_SUITE_P(Failures, CliFailureTest, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, FailedConvertLeavesAnExistingOutputAlone) {
    QFile out(Path("out.txt"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("precious");
    out.close();
    EXPECT_EQ(Cli({"convert", Path("absent.txt"), Path("out.txt")}).exitCode, 66);
    EXPECT_EQ(Read(Path("out.txt")), "precious");
}

// A German desktop's decimal comma must not reach the file: the tool writes
// the very bytes it writes under the C locale.
TEST_F(CliTest, ConvertWritesTheSameBytesUnderACommaLocale) {
    ASSERT_TRUE(corvina::test::ScopedNumericLocale().ok()) << corvina::test::kCommaLocaleMissing;
    QFile in(Path("in.txt"));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write("Vref 1234.5\r\nModemInterval 1.5\r\np 1, 0=1.5, 1=-0.25, 2=1e-5, 3=3\r\n");
    in.close();
    QProcessEnvironment c = QProcessEnvironment::systemEnvironment();
    c.insert("LANG", "C");
    c.insert("LC_ALL", "C");
    QProcessEnvironment german = c;
    german.insert("LANG", "de_DE.UTF-8");
    german.insert("LC_ALL", "de_DE.UTF-8");
    ASSERT_EQ(Cli({"convert", Path("in.txt"), Path("c.txt")}, dir_.path(), c).exitCode, 0);
    const CliRun run = Cli({"convert", Path("in.txt"), Path("de.txt")}, dir_.path(), german);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QByteArray inGerman = Read(Path("de.txt"));
    EXPECT_EQ(inGerman, Read(Path("c.txt")));
    for (const char* line : {"\r\nVref 1234.500\r\n", "\r\nModemInterval 1.500\r\n",
                             "\r\np 1, 0=1.5, 1=-0.25, 2=1e-005, 3=3\r\n"})
        EXPECT_TRUE(inGerman.contains(line)) << line;
}

} // namespace
