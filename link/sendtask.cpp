// Writing the configuration into the logger.
//
// The lines are those of a configuration file, one per exchange and each
// acknowledged with "OK", in an order of the logger's liking. The logger's
// own PC-link speed (Serial2) goes last, because the logger switches to it as
// soon as it takes the line; the port is then reopened at that speed for the
// closing commands that make the logger store what it got.
#include "configscript.h"
#include "taskcommon.h"

namespace corvina {

namespace {

constexpr detail::HandshakeNumbers kHandshake{10, 100, 10, 150, 100};
constexpr int kKeepProgress = -1;

// The numeric lines are formatted into buffers of these sizes (terminating
// zero included); a number too long for its buffer is not sent cut.
int LineBufferSize(int kind) {
    switch (kind) {
    case 4:
    case 6:
        return 25;
    case 5:
    case 7:
    case 26:
        return 20;
    case 14:
    case 15:
    case 16:
        return 30;
    default:
        return kCommandBufferSize;
    }
}

// Shows each unanswered line on a line of its own.
QString ListForDisplay(QString list) {
    list.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    list.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (list.endsWith(QLatin1Char('\n')))
        list.chop(1);
    return list;
}

class CLineSender {
public:
    CLineSender(CCommandExchange& exchange, CTaskHost& host, QString& noResponse)
        : m_Exchange(exchange), m_Host(host), m_NoResponse(noResponse) {}

    // Exchanges one line (terminator included); true when acknowledged. A
    // line that cannot be built in its buffer counts as unanswered.
    bool Exchange(const QString& line, int bufferSize = kCommandBufferSize,
                  QByteArrayView expected = "OK") {
        const std::optional<QByteArray> bytes = ToNarrowText(line, bufferSize);
        if (!bytes)
            return false;
        return m_Exchange.SendAndWait(*bytes, expected, 10) == kResultOk;
    }

    // Sleeps, exchanges, shows the progress and lists the line when it was
    // not acknowledged; the task goes on either way.
    void Send(const QString& line, int progress, int bufferSize = kCommandBufferSize,
              int sleepMs = 50) {
        m_Exchange.Sleep(sleepMs);
        const bool ok = Exchange(line, bufferSize);
        if (progress != kKeepProgress)
            m_Host.SetProgress(progress);
        if (!ok)
            m_NoResponse += line;
    }

    void SendKind(const LoggerConfig& cfg, int kind, int progress, int channel = 0) {
        Send(BuildScriptLine(cfg, kind, channel) + QLatin1Char('\r'), progress,
             LineBufferSize(kind));
    }

private:
    CCommandExchange& m_Exchange;
    CTaskHost& m_Host;
    QString& m_NoResponse;
};

// The date and time lines: the system form's fields when "Set Time" is on
// and all three are filled in, else the PC clock when "Set System Time" is
// on, else none.
QString DateLine(const LoggerConfig& cfg, CTaskHost& host) {
    const SystemSettings& sys = cfg.System;
    if (sys.SetTime == 1 && !sys.DateDay.isEmpty() && !sys.DateMonth.isEmpty() &&
        !sys.DateYear.isEmpty())
        return QStringLiteral("Date %1.%2.%3\r\n").arg(sys.DateDay, sys.DateMonth, sys.DateYear);
    if (cfg.Link.SetSystemTime == 1) {
        const QDate today = host.LocalTime().date();
        return QString::asprintf("Date %d.%d.%d\r", today.day(), today.month(), today.year());
    }
    return {};
}

QString TimeLine(const LoggerConfig& cfg, CTaskHost& host) {
    const SystemSettings& sys = cfg.System;
    if (sys.SetTime == 1 && !sys.TimeHour.isEmpty() && !sys.TimeMinute.isEmpty() &&
        !sys.TimeSecond.isEmpty())
        return QStringLiteral("Time %1:%2:%3\r\n")
            .arg(sys.TimeHour, sys.TimeMinute, sys.TimeSecond);
    if (cfg.Link.SetSystemTime == 1) {
        const QTime now = host.LocalTime().time();
        return QString::asprintf("Time %d:%d:%d\r", now.hour(), now.minute(), now.second());
    }
    return {};
}

void SendConfigurationLines(const LoggerConfig& cfg, CCommandExchange& exchange, CTaskHost& host,
                            QString& noResponse) {
    CLineSender out(exchange, host, noResponse);
    // Early warning stays off while the rules change.
    out.Send(QStringLiteral("EWS 0\r"), kKeepProgress);
    struct KeyLine {
        int kind;
        int progress;
    };
    static const KeyLine kHead[] = {
        {3, kKeepProgress},
        {4, 2},
        {5, 3},
        {7, 4},
        {6, 5},
        {9, 6},
        {11, 7},
        {12, 7},
        {13, 8},
        {14, 9},
        {15, 10},
        {16, 11},
        {17, 12},
        {19, 14},
        {20, 15},
        {21, 16},
        {22, 17},
        {23, 18},
        {24, 19},
        {25, 20},
        {26, 21},
        {27, 22},
    };
    for (const KeyLine& k : kHead)
        out.SendKind(cfg, k.kind, k.progress);

    // Channel lines, with the progress in tenths of a percent per channel.
    struct ChannelLoop {
        int kind;
        int first; // 0-based index
        int last;
        int base;
        int tenthsPerChannel;
        int after;
    };
    static const ChannelLoop kLoops[] = {
        {35, 0, 7, 22, 12, 30}, {36, 8, 19, 30, 8, 40}, {37, 0, 7, 40, 12, 50},
        {38, 0, 18, 50, 7, 60}, {39, 0, 7, 60, 12, 70}, {40, 0, 31, 70, 3, 80},
        {41, 0, 15, 80, 3, 85},
    };
    for (const ChannelLoop& loop : kLoops) {
        for (int i = loop.first; i <= loop.last; ++i)
            out.SendKind(cfg, loop.kind, (i - loop.first) * loop.tenthsPerChannel / 10 + loop.base,
                         i + 1);
        host.SetProgress(loop.after);
    }
    // Polynomials from P16 down to P1.
    for (int i = kPolynomials - 1; i >= 0; --i)
        out.SendKind(cfg, 42, (15 - i) * 3 / 10 + 85, i + 1);
    host.SetProgress(90);

    static const KeyLine kTail[] = {
        {29, 91}, {30, 92}, {31, 93}, {32, 93}, {33, 94}, {34, 94}, {28, 94},
    };
    for (const KeyLine& k : kTail)
        out.SendKind(cfg, k.kind, k.progress);

    out.Send(QStringLiteral("EWS 0\r\n"), 94, kCommandBufferSize, 100);

    // The SMS numbers stop at the first one the logger does not take.
    QString refused;
    for (int n = 1; n <= kSmsNumbers; ++n) {
        exchange.Sleep(50);
        const QString line = BuildScriptLine(cfg, 43, n) + QLatin1Char('\r');
        if (!out.Exchange(line)) {
            refused = line;
            break;
        }
    }
    host.SetProgress(95);
    noResponse += refused;

    const QString date = DateLine(cfg, host);
    exchange.Sleep(50);
    if (!date.isEmpty() && !out.Exchange(date))
        noResponse += date;
    host.SetProgress(96);

    const QString time = TimeLine(cfg, host);
    exchange.Sleep(50);
    if (!time.isEmpty() && !out.Exchange(time))
        noResponse += time;
    host.SetProgress(97);

    // No answer is awaited: it would come at the new speed.
    exchange.Sleep(50);
    const QString serial2 = BuildScriptLine(cfg, 10) + QLatin1Char('\r');
    if (!out.Exchange(serial2, kCommandBufferSize, ""))
        noResponse += serial2;
}

// At the logger's new speed: store, restore the early-warning switch, store
// again, leave service mode.
void StoreConfiguration(int port, const LoggerConfig& cfg, CCommandExchange& exchange,
                        CTaskHost& host, QString& noResponse) {
    const uint32_t baud = TaskBaudRate(cfg.System.Serial2);
    exchange.Sleep(500);
    exchange.OpenTaskPort(port, baud);
    exchange.Sleep(500);

    exchange.Sleep(50);
    exchange.SendAndWait("\r", "", 10);
    exchange.Sleep(50);
    exchange.SendAndWait("SaveConfig\r", "OK", 10);

    host.SetProgress(99);
    exchange.Sleep(100);
    const QString ews =
        cfg.System.EWS == 1 ? QStringLiteral("EWS 1\r\n") : QStringLiteral("EWS 0\r\n");
    const int ewsResult = exchange.SendAndWait(ews.toLatin1(), "OK", 10);
    host.SetProgress(99);
    if (ewsResult != kResultOk)
        noResponse += ews;

    exchange.Sleep(50);
    exchange.SendAndWait("\r", "", 10);
    exchange.Sleep(50);
    if (exchange.SendAndWait("SaveConfig\r", "OK", 10) != kResultOk)
        noResponse += QStringLiteral("SaveConfig\r");
    host.SetProgress(99);

    exchange.Sleep(50);
    exchange.SendAndWait("Exit\r", "", 10);
    host.SetProgress(100);
    exchange.Port().Flush();
    exchange.Port().Close();
    host.SetProgress(0);
}

} // namespace

TaskOutcome SendThread(const LoggerConfig& start, CTaskHost& host, CCommandExchange& exchange) {
    TaskOutcome outcome;
    outcome.task = LoggerTaskKind::Send;
    outcome.config = start;
    const LoggerConfig& cfg = outcome.config;
    QString& noResponse = outcome.noResponseList;
    int result = kResultOk;
    try {
        const int port = TaskPortNumber(cfg.Link.PortName);
        bool linesSent = false;
        try {
            exchange.OpenTaskPort(port, TaskBaudRate(cfg.Link.PortSpeed));
            host.SetProgress(1);
            result = detail::ServiceHandshake(exchange, host, kHandshake);
            host.SetProgress(1);
            if (result == kResultOk) {
                SendConfigurationLines(cfg, exchange, host, noResponse);
                exchange.Port().Flush();
                exchange.Sleep(50);
                exchange.Port().Close();
                host.SetProgress(98);
                linesSent = true;
            }
        } catch (const CSerialException& e) {
            result = ResultOfPortFailure(e);
        }
        if (linesSent && result == kResultOk) {
            try {
                StoreConfiguration(port, cfg, exchange, host, noResponse);
            } catch (const CSerialException& e) {
                result = ResultOfPortFailure(e);
            }
        }
    } catch (const CTaskAbandoned&) {
        detail::ReleasePort(exchange);
        outcome.result = -1;
        return outcome;
    }
    detail::ReleasePort(exchange);

    // From now on the logger's PC link runs at the speed of its port 1.
    outcome.config.Link.PortSpeed = cfg.System.Serial1;
    outcome.result = result;
    detail::ShowResultMessage(host, outcome.task, result);
    if (!noResponse.isEmpty())
        host.ShowError(QString::fromLatin1(kNoResponseCaption), ListForDisplay(noResponse));
    return outcome;
}

} // namespace corvina
