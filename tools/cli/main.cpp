// corvinasetup-cli: the configuration tool's operations from a shell.
//
// Exit status follows sysexits: 0 success, 64 usage, 66 input unreadable,
// 73 output not written. The logger commands exit with the task's result
// instead (1 no response, 2 no expected response, 5 port held by another
// program, 6 other port failure), or 3 after a send whose every step ran but
// some commands went unanswered.
#include "activity.h"
#include "loggertasks.h"
#include "portprobe.h"
#include "tessarsetupdoc.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <optional>

#include <unistd.h>

namespace corvina {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnanswered = 3;
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;
constexpr int kExitCantCreate = 73;

const char* const kUsage =
    "usage: corvinasetup-cli COMMAND ...\n"
    "\n"
    "commands:\n"
    "  convert IN OUT   read configuration file IN into a new configuration and save it as OUT\n"
    "                   (IN may be /dev/null for the factory defaults)\n"
    "  ports            list the COM ports that can be opened now, one per line\n"
    "  send FILE --port COMn [--speed BPS] [--set-time]\n"
    "                   send configuration file FILE to the logger and have it stored;\n"
    "                   --set-time also sets the logger's clock to this PC's\n"
    "  retrieve OUT --port COMn [--speed BPS] [--info]\n"
    "                   read the logger's configuration and save it as OUT; --info also\n"
    "                   prints its serial number, model, firmware, clock and serial drivers\n"
    "  reset --port COMn [--speed BPS]\n"
    "                   reset the logger to its factory configuration\n"
    "\n"
    "BPS is the PC's bit rate, 115200 unless given. The logger commands exit with 0 on\n"
    "success, 1 when the logger did not answer, 2 when it did not answer as expected,\n"
    "3 when a send went through but some commands were not acknowledged (listed),\n"
    "5 when another program holds the port and 6 on any other port failure.\n";

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

// The logger tasks' messages go to stderr; the progress shows on a terminal.
class CConsoleTaskHost : public CTaskHost {
public:
    CConsoleTaskHost() : m_bTerminal(isatty(fileno(stderr)) == 1) {}
    ~CConsoleTaskHost() override { EndProgressLine(); }

    void SetProgress(int percent) override {
        if (!m_bTerminal)
            return;
        std::fprintf(stderr, "\r%3d%%", percent);
        std::fflush(stderr);
        m_bProgressShown = true;
    }

    void ShowError(const QString& caption, const QString& text) override {
        EndProgressLine();
        const bool list = caption == QLatin1String(kNoResponseCaption);
        if (!list && !text.contains(QLatin1Char('\n'))) {
            Error(caption + QStringLiteral(": ") + text);
            return;
        }
        Error(caption + QLatin1Char(':'));
        for (const QString& line : text.split(QLatin1Char('\n')))
            std::fprintf(stderr, "  %s\n", qPrintable(line));
    }

private:
    void EndProgressLine() {
        if (m_bProgressShown)
            std::fputs("\r     \r", stderr);
        m_bProgressShown = false;
    }

    bool m_bTerminal;
    bool m_bProgressShown = false;
};

struct LoggerOptions {
    QStringList positional;
    QString port;
    QString speed = QStringLiteral("115200");
    bool setTime = false;
    bool info = false;
};

// Reads the options a logger command allows; a message when they are wrong.
std::optional<LoggerOptions> ParseLoggerOptions(const QString& command, QStringList args,
                                                int positionalCount, bool allowSetTime,
                                                bool allowInfo, QString* problem) {
    LoggerOptions options;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--port") || arg == QLatin1String("--speed")) {
            if (args.isEmpty()) {
                *problem = QStringLiteral("%1 needs a value").arg(arg);
                return std::nullopt;
            }
            (arg == QLatin1String("--port") ? options.port : options.speed) = args.takeFirst();
        } else if (allowSetTime && arg == QLatin1String("--set-time")) {
            options.setTime = true;
        } else if (allowInfo && arg == QLatin1String("--info")) {
            options.info = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            *problem = QStringLiteral("%1 does not take %2").arg(command, arg);
            return std::nullopt;
        } else {
            options.positional << arg;
        }
    }
    if (options.positional.size() != positionalCount) {
        *problem = positionalCount == 0 ? QStringLiteral("%1 takes no file").arg(command)
                                        : QStringLiteral("%1 takes exactly one file").arg(command);
        return std::nullopt;
    }
    static const QRegularExpression kPort(QStringLiteral("^COM[0-9]{1,3}$"));
    if (!kPort.match(options.port).hasMatch()) {
        *problem = options.port.isEmpty()
                       ? QStringLiteral("%1 needs --port COMn").arg(command)
                       : QStringLiteral("'%1' is no port name such as COM3").arg(options.port);
        return std::nullopt;
    }
    static const QRegularExpression kSpeed(QStringLiteral("^[1-9][0-9]{1,6}$"));
    if (!kSpeed.match(options.speed).hasMatch()) {
        *problem = QStringLiteral("'%1' is no bit rate such as 115200").arg(options.speed);
        return std::nullopt;
    }
    return options;
}

// Runs a task as the program would, one at a time, and takes its result
// over into cfg.
TaskOutcome RunTask(LoggerTaskKind task, LoggerConfig& cfg) {
    ActivityFlags.fetch_or(ActivityBitOf(task));
    CConsoleTaskHost host;
    CCommandExchange exchange(theSerialPort);
    const TaskOutcome outcome = RunLoggerTask(task, cfg, host, exchange);
    ApplyTaskOutcome(cfg, outcome);
    ActivityFlags.fetch_and(~ActivityBitOf(task));
    return outcome;
}

void NewConfiguration(LoggerConfig& cfg, const LoggerOptions& options) {
    CTessarSetupDoc doc(cfg);
    doc.OnNewDocument();
    cfg.Link.PortName = options.port;
    cfg.Link.PortSpeed = options.speed;
    cfg.Link.SetSystemTime = options.setTime ? 1 : 0;
}

int Send(const QStringList& args) {
    QString problem;
    const auto options = ParseLoggerOptions(QStringLiteral("send"), args, 1, true, false, &problem);
    if (!options)
        return Usage(problem);
    LoggerConfig cfg;
    CTessarSetupDoc doc(cfg);
    doc.OnNewDocument();
    QString error;
    LoadReport report;
    if (!doc.OnOpenDocument(options->positional[0], &error, &report)) {
        Error(error);
        return kExitNoInput;
    }
    if (report.linesSkipped > 0)
        Error(QStringLiteral("%1: %2 line(s) of 128 bytes or more were skipped")
                  .arg(options->positional[0])
                  .arg(report.linesSkipped));
    cfg.Link.PortName = options->port;
    cfg.Link.PortSpeed = options->speed;
    cfg.Link.SetSystemTime = options->setTime ? 1 : 0;
    const TaskOutcome outcome = RunTask(LoggerTaskKind::Send, cfg);
    if (outcome.result == kResultOk && !outcome.noResponseList.isEmpty())
        return kExitUnanswered;
    return outcome.result;
}

void PrintLoggerInfo(const LoggerConfig& cfg) {
    const SystemSettings& sys = cfg.System;
    std::printf("SN %s\n", qPrintable(sys.SN));
    std::printf("DeviceModel %s\n", qPrintable(cfg.Link.DeviceModel));
    // The logger reports its firmware with the word "Version" in front.
    const QString version = sys.Version.startsWith(QLatin1String("Version"))
                                ? sys.Version.mid(7).trimmed()
                                : sys.Version;
    std::printf("Version %s\n", qPrintable(version));
    std::printf("Date %s.%s.%s\n", qPrintable(sys.DateDay), qPrintable(sys.DateMonth),
                qPrintable(sys.DateYear));
    std::printf("Time %s:%s:%s\n", qPrintable(sys.TimeHour), qPrintable(sys.TimeMinute),
                qPrintable(sys.TimeSecond));
    for (const SerialDriver& d : cfg.Drivers) {
        if (d.Id == 0)
            break;
        std::printf("SerialDriver %d,%d,%s\n", d.Id, d.Kind, qPrintable(d.Name));
    }
}

int Retrieve(const QStringList& args) {
    QString problem;
    const auto options =
        ParseLoggerOptions(QStringLiteral("retrieve"), args, 1, false, true, &problem);
    if (!options)
        return Usage(problem);
    LoggerConfig cfg;
    NewConfiguration(cfg, *options);
    const TaskOutcome outcome = RunTask(LoggerTaskKind::Retrieve, cfg);
    // Only a complete configuration replaces the file.
    if (outcome.result != kResultOk)
        return outcome.result;
    CTessarSetupDoc doc(cfg);
    QString error;
    if (!doc.OnSaveDocument(options->positional[0], &error)) {
        Error(error);
        return kExitCantCreate;
    }
    if (options->info)
        PrintLoggerInfo(cfg);
    return kExitOk;
}

int Reset(const QStringList& args) {
    QString problem;
    const auto options =
        ParseLoggerOptions(QStringLiteral("reset"), args, 0, false, false, &problem);
    if (!options)
        return Usage(problem);
    LoggerConfig cfg;
    NewConfiguration(cfg, *options);
    return RunTask(LoggerTaskKind::Default, cfg).result;
}

// The debug traces of the serial port and the tasks are for a debugger, not
// for the user of a shell tool.
void DropDebugTraces(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace
} // namespace corvina

int main(int argc, char** argv) {
    qInstallMessageHandler(corvina::DropDebugTraces);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return corvina::Usage(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("convert"))
        return corvina::Convert(args);
    if (command == QLatin1String("ports"))
        return corvina::Ports(args);
    if (command == QLatin1String("send"))
        return corvina::Send(args);
    if (command == QLatin1String("retrieve"))
        return corvina::Retrieve(args);
    if (command == QLatin1String("reset"))
        return corvina::Reset(args);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(corvina::kUsage, stdout);
        return corvina::kExitOk;
    }
    return corvina::Usage(QStringLiteral("unknown command '%1'").arg(command));
}
