#include "linktestsupport.h"
#include "portmap.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace corvina;
using namespace corvina::test;

namespace {

enum class Entry { None, LinkToFile, DanglingLink };

struct MapCase {
    const char* Name;
    int Port;
    Entry PortEntry;
    const char* Expected; // relative to the ports directory when it starts with "COM"
};

void PrintTo(const MapCase& row, std::ostream* os) {
    *os << row.Name;
}

class PortMapTest : public ::testing::TestWithParam<MapCase> {
protected:
    PortsDirectoryFixture m_Ports;
};

TEST_P(PortMapTest, FindsTheDevice) {
    const MapCase& row = GetParam();
    switch (row.PortEntry) {
    case Entry::None:
        break;
    case Entry::LinkToFile: {
        QFile target(m_Ports.Path() + "/target");
        ASSERT_TRUE(target.open(QIODevice::WriteOnly));
        ASSERT_TRUE(m_Ports.Link(row.Port, target.fileName()));
        break;
    }
    case Entry::DanglingLink:
        ASSERT_TRUE(m_Ports.Link(row.Port, m_Ports.Path() + "/unplugged"));
        break;
    }
    QString expected = QString::fromLatin1(row.Expected);
    if (expected.startsWith("COM")) {
        expected = m_Ports.Path() + '/' + expected;
    }
    EXPECT_EQ(PortDevicePath(row.Port), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PortMapTest,
    ::testing::Values(MapCase{"FirstSerial", 1, Entry::None, "/dev/ttyS0"},
                      MapCase{"LastSerial", 32, Entry::None, "/dev/ttyS31"},
                      MapCase{"FirstUsb", 33, Entry::None, "/dev/ttyUSB0"},
                      MapCase{"LastUsb", 64, Entry::None, "/dev/ttyUSB31"},
                      MapCase{"FirstAcm", 65, Entry::None, "/dev/ttyACM0"},
                      MapCase{"LastAcm", 96, Entry::None, "/dev/ttyACM31"},
                      MapCase{"BeyondRanges", 97, Entry::None, ""},
                      MapCase{"HighestProbed", 255, Entry::None, ""},
                      MapCase{"Zero", 0, Entry::None, ""}, MapCase{"Negative", -3, Entry::None, ""},
                      MapCase{"LinkOverridesRange", 7, Entry::LinkToFile, "COM7"},
                      MapCase{"LinkBeyondRanges", 200, Entry::LinkToFile, "COM200"},
                      // An unplugged adapter must not fall back to another device.
                      MapCase{"DanglingLinkStillCounts", 3, Entry::DanglingLink, "COM3"},
                      MapCase{"ZeroIgnoresLinks", 0, Entry::LinkToFile, ""}),
    [](const ::testing::TestParamInfo<MapCase>& info) { return std::string(info.param.Name); });

TEST(PortsDirectoryTest, VariableOrPerUserConfiguration) {
    PortsDirectoryFixture ports;
    EXPECT_EQ(PortsDirectory(), ports.Path());
    EXPECT_EQ(PortLinkPath(12), ports.Path() + "/COM12");

    const QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/corvina-config-home");
    qputenv("CORVINASETUP_PORTS", "");
    EXPECT_EQ(PortsDirectory(), QStringLiteral("/tmp/corvina-config-home/CorvinaSetup/ports"));
    qunsetenv("CORVINASETUP_PORTS");
    EXPECT_EQ(PortLinkPath(7), QStringLiteral("/tmp/corvina-config-home/CorvinaSetup/ports/COM7"));
    if (oldConfigHome.isEmpty()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", oldConfigHome);
    }
}

} // namespace
