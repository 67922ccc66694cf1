// loggersim: a simulated data logger offered as a COM port, for trying the
// program without hardware and for testing it against a misbehaving logger.

#include "configparser.h"
#include "loggersim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

using namespace corvina;

namespace {

const char kHelp[] = R"(Usage: loggersim --port COM<n> [options]

Simulates a data logger on a pseudo-terminal and offers it as COM<n>: a link
named COM<n> in the ports folder ($CORVINASETUP_PORTS, or the per-user
configuration folder's CorvinaSetup/ports) points at the pseudo-terminal, so the
program finds it like any other COM port. Runs until interrupted (Ctrl+C or
SIGTERM), then removes the link.

The simulated logger answers the service-mode handshake, takes configuration
lines, answers the configuration queries from the configuration it holds,
resets to its factory configuration on "SetDefaultConfig" and changes its
nominal line speed on "Serial2". Its factory configuration is the program's
new-document configuration with serial number 12340612, "Version 2.41", the
computer's clock and a small serial driver list.

Options:
  --port COM<n>|<n>     the COM port to offer (required)
  --config FILE         load a configuration file (.txt) into the logger at start
  --sn TEXT             the logger's serial number (characters 5-6: model code)
  --live MS             write a dated value row every MS milliseconds while not in
                        service mode (columns follow the used output channels;
                        separated by commas when DataFormat is CSV, else blanks)
  --log FILE            append every command received to FILE, one per line,
                        CR as \r, LF as \n and other bytes outside ASCII as \xHH
  --verbose             print every command received on standard error
  --help                show this text

Fault modes, for testing the program against a misbehaving logger:
  --silent              read commands but never answer (a dead logger)
  --stop-after N        answer the first N commands, then fall silent
  --delay MS            wait MS milliseconds before every answer
  --pieces N            send answers in pieces of N bytes ...
  --piece-pause MS      ... with MS milliseconds between pieces (default 20; a
                        pause above 10 ms splits an answer across the program's
                        reads)
  --garbage N           after every N answer bytes insert one byte the program
                        must drop (control characters other than CR and LF,
                        DEL, bytes above 127)
  --oversize N          put N bytes of filler lines before the text of every
                        answer (more than 10000 overflows the program's buffer)
  --check-speed         ignore what arrives while the program's line speed
                        differs from the logger's, as a real line would garble
                        it (the logger's speed starts at its Serial2 setting
                        and follows every "Serial2" command)
)";

QByteArray Escaped(const QByteArray& bytes) {
    QByteArray out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (b < 0x20 || b > 0x7e)
            out += "\\x" + QByteArray::number(b, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

int Fail(const QString& message) {
    std::fprintf(stderr, "loggersim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("port"));
    const QCommandLineOption config(QStringLiteral("config"), {}, QStringLiteral("file"));
    const QCommandLineOption sn(QStringLiteral("sn"), {}, QStringLiteral("text"));
    const QCommandLineOption live(QStringLiteral("live"), {}, QStringLiteral("ms"));
    const QCommandLineOption log(QStringLiteral("log"), {}, QStringLiteral("file"));
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption silent(QStringLiteral("silent"));
    const QCommandLineOption stopAfter(QStringLiteral("stop-after"), {}, QStringLiteral("n"));
    const QCommandLineOption delay(QStringLiteral("delay"), {}, QStringLiteral("ms"));
    const QCommandLineOption pieces(QStringLiteral("pieces"), {}, QStringLiteral("n"));
    const QCommandLineOption piecePause(QStringLiteral("piece-pause"), {}, QStringLiteral("ms"));
    const QCommandLineOption garbage(QStringLiteral("garbage"), {}, QStringLiteral("n"));
    const QCommandLineOption oversize(QStringLiteral("oversize"), {}, QStringLiteral("n"));
    const QCommandLineOption checkSpeed(QStringLiteral("check-speed"));
    parser.addOptions({port, config, sn, live, log, verbose, help, silent, stopAfter, delay, pieces,
                       piecePause, garbage, oversize, checkSpeed});
    if (!parser.parse(app.arguments()))
        return Fail(parser.errorText() + QStringLiteral(" (see --help)"));
    if (parser.isSet(help)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return Fail(QStringLiteral("unexpected argument %1 (see --help)")
                        .arg(parser.positionalArguments().first()));

    const auto number = [&](const QCommandLineOption& option, int fallback, int min,
                            int* out) -> bool {
        if (!parser.isSet(option)) {
            *out = fallback;
            return true;
        }
        bool ok = false;
        *out = parser.value(option).toInt(&ok);
        if (!ok || *out < min) {
            Fail(QStringLiteral("--%1 needs a whole number of at least %2, not \"%3\"")
                     .arg(option.names().first())
                     .arg(min)
                     .arg(parser.value(option)));
            return false;
        }
        return true;
    };

    QString portText = parser.value(port);
    if (portText.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        portText = portText.mid(3);
    bool portOk = false;
    const int portNumber = portText.toInt(&portOk);
    if (!parser.isSet(port) || !portOk || portNumber < 1 || portNumber > 255)
        return Fail(QStringLiteral("--port needs a port such as COM7 or 7 (1 to 255)"));

    SimFaults faults;
    faults.silent = parser.isSet(silent);
    faults.checkSpeed = parser.isSet(checkSpeed);
    int liveMs = 0;
    if (!number(stopAfter, -1, 0, &faults.stopAfter) || !number(delay, 0, 0, &faults.delayMs) ||
        !number(pieces, 0, 1, &faults.pieceBytes) ||
        !number(piecePause, 20, 0, &faults.piecePauseMs) ||
        !number(garbage, 0, 1, &faults.garbageEvery) ||
        !number(oversize, 0, 1, &faults.oversizeBytes) || !number(live, 0, 1, &liveMs))
        return 2;

    LoggerSim sim;
    LoggerConfig cfg = sim.Config();
    if (parser.isSet(config)) {
        QFile file(parser.value(config));
        if (!file.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
        ParseConfigScript(cfg, file.readAll());
    }
    if (parser.isSet(sn))
        cfg.System.SN = parser.value(sn);
    sim.SetConfig(cfg);
    sim.SetFaults(faults);

    QFile logFile;
    if (parser.isSet(log)) {
        logFile.setFileName(parser.value(log));
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append))
            return Fail(QStringLiteral("%1: %2").arg(logFile.fileName(), logFile.errorString()));
    }
    const bool beVerbose = parser.isSet(verbose);
    sim.SetCommandObserver([&](const QByteArray& command) {
        const QByteArray line = Escaped(command) + '\n';
        if (logFile.isOpen()) {
            logFile.write(line);
            logFile.flush();
        }
        if (beVerbose)
            std::fprintf(stderr, "<- %s", line.constData());
    });

    // The signals are taken by sigwait below; blocked before the worker starts
    // so that it never receives them. A shell starts background jobs with
    // SIGINT ignored, which would discard it before sigwait sees it.
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        std::signal(s, [](int) {});
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QString error;
    if (!sim.Start(portNumber, &error))
        return Fail(error);
    if (liveMs > 0)
        sim.StartLive(liveMs);
    std::fprintf(stderr, "loggersim: COM%d is %s -> %s (Ctrl+C ends)\n", portNumber,
                 qPrintable(sim.LinkPath()), qPrintable(sim.SlavePath()));

    int signal = 0;
    sigwait(&stopSignals, &signal);
    sim.Stop();
    std::fprintf(stderr, "loggersim: stopped, %s removed\n", qPrintable(sim.LinkPath()));
    return 0;
}
