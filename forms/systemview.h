// Form 7: system settings, the logger's clock and "Set Default Config".
#pragma once

#include "linkpanel.h"

namespace corvina {

class CSystemView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CSystemView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;

    // Stores the form (a failed validation has shown its message and does not
    // stop the task) and asks for the reset-to-defaults task.
    void OnSetDefaultConfig();

private:
    void BindControls();
};

} // namespace corvina
