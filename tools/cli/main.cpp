// corvinasetup-cli: the configuration tool's operations from a shell.
//
// Exit status follows sysexits: 0 success, 64 usage, 66 input unreadable,
// 73 output not written.
#include "portprobe.h"
#include "tessarsetupdoc.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace corvina {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;
constexpr int kExitCantCreate = 73;

const char* const kUsage =
    "usage: corvinasetup-cli COMMAND ...\n"
    "\n"
    "commands:\n"
    "  convert IN OUT   read configuration file IN into a new configuration and save it as OUT\n"
    "                   (IN may be /dev/null for the factory defaults)\n"
    "  ports            list the COM ports that can be opened now, one per line\n";

void Error(const QString& text) {
    std::fprintf(stderr, "corvinasetup-cli: %s\n", qPrintable(text));
}

int Usage(const QString& problem = {}) {
    if (!problem.isEmpty())
        Error(problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int Convert(const QStringList& args) {
    if (args.size() != 2)
        return Usage(QStringLiteral("convert takes IN and OUT"));
    LoggerConfig cfg;
    CTessarSetupDoc doc(cfg);
    doc.OnNewDocument();
    QString error;
    LoadReport report;
    if (!doc.OnOpenDocument(args[0], &error, &report)) {
        Error(error);
        return kExitNoInput;
    }
    if (report.linesSkipped > 0)
        Error(QStringLiteral("%1: %2 line(s) of 128 bytes or more were skipped")
                  .arg(args[0])
                  .arg(report.linesSkipped));
    if (!doc.OnSaveDocument(args[1], &error)) {
        Error(error);
        return kExitCantCreate;
    }
    return kExitOk;
}

int Ports(const QStringList& args) {
    if (!args.isEmpty())
        return Usage(QStringLiteral("ports takes no arguments"));
    for (int port : ListPresentPorts())
        std::printf("COM%d\n", port);
    return kExitOk;
}

} // namespace
} // namespace corvina

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return corvina::Usage(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("convert"))
        return corvina::Convert(args);
    if (command == QLatin1String("ports"))
        return corvina::Ports(args);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(corvina::kUsage, stdout);
        return corvina::kExitOk;
    }
    return corvina::Usage(QStringLiteral("unknown command '%1'").arg(command));
}
