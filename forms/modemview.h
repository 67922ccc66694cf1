// Form 8: modem and telemetry settings.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CModemView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CModemView(CFormHost* host, QWidget* parent = nullptr);
};

} // namespace corvina
