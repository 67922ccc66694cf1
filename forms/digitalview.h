// Form 2: digital inputs DIN1-DIN8.
#pragma once

#include "linkpanel.h"

namespace corvina {

class CDigitalView : public CConfigFormView {
    Q_OBJECT
public:
    explicit CDigitalView(CFormHost* host, QWidget* parent = nullptr);
    void OnUpdate() override;

    // A sensor was chosen in the SENSOR combo of channel (1-8): checks MEASURE
    // and takes the catalogue entry's counting type. Changes controls only.
    void OnSelchangeSensor(int channel);

protected:
    void FillLists() override;
};

} // namespace corvina
