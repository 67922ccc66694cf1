// Form 4: internal channels.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CInternalView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CInternalView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;
};

} // namespace corvina
