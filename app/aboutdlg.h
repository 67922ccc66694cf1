// The About box, laid out from its dialog template.
#pragma once

#include <QDialog>

namespace corvina {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace corvina
