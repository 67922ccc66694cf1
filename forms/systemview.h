// Form 7: system settings.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CSystemView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CSystemView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;
};

} // namespace corvina
