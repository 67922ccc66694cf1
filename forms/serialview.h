// Form 3: serial inputs.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CSerialView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CSerialView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;
};

} // namespace corvina
