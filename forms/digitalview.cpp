#include "digitalview.h"

#include "controlprofile.h"

namespace corvina {

CDigitalView::CDigitalView(CFormHost* host, QWidget* parent) : CConfigFormView(2, host, parent) {
    BindLinkPanel();
}

void CDigitalView::OnUpdate() {
    ApplyControlProfile(Host());
}

} // namespace corvina
