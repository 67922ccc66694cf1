// Form 1: analog inputs AIN1-AIN20.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CAnalogView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CAnalogView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;
};

} // namespace corvina
