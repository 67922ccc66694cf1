#include "modemview.h"

namespace corvina {

CModemView::CModemView(CFormHost* host, QWidget* parent) : CConfigFormView(8, host, parent) {
    BindLinkPanel();
}

} // namespace corvina
