#include "systemview.h"

#include "controlprofile.h"
#include "fieldbindings.h"
#include "formhost.h"

#include <QPushButton>

namespace corvina {

namespace {
constexpr int IDC_SET_DEFAULT_CONFIG = 1582;
} // namespace

CSystemView::CSystemView(CFormHost* host, QWidget* parent) : CConfigFormView(7, host, parent) {
    BindControls();
    if (auto* button = Item<QPushButton>(IDC_SET_DEFAULT_CONFIG))
        connect(button, &QPushButton::clicked, this, [this] { OnSetDefaultConfig(); });
}

// The order decides what a failed store keeps: the fields before the failing
// one hold their new values.
void CSystemView::BindControls() {
    using S = LoggerConfig;
    m_bindings.Float(1531, [](S& c) -> float& { return c.System.Vref; });
    m_bindings.Integer(
        1527, [](S& c) -> int32_t& { return c.System.MeasInterval; }, formtext::kEnterInteger);
    BindUnsigned<uint8_t>(
        m_bindings, 1528, [](S& c) -> uint8_t& { return c.System.MeasDelay; }, formtext::kEnterByte,
        255);
    m_bindings.Integer(
        1529, [](S& c) -> int32_t& { return c.System.LogInterval; }, formtext::kEnterInteger);
    m_bindings.Integer(
        1530, [](S& c) -> int32_t& { return c.System.RepInterval; }, formtext::kEnterInteger);
    m_bindings.Text(1525, [](S& c) -> QString& { return c.System.SN; });
    m_bindings.Text(1526, [](S& c) -> QString& { return c.System.Name; });
    m_bindings.Text(1532, [](S& c) -> QString& { return c.System.Serial1; });
    m_bindings.Text(1533, [](S& c) -> QString& { return c.System.Serial2; });
    m_bindings.Text(1539, [](S& c) -> QString& { return c.System.TimeHour; });
    m_bindings.Text(1540, [](S& c) -> QString& { return c.System.TimeMinute; });
    m_bindings.Text(1541, [](S& c) -> QString& { return c.System.TimeSecond; });
    m_bindings.Text(1536, [](S& c) -> QString& { return c.System.DateDay; });
    m_bindings.Text(1537, [](S& c) -> QString& { return c.System.DateMonth; });
    m_bindings.Text(1538, [](S& c) -> QString& { return c.System.DateYear; });
    m_bindings.Text(IDC_SPEED, PortSpeedField);
    m_bindings.Text(IDC_PORT, PortNameField);
    m_bindings.Check(LinkIds().setTime, SetSystemTimeField);
    m_bindings.Check(1109, [](S& c) -> Flag& { return c.System.SetTime; });
    m_bindings.Text(1535, [](S& c) -> QString& { return c.System.RS485Address; });
    m_bindings.Check(1074, [](S& c) -> Flag& { return c.System.RS485; });
    m_bindings.Text(1534, [](S& c) -> QString& { return c.System.DataFormat; });
    m_bindings.Check(1075, [](S& c) -> Flag& { return c.System.EWS; });
    m_bindings.Control(IDC_PORT);
    m_bindings.Text(LinkIds().device, DeviceModelField);
    m_bindings.Text(1542, [](S& c) -> QString& { return c.System.Version; });
    m_bindings.Text(1543, [](S& c) -> QString& { return c.System.DisplaySize; });
    m_bindings.Control(LinkIds().progress);
}

// Loading here means an update of all views discards unsaved edits on this form.
void CSystemView::OnUpdate() {
    UpdateData(false);
    ApplyControlProfile(Host());
}

void CSystemView::OnSetDefaultConfig() {
    UpdateData(true);
    if (Host())
        Host()->StartDefaultTask();
}

} // namespace corvina
