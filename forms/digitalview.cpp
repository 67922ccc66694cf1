#include "digitalview.h"

#include "controlprofile.h"
#include "sensorcatalogue.h"
#include "sensorcombo.h"

#include <QCheckBox>
#include <QComboBox>

#include <array>

namespace corvina {

namespace {

struct DigitalRow {
    int measure;
    int type;
    int output;
    int sensor;
    int poly;
};

constexpr std::array<DigitalRow, kDigitalInputs> kRows{{
    {1220, 1256, 1224, 1225, 1058},
    {1226, 1258, 1230, 1231, 1059},
    {1012, 1259, 1014, 1235, 1060},
    {1236, 1022, 1238, 1021, 1061},
    {1239, 1260, 1243, 1244, 1062},
    {1245, 1261, 1247, 1248, 1063},
    {1249, 1262, 1251, 1252, 1064},
    {1253, 1263, 1066, 1257, 1065},
}};

// The TYPE combo's items, in template order.
const std::array<QString, 3> kTypes{QStringLiteral("FREQ"), QStringLiteral("COUNT"),
                                    QStringLiteral("TIME")};

const QString kDigital = QStringLiteral("digital");

} // namespace

CDigitalView::CDigitalView(CFormHost* host, QWidget* parent) : CConfigFormView(2, host, parent) {
    for (size_t i = 0; i < kRows.size(); ++i) {
        const DigitalRow& r = kRows[i];
        auto in = [i](LoggerConfig& c) -> DigitalInput& { return c.Digital[i]; };
        m_bindings.Check(r.measure, [in](LoggerConfig& c) -> Flag& { return in(c).Measure; });
        m_bindings.Text(r.type, [in](LoggerConfig& c) -> QString& { return in(c).Type; });
        m_bindings.Text(r.output, [in](LoggerConfig& c) -> QString& { return in(c).Output; });
        m_bindings.Text(r.sensor, [in](LoggerConfig& c) -> QString& { return in(c).Sensor; });
        m_bindings.Text(r.poly, [in](LoggerConfig& c) -> QString& { return in(c).Poly; });

        const int channel = int(i) + 1;
        ConnectSensorChoice(Item<QComboBox>(r.sensor), this,
                            [this, channel] { OnSelchangeSensor(channel); });
    }
    BindLinkPanel();
}

void CDigitalView::OnUpdate() {
    ApplyControlProfile(Host());
}

void CDigitalView::FillLists() {
    for (size_t i = 0; i < kRows.size(); ++i)
        FillSensorCombo(Item<QComboBox>(kRows[i].sensor), Config(), kDigital, int(i) + 1);
}

void CDigitalView::OnSelchangeSensor(int channel) {
    if (channel < 1 || channel > int(kRows.size()))
        return;
    const DigitalRow& r = kRows[size_t(channel - 1)];
    auto* combo = Item<QComboBox>(r.sensor);
    if (!combo || combo->currentIndex() < 0)
        return;
    const QString SelectedSensor = combo->itemText(combo->currentIndex());
    const SensorDef* sensor = FindSensor(Config(), SelectedSensor);
    if (auto* measure = Item<QCheckBox>(r.measure))
        measure->setChecked(true);
    if (!sensor)
        return;
    auto* type = Item<QComboBox>(r.type);
    for (size_t n = 0; type && n < kTypes.size(); ++n)
        if (sensor->Type == kTypes[n] && int(n) < type->count())
            type->setCurrentIndex(int(n));
}

} // namespace corvina
