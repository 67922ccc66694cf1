#include "loggertasks.h"

#include "activity.h"
#include "cnumbers.h"
#include "taskcommon.h"

namespace corvina {

uint32_t ActivityBitOf(LoggerTaskKind task) {
    switch (task) {
    case LoggerTaskKind::Retrieve:
        return kActivityRetrieve;
    case LoggerTaskKind::Send:
        return kActivitySend;
    case LoggerTaskKind::Default:
        return kActivityReset;
    }
    return 0;
}

QString TaskResultMessage(LoggerTaskKind task, int result) {
    struct Message {
        int result;
        const char* text;
    };
    // The retrieve and reset tasks spell code 2 with two blanks; loggers'
    // users know the texts as they stand.
    static const Message kMessages[] = {
        {kResultNoResponse, "No Response from Datalogger"},
        {kResultPortBusy, "COM port used by another application"},
        {kResultPortFailure, "Communication Error. Check PC baud rate setting, please."},
    };
    if (result == kResultNotExpected) {
        return task == LoggerTaskKind::Send
                   ? QStringLiteral("No Expected Response from Datalogger")
                   : QStringLiteral("No Expected  Response from Datalogger");
    }
    for (const Message& m : kMessages) {
        if (m.result == result)
            return QString::fromLatin1(m.text);
    }
    return {};
}

TaskOutcome RunLoggerTask(LoggerTaskKind task, const LoggerConfig& start, CTaskHost& host,
                          CCommandExchange& exchange) {
    switch (task) {
    case LoggerTaskKind::Retrieve:
        return RetrieveThread(start, host, exchange);
    case LoggerTaskKind::Send:
        return SendThread(start, host, exchange);
    case LoggerTaskKind::Default:
        return DefaultThread(start, host, exchange);
    }
    return {};
}

void ApplyTaskOutcome(LoggerConfig& target, const TaskOutcome& outcome) {
    if (outcome.result < 0)
        return;
    // A retrieve that failed - no logger, a busy port, a logger that fell
    // silent halfway - holds its starting values and a part of the answers;
    // taking that over would replace the user's configuration with it.
    if (outcome.task == LoggerTaskKind::Retrieve && outcome.result != kResultOk)
        return;
    if (outcome.task == LoggerTaskKind::Send) {
        target.Link.PortSpeed = outcome.config.Link.PortSpeed;
        return;
    }
    const LinkSettings link = target.Link;
    auto sensors = std::move(target.Sensors);
    const auto ports = target.PortPresence;
    target = outcome.config;
    target.Link.PortName = link.PortName;
    target.Link.PortSpeed = link.PortSpeed;
    target.Link.SetSystemTime = link.SetSystemTime;
    target.Sensors = std::move(sensors);
    target.PortPresence = ports;
}

int ResultOfPortFailure(const CSerialException& e) {
    LinkTrace("Handle Exception, Message %s\n", qPrintable(e.GetErrorMessage()));
    return e.IsAccessDenied() ? kResultPortBusy : kResultPortFailure;
}

void WriteRetrieveStartValues(LoggerConfig& cfg) {
    for (AnalogInput& a : cfg.Analog) {
        a.Measure = 0;
        a.Ratio = 0;
        a.Vect = 0;
        a.Range = QStringLiteral("2500");
        a.Polarity = QStringLiteral("BIP");
        a.Sensor.clear();
        a.Poly = QStringLiteral("P1");
        a.Output = QStringLiteral("O0");
    }
    for (DigitalInput& d : cfg.Digital) {
        d.Measure = 0;
        d.Type = QStringLiteral("FREQ");
        d.Sensor.clear();
        d.Poly = QStringLiteral("P1");
        d.Output = QStringLiteral("O0");
    }
    for (InternalInput& i : cfg.Internal) {
        i.Poly = QStringLiteral("P1");
        i.Output = QStringLiteral("O0");
        i.Input1 = QStringLiteral("0");
        i.Input2 = QStringLiteral("0");
    }
    for (SerialInput& s : cfg.Serial) {
        s.Measure = 0;
        s.Com = QStringLiteral("COM1");
        s.Brate = QStringLiteral("115200");
        s.Bits = QStringLiteral("8");
        s.Parity = QStringLiteral("None");
        s.Stopb = QStringLiteral("1");
        s.Driver = QStringLiteral("0");
        s.Address.clear();
    }
    for (OutputChannel& o : cfg.Outputs) {
        o.Input = QStringLiteral("0");
        o.Min = 0;
        o.Max = 0;
        o.Sdev = 0;
        o.Vect = 0;
        o.Poly = QStringLiteral("P1");
        o.Alias.clear();
    }
    for (EwsRule& e : cfg.Ews) {
        e.Input = QStringLiteral("0");
        e.Type = QStringLiteral("NONE");
        e.LogInt.clear();
        e.ModemInt.clear();
        e.Alarm.clear();
        e.Units.clear();
    }
    for (Polynomial& p : cfg.Polys)
        p = Polynomial{};
    for (QString& number : cfg.SmsNumber)
        number.clear();

    SystemSettings& sys = cfg.System;
    sys.Vref = 0.0f;
    sys.MeasInterval = 0;
    sys.MeasDelay = 0;
    sys.LogInterval = 0;
    sys.RepInterval = 0;
    sys.SN.clear();
    sys.Name.clear();
    sys.Serial1 = QStringLiteral("115200");
    sys.Serial2 = QStringLiteral("115200");
    sys.RS485 = 0;
    sys.DataFormat = QStringLiteral("Default");

    ModemSettings& modem = cfg.Modem;
    modem.ModemInterval = 0.0f;
    modem.ModemOnTimeHour = 0;
    modem.ModemOnTimeMinute = 0;
    modem.ModemOnDuration = 0;
    modem.TimeZone = 0;
    for (QString* text :
         {&modem.ModemPIN, &modem.ModemNumber, &modem.APN, &modem.IP, &modem.UserName,
          &modem.Password, &modem.EmailFrom, &modem.EmailTo, &modem.TimeServer, &modem.SmsCenter,
          &modem.IPConnect, &modem.IPConfig, &modem.UserNameConfig, &modem.PasswordConfig,
          &modem.UserNameApn, &modem.PasswordApn})
        text->clear();
    modem.ModemMode = QStringLiteral("EMAIL");
}

void FillSerialDriverTable(LoggerConfig& cfg, QByteArrayView answer) {
    // The answer holds only ASCII bytes (the exchange drops all others).
    const QString text = QString::fromLatin1(answer).mid(16);
    qsizetype pos = 0;
    size_t index = 0;
    for (;;) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), pos);
        if (lf < 0)
            break;
        const QStringView line = QStringView(text).mid(pos, lf - pos);
        pos = lf + 1;
        if (line.size() <= 4)
            continue;
        if (index >= cfg.Drivers.size())
            break;
        // A missing comma or CR leaves its piece empty, and an empty number
        // reads 0.
        const qsizetype comma1 = line.indexOf(QLatin1Char(','));
        const qsizetype comma2 = comma1 < 0 ? -1 : line.indexOf(QLatin1Char(','), comma1 + 1);
        const qsizetype cr = comma2 < 0 ? -1 : line.indexOf(QLatin1Char('\r'), comma2 + 1);
        SerialDriver& entry = cfg.Drivers[index++];
        entry.Id = comma1 < 0 ? 0 : LeadingInt32(line.left(comma1));
        entry.Kind = comma2 < 0 ? 0 : LeadingInt32(line.mid(comma1 + 1, comma2 - comma1 - 1));
        entry.Name = cr < 0 ? QString() : line.mid(comma2 + 1, cr - comma2 - 1).toString();
    }
}

namespace detail {

int ServiceHandshake(CCommandExchange& exchange, CTaskHost& host, const HandshakeNumbers& n) {
    int result = exchange.SendAndWait("\r", "", n.crReads);
    exchange.Sleep(n.crSleepMs);
    if (result == kResultOk)
        result = exchange.SendAndWait("Exit\r", "", n.exitReads);
    exchange.Sleep(n.exitSleepMs);
    if (n.progressBeforeService >= 0)
        host.SetProgress(n.progressBeforeService);
    if (result == kResultOk)
        result = exchange.SendAndWait("Service\r", "Service mode started", n.serviceReads);
    return result;
}

void ShowResultMessage(CTaskHost& host, LoggerTaskKind task, int result) {
    const QString message = TaskResultMessage(task, result);
    if (!message.isEmpty())
        host.ShowError(QString::fromLatin1(kErrorCaption), message);
}

void ReleasePort(CCommandExchange& exchange) {
    exchange.Port().Close();
}

void EndServiceSession(CCommandExchange& exchange, CTaskHost& host, int result) {
    if (result == kResultOk)
        exchange.SendAndWait("Exit\r", "", 20);
    host.SetProgress(100);
    exchange.Sleep(100);
    exchange.Port().Flush();
    exchange.Port().Close();
    host.SetProgress(0);
}

} // namespace detail

} // namespace corvina
