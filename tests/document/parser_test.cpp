#include "configparser.h"
#include "configscript.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvina {
namespace {

LoggerConfig Defaults() {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    return cfg;
}

struct ParseCase {
    const char* name;
    QByteArray input;
    std::function<void(const LoggerConfig&)> check;
};

class ParserTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParserTest, StoresWhatTheLineSays) {
    LoggerConfig cfg = Defaults();
    ParseConfigScript(cfg, GetParam().input);
    GetParam().check(cfg);
}

const ParseCase kCases[] = {
    {"MeasIntervalWithUnit", "MeasInterval 60 sec\r\n",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.MeasInterval, 60); }},
    {"VrefWithUnit", "Vref 2500.000 mV\r\n",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.Vref, 2500.0f); }},
    {"VrefFraction", "Vref 1234.500\r\n",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.Vref, 1234.5f); }},
    {"SerialWithUnit", "Serial1 9600 bps\r\n",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.Serial1, "9600"); }},
    {"MeasDelayLow8Bits", "MeasDelay 300 sec\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.MeasDelay, 44); }},
    {"AnalogLongLine", "a 12, M=1, U=1, G=3, R=1, P=4, O=7\r",
     [](const LoggerConfig& c) {
         const AnalogInput& a = c.Analog[11];
         EXPECT_EQ(a.Measure, 1);
         EXPECT_EQ(a.Polarity, "UNIP");
         EXPECT_EQ(a.Range, "625");
         EXPECT_EQ(a.Ratio, 1);
         EXPECT_EQ(a.Poly, "P4");
         EXPECT_EQ(a.Output, "O7");
     }},
    {"LineWithoutCrChangesNothing", "a 12, M=1, U=1, G=3, R=1, P=4, O=7",
     [](const LoggerConfig& c) { EXPECT_EQ(c.Analog[11].Measure, 0); }},
    {"LfOnlyChangesNothing", "Name Station\nMeasInterval 5\n",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.System.Name, "");
         EXPECT_EQ(c.System.MeasInterval, 0);
     }},
    {"AnalogSensorFromLogger", "a 3, M=1, V=1, P=2, O=5, A=PT100\r\n",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Analog[2].Sensor, "PT100");
         EXPECT_EQ(c.Analog[2].Vect, 1);
     }},
    {"GCodeOutsideTableIgnored", "a 10, G=9\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.Analog[9].Range, "2500"); }},
    {"DigitalF0KeepsType", "d 2, M=1, F=0, P=1, O=0\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Digital[1].Type, "FREQ");
         EXPECT_EQ(c.Digital[1].Measure, 1);
     }},
    {"DigitalCount", "d 2, M=1, C=1, P=3, O=0\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Digital[1].Type, "COUNT");
         EXPECT_EQ(c.Digital[1].Poly, "P3");
     }},
    {"InternalWithAlias", "i 20, B=O3, C=O4, P=2, O=9, A=EXTRA\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Internal[19].Input1, "O3");
         EXPECT_EQ(c.Internal[19].Input2, "O4");
         EXPECT_EQ(c.Internal[19].Alias, "EXTRA");
         EXPECT_EQ(c.Internal[19].Output, "O9");
     }},
    {"Serial", "s 2, M=1, C=2, S=9600, B=7, P=Even, T=2, D=WS, A=3\r",
     [](const LoggerConfig& c) {
         const SerialInput& s = c.Serial[1];
         EXPECT_EQ(s.Measure, 1);
         EXPECT_EQ(s.Com, "COM2");
         EXPECT_EQ(s.Brate, "9600");
         EXPECT_EQ(s.Bits, "7");
         EXPECT_EQ(s.Parity, "Even");
         EXPECT_EQ(s.Stopb, "2");
         EXPECT_EQ(s.Driver, "WS");
         EXPECT_EQ(s.Address, "3");
     }},
    {"OutputWithLogFieldAndAlias", "o 32, I=A1, L=1, N=1, X=0, S=1, V=1, P=5, A=Temp\r",
     [](const LoggerConfig& c) {
         const OutputChannel& o = c.Outputs[31];
         EXPECT_EQ(o.Input, "A1");
         EXPECT_EQ(o.Min, 1);
         EXPECT_EQ(o.Sdev, 1);
         EXPECT_EQ(o.Vect, 1);
         EXPECT_EQ(o.Poly, "P5");
         EXPECT_EQ(o.Alias, "Temp");
     }},
    {"RuleBitsFull", "e 3, I=O1, T=MORE, L=60, M=1, A=5.5, U=mm, B=1000000000000001\r",
     [](const LoggerConfig& c) {
         const EwsRule& e = c.Ews[2];
         EXPECT_EQ(e.Input, "O1");
         EXPECT_EQ(e.Type, "MORE");
         EXPECT_EQ(e.LogInt, "60");
         EXPECT_EQ(e.Alarm, "5.5");
         EXPECT_EQ(e.Units, "mm");
         EXPECT_EQ(e.T[15], 1);
         EXPECT_EQ(e.T[0], 1);
         for (int k = 1; k < 15; ++k)
             EXPECT_EQ(e.T[size_t(k)], 0);
     }},
    {"PolynomialLine", "p 16, 0=-1.5, 1=2e+010, 2=0.1, 3=0\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Polys[15].A0, -1.5f);
         EXPECT_EQ(c.Polys[15].A1, 2e10f);
         EXPECT_EQ(c.Polys[15].A2, 0.1f);
     }},
    {"UserNameConfigIsNotUserName", "UserNameConfig cfguser\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Modem.UserNameConfig, "cfguser");
         EXPECT_EQ(c.Modem.UserName, "");
         EXPECT_EQ(c.System.Name, "");
     }},
    {"UserNameIsNotName", "UserName bob\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Modem.UserName, "bob");
         EXPECT_EQ(c.System.Name, "");
     }},
    {"ModemOnTime", "ModemOnTime 07:30:00\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Modem.ModemOnTimeHour, 7u);
         EXPECT_EQ(c.Modem.ModemOnTimeMinute, 30u);
     }},
    {"SystemOnTimeStoresNothing", "SystemOnTime 08:00:00\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.System.TimeHour, "");
         EXPECT_EQ(c.Modem.ModemOnTimeHour, 0u);
     }},
    {"Time", "Time 12:34:56\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.System.TimeHour, "12");
         EXPECT_EQ(c.System.TimeMinute, "34");
         EXPECT_EQ(c.System.TimeSecond, "56");
     }},
    {"Date", "Date 24.12.2019\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.System.DateDay, "24");
         EXPECT_EQ(c.System.DateMonth, "12");
         EXPECT_EQ(c.System.DateYear, "2019");
     }},
    {"SerialNumberSetsModel", "SN 12340612\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.System.SN, "12340612");
         EXPECT_EQ(c.Link.DeviceModel, "Kettering");
     }},
    {"VersionKeepsTheWord", "Firmware Version 3.2 build 7\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.Version, "Version 3.2 build 7"); }},
    {"SmsNumberTwoDigits", "SmsNumber 12 +123456\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.SmsNumber[11], "+123456"); }},
    {"SmsNumberOneDigit", "SmsNumber 3 +1\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.SmsNumber[2], "+1"); }},
    {"SmsNumberOutOfRangeIgnored", "SmsNumber 17 +9\rSmsNumber 0 +8\r",
     [](const LoggerConfig& c) {
         for (const QString& n : c.SmsNumber)
             EXPECT_EQ(n, "");
     }},
    {"DataFormatCsv", "DataFormat 1\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.DataFormat, "CSV"); }},
    {"DataFormatOther", "DataFormat 2\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.DataFormat, "2"); }},
    {"DisplaySizeCode", "DisplaySize 3\r",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.DisplaySize, "Large (1 line)"); }},
    {"ModemNumberConstantLineIsEmpty", "ModemNumber   \r\n",
     [](const LoggerConfig& c) { EXPECT_EQ(c.Modem.ModemNumber, ""); }},
    {"TextKeepsTrailingBlanks", "Name Station 1  \r\n",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.Name, "Station 1  "); }},
    {"FtpAndEws", "Ftp 1\rEWS 1\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Modem.ModemMode, "FTP");
         EXPECT_EQ(c.System.EWS, 1);
     }},
    {"EightBitCharactersAreRemoved", "Name Caf\xe9\r\n",
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.Name, "Caf"); }},
    // The last field of a channel line is also tried as a key line.
    {"OutputAliasHoldingTimeAlsoSetsTime", "o 1, I=0, P=1, A=xTime 10:20:30\r",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.Outputs[0].Alias, "xTime 10:20:30");
         EXPECT_EQ(c.System.TimeHour, "ime 10"); // four characters cut from "A=xTime"
         EXPECT_EQ(c.System.TimeMinute, "20");
         EXPECT_EQ(c.System.TimeSecond, "30");
     }},
    {"ManyLinesInOneAnswer", "Name A\r\nLogInterval 600 sec\r\nRS485 1\r\nOK\r\n",
     [](const LoggerConfig& c) {
         EXPECT_EQ(c.System.Name, "A");
         EXPECT_EQ(c.System.LogInterval, 600);
         EXPECT_EQ(c.System.RS485, 1);
     }},
    {"TextEndsAtZeroByte", QByteArray("Name A\r\n\0Name B\r\n", 17),
     [](const LoggerConfig& c) { EXPECT_EQ(c.System.Name, "A"); }},
};

INSTANTIATE_TEST_SUITE_P(Lines, ParserTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Channel numbers outside their table, and fields before any number, are
// never stored anywhere.
TEST(ParserBounds, OutOfRangeChannelsTouchNothing) {
    const char* const lines[] = {
        "a 0, M=1, A=x\r",
        "a 21, M=1, A=x\r",
        "a -1, M=1, A=x\r",
        "d 9, M=1, A=x\r",
        "i 33, A=x\r",
        "s 17, A=x\r",
        "o 65, A=x\r",
        "e 17, U=x\r",
        "p 17, 0=5\r",
        "p 0, 0=5\r",
        "a, M=1, A=x\r",
        "a\r",
        "o 4294967297, A=x\r",
        "a 99999999999999999999999, M=1\r",
        ", , ,\r",
        "e 1,\r",
    };
    const LoggerConfig reference = Defaults();
    for (const char* line : lines) {
        LoggerConfig cfg = Defaults();
        ParseConfigScript(cfg, line);
        EXPECT_EQ(EncodeConfigScript(cfg).bytes, EncodeConfigScript(reference).bytes) << line;
        for (const AnalogInput& a : cfg.Analog)
            EXPECT_EQ(a.Sensor, "") << line;
    }
}

TEST(ParserBounds, RuleBitsShorterThanSixteenChangeOnlyTheirFlags) {
    LoggerConfig cfg = Defaults();
    cfg.Ews[2].T.fill(1);
    ParseConfigScript(cfg, "e 3, B=0x0\r");
    EXPECT_EQ(cfg.Ews[2].T[15], 0); // T16
    EXPECT_EQ(cfg.Ews[2].T[14], 1); // T15: not a digit, unchanged
    EXPECT_EQ(cfg.Ews[2].T[13], 0); // T14
    for (int k = 0; k < 13; ++k)
        EXPECT_EQ(cfg.Ews[2].T[size_t(k)], 1);
}

} // namespace
} // namespace corvina
