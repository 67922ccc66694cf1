#include "loggerconfig.h"

#include "sensorcatalogue.h"

namespace corvina {

LoggerConfig theConfig;

namespace {
const char* const kInternalAliases[kInternalInputsUsed] = {
    "V3V",   "VRTC", "VPOWER", "VOUT",  "VMAIN", "PA",    "GSM",  "RG10M",    "RG1H",    "RG6H",
    "RG24H", "A-B",  "IIN13",  "IIN14", "TD",    "SENOK", "ACCU", "SUM1_24H", "SUM2_24H"};
} // namespace

void ResetToDefaults(LoggerConfig& cfg) {
    for (AnalogInput& a : cfg.Analog) {
        a.Measure = 0;
        a.Output = QStringLiteral("O0");
        a.Polarity = QStringLiteral("BIP");
        a.Poly = QStringLiteral("P1");
        a.Range = QStringLiteral("2500");
        a.Ratio = 0;
        a.Sensor.clear();
        a.Vect = 0;
    }
    for (DigitalInput& d : cfg.Digital) {
        d.Type = QStringLiteral("FREQ");
        d.Measure = 0;
        d.Output = QStringLiteral("O0");
        d.Poly = QStringLiteral("P1");
        d.Sensor.clear();
    }
    for (InternalInput& i : cfg.Internal) {
        i.Output = QStringLiteral("O0");
        i.Poly = QStringLiteral("P1");
        i.Input1 = QStringLiteral("0");
        i.Input2 = QStringLiteral("0");
    }
    for (int n = 0; n < kInternalInputsUsed; ++n)
        cfg.Internal[n].Alias = QString::fromLatin1(kInternalAliases[n]);
    for (SerialInput& s : cfg.Serial) {
        s.Address.clear();
        s.Brate = QStringLiteral("115200");
        s.Com = QStringLiteral("COM1");
        s.Driver.clear();
        s.Measure = 0;
        s.Bits = QStringLiteral("8");
        s.Parity = QStringLiteral("None");
        s.Stopb = QStringLiteral("1");
    }
    for (OutputChannel& o : cfg.Outputs) {
        o.Alias.clear();
        o.Input = QStringLiteral("0");
        o.Min = 0;
        o.Max = 0;
        o.Sdev = 0;
        o.Vect = 0;
        o.Poly = QStringLiteral("P1");
    }
    for (EwsRule& e : cfg.Ews) {
        e.Alarm.clear();
        e.Input = QStringLiteral("0");
        e.LogInt.clear();
        e.ModemInt.clear();
        e.Type = QStringLiteral("NONE");
        e.Units.clear();
    }
    ClearSensorCatalogue(cfg);
    for (Polynomial& p : cfg.Polys)
        p = Polynomial{};
    cfg.Polys[0].A1 = 1.0f;

    SystemSettings& sys = cfg.System;
    ModemSettings& modem = cfg.Modem;
    sys.Vref = 2500.0f;
    sys.MeasInterval = 0;
    sys.MeasDelay = 0;
    sys.LogInterval = 0;
    sys.RepInterval = 0;
    modem.ModemInterval = 0.0f;
    modem.ModemOnTimeHour = 0;
    modem.ModemOnTimeMinute = 0;
    modem.ModemOnDuration = 0;
    modem.TimeZone = 0;

    sys.SN.clear();
    sys.Name.clear();
    for (QString* text :
         {&modem.ModemPIN, &modem.ModemNumber, &modem.APN, &modem.IP, &modem.UserName,
          &modem.Password, &modem.EmailFrom, &modem.EmailTo, &modem.TimeServer})
        text->clear();
    modem.ModemMode = QStringLiteral("EMAIL");
    sys.RS485Address.clear();
    sys.RS485 = 0;
    cfg.Link.PortName.clear();
    cfg.Link.PortSpeed = QStringLiteral("115200");
    cfg.Link.SetSystemTime = 0;
    sys.SetTime = 0;
    sys.Serial1 = QStringLiteral("115200");
    sys.Serial2 = QStringLiteral("115200");
    for (QString* text :
         {&modem.SmsCenter, &modem.IPConnect, &modem.IPConfig, &modem.UserNameConfig,
          &modem.PasswordConfig, &modem.UserNameApn, &modem.PasswordApn})
        text->clear();
    sys.DataFormat = QStringLiteral("Default");
    sys.DisplaySize = QStringLiteral("Small (6 lines)");
}

} // namespace corvina
