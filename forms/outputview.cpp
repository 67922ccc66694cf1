#include "outputview.h"

namespace corvina {

COutputView::COutputView(CFormHost* host, QWidget* parent) : CConfigFormView(5, host, parent) {
    BindLinkPanel();
}

// The input lists that this form rebuilds on every update come with its own table.
void COutputView::OnUpdate() {}

} // namespace corvina
