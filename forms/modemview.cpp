#include "modemview.h"

#include "fieldbindings.h"

namespace corvina {

CModemView::CModemView(CFormHost* host, QWidget* parent) : CConfigFormView(8, host, parent) {
    BindControls();
}

// The order decides what a failed store keeps: the fields before the failing
// one hold their new values.
void CModemView::BindControls() {
    using S = LoggerConfig;
    using formtext::kEnterPositiveInteger;
    m_bindings.Float(1058, [](S& c) -> float& { return c.Modem.ModemInterval; });
    BindUnsigned<uint32_t>(
        m_bindings, 1060, [](S& c) -> uint32_t& { return c.Modem.ModemOnTimeHour; },
        kEnterPositiveInteger, UINT32_MAX);
    BindUnsigned<uint32_t>(
        m_bindings, 1069, [](S& c) -> uint32_t& { return c.Modem.ModemOnTimeMinute; },
        kEnterPositiveInteger, UINT32_MAX);
    BindUnsigned<uint32_t>(
        m_bindings, 1061, [](S& c) -> uint32_t& { return c.Modem.ModemOnDuration; },
        kEnterPositiveInteger, UINT32_MAX);
    m_bindings.Integer(
        1075, [](S& c) -> int32_t& { return c.Modem.TimeZone; }, formtext::kEnterInteger);
    m_bindings.Text(1062, [](S& c) -> QString& { return c.Modem.ModemPIN; });
    m_bindings.Text(1063, [](S& c) -> QString& { return c.Modem.APN; });
    m_bindings.Text(1064, [](S& c) -> QString& { return c.Modem.IP; });
    m_bindings.Text(1072, [](S& c) -> QString& { return c.Modem.UserName; });
    m_bindings.Text(1073, [](S& c) -> QString& { return c.Modem.Password; });
    m_bindings.Text(1065, [](S& c) -> QString& { return c.Modem.EmailFrom; });
    m_bindings.Text(1070, [](S& c) -> QString& { return c.Modem.EmailTo; });
    m_bindings.Text(1074, [](S& c) -> QString& { return c.Modem.TimeServer; });
    m_bindings.Text(1109, [](S& c) -> QString& { return c.Modem.ModemMode; });
    m_bindings.Text(1067, [](S& c) -> QString& { return c.Modem.SmsCenter; });
    m_bindings.Text(1076, [](S& c) -> QString& { return c.Modem.IPConnect; });
    m_bindings.Text(1077, [](S& c) -> QString& { return c.Modem.IPConfig; });
    m_bindings.Text(1068, [](S& c) -> QString& { return c.Modem.UserNameConfig; });
    m_bindings.Text(1071, [](S& c) -> QString& { return c.Modem.PasswordConfig; });
    m_bindings.Text(1078, [](S& c) -> QString& { return c.Modem.UserNameApn; });
    m_bindings.Text(1079, [](S& c) -> QString& { return c.Modem.PasswordApn; });
    m_bindings.Text(IDC_SPEED, PortSpeedField);
    m_bindings.Text(IDC_PORT, PortNameField);
    m_bindings.Check(LinkIds().setTime, SetSystemTimeField);
    m_bindings.Control(IDC_PORT);
    m_bindings.Text(LinkIds().device, DeviceModelField);
    m_bindings.Control(LinkIds().progress);
}

} // namespace corvina
