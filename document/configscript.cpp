#include "configscript.h"

#include "cnumbers.h"

namespace corvina {

namespace {

QString Latin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

QString FlagText(Flag flag) {
    return flag == 1 ? QStringLiteral("1") : QStringLiteral("0");
}

// "P3" is written "3", "O12" "12": the reference without its letter.
QString WithoutLetter(const QString& reference) {
    return reference.mid(1);
}

QString RangeCode(const QString& range) {
    static const char* const kRanges[] = {"2500", "1250", "625", "312", "156", "78", "39", "19"};
    for (int i = 0; i < int(std::size(kRanges)); ++i) {
        if (range == QLatin1String(kRanges[i]))
            return QString::number(i + 1);
    }
    return QStringLiteral("1");
}

QString DigitalTypeField(const QString& type) {
    if (type == QLatin1String("FREQ"))
        return QStringLiteral("F=1");
    if (type == QLatin1String("COUNT"))
        return QStringLiteral("C=1");
    if (type == QLatin1String("TIME"))
        return QStringLiteral("T=1");
    return QStringLiteral("F=0");
}

// Analog, digital and internal input names carry the sensor or alias after
// "_"; only the letter and channel number travel. Serial value names travel whole.
QString OutputInputField(const QString& input) {
    if (input.startsWith(QLatin1Char('S')))
        return input;
    const qsizetype underscore = input.indexOf(QLatin1Char('_'));
    return underscore < 0 ? input : input.left(underscore);
}

// 16 characters, T16 first and T1 last.
QString NotificationBits(const EwsRule& rule) {
    QString bits;
    for (int k = kSmsNumbers; k >= 1; --k)
        bits += FlagText(rule.T[size_t(k - 1)]);
    return bits;
}

QString DataFormatCode(const QString& format) {
    if (format == QLatin1String("Default"))
        return QStringLiteral("0");
    if (format == QLatin1String("CSV"))
        return QStringLiteral("1");
    return format;
}

QString Coefficient(float value) {
    return Latin1(FormatG7(double(value)));
}

QString AnalogLine(const AnalogInput& a, int channel) {
    if (channel <= 8) {
        return QStringLiteral("a %1, M=%2, V=%3, P=%4, O=%5")
            .arg(channel)
            .arg(FlagText(a.Measure), FlagText(a.Vect), WithoutLetter(a.Poly),
                 WithoutLetter(a.Output));
    }
    return QStringLiteral("a %1, M=%2, U=%3, G=%4, R=%5, P=%6, O=%7")
        .arg(channel)
        .arg(FlagText(a.Measure),
             a.Polarity == QLatin1String("UNIP") ? QStringLiteral("1") : QStringLiteral("0"),
             RangeCode(a.Range), FlagText(a.Ratio), WithoutLetter(a.Poly), WithoutLetter(a.Output));
}

QString ChannelLine(const LoggerConfig& cfg, int kind, int channel) {
    const size_t i = size_t(channel - 1);
    switch (kind) {
    case 35:
    case 36:
        return AnalogLine(cfg.Analog.at(i), channel);
    case 37: {
        const DigitalInput& d = cfg.Digital.at(i);
        return QStringLiteral("d %1, M=%2, %3, P=%4, O=%5")
            .arg(channel)
            .arg(FlagText(d.Measure), DigitalTypeField(d.Type), WithoutLetter(d.Poly),
                 WithoutLetter(d.Output));
    }
    case 38: {
        const InternalInput& in = cfg.Internal.at(i);
        return QStringLiteral("i %1, B=%2, C=%3, P=%4, O=%5")
            .arg(channel)
            .arg(in.Input1, in.Input2, WithoutLetter(in.Poly), WithoutLetter(in.Output));
    }
    case 39: {
        const SerialInput& s = cfg.Serial.at(i);
        return QStringLiteral("s %1, M=%2, C=%3, S=%4, B=%5, P=%6, T=%7, D=%8, A=%9")
            .arg(channel)
            .arg(FlagText(s.Measure), s.Com.mid(3), s.Brate, s.Bits, s.Parity, s.Stopb, s.Driver,
                 s.Address);
    }
    case 40: {
        const OutputChannel& o = cfg.Outputs.at(i);
        return QStringLiteral("o %1, I=%2, N=%3, X=%4, S=%5, V=%6, P=%7, A=%8")
            .arg(channel)
            .arg(OutputInputField(o.Input), FlagText(o.Min), FlagText(o.Max), FlagText(o.Sdev),
                 FlagText(o.Vect), WithoutLetter(o.Poly), o.Alias);
    }
    case 41: {
        const EwsRule& e = cfg.Ews.at(i);
        return QStringLiteral("e %1, I=%2, T=%3, L=%4, M=%5, A=%6, U=%7, B=%8")
            .arg(channel)
            .arg(e.Input, e.Type, e.LogInt, e.ModemInt, e.Alarm, e.Units, NotificationBits(e));
    }
    case 42: {
        const Polynomial& p = cfg.Polys.at(i);
        return QStringLiteral("p %1, 0=%2, 1=%3, 2=%4, 3=%5")
            .arg(channel)
            .arg(Coefficient(p.A0), Coefficient(p.A1), Coefficient(p.A2), Coefficient(p.A3));
    }
    case 43:
        return QStringLiteral("SmsNumber %1 ").arg(channel) + cfg.SmsNumber.at(i);
    }
    return {};
}

// Keys of the key lines 3-34, indexed by kind - 3; a key also names its field in messages.
const char* const kKeys[] = {
    "Name",        "MeasInterval",  "MeasDelay",   "LogInterval",     "RepInterval",
    "Vref",        "Serial1",       "Serial2",     "DataFormat",      "RS485Address",
    "RS485",       "ModemInterval", "ModemOnTime", "ModemOnDuration", "ModemPIN",
    "ModemNumber", "APN",           "IP",          "EmailFrom",       "EmailTo",
    "UserName",    "Password",      "TimeServer",  "TimeZone",        "Ftp",
    "SmsCenter",   "IPConnect",     "IPConfig",    "UserNameConfig",  "PasswordConfig",
    "UserNameApn", "PasswordApn",
};

QString KeyLineValue(const LoggerConfig& cfg, int kind) {
    const SystemSettings& sys = cfg.System;
    const ModemSettings& modem = cfg.Modem;
    switch (kind) {
    case 3:
        return sys.Name;
    case 4:
        return QString::number(sys.MeasInterval);
    case 5:
        return QString::number(unsigned(sys.MeasDelay));
    case 6:
        return QString::number(sys.LogInterval);
    case 7:
        return QString::number(sys.RepInterval);
    case 8:
        return Latin1(FormatFixed(double(sys.Vref), 3));
    case 9:
        return sys.Serial1;
    case 10:
        return sys.Serial2;
    case 11:
        return DataFormatCode(sys.DataFormat);
    case 12:
        return sys.RS485Address;
    case 13:
        return sys.RS485 == 1 ? QStringLiteral("1") : QStringLiteral("0");
    case 14:
        return Latin1(FormatFixed(double(modem.ModemInterval), 3));
    // The unsigned modem fields travel as signed decimals.
    case 15:
        return QStringLiteral("%1:%2:00")
            .arg(int32_t(modem.ModemOnTimeHour))
            .arg(int32_t(modem.ModemOnTimeMinute));
    case 16:
        return QString::number(int32_t(modem.ModemOnDuration));
    case 17:
        return modem.ModemPIN;
    // The modem's own number is reported by the logger, never set by a script.
    case 18:
        return QStringLiteral("  ");
    case 19:
        return modem.APN;
    case 20:
        return modem.IP;
    case 21:
        return modem.EmailFrom;
    case 22:
        return modem.EmailTo;
    case 23:
        return modem.UserName;
    case 24:
        return modem.Password;
    case 25:
        return modem.TimeServer;
    case 26:
        return QString::number(modem.TimeZone);
    case 27:
        return modem.ModemMode == QLatin1String("EMAIL") ? QStringLiteral("0")
                                                         : QStringLiteral("1");
    case 28:
        return modem.SmsCenter;
    case 29:
        return modem.IPConnect;
    case 30:
        return modem.IPConfig;
    case 31:
        return modem.UserNameConfig;
    case 32:
        return modem.PasswordConfig;
    case 33:
        return modem.UserNameApn;
    case 34:
        return modem.PasswordApn;
    }
    return {};
}

std::vector<ScriptLineRef> MakeLayout() {
    std::vector<ScriptLineRef> layout;
    for (int kind = 1; kind <= 34; ++kind)
        layout.push_back({kind, 0});
    auto channels = [&](int kind, int first, int last) {
        for (int channel = first; channel <= last; ++channel)
            layout.push_back({kind, channel});
    };
    channels(35, 1, 8);
    channels(36, 9, kAnalogInputs);
    channels(37, 1, kDigitalInputs);
    channels(38, 1, kInternalInputsUsed);
    channels(39, 1, kSerialInputsUsed);
    channels(40, 1, kOutputChannelsUsed);
    channels(41, 1, kEwsRules);
    channels(42, 1, kPolynomials);
    channels(43, 1, kSmsNumbers);
    for (int kind = 44; kind <= 46; ++kind)
        layout.push_back({kind, 0});
    return layout;
}

} // namespace

const std::vector<ScriptLineRef>& ConfigScriptLayout() {
    static const std::vector<ScriptLineRef> layout = MakeLayout();
    return layout;
}

QString BuildScriptLine(const LoggerConfig& cfg, int kind, int channel) {
    switch (kind) {
    case 1:
        return QStringLiteral("EWS 0");
    case 2:
    case 44:
    case 46:
        return QStringLiteral("SaveConfig");
    case 45:
        return cfg.System.EWS == 1 ? QStringLiteral("EWS 1") : QStringLiteral("EWS 0");
    }
    if (kind >= 3 && kind <= 34)
        return QLatin1String(kKeys[kind - 3]) + QLatin1Char(' ') + KeyLineValue(cfg, kind);
    if (kind >= 35 && kind <= 43) {
        if (channel < 1)
            return {};
        return ChannelLine(cfg, kind, channel);
    }
    return {};
}

QString ScriptLineSubject(int kind, int channel) {
    if (kind >= 3 && kind <= 34)
        return QLatin1String(kKeys[kind - 3]);
    switch (kind) {
    case 35:
    case 36:
        return QStringLiteral("analog input AIN%1").arg(channel);
    case 37:
        return QStringLiteral("digital input DIN%1").arg(channel);
    case 38:
        return QStringLiteral("internal input IIN%1").arg(channel);
    case 39:
        return QStringLiteral("serial input SIN%1").arg(channel);
    case 40:
        return QStringLiteral("output channel OUT%1").arg(channel);
    case 41:
        return QStringLiteral("early-warning rule EWS%1").arg(channel);
    case 42:
        return QStringLiteral("polynomial P%1").arg(channel);
    case 43:
        return QStringLiteral("SMS number %1").arg(channel);
    }
    return QStringLiteral("EWS");
}

std::optional<QByteArray> EncodeScriptText(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
        bytes.append(char(c.unicode()));
    }
    return bytes;
}

EncodedScript EncodeConfigScript(const LoggerConfig& cfg) {
    EncodedScript script;
    for (const ScriptLineRef& line : ConfigScriptLayout()) {
        const QString text = BuildScriptLine(cfg, line.kind, line.channel);
        const std::optional<QByteArray> bytes = EncodeScriptText(text);
        if (!bytes) {
            script.bytes.clear();
            script.error = QStringLiteral("%1 holds a character that a configuration file cannot "
                                          "store. Only Latin-1 characters can be saved.")
                               .arg(ScriptLineSubject(line.kind, line.channel));
            return script;
        }
        if (bytes->size() + 2 > kMaxScriptLineBytes) {
            script.bytes.clear();
            script.error = QStringLiteral("%1 is too long for a configuration file line: the "
                                          "line would hold %2 characters, at most %3 fit.")
                               .arg(ScriptLineSubject(line.kind, line.channel))
                               .arg(bytes->size())
                               .arg(kMaxScriptLineBytes - 2);
            return script;
        }
        script.bytes += *bytes;
        script.bytes += "\r\n";
    }
    return script;
}

bool WriteConfigScript(const LoggerConfig& cfg, QIODevice& out, QString* error) {
    const EncodedScript script = EncodeConfigScript(cfg);
    if (!script.ok()) {
        if (error)
            *error = script.error;
        return false;
    }
    if (out.write(script.bytes) != script.bytes.size()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace corvina
