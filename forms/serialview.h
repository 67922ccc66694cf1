// Form 3: serial inputs SIN1-SIN8.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CSerialView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CSerialView(CFormHost* host, QWidget* parent = nullptr);
    // Refills the DRIVER lists from the driver list of the last retrieve, then
    // loads the controls: an update of all views discards unsaved edits here.
    void OnUpdate() override;
};

} // namespace corvina
