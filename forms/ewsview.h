// Form 6: early-warning rules and SMS numbers.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CEwsView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CEwsView(CFormHost* host, QWidget* parent = nullptr);
};

} // namespace corvina
