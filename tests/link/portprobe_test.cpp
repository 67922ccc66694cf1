#include "linktestsupport.h"
#include "portprobe.h"
#include "serialport.h"

#include <gtest/gtest.h>

using namespace corvina;
using namespace corvina::test;

namespace {

// COM7 is a pseudo-terminal; every device of the machine itself is hidden.
class PortProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Peer.IsValid());
        m_Ports.HideDefaultDevices();
        ASSERT_TRUE(m_Ports.Link(7, m_Peer.SlavePath()));
    }

    PtyPeer m_Peer;
    PortsDirectoryFixture m_Ports;
};

TEST_F(PortProbeTest, FreePortIsPresentAndLeftClosed) {
    EXPECT_EQ(ProbePort(7), 1);
    EXPECT_FALSE(theSerialPort.IsOpen());
    EXPECT_EQ(ProbePort(8), -1);
    EXPECT_EQ(ProbePort(0), -1);
}

TEST_F(PortProbeTest, BusyPortIsAbsentAndTraced) {
    CSerialPort holder;
    holder.Open(7);
    TraceCatcher traces;
    EXPECT_EQ(ProbePort(7), -1);
    const QString expected =
        "Handle Exception, Message:" + CSerialException(kSerialAccessDenied).GetErrorMessage();
    EXPECT_TRUE(TraceCatcher::Lines().contains(expected))
        << TraceCatcher::Lines().join('|').toStdString();
    EXPECT_FALSE(theSerialPort.IsOpen());
}

TEST_F(PortProbeTest, ProbeClosesWhatAFailedTaskLeftOpen) {
    theSerialPort.Open(7);
    EXPECT_EQ(ProbePort(7), 1);
    EXPECT_FALSE(theSerialPort.IsOpen());
}

TEST_F(PortProbeTest, FillsOnlyTheFoundPorts) {
    LoggerConfig cfg;
    cfg.PortPresence.fill(1);
    cfg.PortPresence[0] = 42;
    FillPortPresence(cfg);
    EXPECT_EQ(cfg.PortPresence[0], 42);
    for (int port = 1; port < kPortTable; ++port) {
        EXPECT_EQ(cfg.PortPresence[port], port == 7 ? 1 : 0) << "COM" << port;
    }
}

TEST_F(PortProbeTest, ListsPresentPortsInOrder) {
    PtyPeer second;
    ASSERT_TRUE(m_Ports.Link(200, second.SlavePath()));
    EXPECT_EQ(ListPresentPorts(), (QList<int>{7, 200}));
}

} // namespace
