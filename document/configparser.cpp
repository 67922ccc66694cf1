#include "configparser.h"

#include "cnumbers.h"

#include <QString>

namespace corvina {

namespace {

// Keeps the characters 0x1F-0x7F of a segment; everything else (tabs, LF,
// 8-bit characters) goes.
QString FilterSegment(QByteArrayView segment) {
    QString text;
    text.reserve(segment.size());
    for (const char byte : segment) {
        const unsigned char c = static_cast<unsigned char>(byte);
        if (c >= 0x1F && c <= 0x7F)
            text.append(QChar(c));
    }
    return text;
}

void TrimLeft(QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text[n] == QLatin1Char(' '))
        ++n;
    text.remove(0, n);
}

// Removes the longest run of trailing characters that all belong to set.
void TrimRight(QString& text, QStringView set) {
    qsizetype end = text.size();
    while (end > 0 && set.contains(text[end - 1]))
        --end;
    text.truncate(end);
}

// Cuts the text before the first separator, and the separator, off the
// front of text and returns it. Without a separator the part is empty and
// text stays as it is.
QString TakeBefore(QString& text, QChar separator) {
    const qsizetype at = text.indexOf(separator);
    if (at < 0)
        return {};
    QString part = text.left(at);
    text.remove(0, at + 1);
    return part;
}

Flag ZeroOrOne(const QString& value) {
    return value == QLatin1String("0") ? 0 : 1;
}

QString RangeFromCode(int64_t code, const QString& current) {
    static const char* const kRanges[] = {"2500", "1250", "625", "312", "156", "78", "39", "19"};
    if (code < 1 || code > int64_t(std::size(kRanges)))
        return current;
    return QString::fromLatin1(kRanges[code - 1]);
}

QString Prefixed(char letter, const QString& value) {
    return QLatin1Char(letter) + value;
}

// --- channel lines ---------------------------------------------------------

void AnalogField(AnalogInput& a, QChar key, const QString& value) {
    switch (key.unicode()) {
    case 'M':
        a.Measure = ZeroOrOne(value);
        break;
    case 'V':
        a.Vect = ZeroOrOne(value);
        break;
    case 'R':
        a.Ratio = ZeroOrOne(value);
        break;
    case 'G':
        a.Range = RangeFromCode(LeadingInteger(value), a.Range);
        break;
    case 'U':
        a.Polarity = value == QLatin1String("0") ? QStringLiteral("BIP") : QStringLiteral("UNIP");
        break;
    case 'P':
        a.Poly = Prefixed('P', value);
        break;
    case 'O':
        a.Output = Prefixed('O', value);
        break;
    case 'A':
        a.Sensor = value;
        break;
    }
}

void DigitalField(DigitalInput& d, QChar key, const QString& value) {
    const bool on = value == QLatin1String("1");
    switch (key.unicode()) {
    case 'M':
        d.Measure = ZeroOrOne(value);
        break;
    case 'F':
        if (on)
            d.Type = QStringLiteral("FREQ");
        break;
    case 'C':
        if (on)
            d.Type = QStringLiteral("COUNT");
        break;
    case 'T':
        if (on)
            d.Type = QStringLiteral("TIME");
        break;
    case 'P':
        d.Poly = Prefixed('P', value);
        break;
    case 'O':
        d.Output = Prefixed('O', value);
        break;
    case 'A':
        d.Sensor = value;
        break;
    }
}

void InternalField(InternalInput& in, QChar key, const QString& value) {
    switch (key.unicode()) {
    case 'B':
        in.Input1 = value;
        break;
    case 'C':
        in.Input2 = value;
        break;
    case 'P':
        in.Poly = Prefixed('P', value);
        break;
    case 'O':
        in.Output = Prefixed('O', value);
        break;
    case 'A':
        in.Alias = value;
        break;
    }
}

void SerialField(SerialInput& s, QChar key, const QString& value) {
    switch (key.unicode()) {
    case 'M':
        s.Measure = ZeroOrOne(value);
        break;
    case 'C':
        s.Com = QStringLiteral("COM") + value;
        break;
    case 'S':
        s.Brate = value;
        break;
    case 'B':
        s.Bits = value;
        break;
    case 'P':
        s.Parity = value;
        break;
    case 'T':
        s.Stopb = value;
        break;
    case 'D':
        s.Driver = value;
        break;
    case 'A':
        s.Address = value;
        break;
    }
}

void OutputField(OutputChannel& o, QChar key, const QString& value) {
    switch (key.unicode()) {
    case 'I':
        o.Input = value;
        break;
    case 'N':
        o.Min = ZeroOrOne(value);
        break;
    case 'X':
        o.Max = ZeroOrOne(value);
        break;
    case 'S':
        o.Sdev = ZeroOrOne(value);
        break;
    case 'V':
        o.Vect = ZeroOrOne(value);
        break;
    case 'P':
        o.Poly = Prefixed('P', value);
        break;
    case 'A':
        o.Alias = value;
        break;
    }
}

void EwsField(EwsRule& e, QChar key, const QString& value) {
    switch (key.unicode()) {
    case 'I':
        e.Input = value;
        break;
    case 'T':
        e.Type = value;
        break;
    case 'L':
        e.LogInt = value;
        break;
    case 'M':
        e.ModemInt = value;
        break;
    case 'A':
        e.Alarm = value;
        break;
    case 'U':
        e.Units = value;
        break;
    case 'B':
        // The first character is T16, the sixteenth T1.
        for (qsizetype k = 1; k <= kSmsNumbers && k <= value.size(); ++k) {
            Flag& flag = e.T[size_t(kSmsNumbers - k)];
            if (value[k - 1] == QLatin1Char('1'))
                flag = 1;
            else if (value[k - 1] == QLatin1Char('0'))
                flag = 0;
        }
        break;
    }
}

void PolynomialField(Polynomial& p, QChar key, const QString& value) {
    const float number = LeadingFloat(value);
    switch (key.unicode()) {
    case '0':
        p.A0 = number;
        break;
    case '1':
        p.A1 = number;
        break;
    case '2':
        p.A2 = number;
        break;
    case '3':
        p.A3 = number;
        break;
    }
}

// Runs the field loop over a channel line held in `work` and stores each
// field into entry (channel number - 1) of `table`. Leaves `work` holding the
// line's last field, which the caller goes on testing. Fields are cut at ","
// and the rest is trimmed on the left; the first field carries the number.
template <typename Table, typename Store>
void ParseChannelLine(QString& work, Table& table, Store store) {
    int64_t index = -1;
    qsizetype pos = 0; // start of the fields not yet handled
    for (bool first = true;; first = false) {
        const QStringView rest = QStringView(work).sliced(pos);
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        const QStringView token = comma < 0 ? rest : rest.first(comma);
        if (comma >= 0) {
            pos += comma + 1;
            while (pos < work.size() && work[pos] == QLatin1Char(' '))
                ++pos;
        }
        if (!token.isEmpty()) {
            const QChar key = token[0];
            QStringView value = token.sliced(1);
            while (!value.isEmpty() &&
                   (value.front() == QLatin1Char(' ') || value.front() == QLatin1Char('=')))
                value = value.sliced(1);
            if (first)
                index = LeadingInteger(value) - 1;
            else if (index >= 0 && index < int64_t(table.size()))
                store(table[size_t(index)], key, value.toString());
        }
        if (comma < 0)
            break;
    }
    work.remove(0, pos);
}

// --- key lines ---------------------------------------------------------------

void SetModelFromSerialNumber(LoggerConfig& cfg, const QString& sn) {
    static const char* const kModels[] = {"Tessar",    "Ondrake", "Ferrule", "Gallant", "Jessamy",
                                          "Kettering", "Lorimer", "Merrow",  "Nuthatch"};
    const QString code = sn.left(6).right(2);
    for (int i = 0; i < int(std::size(kModels)); ++i) {
        if (code == QStringLiteral("0%1").arg(i + 1)) {
            cfg.Link.DeviceModel = QString::fromLatin1(kModels[i]);
            return;
        }
    }
}

QString Mapped(const QString& value,
               std::initializer_list<std::pair<const char*, const char*>> map) {
    for (const auto& [from, to] : map) {
        if (value == QLatin1String(from))
            return QString::fromLatin1(to);
    }
    return value;
}

enum class Key {
    SN,
    UserName,
    Name,
    MeasInterval,
    MeasDelay,
    LogInterval,
    RepInterval,
    Vref,
    Serial1,
    Serial2,
    DataFormat,
    RS485Address,
    RS485,
    DisplaySize,
    ModemInterval,
    ModemOnTime,
    ModemOnDuration,
    ModemPIN,
    ModemNumber,
    APN,
    IP,
    Password,
    EmailFrom,
    EmailTo,
    TimeServer,
    TimeZone,
    Ftp,
    SystemOnTime,
    Version,
    Time,
    Date,
    EWS,
    SmsCenter,
    SmsNumber,
    IPConnect,
    IPConfig,
    UserNameConfig,
    PasswordConfig,
    UserNameApn,
    PasswordApn,
};

struct KeyEntry {
    const char* text; // with its trailing blank
    Key key;
};

// Test order matters: a key that contains another comes first.
const KeyEntry kKeyTable[] = {
    {"SN ", Key::SN},
    {"UserName ", Key::UserName},
    {"Name ", Key::Name},
    {"MeasInterval ", Key::MeasInterval},
    {"MeasDelay ", Key::MeasDelay},
    {"LogInterval ", Key::LogInterval},
    {"RepInterval ", Key::RepInterval},
    {"Vref ", Key::Vref},
    {"Serial1 ", Key::Serial1},
    {"Serial2 ", Key::Serial2},
    {"DataFormat ", Key::DataFormat},
    {"RS485Address ", Key::RS485Address},
    {"RS485 ", Key::RS485},
    {"DisplaySize ", Key::DisplaySize},
    {"ModemInterval ", Key::ModemInterval},
    {"ModemOnTime ", Key::ModemOnTime},
    {"ModemOnDuration ", Key::ModemOnDuration},
    {"ModemPIN ", Key::ModemPIN},
    {"ModemNumber ", Key::ModemNumber},
    {"APN ", Key::APN},
    {"IP ", Key::IP},
    {"Password ", Key::Password},
    {"EmailFrom ", Key::EmailFrom},
    {"EmailTo ", Key::EmailTo},
    {"TimeServer ", Key::TimeServer},
    {"TimeZone ", Key::TimeZone},
    {"Ftp ", Key::Ftp},
    {"SystemOnTime ", Key::SystemOnTime},
    {"Version ", Key::Version},
    {"Time ", Key::Time},
    {"Date ", Key::Date},
    {"EWS ", Key::EWS},
    {"SmsCenter ", Key::SmsCenter},
    {"SmsNumber ", Key::SmsNumber},
    {"IPConnect ", Key::IPConnect},
    {"IPConfig ", Key::IPConfig},
    {"UserNameConfig ", Key::UserNameConfig},
    {"PasswordConfig ", Key::PasswordConfig},
    {"UserNameApn ", Key::UserNameApn},
    {"PasswordApn ", Key::PasswordApn},
};

void ApplyKey(LoggerConfig& cfg, Key key, QString value) {
    SystemSettings& sys = cfg.System;
    ModemSettings& modem = cfg.Modem;
    switch (key) {
    case Key::SN:
        sys.SN = value;
        SetModelFromSerialNumber(cfg, value);
        break;
    case Key::UserName:
        modem.UserName = value;
        break;
    case Key::Name:
        sys.Name = value;
        break;
    case Key::MeasInterval:
        TrimRight(value, u" sec");
        sys.MeasInterval = LeadingInt32(value);
        break;
    case Key::MeasDelay:
        TrimRight(value, u" sec");
        sys.MeasDelay = uint8_t(LeadingInteger(value) & 0xFF);
        break;
    case Key::LogInterval:
        TrimRight(value, u" sec");
        sys.LogInterval = LeadingInt32(value);
        break;
    case Key::RepInterval:
        TrimRight(value, u" sec");
        sys.RepInterval = LeadingInt32(value);
        break;
    case Key::Vref:
        TrimRight(value, u" mV");
        sys.Vref = LeadingFloat(value);
        break;
    case Key::Serial1:
        TrimRight(value, u" bps");
        sys.Serial1 = value;
        break;
    case Key::Serial2:
        TrimRight(value, u" bps");
        sys.Serial2 = value;
        break;
    case Key::DataFormat:
        sys.DataFormat = Mapped(value, {{"0", "Default"}, {"1", "CSV"}});
        break;
    case Key::RS485Address:
        sys.RS485Address = value;
        break;
    case Key::RS485:
        sys.RS485 = ZeroOrOne(value);
        break;
    case Key::DisplaySize:
        sys.DisplaySize = Mapped(
            value, {{"1", "Small (6 lines)"}, {"2", "Medium (3 lines)"}, {"3", "Large (1 line)"}});
        break;
    case Key::ModemInterval:
        TrimRight(value, u" hr");
        modem.ModemInterval = LeadingFloat(value);
        break;
    case Key::ModemOnTime:
        modem.ModemOnTimeHour = uint32_t(LeadingInt32(TakeBefore(value, QLatin1Char(':'))));
        modem.ModemOnTimeMinute = uint32_t(LeadingInt32(TakeBefore(value, QLatin1Char(':'))));
        break;
    case Key::ModemOnDuration:
        TrimRight(value, u" min");
        modem.ModemOnDuration = uint32_t(LeadingInt32(value));
        break;
    case Key::ModemPIN:
        modem.ModemPIN = value;
        break;
    case Key::ModemNumber:
        modem.ModemNumber = value;
        break;
    case Key::APN:
        modem.APN = value;
        break;
    case Key::IP:
        modem.IP = value;
        break;
    case Key::Password:
        modem.Password = value;
        break;
    case Key::EmailFrom:
        modem.EmailFrom = value;
        break;
    case Key::EmailTo:
        modem.EmailTo = value;
        break;
    case Key::TimeServer:
        modem.TimeServer = value;
        break;
    case Key::TimeZone:
        modem.TimeZone = LeadingInt32(value);
        break;
    case Key::Ftp:
        if (value == QLatin1String("0"))
            modem.ModemMode = QStringLiteral("EMAIL");
        else if (value == QLatin1String("1"))
            modem.ModemMode = QStringLiteral("FTP");
        break;
    case Key::SystemOnTime:
    case Key::Version:
        break; // handled before the key is cut off
    case Key::Time:
        sys.TimeHour = TakeBefore(value, QLatin1Char(':'));
        sys.TimeMinute = TakeBefore(value, QLatin1Char(':'));
        sys.TimeSecond = value;
        break;
    case Key::Date:
        sys.DateDay = TakeBefore(value, QLatin1Char('.'));
        sys.DateMonth = TakeBefore(value, QLatin1Char('.'));
        sys.DateYear = value;
        break;
    case Key::EWS:
        if (value == QLatin1String("1"))
            sys.EWS = 1;
        else if (value == QLatin1String("0"))
            sys.EWS = 0;
        break;
    case Key::SmsCenter:
        modem.SmsCenter = value;
        break;
    case Key::SmsNumber: {
        const int64_t n = LeadingInteger(value);
        value.remove(0, n > 9 ? 2 : 1);
        TrimLeft(value);
        if (n >= 1 && n <= kSmsNumbers)
            cfg.SmsNumber[size_t(n - 1)] = value;
        break;
    }
    case Key::IPConnect:
        modem.IPConnect = value;
        break;
    case Key::IPConfig:
        modem.IPConfig = value;
        break;
    case Key::UserNameConfig:
        modem.UserNameConfig = value;
        break;
    case Key::PasswordConfig:
        modem.PasswordConfig = value;
        break;
    case Key::UserNameApn:
        modem.UserNameApn = value;
        break;
    case Key::PasswordApn:
        modem.PasswordApn = value;
        break;
    }
}

void ParseKeyLine(LoggerConfig& cfg, QString& work) {
    for (const KeyEntry& entry : kKeyTable) {
        const QLatin1String text(entry.text);
        if (!work.contains(text))
            continue;
        if (entry.key == Key::SystemOnTime)
            return;
        if (entry.key == Key::Version) {
            work.remove(0, work.indexOf(QLatin1String("Version")));
            TrimLeft(work);
            cfg.System.Version = work;
            return;
        }
        // The key is cut from the start of the line, wherever it was found.
        work.remove(0, text.size() - 1);
        TrimLeft(work);
        ApplyKey(cfg, entry.key, work);
        return;
    }
}

void ParseSegment(LoggerConfig& cfg, QByteArrayView segment) {
    QString work = FilterSegment(segment);
    auto startsWith = [&work](char letter) { return work.startsWith(QLatin1Char(letter)); };

    if (startsWith('a'))
        ParseChannelLine(work, cfg.Analog, AnalogField);
    if (startsWith('d'))
        ParseChannelLine(work, cfg.Digital, DigitalField);
    if (startsWith('i'))
        ParseChannelLine(work, cfg.Internal, InternalField);
    if (startsWith('s'))
        ParseChannelLine(work, cfg.Serial, SerialField);
    if (startsWith('o'))
        ParseChannelLine(work, cfg.Outputs, OutputField);
    if (startsWith('e'))
        ParseChannelLine(work, cfg.Ews, EwsField);
    if (startsWith('p')) {
        ParseChannelLine(work, cfg.Polys, PolynomialField);
        return;
    }
    ParseKeyLine(cfg, work);
}

} // namespace

void ParseConfigScript(LoggerConfig& cfg, QByteArrayView text) {
    // The text ends at its first zero byte.
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text = text.first(zero);
    qsizetype start = 0;
    for (;;) {
        const qsizetype cr = text.indexOf('\r', start);
        if (cr < 0)
            return; // text after the last CR is never examined
        ParseSegment(cfg, text.sliced(start, cr - start));
        start = cr + 1;
    }
}

} // namespace corvina
