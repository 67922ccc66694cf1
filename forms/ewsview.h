// Form 6: early-warning rules and the SMS numbers they notify. It has no
// update of its own: it is loaded from the model when it is shown or
// refreshed as the active form.
#pragma once

#include "linkpanel.h"

#include <array>

namespace corvina {

// Identifiers of one rule row's controls; t[0] is the T1 tick.
struct EwsRowIds {
    int input, type, logInt, modemInt, alarm, units;
    std::array<int, kSmsNumbers> t;
};
const std::array<EwsRowIds, kEwsRules>& EwsRows();
// The edit box of SMS number k (0-based).
int SmsNumberId(int k);

class CEwsView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CEwsView(CFormHost* host, QWidget* parent = nullptr);

    // The user chose item index of rule row's TYPE list (row 0-based): the
    // types that fire on every measurement get a warning.
    void OnTypeChosen(int row, int index);

private:
    void BindControls();
};

} // namespace corvina
