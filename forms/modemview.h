// Form 8: modem and telemetry settings. It has no update of its own: it is
// loaded from the model when it is shown or refreshed as the active form.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CModemView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CModemView(CFormHost* host, QWidget* parent = nullptr);

private:
    void BindControls();
};

} // namespace corvina
