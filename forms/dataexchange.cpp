#include "dataexchange.h"

#include "cnumbers.h"
#include "controls.h"
#include "messagebox.h"
#include "view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtDebug>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace corvina {

namespace {

QString WidgetText(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return {};
}

void SetWidgetText(QWidget* w, const QString& text) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable()) {
            // The edit part shows the text even when no item carries it.
            c->setEditText(text);
        } else {
            c->setCurrentIndex(text.isEmpty() ? -1 : ComboFindString(c, text));
        }
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(text);
    }
}

} // namespace

void CDataExchange::Fail(QWidget* control, const QString& message) {
    m_failed = true;
    MessageBoxOk(m_pDlgWnd ? m_pDlgWnd->window() : nullptr, AppName(), message,
                 MessageIcon::Warning);
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(control))
        e->selectAll();
    else if (auto* c = qobject_cast<QComboBox*>(control); c && c->lineEdit())
        c->lineEdit()->selectAll();
}

std::optional<double> ScanLeadingDouble(const QString& text, int maxChars) {
    const std::optional<double> value = ScanDouble(QStringView(text).left(maxChars));
    // "inf" and "nan" read as numbers, but no field can hold them.
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<int64_t> ScanLeadingInteger(const QString& text, int maxChars) {
    return ScanInteger(QStringView(text).left(maxChars));
}

QString FormatFloatField(double value) {
    return QString::number(value, 'g', 6);
}

void CBindingList::Text(int id, FieldRef<QString> field) {
    Custom(id, [field](CDataExchange& dx, QWidget* w, LoggerConfig& cfg) {
        if (dx.m_bSaveAndValidate)
            field(cfg) = WidgetText(w);
        else
            SetWidgetText(w, field(cfg));
        return true;
    });
}

void CBindingList::Check(int id, FieldRef<Flag> field) {
    Custom(id, [field](CDataExchange& dx, QWidget* w, LoggerConfig& cfg) {
        auto* box = qobject_cast<QAbstractButton*>(w);
        if (!box)
            return true;
        Flag& value = field(cfg);
        if (dx.m_bSaveAndValidate) {
            value = box->isChecked() ? 1 : 0;
        } else {
            if (value < 0 || value > 2)
                value = 0;
            box->setChecked(value != 0);
        }
        return true;
    });
}

void CBindingList::Float(int id, FieldRef<float> field) {
    Custom(id, [field](CDataExchange& dx, QWidget* w, LoggerConfig& cfg) {
        if (!dx.m_bSaveAndValidate) {
            SetWidgetText(w, FormatFloatField(field(cfg)));
            return true;
        }
        const auto value = ScanLeadingDouble(WidgetText(w), 400);
        // A value beyond the float range would be stored as infinity.
        if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) {
            dx.Fail(w, QStringLiteral("Enter a number."));
            return false;
        }
        field(cfg) = static_cast<float>(*value);
        return true;
    });
}

void CBindingList::Integer(int id, FieldRef<int32_t> field, const QString& message, int64_t min,
                           int64_t max) {
    Custom(id, [field, message, min, max](CDataExchange& dx, QWidget* w, LoggerConfig& cfg) {
        if (!dx.m_bSaveAndValidate) {
            SetWidgetText(w, QString::number(field(cfg)));
            return true;
        }
        const auto value = ScanLeadingInteger(WidgetText(w), 63);
        if (!value || *value < min || *value > max) {
            dx.Fail(w, message);
            return false;
        }
        field(cfg) = static_cast<int32_t>(*value);
        return true;
    });
}

void CBindingList::Control(int id) {
    Custom(id, [](CDataExchange&, QWidget*, LoggerConfig&) { return true; });
}

void CBindingList::Custom(int id, Runner run) {
    m_bindings.push_back({id, std::move(run)});
}

bool CBindingList::Run(CDataExchange& dx, LoggerConfig& cfg) const {
    for (const auto& b : m_bindings) {
        QWidget* w = dx.m_pDlgWnd ? dx.m_pDlgWnd->GetDlgItem(b.id) : nullptr;
        if (!w) {
            // A binding without its control is a fault of the form's tables;
            // the other bindings still run.
            qWarning("data exchange: no control %d", b.id);
            continue;
        }
        if (!b.run(dx, w, cfg) || dx.Failed())
            return false;
    }
    return true;
}

} // namespace corvina
