#include "simanswers.h"

#include "configscript.h"

#include <cmath>

namespace corvina {

namespace {

// Logger texts are 8-bit; a character without an 8-bit form cannot reach a
// logger, so it shows up as '?' like a terminal would print it.
QByteArray Narrow(const QString& text) {
    if (std::optional<QByteArray> bytes = EncodeScriptText(text))
        return *bytes;
    return text.toLatin1();
}

void AddLine(QByteArray& out, const QByteArray& line) {
    out += line;
    out += "\r\n";
}

void AddLine(QByteArray& out, const QString& line) {
    AddLine(out, Narrow(line));
}

void AddScriptLine(QByteArray& out, const LoggerConfig& cfg, int kind, int channel = 0) {
    AddLine(out, BuildScriptLine(cfg, kind, channel));
}

// A channel line as the file has it, followed by the name the logger keeps for
// the channel, which a file never carries.
void AddNamedChannelLine(QByteArray& out, const LoggerConfig& cfg, int kind, int channel,
                         const QString& name) {
    AddLine(out, BuildScriptLine(cfg, kind, channel) + QStringLiteral(", A=") + name);
}

QString DisplaySizeCode(const QString& text) {
    if (text == QLatin1String("Small (6 lines)"))
        return QStringLiteral("1");
    if (text == QLatin1String("Medium (3 lines)"))
        return QStringLiteral("2");
    if (text == QLatin1String("Large (1 line)"))
        return QStringLiteral("3");
    return text;
}

QString VersionLine(const QString& version) {
    if (version.startsWith(QLatin1String("Version")))
        return version;
    return QStringLiteral("Version ") + version;
}

QString Duration(qint64 seconds) {
    return QString::asprintf("%02lld:%02lld:%02lld", seconds / 3600, (seconds / 60) % 60,
                             seconds % 60);
}

} // namespace

std::optional<SimQuery> SimQueryFromLine(QByteArrayView line) {
    static const struct {
        const char* text;
        SimQuery query;
    } kQueries[] = {
        {"?", SimQuery::Identity},       {"SerialDriver?", SimQuery::SerialDrivers},
        {"Config1?", SimQuery::Config1}, {"Config2?", SimQuery::Config2},
        {"Config3?", SimQuery::Config3}, {"Config4?", SimQuery::Config4},
        {"Config5?", SimQuery::Config5}, {"EarlyWarning?", SimQuery::EarlyWarning},
        {"Modem?", SimQuery::Modem},     {"System?", SimQuery::System},
    };
    for (const auto& q : kQueries) {
        if (line == QByteArrayView(q.text))
            return q.query;
    }
    return std::nullopt;
}

QByteArray SimAnswerLines(const LoggerConfig& cfg, SimQuery query, const QDateTime& clock,
                          qint64 upSeconds) {
    const SystemSettings& sys = cfg.System;
    const ModemSettings& modem = cfg.Modem;
    QByteArray out;
    switch (query) {
    case SimQuery::Identity:
        AddLine(out, QStringLiteral("SN ") + sys.SN);
        AddLine(out, VersionLine(sys.Version));
        break;
    case SimQuery::SerialDrivers:
        // The list ends with an entry of Id 0 so that a reader which keeps
        // entries of an earlier, longer list still sees where this one ends.
        for (const SerialDriver& d : cfg.Drivers) {
            if (d.Id == 0)
                break;
            AddLine(out, QStringLiteral("%1,%2,%3").arg(d.Id).arg(d.Kind).arg(d.Name));
        }
        AddLine(out, QByteArray("0,0,END"));
        break;
    case SimQuery::Config1:
        AddScriptLine(out, cfg, 3);
        AddLine(out, QString::asprintf("MeasInterval %d sec", int(sys.MeasInterval)));
        AddLine(out, QString::asprintf("MeasDelay %u sec", unsigned(sys.MeasDelay)));
        AddLine(out, QString::asprintf("LogInterval %d sec", int(sys.LogInterval)));
        AddLine(out, QString::asprintf("RepInterval %d sec", int(sys.RepInterval)));
        AddLine(out, QString::asprintf("Vref %4.3f mV", double(sys.Vref)));
        for (int ch = 1; ch <= kAnalogInputs; ++ch)
            AddNamedChannelLine(out, cfg, ch <= 8 ? 35 : 36, ch, cfg.Analog[ch - 1].Sensor);
        break;
    case SimQuery::Config2:
        for (int ch = 1; ch <= kDigitalInputs; ++ch)
            AddNamedChannelLine(out, cfg, 37, ch, cfg.Digital[ch - 1].Sensor);
        break;
    case SimQuery::Config3:
        for (int ch = 1; ch <= kInternalInputsUsed; ++ch)
            AddNamedChannelLine(out, cfg, 38, ch, cfg.Internal[ch - 1].Alias);
        break;
    case SimQuery::Config4:
        AddLine(out, QStringLiteral("Serial1 %1 bps").arg(sys.Serial1));
        AddLine(out, QStringLiteral("Serial2 %1 bps").arg(sys.Serial2));
        AddScriptLine(out, cfg, 13);
        AddScriptLine(out, cfg, 12);
        for (int ch = 1; ch <= kSerialInputsUsed; ++ch)
            AddScriptLine(out, cfg, 39, ch);
        break;
    case SimQuery::Config5:
        for (int ch = 1; ch <= kOutputChannelsUsed; ++ch)
            AddScriptLine(out, cfg, 40, ch);
        for (int p = 1; p <= kPolynomials; ++p)
            AddScriptLine(out, cfg, 42, p);
        break;
    case SimQuery::EarlyWarning:
        AddLine(out, QStringLiteral("EWS %1").arg(sys.EWS == 1 ? 1 : 0));
        for (int r = 1; r <= kEwsRules; ++r)
            AddScriptLine(out, cfg, 41, r);
        AddScriptLine(out, cfg, 28);
        for (int n = 1; n <= kSmsNumbers; ++n)
            AddScriptLine(out, cfg, 43, n);
        break;
    case SimQuery::Modem:
        AddLine(out, QString::asprintf("ModemInterval %1.3f hr", double(modem.ModemInterval)));
        AddLine(out, QString::asprintf("ModemOnTime %02u:%02u:00", unsigned(modem.ModemOnTimeHour),
                                       unsigned(modem.ModemOnTimeMinute)));
        AddLine(out, QString::asprintf("ModemOnDuration %u min", unsigned(modem.ModemOnDuration)));
        AddScriptLine(out, cfg, 17);
        AddLine(out, QStringLiteral("ModemNumber ") + modem.ModemNumber);
        for (int kind = 19; kind <= 27; ++kind)
            AddScriptLine(out, cfg, kind);
        for (int kind = 29; kind <= 34; ++kind)
            AddScriptLine(out, cfg, kind);
        break;
    case SimQuery::System:
        AddLine(out, QStringLiteral("Date ") + clock.toString(QStringLiteral("dd.MM.yyyy")));
        AddLine(out, QStringLiteral("Time ") + clock.toString(QStringLiteral("hh:mm:ss")));
        AddScriptLine(out, cfg, 11);
        AddLine(out, QStringLiteral("DisplaySize ") + DisplaySizeCode(sys.DisplaySize));
        AddLine(out, QStringLiteral("SystemOnTime ") + Duration(upSeconds));
        break;
    }
    return out;
}

void SimSetFactoryDrivers(LoggerConfig& cfg) {
    static const SerialDriver kDrivers[] = {
        {1, 1, QStringLiteral("NONE")},         {10, 1, QStringLiteral("SDI12")},
        {11, 0, QStringLiteral("Temperature")}, {12, 0, QStringLiteral("Humidity")},
        {13, 0, QStringLiteral("Pressure")},    {20, 1, QStringLiteral("MODBUS")},
        {21, 0, QStringLiteral("Register1")},   {22, 0, QStringLiteral("Register2")},
        {30, 1, QStringLiteral("NMEA")},        {31, 0, QStringLiteral("WindSpeed")},
        {32, 0, QStringLiteral("WindDir")},     {40, 1, QStringLiteral("LEVEL")},
        {41, 0, QStringLiteral("Level")},       {42, 0, QStringLiteral("WaterTemp")},
    };
    cfg.Drivers.fill(SerialDriver{});
    int n = 0;
    for (const SerialDriver& d : kDrivers)
        cfg.Drivers[n++] = d;
}

LoggerConfig SimFactoryConfig() {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    cfg.System.SN = QStringLiteral("12340612");
    cfg.System.Version = QStringLiteral("Version 2.41");
    cfg.System.EWS = 0;
    SimSetFactoryDrivers(cfg);
    return cfg;
}

int SimLiveColumnCount(const LoggerConfig& cfg) {
    int n = 0;
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        const OutputChannel& o = cfg.Outputs[k];
        n += (o.Input != QLatin1String("0")) + (o.Min == 1) + (o.Max == 1) + (o.Sdev == 1);
    }
    return n;
}

QByteArray SimLiveRow(const LoggerConfig& cfg, const QDateTime& when, qint64 sample) {
    const char sep = cfg.System.DataFormat == QLatin1String("CSV") ? ',' : ' ';
    QByteArray row = when.toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
    row += sep;
    row += when.toString(QStringLiteral("hh:mm:ss")).toLatin1();
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        const OutputChannel& o = cfg.Outputs[k];
        // A slow wave per channel, so a running table visibly changes.
        const double value = 10.0 * (k + 1) + 5.0 * std::sin(0.3 * double(sample) + k);
        const auto add = [&](double v) {
            row += sep;
            row += QByteArray::number(v, 'f', 2);
        };
        if (o.Input != QLatin1String("0"))
            add(value);
        if (o.Min == 1)
            add(value - 5.0);
        if (o.Max == 1)
            add(value + 5.0);
        if (o.Sdev == 1)
            add(std::fabs(std::cos(0.3 * double(sample) + k)));
    }
    row += "\r\n";
    return row;
}

} // namespace corvina
