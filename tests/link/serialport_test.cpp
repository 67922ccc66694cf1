#include "linktestsupport.h"
#include "serialport.h"
#include "serialport_platform.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cerrno>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace corvina;
using namespace corvina::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPort = 7;

// A port on a pseudo-terminal, linked as COM7 in a ports directory of its own.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Peer.IsValid());
        ASSERT_TRUE(m_Ports.Link(kPort, m_Peer.SlavePath()));
    }

    void OpenWithTaskTimeouts() {
        m_Port.Open(kPort, 9600, NoParity, 8, OneStopBit, NoFlowControl, false);
        m_Port.SetTimeouts({10, 0, 100, 0, 0});
    }

    PtyPeer m_Peer;
    PortsDirectoryFixture m_Ports;
    CSerialPort m_Port;
};

// ---- read time-outs -------------------------------------------------------

struct ReadCase {
    const char* Name;
    SerialTimeouts Timeouts;
    std::vector<PtyPeer::Step> Peer;
    uint32_t Requested;
    uint32_t ExpectedBytes;
    int MinMs; // generous bounds: the tests must not depend on machine speed
    int MaxMs;
};

void PrintTo(const ReadCase& row, std::ostream* os) {
    *os << row.Name;
}

class ReadTimeoutTest : public SerialPortTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTimeoutTest, ReturnsOnCountPauseOrTotal) {
    const ReadCase& row = GetParam();
    m_Port.Open(kPort, 9600, NoParity, 8, OneStopBit, NoFlowControl, false);
    m_Port.SetTimeouts(row.Timeouts);

    std::vector<char> buffer(row.Requested + 16, '\0');
    const auto start = Clock::now();
    m_Peer.Play(row.Peer);
    uint32_t got = 0;
    ASSERT_NO_THROW(got = m_Port.ReadEx(buffer.data(), row.Requested));
    const int elapsed = ElapsedMs(start);

    EXPECT_EQ(got, row.ExpectedBytes);
    EXPECT_GE(elapsed, row.MinMs);
    EXPECT_LE(elapsed, row.MaxMs);
    for (uint32_t i = got; i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], '\0') << "wrote past the bytes it reported, at " << i;
    }
}

const QByteArray k20Bytes(20, 'a');

INSTANTIATE_TEST_SUITE_P(
    Timeouts, ReadTimeoutTest,
    ::testing::Values(
        // The tasks' time-outs with a silent logger: nothing after ~100 ms.
        ReadCase{"SilentLogger", {10, 0, 100, 0, 0}, {}, 128, 0, 80, 1000},
        // A long answer fills the buffer and returns without waiting.
        ReadCase{"FullBuffer", {0, 0, 5000, 0, 0}, {{0, QByteArray(200, 'x')}}, 128, 128, 0, 1000},
        // A pause after the first part ends the read long before the total.
        ReadCase{"PauseBetweenBytes",
                 {10, 0, 5000, 0, 0},
                 {{0, k20Bytes}, {600, k20Bytes}},
                 128,
                 20,
                 0,
                 450},
        // The pause only counts once a byte came: a late answer is still read.
        ReadCase{"LateFirstByte", {10, 0, 3000, 0, 0}, {{200, k20Bytes}}, 128, 20, 180, 2500},
        // The multiplier counts per requested byte: 20 x 10 ms.
        ReadCase{"TotalMultiplier", {0, 10, 0, 0, 0}, {}, 20, 0, 180, 1500},
        // All zero: wait for every requested byte, however long it takes.
        ReadCase{"AllZeroWaitsForCount",
                 {0, 0, 0, 0, 0},
                 {{0, QByteArray(4, 'y')}, {200, QByteArray(6, 'z')}},
                 10,
                 10,
                 180,
                 2500}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.Name); });

TEST_F(SerialPortTest, LongAnswerComesInBufferSizedReadsWithoutLoss) {
    OpenWithTaskTimeouts();
    QByteArray answer;
    for (int i = 0; i < 300; ++i) {
        answer.append(static_cast<char>('!' + i % 90));
    }
    m_Peer.Play({{0, answer}});

    QByteArray received;
    std::vector<uint32_t> counts;
    char chunk[128];
    for (uint32_t got; (got = m_Port.ReadEx(chunk, sizeof chunk)) != 0;) {
        counts.push_back(got);
        received.append(chunk, got);
    }
    EXPECT_EQ(received, answer);
    ASSERT_GE(counts.size(), 3u);
    EXPECT_EQ(counts[0], 128u);
}

// ---- writes, purge, flush ----------------------------------------------------

TEST_F(SerialPortTest, WrittenBytesReachThePeerUnchanged) {
    OpenWithTaskTimeouts();
    // Raw mode: no CR to LF translation, no added bytes.
    const QByteArray command("Service\r\n\x00\xff", 11);
    EXPECT_EQ(m_Port.WriteEx(command.constData(), command.size()), 11u);
    m_Port.Flush();
    EXPECT_EQ(m_Peer.Receive(command.size(), 1000), command);
}

TEST_F(SerialPortTest, WriteTimeoutEndsAWriteThePeerDoesNotTake) {
    m_Port.Open(kPort, 9600, NoParity, 8, OneStopBit, NoFlowControl, false);
    m_Port.SetTimeouts({0, 0, 0, 0, 200});
    const QByteArray lots(4 * 1024 * 1024, 'w');
    const auto start = Clock::now();
    const uint32_t put = m_Port.WriteEx(lots.constData(), lots.size());
    const int elapsed = ElapsedMs(start);
    EXPECT_LT(put, static_cast<uint32_t>(lots.size()));
    EXPECT_GE(elapsed, 150);
    EXPECT_LE(elapsed, 2000);
}

TEST_F(SerialPortTest, PurgeDiscardsWhatArrivedBefore) {
    OpenWithTaskTimeouts();
    m_Peer.Play({{0, "stale answer"}});
    m_Peer.Wait();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    m_Port.PurgeReceiveBuffer();
    m_Peer.Play({{0, "OK"}});
    char buffer[128] = {};
    const uint32_t got = m_Port.ReadEx(buffer, sizeof buffer);
    EXPECT_EQ(QByteArray(buffer, got), QByteArray("OK"));
}

TEST_F(SerialPortTest, HangUpRaisesInsteadOfSpinning) {
    m_Port.Open(kPort, 9600, NoParity, 8, OneStopBit, NoFlowControl, false);
    m_Port.SetTimeouts({10, 0, 3000, 0, 0});
    m_Peer.HangUp();
    char buffer[128];
    const auto start = Clock::now();
    EXPECT_THROW(m_Port.ReadEx(buffer, sizeof buffer), CSerialException);
    EXPECT_LT(ElapsedMs(start), 1000);
}

// ---- opening and closing ----------------------------------------------------

TEST_F(SerialPortTest, OpenOnAnOpenPortReopensIt) {
    OpenWithTaskTimeouts();
    // Without closing first, its own lock would make the second open fail.
    ASSERT_NO_THROW(m_Port.Open(kPort, 19200, NoParity, 8, OneStopBit, NoFlowControl, false));
    EXPECT_TRUE(m_Port.IsOpen());
    m_Port.SetTimeouts({10, 0, 100, 0, 0});
    m_Peer.Play({{0, "after reopen"}});
    char buffer[128] = {};
    EXPECT_EQ(QByteArray(buffer, m_Port.ReadEx(buffer, sizeof buffer)), "after reopen");

    // The first descriptor is gone: after Close another port object gets in.
    m_Port.Close();
    CSerialPort other;
    EXPECT_NO_THROW(other.Open(kPort));
}

TEST_F(SerialPortTest, CloseOnAClosedPortDoesNothing) {
    TraceCatcher traces;
    m_Port.Close();
    OpenWithTaskTimeouts();
    m_Port.Close();
    m_Port.Close();
    EXPECT_FALSE(m_Port.IsOpen());
    EXPECT_TRUE(TraceCatcher::Lines().isEmpty()) << TraceCatcher::Lines().join('|').toStdString();
}

TEST_F(SerialPortTest, PortHeldInThisProcessIsAccessDenied) {
    CSerialPort holder;
    holder.Open(kPort);
    try {
        m_Port.Open(kPort);
        FAIL() << "opened a port another object holds";
    } catch (const CSerialException& e) {
        EXPECT_TRUE(e.IsAccessDenied()) << e.m_dwError;
    }
    EXPECT_FALSE(m_Port.IsOpen());
}

TEST_F(SerialPortTest, PortHeldByAnotherProcessIsAccessDenied) {
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char status = 'n';
        try {
            CSerialPort holder;
            holder.Open(kPort);
            status = 'y';
            (void)!write(ready[1], &status, 1);
            (void)!read(release[0], &status, 1);
        } catch (...) {
            (void)!write(ready[1], &status, 1);
        }
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char status = 0;
    ASSERT_EQ(read(ready[0], &status, 1), 1);
    ASSERT_EQ(status, 'y') << "the child could not open the port";

    uint32_t error = 0;
    try {
        m_Port.Open(kPort);
    } catch (const CSerialException& e) {
        error = e.m_dwError;
    }
    EXPECT_EQ(error, kSerialAccessDenied);

    (void)!write(release[1], &status, 1);
    close(release[1]);
    close(ready[0]);
    int childStatus = 0;
    waitpid(child, &childStatus, 0);
    // Once the other program has let go, the port is ours.
    EXPECT_NO_THROW(m_Port.Open(kPort));
}

struct OpenFailureCase {
    const char* Name;
    int Port;           // opened by number when Device is null
    const char* Device; // relative names live in the ports directory
    uint32_t Baud;
    uint8_t DataBits;
    SerialFlowControl Flow;
    uint32_t ExpectedError;
    bool StaysOpen; // the device opened, its line settings failed
};

void PrintTo(const OpenFailureCase& row, std::ostream* os) {
    *os << row.Name;
}

class OpenFailureTest : public SerialPortTest,
                        public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(OpenFailureTest, RaisesWithTheSystemCode) {
    const OpenFailureCase& row = GetParam();
    ASSERT_TRUE(m_Ports.Link(8, m_Ports.Path() + "/gone"));
    QFile plain(m_Ports.Path() + "/plain-file");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    uint32_t error = 0;
    try {
        if (row.Device == nullptr) {
            m_Port.Open(row.Port, row.Baud, NoParity, row.DataBits, OneStopBit, row.Flow, false);
        } else {
            const QString device = QString::fromLatin1(row.Device);
            m_Port.Open(device.startsWith('/') ? device : m_Ports.Path() + '/' + device, row.Baud,
                        NoParity, row.DataBits, OneStopBit, row.Flow, false);
        }
    } catch (const CSerialException& e) {
        error = e.m_dwError;
        EXPECT_EQ(e.IsNotFound(), row.ExpectedError == kSerialNotFound);
        EXPECT_FALSE(e.IsAccessDenied());
    }
    EXPECT_EQ(error, row.ExpectedError);
    EXPECT_EQ(m_Port.IsOpen(), row.StaysOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, OpenFailureTest,
    ::testing::Values(
        OpenFailureCase{"PortZero", 0, nullptr, 9600, 8, NoFlowControl, kSerialNotFound, false},
        OpenFailureCase{"NumberWithoutDevice", 200, nullptr, 9600, 8, NoFlowControl,
                        kSerialNotFound, false},
        OpenFailureCase{"LinkToMissingDevice", 8, nullptr, 9600, 8, NoFlowControl, kSerialNotFound,
                        false},
        OpenFailureCase{"MissingPath", 0, "/dev/does-not-exist", 9600, 8, NoFlowControl,
                        kSerialNotFound, false},
        OpenFailureCase{"NotATerminal", 0, "plain-file", 9600, 8, NoFlowControl, ENOTTY, false},
        OpenFailureCase{"UnsupportedBaud", kPort, nullptr, 12345, 8, NoFlowControl, EINVAL, true},
        OpenFailureCase{"NineDataBits", kPort, nullptr, 9600, 9, NoFlowControl, EINVAL, true},
        OpenFailureCase{"DsrFlow", kPort, nullptr, 9600, 8, DsrDtrFlowControl, EINVAL, true}),
    [](const ::testing::TestParamInfo<OpenFailureCase>& info) {
        return std::string(info.param.Name);
    });

// ---- line settings ------------------------------------------------------------

struct LineCase {
    const char* Name;
    detail::LineSettings Settings;
    uint32_t ExpectedError;
    tcflag_t CflagSet;   // bits that must be set
    tcflag_t CflagClear; // bits that must be clear
    tcflag_t IflagSet;
    tcflag_t IflagClear;
    speed_t Speed;
};

void PrintTo(const LineCase& row, std::ostream* os) {
    *os << row.Name;
}

class LineSettingsTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineSettingsTest, MapsToTermios) {
    const LineCase& row = GetParam();
    termios tio{};
    // Start from a cooked terminal with every optional feature switched on.
    tio.c_iflag = ICRNL | IXON | IXOFF | IXANY | ISTRIP | INPCK;
    tio.c_oflag = OPOST | ONLCR;
    tio.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    tio.c_cflag = CS7 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 5;

    ASSERT_EQ(detail::PlatformMakeLineSettings(tio, row.Settings), row.ExpectedError);
    if (row.ExpectedError != 0) {
        return;
    }
    EXPECT_EQ(tio.c_cflag & row.CflagSet, row.CflagSet);
    EXPECT_EQ(tio.c_cflag & row.CflagClear, 0u);
    EXPECT_EQ(tio.c_iflag & row.IflagSet, row.IflagSet);
    EXPECT_EQ(tio.c_iflag & row.IflagClear, 0u);
    EXPECT_EQ(cfgetospeed(&tio), row.Speed);
    EXPECT_EQ(cfgetispeed(&tio), row.Speed);
    // Raw in both directions, reads never wait on their own timer.
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    EXPECT_TRUE(tio.c_cflag & HUPCL) << "settings not named must keep their value";
}

const tcflag_t kXonXoff = IXON | IXOFF;

INSTANTIATE_TEST_SUITE_P(
    Settings, LineSettingsTest,
    ::testing::Values(
        LineCase{"Task8N1",
                 {9600, 0, 8, 0, 0},
                 0,
                 CS8,
                 PARENB | CSTOPB | CRTSCTS,
                 0,
                 kXonXoff | IXANY,
                 B9600},
        LineCase{"Odd7", {115200, 1, 7, 0, 0}, 0, CS7 | PARENB | PARODD, CMSPAR, 0, 0, B115200},
        LineCase{"Even", {19200, 2, 8, 0, 0}, 0, CS8 | PARENB, PARODD | CMSPAR, 0, 0, B19200},
        LineCase{"Mark", {9600, 3, 8, 0, 0}, 0, PARENB | PARODD | CMSPAR, 0, 0, 0, B9600},
        LineCase{"Space", {9600, 4, 8, 0, 0}, 0, PARENB | CMSPAR, PARODD, 0, 0, B9600},
        LineCase{"TwoStopBits", {9600, 0, 8, 2, 0}, 0, CSTOPB, 0, 0, 0, B9600},
        LineCase{"OneAndHalfWithFiveBits", {9600, 0, 5, 1, 0}, 0, CS5 | CSTOPB, 0, 0, 0, B9600},
        LineCase{"OneAndHalfWithEightBits", {9600, 0, 8, 1, 0}, EINVAL, 0, 0, 0, 0, B0},
        LineCase{"CtsRts", {38400, 0, 8, 0, 1}, 0, CRTSCTS, 0, 0, kXonXoff, B38400},
        LineCase{"CtsDtr", {9600, 0, 8, 0, 2}, EINVAL, 0, 0, 0, 0, B0},
        LineCase{"DsrRts", {9600, 0, 8, 0, 3}, EINVAL, 0, 0, 0, 0, B0},
        LineCase{"XonXoff", {57600, 0, 8, 0, 5}, 0, 0, CRTSCTS, kXonXoff, IXANY, B57600},
        LineCase{"FourDataBits", {9600, 0, 4, 0, 0}, EINVAL, 0, 0, 0, 0, B0},
        LineCase{"OddBaud", {14400, 0, 8, 0, 0}, EINVAL, 0, 0, 0, 0, B0}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.Name); });

// ---- the exception ----------------------------------------------------------------

TEST(SerialExceptionTest, MessageIsTheSystemTextOrEmpty) {
    EXPECT_FALSE(CSerialException(ENOENT).GetErrorMessage().isEmpty());
    EXPECT_FALSE(CSerialException(kSerialAccessDenied).GetErrorMessage().isEmpty());
    EXPECT_TRUE(CSerialException(9999).GetErrorMessage().isEmpty());
    EXPECT_TRUE(CSerialException(0xFFFFFFFFu).GetErrorMessage().isEmpty());
}

TEST(SerialExceptionTest, ZeroCodeStandsForTheLastError) {
    TraceCatcher traces;
    errno = ENODEV;
    try {
        ThrowSerialException(0);
        FAIL();
    } catch (const CSerialException& e) {
        EXPECT_EQ(e.m_dwError, static_cast<uint32_t>(ENODEV));
    }
    EXPECT_EQ(
        TraceCatcher::Lines(),
        QStringList{QStringLiteral("Warning: throwing CSerialException for error %1").arg(ENODEV)});
}

} // namespace
