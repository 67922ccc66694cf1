#include "messagebox.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <utility>

namespace corvina {

namespace {
MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}
} // namespace

QString AppName() {
    return QCoreApplication::applicationName();
}

void MessageBoxOk(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
    if (Hook()) {
        Hook()(MessageRecord{caption, text, icon});
        return;
    }
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None:
        break;
    case MessageIcon::Information:
        qicon = QMessageBox::Information;
        break;
    case MessageIcon::Warning:
        qicon = QMessageBox::Warning;
        break;
    case MessageIcon::Error:
        qicon = QMessageBox::Critical;
        break;
    }
    QMessageBox box(qicon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void SetMessageHook(MessageHook hook) {
    Hook() = std::move(hook);
}

} // namespace corvina
