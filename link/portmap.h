// Which device stands behind a COM port number.
//
// A port number n is looked up first in the ports directory: an entry named
// COM<n> there (normally a symbolic link to a device, such as a USB adapter's
// /dev/serial/by-id/... name) is that port, even while its target is missing,
// so that an unplugged adapter never turns into another device. Without an
// entry the fixed ranges apply: COM1-32 are /dev/ttyS0-31, COM33-64
// /dev/ttyUSB0-31 and COM65-96 /dev/ttyACM0-31; other numbers have no device.
#pragma once

#include <QString>

namespace corvina {

// $CORVINASETUP_PORTS when set and not empty, otherwise the per-user
// configuration folder's "CorvinaSetup/ports" (~/.config/CorvinaSetup/ports).
// Works before and without a QCoreApplication.
QString PortsDirectory();

// The device to open for COM<port>; empty when the number has none.
QString PortDevicePath(int port);

// Where the ports directory's entry for COM<port> lives, whether or not it
// exists.
QString PortLinkPath(int port);

} // namespace corvina
