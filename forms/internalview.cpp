#include "internalview.h"

#include "controlprofile.h"

namespace corvina {

CInternalView::CInternalView(CFormHost* host, QWidget* parent) : CConfigFormView(4, host, parent) {
    BindLinkPanel();
}

// Loading here means an update of all views discards unsaved edits on this form.
void CInternalView::OnUpdate() {
    UpdateData(false);
    ApplyControlProfile(Host());
}

} // namespace corvina
