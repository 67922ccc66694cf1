#include "linkpanel.h"

#include "controls.h"
#include "formhost.h"
#include "formtable.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>

#include <array>

namespace corvina {

const LinkPanelIds* LinkPanelOf(int formNumber) {
    static const std::array<LinkPanelIds, 8> ids{{
        {1107, 1595, 1108, 1504, 1505, 1506},
        {1107, 1596, 1108, 1507, 1508, 1509},
        {1107, 1597, 1108, 1522, 1523, 1524},
        {1107, 1594, 1110, 1513, 1514, 1515},
        {1111, 1598, 1115, 1519, 1520, 1521},
        {1171, 1601, 1210, 1510, 1511, 1512},
        {1107, 1599, 1108, 1501, 1502, 1503},
        {1107, 1600, 1108, 1516, 1517, 1518},
    }};
    if (formNumber < 1 || formNumber > 8)
        return nullptr;
    return &ids[formNumber - 1];
}

void FillPortCombo(QComboBox* combo, const LoggerConfig& cfg) {
    ComboResetContent(combo);
    for (int n = 0; n < kPortTable; ++n)
        if (cfg.PortPresence[n] == 1)
            ComboAddString(combo, QStringLiteral("COM%1").arg(n));
    if (cfg.Link.PortName.isEmpty()) {
        if (combo->count() > 0)
            combo->setCurrentIndex(0);
    } else {
        combo->setEditText(cfg.Link.PortName);
    }
}

CConfigFormView::CConfigFormView(int formNumber, CFormHost* host, QWidget* parent)
    : CView(FindForm(formNumber) ? FindForm(formNumber)->templateId : 0, host, parent),
      m_link(LinkPanelOf(formNumber) ? *LinkPanelOf(formNumber) : LinkPanelIds{}) {
    m_wndPortCombo = Item<QComboBox>(IDC_PORT);
    m_wndProgress = Item<QProgressBar>(m_link.progress);
    if (auto* send = Item<QPushButton>(m_link.send))
        connect(send, &QPushButton::clicked, this, [this] { OnSend(); });
    if (auto* retrieve = Item<QPushButton>(m_link.retrieve))
        connect(retrieve, &QPushButton::clicked, this, [this] { OnRetrieve(); });
}

void CConfigFormView::BindLinkPanel() {
    m_bindings.Text(IDC_PORT, [](LoggerConfig& c) -> QString& { return c.Link.PortName; });
    m_bindings.Text(IDC_SPEED, [](LoggerConfig& c) -> QString& { return c.Link.PortSpeed; });
    m_bindings.Check(m_link.setTime, [](LoggerConfig& c) -> Flag& { return c.Link.SetSystemTime; });
    m_bindings.Text(m_link.device, [](LoggerConfig& c) -> QString& { return c.Link.DeviceModel; });
    m_bindings.Control(IDC_PORT);
    m_bindings.Control(m_link.progress);
}

void CConfigFormView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    if (m_wndPortCombo)
        FillPortCombo(m_wndPortCombo, Config());
    FillLists();
}

void CConfigFormView::OnSend() {
    UpdateData(true);
    if (Host())
        Host()->StartSendTask();
}

void CConfigFormView::OnRetrieve() {
    UpdateData(true);
    if (Host())
        Host()->StartRetrieveTask();
}

} // namespace corvina
