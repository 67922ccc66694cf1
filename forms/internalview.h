// Form 4: internal channels IIN1-IIN19.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CInternalView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CInternalView(CFormHost* host, QWidget* parent = nullptr);
    // Loads the controls, then applies the control profile: an update of all
    // views discards unsaved edits on this form.
    void OnUpdate() override;
};

} // namespace corvina
