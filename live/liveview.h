// Form 9: the live measurements. This page carries the form's controls; the
// live task and the table's columns come with the live measurement work.
#pragma once

#include "view.h"

namespace corvina {

class CLiveView : public CView {
    Q_OBJECT
public:
    explicit CLiveView(CFormHost* host, QWidget* parent = nullptr);
    void OnInitialUpdate() override;
};

} // namespace corvina
