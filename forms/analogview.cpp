#include "analogview.h"

#include "controlprofile.h"
#include "sensorcatalogue.h"
#include "sensorcombo.h"

#include <QCheckBox>
#include <QComboBox>

#include <array>

namespace corvina {

namespace {

// The controls of one channel row; 0 where the row has no such control.
// AIN1-AIN8 have a fixed range and a hidden vector flag, AIN9-AIN20 selectable
// polarity, range and a ratio flag.
struct AnalogRow {
    int measure;
    int vect;
    int polarity;
    int range;
    int ratio;
    int output;
    int sensor;
    int poly;
};

constexpr int kFixedRangeRows = 8;

constexpr std::array<AnalogRow, kAnalogInputs> kRows{{
    {1070, 1071, 0, 0, 0, 1072, 1073, 1058},       {1074, 1075, 0, 0, 0, 1076, 1077, 1059},
    {1078, 1079, 0, 0, 0, 1080, 1081, 1060},       {1082, 1083, 0, 0, 0, 1084, 1085, 1061},
    {1086, 1087, 0, 0, 0, 1088, 1089, 1063},       {1090, 1091, 0, 0, 0, 1092, 1093, 1064},
    {1094, 1095, 0, 0, 0, 1096, 1097, 1065},       {1098, 1099, 0, 0, 0, 1100, 1101, 1066},
    {1102, 0, 1104, 1106, 1113, 1120, 1062, 1067}, {1127, 0, 1134, 1141, 1148, 1155, 1069, 1068},
    {1162, 0, 1169, 1175, 1176, 1177, 1111, 1109}, {1178, 0, 1179, 1180, 1181, 1182, 1118, 1110},
    {1183, 0, 1184, 1185, 1186, 1187, 1125, 1112}, {1188, 0, 1189, 1190, 1191, 1192, 1132, 1114},
    {1193, 0, 1194, 1137, 1195, 1196, 1139, 1115}, {1197, 0, 1198, 1144, 1199, 1200, 1146, 1116},
    {1201, 0, 1202, 1151, 1203, 1204, 1153, 1117}, {1205, 0, 1206, 1158, 1207, 1208, 1160, 1119},
    {1209, 0, 1210, 1211, 1212, 1213, 1214, 1121}, {1215, 0, 1216, 1217, 1218, 1219, 1174, 1122},
}};

const QString kAnalog = QStringLiteral("analog");

} // namespace

CAnalogView::CAnalogView(CFormHost* host, QWidget* parent) : CConfigFormView(1, host, parent) {
    for (size_t i = 0; i < kRows.size(); ++i) {
        const AnalogRow& r = kRows[i];
        auto in = [i](LoggerConfig& c) -> AnalogInput& { return c.Analog[i]; };
        m_bindings.Check(r.measure, [in](LoggerConfig& c) -> Flag& { return in(c).Measure; });
        if (i < kFixedRangeRows) {
            m_bindings.Check(r.vect, [in](LoggerConfig& c) -> Flag& { return in(c).Vect; });
        } else {
            m_bindings.Check(r.ratio, [in](LoggerConfig& c) -> Flag& { return in(c).Ratio; });
            m_bindings.Text(r.polarity,
                            [in](LoggerConfig& c) -> QString& { return in(c).Polarity; });
            m_bindings.Text(r.range, [in](LoggerConfig& c) -> QString& { return in(c).Range; });
        }
        m_bindings.Text(r.output, [in](LoggerConfig& c) -> QString& { return in(c).Output; });
        m_bindings.Text(r.sensor, [in](LoggerConfig& c) -> QString& { return in(c).Sensor; });
        m_bindings.Text(r.poly, [in](LoggerConfig& c) -> QString& { return in(c).Poly; });

        const int channel = int(i) + 1;
        ConnectSensorChoice(Item<QComboBox>(r.sensor), this,
                            [this, channel] { OnSelchangeSensor(channel); });
    }
    BindLinkPanel();
}

void CAnalogView::OnUpdate() {
    ApplyControlProfile(Host());
}

void CAnalogView::FillLists() {
    for (size_t i = 0; i < kRows.size(); ++i)
        FillSensorCombo(Item<QComboBox>(kRows[i].sensor), Config(), kAnalog, int(i) + 1);
}

void CAnalogView::OnSelchangeSensor(int channel) {
    if (channel < 1 || channel > int(kRows.size()))
        return;
    const AnalogRow& r = kRows[size_t(channel - 1)];
    auto* combo = Item<QComboBox>(r.sensor);
    if (!combo || combo->currentIndex() < 0)
        return;
    const QString SelectedSensor = combo->itemText(combo->currentIndex());
    const SensorDef* sensor = FindSensor(Config(), SelectedSensor);
    if (auto* measure = Item<QCheckBox>(r.measure))
        measure->setChecked(true);
    if (!sensor)
        return;
    if (channel <= kFixedRangeRows) {
        if (auto* vect = Item<QCheckBox>(r.vect))
            vect->setChecked(sensor->Vect == 1);
        return;
    }
    if (auto* ratio = Item<QCheckBox>(r.ratio))
        ratio->setChecked(sensor->Ratio == 1);
    if (auto* polarity = Item<QComboBox>(r.polarity))
        polarity->setCurrentIndex(SensorIsUnipolar(*sensor) ? 1 : 0);
    if (auto* range = Item<QComboBox>(r.range))
        if (const auto index = SensorRangeIndex(*sensor); index && *index < range->count())
            range->setCurrentIndex(*index);
}

} // namespace corvina
