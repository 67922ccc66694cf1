#include "sensorcatalogue.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvina {
namespace {

class SensorCatalogueTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ResetToDefaults(cfg_);
    }

    void Build(const QByteArray& content) {
        const QString path = dir_.filePath("sensor.ini");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        BuildSensorCatalogue(cfg_, path);
    }

    // Names offered in a channel's SENSOR list, as the forms fill it.
    QStringList Offered(const char* kind, int channel) const {
        QStringList names;
        for (const SensorDef& s : cfg_.Sensors) {
            if (s.Name.isEmpty())
                break;
            if (s.Kind == QLatin1String(kind) && s.Channels[size_t(channel - 1)] == 1)
                names << s.Name;
        }
        return names;
    }

    QTemporaryDir dir_;
    LoggerConfig cfg_;
};

TEST_F(SensorCatalogueTest, ReadsAnAnalogEntry) {
    Build("PT100;analog;unipolar;635mV;no;yes;-245.5;0.5;1e-3;0;1,2,9\r\n");
    const SensorDef* s = FindSensor(cfg_, "PT100");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Kind, "analog");
    EXPECT_TRUE(SensorIsUnipolar(*s));
    EXPECT_EQ(SensorRangeIndex(*s), 2);
    EXPECT_EQ(SensorRangeValue(*s), QString("625")); // the file's 635 selects 625
    EXPECT_EQ(s->Ratio, 0);
    EXPECT_EQ(s->Vect, 1);
    EXPECT_FLOAT_EQ(s->A0, -245.5f);
    EXPECT_FLOAT_EQ(s->A1, 0.5f);
    EXPECT_FLOAT_EQ(s->A2, 1e-3f);
    EXPECT_EQ(Offered("analog", 1), QStringList{"PT100"});
    EXPECT_EQ(Offered("analog", 2), QStringList{"PT100"});
    EXPECT_EQ(Offered("analog", 9), QStringList{"PT100"});
    EXPECT_TRUE(Offered("analog", 3).isEmpty());
    EXPECT_TRUE(Offered("digital", 1).isEmpty());
}

TEST_F(SensorCatalogueTest, ReadsADigitalEntryWithLfLineEnds) {
    Build("Rain;digital;count;0;0.2;0;0;3\nWind;digital;freq;0;1;0;0;1,2\n");
    const SensorDef* rain = FindSensor(cfg_, "Rain");
    ASSERT_NE(rain, nullptr);
    EXPECT_EQ(rain->Type, "COUNT");
    EXPECT_FLOAT_EQ(rain->A1, 0.2f);
    EXPECT_EQ(Offered("digital", 3), QStringList{"Rain"});
    EXPECT_EQ(Offered("digital", 1), QStringList{"Wind"});
    EXPECT_TRUE(Offered("digital", 4).isEmpty());
}

TEST_F(SensorCatalogueTest, SkipsCommentsAndShortLinesWithoutTakingAnEntry) {
    Build("# name;kind;...\r\nab\r\nabcd\r\nX;analog;bipolar;2500mV;yes;no;0;1;0;0;4 # note\r\n"
          "Good;analog;bipolar;19mV;yes;no;0;1;0;0;4\r\n");
    EXPECT_EQ(cfg_.Sensors[0].Name, "Good");
    EXPECT_EQ(cfg_.Sensors[0].Ratio, 1);
    EXPECT_EQ(SensorRangeIndex(cfg_.Sensors[0]), 7);
    EXPECT_EQ(cfg_.Sensors[1].Name, "");
}

TEST_F(SensorCatalogueTest, StopsAfterFiftyEntries) {
    QByteArray content;
    for (int i = 1; i <= 60; ++i)
        content += "S" + QByteArray::number(i) + ";digital;time;0;1;0;0;1\r\n";
    Build(content);
    EXPECT_EQ(cfg_.Sensors[49].Name, "S50");
    EXPECT_EQ(FindSensor(cfg_, "S51"), nullptr);
}

TEST_F(SensorCatalogueTest, FirstOfTwoEqualNamesWins) {
    Build("Same;analog;bipolar;2500mV;no;no;1;0;0;0;1\r\nSame;analog;bipolar;2500mV;no;no;2;0;0;0;"
          "1\r\n");
    ASSERT_NE(FindSensor(cfg_, "Same"), nullptr);
    EXPECT_EQ(FindSensor(cfg_, "Same")->A0, 1.0f);
    EXPECT_EQ(FindSensor(cfg_, "same"), nullptr); // case-sensitive
    EXPECT_EQ(FindSensor(cfg_, ""), nullptr);
}

TEST_F(SensorCatalogueTest, BadFieldsSelectNothingAndStayInTheirEntry) {
    Build("Odd;analog;bipolar;600mV;no;no;abc;12x;;-;0,21,-3,x,99999999999,20\r\n"
          "Other;thermal;x\r\n"
          "Short;analog\r\n"
          "Next;digital;weird;0;1;0;0;1\r\n");
    const SensorDef* odd = FindSensor(cfg_, "Odd");
    ASSERT_NE(odd, nullptr);
    EXPECT_FALSE(SensorRangeIndex(*odd).has_value());
    EXPECT_EQ(odd->A0, 0.0f);
    EXPECT_EQ(odd->A1, 12.0f);
    int set = 0;
    for (Flag f : odd->Channels)
        set += f;
    EXPECT_EQ(set, 1);
    EXPECT_EQ(odd->Channels[19], 1);
    EXPECT_EQ(cfg_.Sensors[1].Kind, "thermal");
    EXPECT_EQ(cfg_.Sensors[2].Name, "Short");
    EXPECT_EQ(cfg_.Sensors[3].Type, ""); // unknown type word leaves Type as it was
    EXPECT_EQ(cfg_.Sensors[4].Name, ""); // the other entries stay clear
}

TEST_F(SensorCatalogueTest, MissingFileLeavesTheCatalogueEmpty) {
    BuildSensorCatalogue(cfg_, dir_.filePath("absent.ini"));
    EXPECT_EQ(cfg_.Sensors[0].Name, "");
}

TEST_F(SensorCatalogueTest, ANewDocumentClearsTheCatalogue) {
    Build("PT100;analog;unipolar;635mV;no;yes;0;1;0;0;1\r\n");
    ResetToDefaults(cfg_);
    EXPECT_EQ(FindSensor(cfg_, "PT100"), nullptr);
    EXPECT_EQ(cfg_.Sensors[0].Channels[0], 0);
}

} // namespace
} // namespace corvina

namespace corvina {
namespace {

// The catalogue shipped with the program reads completely.
TEST(ShippedCatalogue, EveryLineTakesAnEntry) {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    BuildSensorCatalogue(cfg, QStringLiteral(CORVINA_SOURCE_DIR "/resources/sensor.ini"));
    int entries = 0;
    for (const SensorDef& s : cfg.Sensors) {
        if (s.Name.isEmpty())
            break;
        ++entries;
        EXPECT_TRUE(s.Kind == "analog" || s.Kind == "digital") << s.Name.toStdString();
        if (s.Kind == "analog")
            EXPECT_TRUE(SensorRangeIndex(s).has_value()) << s.Name.toStdString();
    }
    EXPECT_EQ(entries, 9);
    ASSERT_NE(FindSensor(cfg, "Rain gauge 0.2mm"), nullptr);
    EXPECT_EQ(FindSensor(cfg, "Rain gauge 0.2mm")->Type, "COUNT");
}

} // namespace
} // namespace corvina
