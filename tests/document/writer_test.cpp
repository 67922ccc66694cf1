#include "configscript.h"
#include "scopednumericlocale.h"

#include <QBuffer>
#include <QList>

#include <gtest/gtest.h>

#include <functional>

namespace corvina {
namespace {

LoggerConfig Defaults() {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    return cfg;
}

QList<QByteArray> FileLines(const LoggerConfig& cfg) {
    const EncodedScript script = EncodeConfigScript(cfg);
    EXPECT_TRUE(script.ok()) << script.error.toStdString();
    EXPECT_TRUE(script.bytes.endsWith("\r\n"));
    QList<QByteArray> lines = script.bytes.split('\n');
    lines.removeLast(); // after the final LF
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << line.constData();
        line.chop(1);
    }
    return lines;
}

struct LineCase {
    const char* name;
    std::function<void(LoggerConfig&)> edit;
    int kind;
    int channel;
    const char* expected;
};

class WriterLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(WriterLineTest, BuildsTheLine) {
    LoggerConfig cfg = Defaults();
    if (GetParam().edit)
        GetParam().edit(cfg);
    EXPECT_EQ(BuildScriptLine(cfg, GetParam().kind, GetParam().channel),
              QString::fromLatin1(GetParam().expected));
}

const LineCase kLineCases[] = {
    {"AnalogShort", nullptr, 35, 1, "a 1, M=0, V=0, P=1, O=0"},
    {"AnalogLong", nullptr, 36, 9, "a 9, M=0, U=0, G=1, R=0, P=1, O=0"},
    {"AnalogLongSet",
     [](LoggerConfig& c) { c.Analog[11] = {1, 1, 0, "625", "UNIP", "PT100", "P4", "O7"}; }, 36, 12,
     "a 12, M=1, U=1, G=3, R=1, P=4, O=7"},
    {"AnalogUnknownRangeIsCode1", [](LoggerConfig& c) { c.Analog[9].Range = "600"; }, 36, 10,
     "a 10, M=0, U=0, G=1, R=0, P=1, O=0"},
    {"FlagOtherThanOneIsZero", [](LoggerConfig& c) { c.Analog[0].Measure = 2; }, 35, 1,
     "a 1, M=0, V=0, P=1, O=0"},
    {"Digital", nullptr, 37, 1, "d 1, M=0, F=1, P=1, O=0"},
    {"DigitalCount", [](LoggerConfig& c) { c.Digital[1].Type = "COUNT"; }, 37, 2,
     "d 2, M=0, C=1, P=1, O=0"},
    {"DigitalTime", [](LoggerConfig& c) { c.Digital[1].Type = "TIME"; }, 37, 2,
     "d 2, M=0, T=1, P=1, O=0"},
    {"DigitalUnknownType", [](LoggerConfig& c) { c.Digital[1].Type = "X"; }, 37, 2,
     "d 2, M=0, F=0, P=1, O=0"},
    {"Internal", nullptr, 38, 1, "i 1, B=0, C=0, P=1, O=0"},
    {"Serial", nullptr, 39, 1, "s 1, M=0, C=1, S=115200, B=8, P=None, T=1, D=, A="},
    {"SerialPort2", [](LoggerConfig& c) { c.Serial[3].Com = "COM2"; }, 39, 4,
     "s 4, M=0, C=2, S=115200, B=8, P=None, T=1, D=, A="},
    {"Output", nullptr, 40, 1, "o 1, I=0, N=0, X=0, S=0, V=0, P=1, A="},
    {"OutputDigitalInput", [](LoggerConfig& c) { c.Outputs[0].Input = "D2_Rain_gauge"; }, 40, 1,
     "o 1, I=D2, N=0, X=0, S=0, V=0, P=1, A="},
    {"OutputSerialInputWhole", [](LoggerConfig& c) { c.Outputs[0].Input = "S1_WS_Speed"; }, 40, 1,
     "o 1, I=S1_WS_Speed, N=0, X=0, S=0, V=0, P=1, A="},
    {"Rule", nullptr, 41, 1, "e 1, I=0, T=NONE, L=, M=, A=, U=, B=0000000000000000"},
    {"RuleT1AndT16",
     [](LoggerConfig& c) {
         c.Ews[0].T[0] = 1;
         c.Ews[0].T[15] = 1;
     },
     41, 1, "e 1, I=0, T=NONE, L=, M=, A=, U=, B=1000000000000001"},
    {"RuleT2", [](LoggerConfig& c) { c.Ews[0].T[1] = 1; }, 41, 1,
     "e 1, I=0, T=NONE, L=, M=, A=, U=, B=0000000000000010"},
    {"PolyIdentity", nullptr, 42, 1, "p 1, 0=0, 1=1, 2=0, 3=0"},
    {"PolyCoefficients",
     [](LoggerConfig& c) {
         c.Polys[1] = {0.1f, -2.5f, 1e10f, 1.5e-5f};
     },
     42, 2, "p 2, 0=0.1, 1=-2.5, 2=1e+010, 3=1.5e-005"},
    {"SmsNumberEmpty", nullptr, 43, 3, "SmsNumber 3 "},
    {"SmsNumber", [](LoggerConfig& c) { c.SmsNumber[11] = "+123456"; }, 43, 12,
     "SmsNumber 12 +123456"},
    {"Name", nullptr, 3, 0, "Name "},
    {"Vref", [](LoggerConfig& c) { c.System.Vref = 1234.5f; }, 8, 0, "Vref 1234.500"},
    {"VrefDefault", nullptr, 8, 0, "Vref 2500.000"},
    {"MeasDelayUnsigned", [](LoggerConfig& c) { c.System.MeasDelay = 255; }, 5, 0, "MeasDelay 255"},
    {"RepIntervalNotCut", [](LoggerConfig& c) { c.System.RepInterval = 1234567; }, 7, 0,
     "RepInterval 1234567"},
    {"ModemInterval", [](LoggerConfig& c) { c.Modem.ModemInterval = 0.5f; }, 14, 0,
     "ModemInterval 0.500"},
    {"ModemOnTime",
     [](LoggerConfig& c) {
         c.Modem.ModemOnTimeHour = 7;
         c.Modem.ModemOnTimeMinute = 5;
     },
     15, 0, "ModemOnTime 7:5:00"},
    {"ModemOnDurationSigned", [](LoggerConfig& c) { c.Modem.ModemOnDuration = 4294967295u; }, 16, 0,
     "ModemOnDuration -1"},
    {"ModemNumberConstant", [](LoggerConfig& c) { c.Modem.ModemNumber = "+4917"; }, 18, 0,
     "ModemNumber   "},
    {"DataFormatDefault", nullptr, 11, 0, "DataFormat 0"},
    {"DataFormatCsv", [](LoggerConfig& c) { c.System.DataFormat = "CSV"; }, 11, 0, "DataFormat 1"},
    {"DataFormatOther", [](LoggerConfig& c) { c.System.DataFormat = "2"; }, 11, 0, "DataFormat 2"},
    {"RS485On", [](LoggerConfig& c) { c.System.RS485 = 1; }, 13, 0, "RS485 1"},
    {"FtpEmail", nullptr, 27, 0, "Ftp 0"},
    {"FtpFtp", [](LoggerConfig& c) { c.Modem.ModemMode = "FTP"; }, 27, 0, "Ftp 1"},
    {"TimeZoneNegative", [](LoggerConfig& c) { c.Modem.TimeZone = -3; }, 26, 0, "TimeZone -3"},
    {"EwsOn", [](LoggerConfig& c) { c.System.EWS = 1; }, 45, 0, "EWS 1"},
    {"EwsOpeningAlwaysOff", [](LoggerConfig& c) { c.System.EWS = 1; }, 1, 0, "EWS 0"},
};

INSTANTIATE_TEST_SUITE_P(Lines, WriterLineTest, testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WriteConfigScript, DefaultFileHas172LinesInOrder) {
    const QList<QByteArray> lines = FileLines(Defaults());
    ASSERT_EQ(lines.size(), 172);
    EXPECT_EQ(lines[0], "EWS 0");
    EXPECT_EQ(lines[1], "SaveConfig");
    EXPECT_EQ(lines[2], "Name ");
    EXPECT_EQ(lines[33], "PasswordApn ");
    EXPECT_EQ(lines[34], "a 1, M=0, V=0, P=1, O=0");
    EXPECT_EQ(lines[42], "a 9, M=0, U=0, G=1, R=0, P=1, O=0");
    EXPECT_EQ(lines[169], "SaveConfig");
    EXPECT_EQ(lines[170], "EWS 0");
    EXPECT_EQ(lines[171], "SaveConfig");

    // Each channel kind appears in one block, in ascending order.
    QByteArray letters;
    for (const QByteArray& line : lines.mid(34, 135))
        letters += line.startsWith("SmsNumber") ? 'n' : line[0];
    EXPECT_EQ(letters, QByteArray(20, 'a') + QByteArray(8, 'd') + QByteArray(19, 'i') +
                           QByteArray(8, 's') + QByteArray(32, 'o') + QByteArray(16, 'e') +
                           QByteArray(16, 'p') + QByteArray(16, 'n'));
}

TEST(WriteConfigScript, WritesLatin1BytesAndCrLf) {
    LoggerConfig cfg = Defaults();
    cfg.System.Name = QString::fromUtf8("Caf\u00e9");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    ASSERT_TRUE(WriteConfigScript(cfg, buffer, &error)) << error.toStdString();
    EXPECT_TRUE(buffer.data().contains(QByteArray("\r\nName Caf\xe9\r\n")));
}

// A desktop with a decimal comma must not change a byte of the file: in a
// polynomial line the comma would even split a coefficient in two.
TEST(WriteConfigScript, WritesTheSameBytesUnderACommaLocale) {
    LoggerConfig cfg = Defaults();
    cfg.System.Vref = 1234.5f;
    cfg.Modem.ModemInterval = 1.5f;
    cfg.Polys[0] = {1.5f, -0.25f, 1e-5f, 3.0f};
    const QByteArray inC = EncodeConfigScript(cfg).bytes;
    test::ScopedNumericLocale locale;
    ASSERT_TRUE(locale.ok()) << test::kCommaLocaleMissing;
    const EncodedScript inGerman = EncodeConfigScript(cfg);
    ASSERT_TRUE(inGerman.ok());
    EXPECT_EQ(inGerman.bytes, inC);
    for (const char* line : {"\r\nVref 1234.500\r\n", "\r\nModemInterval 1.500\r\n",
                             "\r\np 1, 0=1.5, 1=-0.25, 2=1e-005, 3=3\r\n"})
        EXPECT_TRUE(inGerman.bytes.contains(line)) << line;
}

struct RefusalCase {
    const char* name;
    std::function<void(LoggerConfig&)> edit;
    const char* subject;
};

class WriterRefusalTest : public testing::TestWithParam<RefusalCase> {};

// A line that cannot be stored whole is never cut or dropped: the whole
// script is refused and the message names the field.
TEST_P(WriterRefusalTest, RefusesAndNamesTheField) {
    LoggerConfig cfg = Defaults();
    GetParam().edit(cfg);
    const EncodedScript script = EncodeConfigScript(cfg);
    EXPECT_FALSE(script.ok());
    EXPECT_TRUE(script.bytes.isEmpty());
    EXPECT_TRUE(script.error.contains(QLatin1String(GetParam().subject)))
        << script.error.toStdString();

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_FALSE(WriteConfigScript(cfg, buffer));
    EXPECT_TRUE(buffer.data().isEmpty());
}

const RefusalCase kRefusals[] = {
    {"NameOutsideLatin1", [](LoggerConfig& c) { c.System.Name = QString::fromUtf8("\u03a9"); },
     "Name"},
    {"LongEmailTo", [](LoggerConfig& c) { c.Modem.EmailTo = QString(118, 'x'); }, "EmailTo"},
    {"LongOutputAlias", [](LoggerConfig& c) { c.Outputs[4].Alias = QString(120, 'x'); },
     "output channel OUT5"},
    {"UnitsOutsideLatin1", [](LoggerConfig& c) { c.Ews[2].Units = QString::fromUtf8("\u2103"); },
     "early-warning rule EWS3"},
};

INSTANTIATE_TEST_SUITE_P(Refusals, WriterRefusalTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WriteConfigScript, LongestTextThatFitsIsWritten) {
    LoggerConfig cfg = Defaults();
    cfg.Modem.EmailTo = QString(125 - 8, 'x'); // "EmailTo " + text = 125 bytes + CR LF
    EXPECT_TRUE(EncodeConfigScript(cfg).ok());
}

TEST(WriteConfigScript, UnusedTableEntriesAreNotWritten) {
    LoggerConfig cfg = Defaults();
    cfg.Outputs[40].Alias = "hidden";
    cfg.Internal[25].Input1 = "O3";
    cfg.Serial[12].Address = "9";
    const EncodedScript script = EncodeConfigScript(cfg);
    EXPECT_FALSE(script.bytes.contains("hidden"));
    EXPECT_FALSE(script.bytes.contains("i 26"));
    EXPECT_FALSE(script.bytes.contains("s 13"));
}

} // namespace
} // namespace corvina
