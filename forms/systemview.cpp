#include "systemview.h"

#include "controlprofile.h"

namespace corvina {

CSystemView::CSystemView(CFormHost* host, QWidget* parent) : CConfigFormView(7, host, parent) {
    BindLinkPanel();
}

// Loading here means an update of all views discards unsaved edits on this form.
void CSystemView::OnUpdate() {
    UpdateData(false);
    ApplyControlProfile(Host());
}

} // namespace corvina
