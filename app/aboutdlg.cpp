#include "aboutdlg.h"

#include "dialogtemplate.h"

#include <QPushButton>

#include <map>

namespace corvina {

namespace {
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDOK = 1;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    const DialogTemplate& tmpl = LoadDialogTemplate(IDD_ABOUTBOX);
    setWindowTitle(tmpl.caption);
    setFont(DialogFont(tmpl));
    std::map<int, QWidget*> controls;
    CreateTemplateControls(tmpl, this, &controls);
    setFixedSize(DialogUnits(font()).Size(tmpl.size));
    if (auto* ok = qobject_cast<QPushButton*>(controls[IDOK])) {
        ok->setAutoDefault(true);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
}

} // namespace corvina
