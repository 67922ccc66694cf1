// Form 1: analog inputs AIN1-AIN20.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CAnalogView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CAnalogView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;

    // A sensor was chosen in the SENSOR combo of channel (1-20): presets the
    // row's controls from the catalogue entry of that name. Changes controls
    // only; the model takes them at the next store.
    void OnSelchangeSensor(int channel);

protected:
    void FillLists() override;
};

} // namespace corvina
