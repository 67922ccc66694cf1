#include "portprobe.h"

#include "portmap.h"
#include "serialport.h"

#include <QFileInfo>

namespace corvina {

namespace {

constexpr int kFirstProbedPort = 1;
constexpr int kLastProbedPort = 255;

} // namespace

int ProbePort(int port) {
    // Most numbers have no device; skipping the open for them keeps the probe
    // of 255 ports quick and the debug output free of 250 expected failures.
    const QString device = PortDevicePath(port);
    if (device.isEmpty() || !QFileInfo::exists(device)) {
        return -1;
    }
    try {
        theSerialPort.Open(device, 9600, NoParity, 8, OneStopBit, NoFlowControl, false);
        theSerialPort.Close();
        return 1;
    } catch (const CSerialException& e) {
        LinkTrace("Handle Exception, Message:%s\n", qUtf8Printable(e.GetErrorMessage()));
        return -1;
    }
}

void FillPortPresence(LoggerConfig& cfg) {
    static_assert(kLastProbedPort < kPortTable);
    for (int port = kFirstProbedPort; port <= kLastProbedPort; ++port) {
        cfg.PortPresence[port] = ProbePort(port) == 1 ? 1 : 0;
    }
}

QList<int> ListPresentPorts() {
    QList<int> ports;
    for (int port = kFirstProbedPort; port <= kLastProbedPort; ++port) {
        if (ProbePort(port) == 1) {
            ports.append(port);
        }
    }
    return ports;
}

} // namespace corvina
