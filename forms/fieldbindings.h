// Bindings and texts that the field forms (outputs, early warning, system,
// modem) share beyond the framework's own.
#pragma once

#include "dataexchange.h"
#include "loggerconfig.h"

#include <QLineEdit>
#include <QString>

#include <cstdint>

namespace corvina {

// The validation messages of these forms, word for word.
namespace formtext {
inline const QString kEnterInteger = QStringLiteral("Enter an integer.");
inline const QString kEnterPositiveInteger = QStringLiteral("Enter a positive integer.");
inline const QString kEnterByte = QStringLiteral("Enter an integer between 0 and 255.");
inline const QString kManySmsTitle = QStringLiteral("Warning Message");
inline const QString kManySmsText = QStringLiteral(
    "This type of warning can produce many SMS messages.\nEvaluate other warning types.");
} // namespace formtext

// The link settings, for forms that bind the link panel in their own order.
inline QString& PortNameField(LoggerConfig& c) {
    return c.Link.PortName;
}
inline QString& PortSpeedField(LoggerConfig& c) {
    return c.Link.PortSpeed;
}
inline Flag& SetSystemTimeField(LoggerConfig& c) {
    return c.Link.SetSystemTime;
}
inline QString& DeviceModelField(LoggerConfig& c) {
    return c.Link.DeviceModel;
}

// An unsigned field and its edit box. The text is read as a decimal number
// with leading blanks and trailing text ignored; a value outside 0..max gives
// the message. A minus sign is refused rather than wrapped round, so "-1" never
// turns into the field's largest value.
template <class T>
void BindUnsigned(CBindingList& bindings, int id, FieldRef<T> field, const QString& message,
                  uint64_t max) {
    bindings.Custom(id, [field, message, max](CDataExchange& dx, QWidget* w, LoggerConfig& cfg) {
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (!dx.m_bSaveAndValidate) {
            if (edit)
                edit->setText(QString::number(field(cfg)));
            return true;
        }
        const auto value = ScanLeadingInteger(edit ? edit->text() : QString(), 63);
        if (!value || *value < 0 || uint64_t(*value) > max) {
            dx.Fail(w, message);
            return false;
        }
        field(cfg) = static_cast<T>(*value);
        return true;
    });
}

} // namespace corvina
