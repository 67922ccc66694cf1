// Message boxes of the program, with one hook so that tests can answer them.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace corvina {

// The application's name (QCoreApplication::applicationName(), set at start-up):
// the caption of the forms' validation messages and the name under which the
// per-user settings are kept.
QString AppName();

enum class MessageIcon { None, Information, Warning, Error };

struct MessageRecord {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
};

// Shows a modal message box with an OK button, owned by parent (may be null).
// Must be called on the user-interface thread.
void MessageBoxOk(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon);

// While a hook is set, message boxes are handed to it instead of being shown.
using MessageHook = std::function<void(const MessageRecord&)>;
void SetMessageHook(MessageHook hook);

} // namespace corvina
