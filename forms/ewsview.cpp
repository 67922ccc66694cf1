#include "ewsview.h"

namespace corvina {

CEwsView::CEwsView(CFormHost* host, QWidget* parent) : CConfigFormView(6, host, parent) {
    BindLinkPanel();
}

} // namespace corvina
