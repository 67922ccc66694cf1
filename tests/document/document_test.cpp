#include "activity.h"
#include "configparser.h"
#include "configscript.h"
#include "tessarsetupdoc.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvina {
namespace {

// Every field a script carries, set away from its default.
void FillEverything(LoggerConfig& c) {
    c.System.Name = "Station Nord";
    c.System.MeasInterval = 60;
    c.System.MeasDelay = 255;
    c.System.LogInterval = 600;
    c.System.RepInterval = 99999;
    c.System.Vref = 2499.125f;
    c.System.Serial1 = "9600";
    c.System.Serial2 = "38400";
    c.System.DataFormat = "CSV";
    c.System.RS485 = 1;
    c.System.RS485Address = "12";
    c.System.EWS = 1;
    c.Modem.ModemInterval = 0.5f;
    c.Modem.ModemOnTimeHour = 23;
    c.Modem.ModemOnTimeMinute = 59;
    c.Modem.ModemOnDuration = 15;
    c.Modem.ModemPIN = "1234";
    c.Modem.APN = "internet.example";
    c.Modem.IP = "192.0.2.1";
    c.Modem.EmailFrom = "logger@example.org";
    c.Modem.EmailTo = "ops@example.org";
    c.Modem.UserName = "user";
    c.Modem.Password = "secret word";
    c.Modem.TimeServer = "pool.example";
    c.Modem.TimeZone = -5;
    c.Modem.ModemMode = "FTP";
    c.Modem.SmsCenter = "+49100";
    c.Modem.IPConnect = "198.51.100.2";
    c.Modem.IPConfig = "198.51.100.3";
    c.Modem.UserNameConfig = "cfg";
    c.Modem.PasswordConfig = "cfgpw";
    c.Modem.UserNameApn = "apnuser";
    c.Modem.PasswordApn = "apnpw";
    for (int i = 0; i < kAnalogInputs; ++i) {
        AnalogInput& a = c.Analog[size_t(i)];
        a.Measure = 1;
        a.Poly = QStringLiteral("P%1").arg(i % 16 + 1);
        a.Output = QStringLiteral("O%1").arg(i + 1);
        if (i < 8) {
            a.Vect = i % 2;
        } else {
            a.Polarity = "UNIP";
            a.Range = i % 2 ? "19" : "625";
            a.Ratio = 1;
        }
    }
    for (int i = 0; i < kDigitalInputs; ++i) {
        DigitalInput& d = c.Digital[size_t(i)];
        d.Measure = 1;
        d.Type = i % 3 == 0 ? "FREQ" : i % 3 == 1 ? "COUNT" : "TIME";
        d.Poly = "P16";
        d.Output = QStringLiteral("O%1").arg(20 + i);
    }
    for (int i = 0; i < kInternalInputsUsed; ++i) {
        InternalInput& in = c.Internal[size_t(i)];
        in.Input1 = QStringLiteral("O%1").arg(i + 1);
        in.Input2 = "O32";
        in.Poly = "P2";
        in.Output = "O3";
    }
    for (int i = 0; i < kSerialInputsUsed; ++i) {
        SerialInput& s = c.Serial[size_t(i)];
        s.Measure = 1;
        s.Com = "COM2";
        s.Brate = "4800";
        s.Bits = "7";
        s.Parity = "Odd";
        s.Stopb = "2";
        s.Driver = "WXT520";
        s.Address = QString::number(i);
    }
    for (int i = 0; i < kOutputChannelsUsed; ++i) {
        OutputChannel& o = c.Outputs[size_t(i)];
        o.Input = i % 2 ? "S2_Speed" : "A3";
        o.Min = o.Max = o.Sdev = o.Vect = 1;
        o.Poly = "P7";
        o.Alias = QStringLiteral("Out %1").arg(i);
    }
    for (int i = 0; i < kEwsRules; ++i) {
        EwsRule& e = c.Ews[size_t(i)];
        e.Input = "O2";
        e.Type = "MORE10M";
        e.LogInt = "60";
        e.ModemInt = "1";
        e.Alarm = "12.5";
        e.Units = "mm";
        for (int k = 0; k < 16; ++k)
            e.T[size_t(k)] = (i + k) % 2;
    }
    for (int i = 0; i < kPolynomials; ++i)
        c.Polys[size_t(i)] = {float(i) * 0.1f, -1.25f, 3e-7f, 12345.67f};
    for (int i = 0; i < kSmsNumbers; ++i)
        c.SmsNumber[size_t(i)] = QStringLiteral("+49170%1").arg(i);
}

class DocumentTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ActivityFlags = 0;
        // The catalogue is read from the working directory; keep it out of the way.
        saved_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        ASSERT_TRUE(doc_.OnNewDocument());
    }
    void TearDown() override {
        ActivityFlags = 0;
        QDir::setCurrent(saved_);
    }

    QString Path(const char* name) const { return dir_.filePath(name); }

    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir_;
    QString saved_;
    LoggerConfig cfg_;
    CTessarSetupDoc doc_{cfg_};
};

TEST_F(DocumentTest, SaveNewOpenRestoresEveryCarriedField) {
    FillEverything(cfg_);
    const QByteArray saved = EncodeConfigScript(cfg_).bytes;
    ASSERT_TRUE(doc_.OnSaveDocument(Path("station.txt")));
    EXPECT_EQ(doc_.GetTitle(), "station.txt");

    ASSERT_TRUE(doc_.OnNewDocument());
    EXPECT_EQ(doc_.GetTitle(), "Untitled");
    cfg_.System.EWS = 0; // New leaves EWS alone; make sure Open brings it back
    ASSERT_NE(EncodeConfigScript(cfg_).bytes, saved);

    LoadReport report;
    ASSERT_TRUE(doc_.OnOpenDocument(Path("station.txt"), nullptr, &report));
    EXPECT_EQ(report.linesRead, 172);
    EXPECT_EQ(report.linesSkipped, 0);
    EXPECT_EQ(EncodeConfigScript(cfg_).bytes, saved);
}

TEST_F(DocumentTest, OpenChangesOnlyTheNamedFields) {
    Write(Path("name.txt"), "Name Only\r\n");
    LoggerConfig before = cfg_;
    ASSERT_TRUE(doc_.OnOpenDocument(Path("name.txt")));
    before.System.Name = "Only";
    EXPECT_EQ(EncodeConfigScript(cfg_).bytes, EncodeConfigScript(before).bytes);
}

TEST_F(DocumentTest, Latin1NameIsSavedAsOneByteAndComesBackWithoutIt) {
    cfg_.System.Name = QString::fromUtf8("Caf\u00e9");
    ASSERT_TRUE(doc_.OnSaveDocument(Path("latin1.txt")));
    EXPECT_TRUE(Read(Path("latin1.txt")).contains("Name Caf\xe9\r\n"));
    ASSERT_TRUE(doc_.OnOpenDocument(Path("latin1.txt")));
    EXPECT_EQ(cfg_.System.Name, "Caf");
}

TEST_F(DocumentTest, RefusedSaveLeavesTheExistingFileAsItWas) {
    const QByteArray original = "Name Kept\r\n";
    Write(Path("kept.txt"), original);
    QString error;

    cfg_.Modem.IPConfig = QString(200, 'x');
    EXPECT_FALSE(doc_.OnSaveDocument(Path("kept.txt"), &error));
    EXPECT_TRUE(error.contains("IPConfig")) << error.toStdString();
    EXPECT_EQ(Read(Path("kept.txt")), original);

    cfg_.Modem.IPConfig.clear();
    for (uint32_t bit : {kActivityRetrieve, kActivitySend, kActivityReset}) {
        ActivityFlags = bit;
        EXPECT_FALSE(doc_.OnSaveDocument(Path("kept.txt"), &error)) << bit;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(Read(Path("kept.txt")), original);
    }
    // The live view only listens: saving goes on.
    ActivityFlags = kActivityLive;
    EXPECT_TRUE(doc_.OnSaveDocument(Path("kept.txt")));
    EXPECT_EQ(Read(Path("kept.txt")).size(), EncodeConfigScript(cfg_).bytes.size());
}

TEST_F(DocumentTest, SaveIntoAMissingFolderFailsWithAMessage) {
    QString error;
    EXPECT_FALSE(doc_.OnSaveDocument(Path("no/such/dir/x.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(doc_.GetTitle(), "Untitled");
}

TEST_F(DocumentTest, NewIsRefusedWhileAnyTaskRuns) {
    cfg_.System.Name = "Kept";
    for (uint32_t bit : {kActivityRetrieve, kActivitySend, kActivityLive, kActivityReset}) {
        ActivityFlags = bit;
        EXPECT_FALSE(doc_.OnNewDocument()) << bit;
        EXPECT_EQ(cfg_.System.Name, "Kept");
    }
}

// Naming a file whose content was not read would let the next save overwrite
// it with a different configuration; the open is refused instead.
TEST_F(DocumentTest, OpenIsRefusedWhileTheLoggerIsBeingWorkedOn) {
    Write(Path("other.txt"), "Name Other\r\n");
    ASSERT_TRUE(doc_.OnSaveDocument(Path("mine.txt")));
    QString error;
    ActivityFlags = kActivitySend;
    EXPECT_FALSE(doc_.OnOpenDocument(Path("other.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(cfg_.System.Name, "");
    EXPECT_EQ(doc_.GetTitle(), "mine.txt");

    ActivityFlags = kActivityLive;
    EXPECT_TRUE(doc_.OnOpenDocument(Path("other.txt")));
    EXPECT_EQ(cfg_.System.Name, "Other");
}

TEST_F(DocumentTest, UnreadableFileChangesNothing) {
    cfg_.System.Name = "Kept";
    QString error;
    EXPECT_FALSE(doc_.OnOpenDocument(Path("absent.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(cfg_.System.Name, "Kept");
    EXPECT_EQ(doc_.GetTitle(), "Untitled");
}

TEST_F(DocumentTest, NewFillsThePortTableFromTheProbe) {
    doc_.SetPortProbe([](int n) { return n == 3 || n == 255 || n == 256; });
    ASSERT_TRUE(doc_.OnNewDocument());
    int present = 0;
    for (int32_t p : cfg_.PortPresence)
        present += p;
    EXPECT_EQ(present, 2);
    EXPECT_EQ(cfg_.PortPresence[3], 1);
    EXPECT_EQ(cfg_.PortPresence[255], 1);
}

TEST_F(DocumentTest, NewReadsTheSensorCatalogueFromTheWorkingDirectory) {
    Write(Path("sensor.ini"), "PT100;analog;unipolar;635mV;no;yes;0;1;0;0;1\r\n");
    ASSERT_TRUE(doc_.OnNewDocument());
    EXPECT_EQ(cfg_.Sensors[0].Name, "PT100");
}

struct LoadCase {
    const char* name;
    QByteArray file;
    int read;
    int skipped;
    const char* expectedName;
};

class LoadConfigScriptTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadConfigScriptTest, ReadsWholeLinesOnly) {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    QByteArray bytes = GetParam().file;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const LoadReport report = LoadConfigScript(cfg, buffer);
    EXPECT_EQ(report.linesRead, GetParam().read);
    EXPECT_EQ(report.linesSkipped, GetParam().skipped);
    EXPECT_EQ(cfg.System.Name, QString::fromLatin1(GetParam().expectedName));
}

const QByteArray kLongName = "Name " + QByteArray(121, 'x') + "\r\n";    // 128 bytes
const QByteArray kLongestName = "Name " + QByteArray(120, 'y') + "\r\n"; // 127 bytes

const LoadCase kLoadCases[] = {
    {"Empty", "", 0, 0, ""},
    {"LastLineWithoutLineEnd", "Name A\r\nName B", 1, 0, "A"},
    {"LfOnlyLoadsNothing", "Name A\nName B\n", 2, 0, ""},
    {"CrOnlyIsNoLine", "Name A\rName B\r", 0, 0, ""},
    {"OverlongLineSkippedWhole", kLongName + "MeasInterval 5\r\n", 1, 1, ""},
    {"OverlongLineDoesNotCutIntoTheNext", "Name A\r\n" + kLongName, 1, 1, "A"},
    {"LongestLineFits", kLongestName, 1, 0,
     "yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy"
     "yyyyyyyyyyyyyyyyyyyyyyyyyyy"},
    {"HugeLineWithoutLf", QByteArray(1 << 20, 'N'), 0, 0, ""},
    {"BinaryNoise", QByteArray("\x00\xff\r\n\x01Name Z\r\n", 13), 2, 0, "Z"},
};

INSTANTIATE_TEST_SUITE_P(Files, LoadConfigScriptTest, testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvina
