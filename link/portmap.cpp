#include "portmap.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace corvina {

namespace {

struct DefaultRange {
    int FirstPort;
    int LastPort;
    const char* DevicePrefix;
};

constexpr DefaultRange kDefaultRanges[] = {
    {1, 32, "/dev/ttyS"},
    {33, 64, "/dev/ttyUSB"},
    {65, 96, "/dev/ttyACM"},
};

} // namespace

QString PortsDirectory() {
    const QString fromEnvironment = qEnvironmentVariable("CORVINASETUP_PORTS");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    // The generic location needs no application name, so it is the same
    // before, during and without a QCoreApplication.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/CorvinaSetup/ports");
}

QString PortLinkPath(int port) {
    return PortsDirectory() + QStringLiteral("/COM%1").arg(port);
}

QString PortDevicePath(int port) {
    if (port < 1) {
        return {};
    }
    const QString link = PortLinkPath(port);
    const QFileInfo info(link);
    if (info.isSymLink() || info.exists()) {
        return link;
    }
    for (const DefaultRange& range : kDefaultRanges) {
        if (port >= range.FirstPort && port <= range.LastPort) {
            return QLatin1String(range.DevicePrefix) + QString::number(port - range.FirstPort);
        }
    }
    return {};
}

} // namespace corvina
