#include "serialview.h"

#include "controlprofile.h"
#include "controls.h"

#include <QComboBox>

#include <array>

namespace corvina {

namespace {

struct SerialRow {
    int measure;
    int com;
    int brate;
    int bits;
    int parity;
    int stopb;
    int driver;
    int address;
};

constexpr std::array<SerialRow, kSerialInputsUsed> kRows{{
    {1393, 1008, 1394, 1395, 1396, 1006, 1009, 1397},
    {1398, 1015, 1399, 1400, 1401, 1013, 1016, 1066},
    {1402, 1022, 1403, 1404, 1405, 1020, 1023, 1406},
    {1407, 1029, 1408, 1409, 1410, 1027, 1030, 1411},
    {1412, 1036, 1413, 1414, 1415, 1034, 1037, 1069},
    {1416, 1043, 1417, 1418, 1419, 1041, 1044, 1420},
    {1421, 1050, 1422, 1423, 1424, 1048, 1051, 1071},
    {1425, 1056, 1426, 1427, 1428, 1055, 1057, 1429},
}};

// The first entry of the driver list is never offered; the last one read is
// the one before the end of the table.
constexpr int kFirstDriver = 1;
constexpr int kLastDriver = kSerialDrivers - 2;
constexpr int32_t kDriverKind = 1;

bool HasItem(const QComboBox* combo, const QString& text) {
    for (int i = 0; i < combo->count(); ++i)
        if (QString::compare(combo->itemText(i), text, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Every driver (Kind 1) of the list, up to the first entry whose Id is 0, once
// each, and "NONE". The combo is emptied first, its edit part too.
void FillDriverCombo(QComboBox* combo, const LoggerConfig& cfg) {
    if (!combo)
        return;
    ComboResetContent(combo);
    for (int n = kFirstDriver; n <= kLastDriver; ++n) {
        const SerialDriver& d = cfg.Drivers[size_t(n)];
        if (d.Id == 0)
            break;
        // Each driver once; a driver whose name merely begins another's is a
        // driver of its own and is listed too.
        if (d.Kind == kDriverKind && !d.Name.isEmpty() && !HasItem(combo, d.Name))
            ComboAddString(combo, d.Name);
    }
    ComboAddString(combo, QStringLiteral("NONE"));
}

} // namespace

CSerialView::CSerialView(CFormHost* host, QWidget* parent) : CConfigFormView(3, host, parent) {
    for (size_t i = 0; i < kRows.size(); ++i) {
        const SerialRow& r = kRows[i];
        auto in = [i](LoggerConfig& c) -> SerialInput& { return c.Serial[i]; };
        m_bindings.Check(r.measure, [in](LoggerConfig& c) -> Flag& { return in(c).Measure; });
        m_bindings.Text(r.com, [in](LoggerConfig& c) -> QString& { return in(c).Com; });
        m_bindings.Text(r.brate, [in](LoggerConfig& c) -> QString& { return in(c).Brate; });
        m_bindings.Text(r.bits, [in](LoggerConfig& c) -> QString& { return in(c).Bits; });
        m_bindings.Text(r.parity, [in](LoggerConfig& c) -> QString& { return in(c).Parity; });
        m_bindings.Text(r.stopb, [in](LoggerConfig& c) -> QString& { return in(c).Stopb; });
        m_bindings.Text(r.driver, [in](LoggerConfig& c) -> QString& { return in(c).Driver; });
        m_bindings.Text(r.address, [in](LoggerConfig& c) -> QString& { return in(c).Address; });
    }
    // This form binds the link panel in an order of its own.
    const LinkPanelIds& link = LinkIds();
    m_bindings.Text(IDC_SPEED, [](LoggerConfig& c) -> QString& { return c.Link.PortSpeed; });
    m_bindings.Text(IDC_PORT, [](LoggerConfig& c) -> QString& { return c.Link.PortName; });
    m_bindings.Check(link.setTime, [](LoggerConfig& c) -> Flag& { return c.Link.SetSystemTime; });
    m_bindings.Control(IDC_PORT);
    m_bindings.Text(link.device, [](LoggerConfig& c) -> QString& { return c.Link.DeviceModel; });
    m_bindings.Control(IDC_PORT);
    m_bindings.Control(link.progress);
}

void CSerialView::OnUpdate() {
    for (const SerialRow& r : kRows)
        FillDriverCombo(Item<QComboBox>(r.driver), Config());
    UpdateData(false);
    ApplyControlProfile(Host());
}

} // namespace corvina
