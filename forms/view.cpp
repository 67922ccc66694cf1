#include "view.h"

#include "formhost.h"

#include <QFrame>

namespace corvina {

CView::CView(int templateId, CFormHost* host, QWidget* parent)
    : QScrollArea(parent), m_templateId(templateId), m_pHost(host), m_page(new QWidget) {
    static const DialogTemplate none;
    const DialogTemplate& tmpl = templateId > 0 ? LoadDialogTemplate(templateId) : none;
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    m_page->setFont(DialogFont(tmpl));
    m_page->setObjectName(QStringLiteral("page%1").arg(templateId));
    const DialogUnits du(m_page->font());
    m_page->resize(du.Size(tmpl.size));
    CreateTemplateControls(tmpl, m_page, &m_controls);
    setWidget(m_page);
}

QWidget* CView::GetDlgItem(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CView::AddControl(int id, QWidget* control) {
    control->setParent(m_page);
    control->setObjectName(QString::number(id));
    m_controls.emplace(id, control);
}

LoggerConfig& CView::Config() const {
    return m_pHost ? m_pHost->Config() : theConfig;
}

bool CView::UpdateData(bool bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    return m_bindings.Run(dx, Config());
}

void CView::OnInitialUpdate() {
    UpdateData(false);
    OnUpdate();
}

void CView::OnUpdate() {
    update();
}

} // namespace corvina
