#include "internalview.h"

#include "controlprofile.h"

#include <array>

namespace corvina {

namespace {

// The bound controls of one row; 0 where the row's selector is not bound.
// IIN1-IIN11 are measured, IIN12-IIN19 computed from the output channels
// their selectors name. INPUT2 of IIN13 and IIN14 is never bound.
struct InternalRow {
    int output;
    int poly;
    int input1;
    int input2;
};

constexpr std::array<InternalRow, kInternalInputsUsed> kRows{{
    {1379, 1602, 0, 0},       {1380, 1061, 0, 0},       {1381, 1062, 0, 0},
    {1382, 1063, 0, 0},       {1383, 1064, 0, 0},       {1384, 1065, 0, 0},
    {1385, 1068, 0, 0},       {1386, 1069, 0, 0},       {1387, 1070, 0, 0},
    {1388, 1071, 0, 0},       {1389, 1072, 0, 0},       {1390, 1073, 1115, 1116},
    {1391, 1074, 1122, 0},    {1392, 1075, 1129, 0},    {1393, 1076, 1124, 1125},
    {1394, 1077, 1131, 1132}, {1395, 1078, 1133, 1134}, {1396, 1079, 1135, 1136},
    {1397, 1080, 1137, 1138},
}};

} // namespace

CInternalView::CInternalView(CFormHost* host, QWidget* parent) : CConfigFormView(4, host, parent) {
    for (size_t i = 0; i < kRows.size(); ++i) {
        const InternalRow& r = kRows[i];
        auto in = [i](LoggerConfig& c) -> InternalInput& { return c.Internal[i]; };
        m_bindings.Text(r.output, [in](LoggerConfig& c) -> QString& { return in(c).Output; });
        m_bindings.Text(r.poly, [in](LoggerConfig& c) -> QString& { return in(c).Poly; });
        if (r.input1)
            m_bindings.Text(r.input1, [in](LoggerConfig& c) -> QString& { return in(c).Input1; });
        if (r.input2)
            m_bindings.Text(r.input2, [in](LoggerConfig& c) -> QString& { return in(c).Input2; });
    }
    // This form binds the link panel in an order of its own.
    const LinkPanelIds& link = LinkIds();
    m_bindings.Text(IDC_SPEED, [](LoggerConfig& c) -> QString& { return c.Link.PortSpeed; });
    m_bindings.Text(IDC_PORT, [](LoggerConfig& c) -> QString& { return c.Link.PortName; });
    m_bindings.Check(link.setTime, [](LoggerConfig& c) -> Flag& { return c.Link.SetSystemTime; });
    m_bindings.Control(IDC_PORT);
    m_bindings.Text(link.device, [](LoggerConfig& c) -> QString& { return c.Link.DeviceModel; });
    m_bindings.Control(link.progress);
}

void CInternalView::OnUpdate() {
    UpdateData(false);
    ApplyControlProfile(Host());
}

} // namespace corvina
