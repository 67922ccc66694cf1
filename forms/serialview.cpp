#include "serialview.h"

#include "controlprofile.h"

namespace corvina {

CSerialView::CSerialView(CFormHost* host, QWidget* parent) : CConfigFormView(3, host, parent) {
    BindLinkPanel();
}

// Loading here means an update of all views discards unsaved edits on this form.
void CSerialView::OnUpdate() {
    UpdateData(false);
    ApplyControlProfile(Host());
}

} // namespace corvina
