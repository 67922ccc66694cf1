#include "loggerconfig.h"

#include <gtest/gtest.h>

namespace corvina {
namespace {

TEST(ResetToDefaults, AppliesTheNewDocumentValues) {
    LoggerConfig cfg;
    ResetToDefaults(cfg);

    const AnalogInput& ain5 = cfg.Analog[4];
    EXPECT_EQ(ain5.Measure, 0);
    EXPECT_EQ(ain5.Range, "2500");
    EXPECT_EQ(ain5.Polarity, "BIP");
    EXPECT_EQ(ain5.Poly, "P1");
    EXPECT_EQ(ain5.Output, "O0");
    EXPECT_EQ(cfg.Digital[7].Type, "FREQ");
    EXPECT_EQ(cfg.Internal[15].Alias, "SENOK");
    EXPECT_EQ(cfg.Internal[0].Alias, "V3V");
    EXPECT_EQ(cfg.Internal[18].Alias, "SUM2_24H");
    EXPECT_EQ(cfg.Internal[31].Input2, "0");
    EXPECT_EQ(cfg.Serial[15].Brate, "115200");
    EXPECT_EQ(cfg.Serial[0].Parity, "None");
    EXPECT_EQ(cfg.Outputs[63].Poly, "P1");
    EXPECT_EQ(cfg.Ews[15].Type, "NONE");

    // P1 is the identity, every other polynomial zero.
    EXPECT_EQ(cfg.Polys[0].A0, 0.0f);
    EXPECT_EQ(cfg.Polys[0].A1, 1.0f);
    for (int i = 1; i < kPolynomials; ++i)
        EXPECT_EQ(cfg.Polys[size_t(i)].A1, 0.0f) << "P" << i + 1;

    EXPECT_EQ(cfg.System.Vref, 2500.0f);
    EXPECT_EQ(cfg.System.Serial1, "115200");
    EXPECT_EQ(cfg.System.Serial2, "115200");
    EXPECT_EQ(cfg.System.DataFormat, "Default");
    EXPECT_EQ(cfg.System.DisplaySize, "Small (6 lines)");
    EXPECT_EQ(cfg.Modem.ModemMode, "EMAIL");
    EXPECT_EQ(cfg.Link.PortSpeed, "115200");
    EXPECT_EQ(cfg.Link.PortName, "");
}

// A new document made after a retrieve keeps what the logger reported about
// itself and its alarm wiring, but starts a fresh identity.
TEST(ResetToDefaults, KeepsTheFieldsANewDocumentLeavesAlone) {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    cfg.System.SN = "12340612";
    cfg.System.Name = "Station";
    cfg.System.Version = "Version 2.1";
    cfg.System.EWS = 1;
    cfg.System.DateYear = "2024";
    cfg.System.TimeHour = "12";
    cfg.Link.DeviceModel = "Kettering";
    cfg.SmsNumber[2] = "+4912345";
    cfg.Ews[4].T[0] = 1;
    cfg.Ews[4].T[15] = 1;
    cfg.Internal[25].Alias = "EXTRA";
    cfg.Drivers[0] = {7, 1, "SDI12"};
    cfg.System.MeasDelay = 255;

    ResetToDefaults(cfg);

    EXPECT_EQ(cfg.System.SN, "");
    EXPECT_EQ(cfg.System.Name, "");
    EXPECT_EQ(cfg.System.MeasDelay, 0);
    EXPECT_EQ(cfg.System.Version, "Version 2.1");
    EXPECT_EQ(cfg.System.EWS, 1);
    EXPECT_EQ(cfg.System.DateYear, "2024");
    EXPECT_EQ(cfg.System.TimeHour, "12");
    EXPECT_EQ(cfg.Link.DeviceModel, "Kettering");
    EXPECT_EQ(cfg.SmsNumber[2], "+4912345");
    EXPECT_EQ(cfg.Ews[4].T[0], 1);
    EXPECT_EQ(cfg.Ews[4].T[15], 1);
    EXPECT_EQ(cfg.Internal[25].Alias, "EXTRA");
    EXPECT_EQ(cfg.Drivers[0].Name, "SDI12");
}

TEST(LoggerConfig, CopiesAreIndependent) {
    LoggerConfig original;
    ResetToDefaults(original);
    LoggerConfig copy = original;
    copy.System.Name = "copy";
    copy.Analog[0].Measure = 1;
    EXPECT_EQ(original.System.Name, "");
    EXPECT_EQ(original.Analog[0].Measure, 0);
}

} // namespace
} // namespace corvina
