// Form 2: digital inputs DIN1-DIN8.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CDigitalView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CDigitalView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;
};

} // namespace corvina
