// Form 5: output channels and polynomials.
#pragma once

#include "linkpanel.h"

namespace corvina {

class COutputView : public CConfigFormView {
    Q_OBJECT
public:
    explicit COutputView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;
};

} // namespace corvina
