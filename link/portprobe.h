// Finding out which COM ports can be used right now.
#pragma once

#include "loggerconfig.h"

#include <QList>

namespace corvina {

// Opens COM<port> on theSerialPort at 9600 baud, 8 data bits, no parity, one
// stop bit, no flow control, and closes it again. Returns 1 when that worked,
// -1 when the port has no device, is held by another program or refuses the
// settings. Uses theSerialPort: call it only while no logger task runs.
int ProbePort(int port);

// Sets PortPresence[n] to 1 for every port 1-255 that ProbePort finds and to
// 0 for the others; entry 0 stays as it is. Fast enough for the
// user-interface thread: ports without a device are not opened at all.
void FillPortPresence(LoggerConfig& cfg);

// The port numbers 1-255 that ProbePort finds, in ascending order.
QList<int> ListPresentPorts();

} // namespace corvina
