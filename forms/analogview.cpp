#include "analogview.h"

#include "controlprofile.h"

namespace corvina {

CAnalogView::CAnalogView(CFormHost* host, QWidget* parent) : CConfigFormView(1, host, parent) {
    BindLinkPanel();
}

void CAnalogView::OnUpdate() {
    ApplyControlProfile(Host());
}

} // namespace corvina
