#include "outputview.h"

#include "fieldbindings.h"
#include "listselection.h"
#include "sensorcatalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace corvina {

namespace {

// Only the rows the analog and digital forms show can feed an output.
constexpr int kListedAnalog[] = {1, 2, 3, 4, 9, 10, 11, 12};
constexpr int kListedDigital = 4;
constexpr int kListedInternal = 16;

QString InputName(char kind, int channel, const QString& name) {
    QString s = QLatin1Char(kind) + QString::number(channel);
    if (!name.isEmpty())
        s += u'_' + name;
    return s;
}

// Appends "S<channel>_<value>" for every value that follows the driver's own
// entry in the logger's driver list. The list ends at the first Id 0.
void AppendDriverValues(const LoggerConfig& cfg, int channel, const QString& driver,
                        QStringList& items) {
    const auto& d = cfg.Drivers;
    int i = 1;
    while (i < kSerialDrivers - 1 && d[size_t(i)].Id != 0) {
        if (d[size_t(i)].Name != driver) {
            ++i;
            continue;
        }
        int j = i + 1;
        for (; j < kSerialDrivers && d[size_t(j)].Kind == 0 && d[size_t(j)].Id != 0; ++j)
            items << QStringLiteral("S%1_").arg(channel) + d[size_t(j)].Name;
        // The entry that ended the values is not compared; past the list's
        // end there is nothing to scan.
        if (j >= kSerialDrivers || d[size_t(j)].Id == 0)
            break;
        i = j + 1;
    }
}

// The decimal channel number at the start of text; 0 when there is none.
int LeadingChannel(QStringView text) {
    int n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9' || n > 1000)
            break;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

} // namespace

const std::array<OutputRowIds, kOutputChannelsUsed>& OutputRows() {
    static const std::array<OutputRowIds, kOutputChannelsUsed> rows{{
        {1005, 1001, 1000, 1430, 1431, 1432, 1316}, {1012, 1008, 1433, 1434, 1435, 1436, 1317},
        {1019, 1015, 1437, 1438, 1439, 1440, 1318}, {1026, 1022, 1441, 1442, 1443, 1444, 1319},
        {1033, 1029, 1445, 1446, 1447, 1448, 1320}, {1040, 1036, 1449, 1450, 1451, 1452, 1321},
        {1047, 1043, 1453, 1454, 1455, 1456, 1322}, {1054, 1050, 1457, 1458, 1459, 1460, 1323},
        {1061, 1057, 1461, 1462, 1463, 1464, 1500}, {1073, 1064, 1465, 1466, 1467, 1468, 1325},
        {1210, 1106, 1118, 1469, 1470, 1471, 1326}, {1211, 1113, 1112, 1472, 1473, 1474, 1327},
        {1212, 1120, 1119, 1475, 1476, 1477, 1328}, {1213, 1127, 1126, 1478, 1479, 1480, 1329},
        {1214, 1134, 1133, 1481, 1482, 1136, 1330}, {1215, 1141, 1140, 1483, 1484, 1143, 1331},
        {1216, 1148, 1147, 1153, 1485, 1150, 1332}, {1217, 1155, 1154, 1160, 1486, 1157, 1333},
        {1218, 1162, 1161, 1167, 1487, 1164, 1334}, {1219, 1169, 1168, 1177, 1488, 1171, 1335},
        {1074, 1067, 1065, 1070, 1072, 1068, 1336}, {1220, 1109, 1107, 1178, 1489, 1110, 1337},
        {1221, 1116, 1114, 1179, 1490, 1117, 1338}, {1222, 1123, 1121, 1180, 1491, 1124, 1339},
        {1223, 1130, 1128, 1181, 1492, 1131, 1340}, {1224, 1137, 1135, 1182, 1493, 1138, 1341},
        {1225, 1144, 1142, 1183, 1494, 1145, 1342}, {1226, 1151, 1149, 1184, 1495, 1152, 1343},
        {1227, 1158, 1156, 1185, 1496, 1159, 1344}, {1228, 1165, 1163, 1186, 1497, 1166, 1345},
        {1229, 1172, 1170, 1187, 1498, 1173, 1346}, {1230, 1175, 1174, 1188, 1499, 1176, 1347},
    }};
    return rows;
}

QStringList OutputInputItems(const LoggerConfig& cfg) {
    QStringList items{QStringLiteral("0")};
    for (int n : kListedAnalog) {
        const AnalogInput& a = cfg.Analog[size_t(n - 1)];
        if (a.Measure != 0)
            items << InputName('A', n, a.Sensor);
    }
    for (int n = 1; n <= kListedDigital; ++n) {
        const DigitalInput& d = cfg.Digital[size_t(n - 1)];
        if (d.Measure != 0)
            items << InputName('D', n, d.Sensor);
    }
    for (int n = 1; n <= kListedInternal; ++n)
        items << InputName('I', n, cfg.Internal[size_t(n - 1)].Alias);
    for (int n = 1; n <= kSerialInputsUsed; ++n) {
        const QString& driver = cfg.Serial[size_t(n - 1)].Driver;
        if (!driver.isEmpty() && driver != u"NONE")
            AppendDriverValues(cfg, n, driver, items);
    }
    return items;
}

int FindStoredInput(const QStringList& items, const QString& input) {
    if (input.isEmpty() || items.isEmpty())
        return -1;
    const bool endsInDigit = input.back().isDigit();
    auto matches = [&](const QString& item) {
        if (!item.startsWith(input, Qt::CaseInsensitive))
            return false;
        return !(endsInDigit && item.size() > input.size() && item[input.size()].isDigit());
    };
    for (qsizetype i = 1; i < items.size(); ++i)
        if (matches(items[i]))
            return int(i);
    return matches(items[0]) ? 0 : -1;
}

COutputView::COutputView(CFormHost* host, QWidget* parent) : CConfigFormView(5, host, parent) {
    BindControls();
    ConnectHandlers();
}

void COutputView::BindControls() {
    // A coefficient that is no number stops the store before every output row.
    for (int p = 0; p < kPolynomials; ++p) {
        m_bindings.Float(PolyCoefficientId(p, 0),
                         [p](LoggerConfig& c) -> float& { return c.Polys[size_t(p)].A0; });
        m_bindings.Float(PolyCoefficientId(p, 1),
                         [p](LoggerConfig& c) -> float& { return c.Polys[size_t(p)].A1; });
        m_bindings.Float(PolyCoefficientId(p, 2),
                         [p](LoggerConfig& c) -> float& { return c.Polys[size_t(p)].A2; });
        m_bindings.Float(PolyCoefficientId(p, 3),
                         [p](LoggerConfig& c) -> float& { return c.Polys[size_t(p)].A3; });
    }
    for (size_t k = 0; k < OutputRows().size(); ++k) {
        const OutputRowIds& r = OutputRows()[k];
        auto out = [k](LoggerConfig& c) -> OutputChannel& { return c.Outputs[k]; };
        m_bindings.Text(r.input, [out](LoggerConfig& c) -> QString& { return out(c).Input; });
        m_bindings.Check(r.min, [out](LoggerConfig& c) -> Flag& { return out(c).Min; });
        m_bindings.Check(r.max, [out](LoggerConfig& c) -> Flag& { return out(c).Max; });
        m_bindings.Check(r.sdev, [out](LoggerConfig& c) -> Flag& { return out(c).Sdev; });
        m_bindings.Check(r.vect, [out](LoggerConfig& c) -> Flag& { return out(c).Vect; });
        m_bindings.Text(r.poly, [out](LoggerConfig& c) -> QString& { return out(c).Poly; });
        m_bindings.Text(r.alias, [out](LoggerConfig& c) -> QString& { return out(c).Alias; });
    }
    m_bindings.Text(IDC_SPEED, PortSpeedField);
    m_bindings.Text(IDC_PORT, PortNameField);
    m_bindings.Check(LinkIds().setTime, SetSystemTimeField);
    m_bindings.Control(IDC_PORT);
    m_bindings.Text(LinkIds().device, DeviceModelField);
    m_bindings.Control(LinkIds().progress);
}

void COutputView::ConnectHandlers() {
    for (int row = 0; row < kOutputChannelsUsed; ++row) {
        if (QComboBox* input = InputCombo(row))
            ConnectListSelection(input, this, [this, row](int i) { OnInputChosen(row, i); });
        if (QComboBox* poly = PolyCombo(row))
            ConnectListSelection(poly, this, [this, row](int i) { OnPolyChosen(row, i); });
    }
}

QComboBox* COutputView::InputCombo(int row) const {
    return row >= 0 && row < kOutputChannelsUsed ? Item<QComboBox>(OutputRows()[size_t(row)].input)
                                                 : nullptr;
}

QComboBox* COutputView::PolyCombo(int row) const {
    return row >= 0 && row < kOutputChannelsUsed ? Item<QComboBox>(OutputRows()[size_t(row)].poly)
                                                 : nullptr;
}

QCheckBox* COutputView::VectCheck(int row) const {
    return row >= 0 && row < kOutputChannelsUsed ? Item<QCheckBox>(OutputRows()[size_t(row)].vect)
                                                 : nullptr;
}

QLineEdit* COutputView::Coefficient(int p, int c) const {
    if (p < 0 || p >= kPolynomials || c < 0 || c > 3)
        return nullptr;
    return Item<QLineEdit>(PolyCoefficientId(p, c));
}

void COutputView::OnUpdate() {
    const QStringList items = OutputInputItems(Config());
    for (int row = 0; row < kOutputChannelsUsed; ++row) {
        QComboBox* box = InputCombo(row);
        if (!box)
            continue;
        const QString& stored = Config().Outputs[size_t(row)].Input;
        box->clear();
        box->addItems(items);
        const int found = FindStoredInput(items, stored);
        box->setCurrentIndex(found >= 0 ? found : 0);
        // An input that is on no list any more (a channel no longer measured,
        // a driver not retrieved) stays shown, so that storing keeps it.
        if (found < 0)
            box->setEditText(stored);
    }
}

QString COutputView::SelectedPolynomial(int row) const {
    QComboBox* poly = PolyCombo(row);
    if (!poly || poly->count() == 0)
        return QStringLiteral("P1");
    // A load writes only the edit part; a list selection counts while the box
    // still shows it.
    const int i = poly->currentIndex();
    if (i >= 0 && poly->itemText(i) == poly->currentText())
        return poly->itemText(i);
    return poly->itemText(0);
}

void COutputView::OnInputChosen(int row, int index) {
    QComboBox* input = InputCombo(row);
    if (!input || index < 0 || index >= input->count())
        return;
    const QString selected = input->itemText(index);
    if (selected.isEmpty())
        return;
    const QString on = QStringLiteral("O%1").arg(row + 1);
    const QString none = QStringLiteral("O0");
    const QString tempPoly = SelectedPolynomial(row);
    const char kind = selected.front().toLatin1();
    const int n = LeadingChannel(QStringView(selected).mid(1));
    LoggerConfig& cfg = Config();

    // Frees every input that fed this output.
    auto unlink = [&](const QString& poly, bool keepInternalPoly) {
        auto free = [&](auto& input, bool keepPoly) {
            if (input.Output != on)
                return;
            input.Output = none;
            if (!keepPoly)
                input.Poly = poly;
        };
        for (auto& a : cfg.Analog)
            free(a, false);
        for (auto& d : cfg.Digital)
            free(d, false);
        for (auto& i : cfg.Internal)
            free(i, keepInternalPoly);
    };
    auto link = [&](auto& table, int channel) {
        if (channel >= 1 && channel <= int(table.size())) {
            table[size_t(channel - 1)].Output = on;
            table[size_t(channel - 1)].Poly = tempPoly;
        }
    };
    switch (kind) {
    case '0':
        unlink(QStringLiteral("P1"), false);
        return;
    case 'A':
        unlink(QStringLiteral("P1"), false);
        link(cfg.Analog, n);
        break;
    case 'D':
        unlink(tempPoly, false);
        link(cfg.Digital, n);
        break;
    case 'I':
        unlink(tempPoly, true);
        link(cfg.Internal, n);
        return;
    default: // a serial driver's value: the serial inputs carry no link
        return;
    }

    const qsizetype bar = selected.indexOf(u'_');
    if (bar < 0)
        return;
    const SensorDef* sensor = FindSensor(cfg, selected.mid(bar + 1));
    if (!sensor)
        return;
    AssignFreePolynomial(*sensor);
    if (m_nLastAssignedPoly)
        if (QComboBox* poly = PolyCombo(row))
            poly->setCurrentIndex(*m_nLastAssignedPoly);
    if (QCheckBox* vect = VectCheck(row))
        vect->setChecked(sensor->Vect == 1);
}

void COutputView::OnPolyChosen(int row, int index) {
    QComboBox* poly = PolyCombo(row);
    if (!poly || index < 0 || index >= poly->count())
        return;
    const QString chosen = poly->itemText(index);
    const QString on = QStringLiteral("O%1").arg(row + 1);
    LoggerConfig& cfg = Config();
    for (auto& a : cfg.Analog)
        if (a.Output == on)
            a.Poly = chosen;
    for (auto& d : cfg.Digital)
        if (d.Output == on)
            d.Poly = chosen;
    for (auto& i : cfg.Internal)
        if (i.Output == on)
            i.Poly = chosen;
}

void COutputView::AssignFreePolynomial(const SensorDef& sensor) {
    const float coefficients[4] = {sensor.A0, sensor.A1, sensor.A2, sensor.A3};
    for (int p = 0; p < kPolynomials; ++p) {
        bool free = true;
        for (int c = 0; c < 4 && free; ++c) {
            const QLineEdit* edit = Coefficient(p, c);
            free = edit && edit->text() == u"0";
        }
        if (!free)
            continue;
        for (int c = 0; c < 4; ++c)
            Coefficient(p, c)->setText(QString::number(double(coefficients[c]), 'g', 6));
        m_nLastAssignedPoly = p;
        return;
    }
}

} // namespace corvina
