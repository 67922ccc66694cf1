// The data exchange between a form's controls and the configuration model.
//
// A form declares its bindings once, in the order the exchange runs them. An
// exchange runs every binding in that order, in one direction: "load" sets the
// controls from the model, "store" sets the model from the controls. A store
// stops at the first binding whose text fails validation: its message is shown
// (caption: the application's name), the focus goes to that control with its
// text selected, the fields bound before it hold their new values and the
// field itself and those after it keep their old ones.
#pragma once

#include "loggerconfig.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace corvina {

class CView;

class CDataExchange {
public:
    CDataExchange(CView* view, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(view) {}

    const bool m_bSaveAndValidate; // true: store controls into the model
    CView* const m_pDlgWnd;

    // Shows message, puts the focus into control with its text selected, and
    // marks the exchange as failed.
    void Fail(QWidget* control, const QString& message);
    bool Failed() const { return m_failed; }

private:
    bool m_failed = false;
};

// Field accessors: given the model, the field a binding moves.
template <class T> using FieldRef = std::function<T&(LoggerConfig&)>;

// Reading numbers as the C library's formatted input does: at most maxChars
// characters, white space skipped, then a number; whatever follows is ignored.
// Nothing when no number begins there or the value is not a finite number.
std::optional<double> ScanLeadingDouble(const QString& text, int maxChars = 399);
// Signed decimal integer; values beyond 64 bits saturate (and so fail any
// range a field has).
std::optional<int64_t> ScanLeadingInteger(const QString& text, int maxChars = 63);

// The text a float shows: "%.*g" with 6 significant digits ("1", "0", "2500").
QString FormatFloatField(double value);

class CBindingList {
public:
    // Text field and edit box or combo box: the whole text, nothing trimmed.
    void Text(int id, FieldRef<QString> field);
    // Flag and check box.
    void Check(int id, FieldRef<Flag> field);
    // Float and edit box; "Enter a number." when no number can be read.
    void Float(int id, FieldRef<float> field);
    // Signed integer and edit box, accepted within [min, max]; message otherwise.
    void Integer(int id, FieldRef<int32_t> field, const QString& message, int64_t min = INT32_MIN,
                 int64_t max = INT32_MAX);
    // Attaches a control object to the form (port combo, progress bar); moves
    // no data, but a missing control is reported like every other binding's.
    void Control(int id);
    // Anything else: run(exchange, control, model) returns false after calling
    // exchange.Fail.
    using Runner = std::function<bool(CDataExchange&, QWidget*, LoggerConfig&)>;
    void Custom(int id, Runner run);

    // Runs the bindings in order; false when a store stopped at a failure.
    bool Run(CDataExchange& dx, LoggerConfig& cfg) const;

    size_t size() const { return m_bindings.size(); }
    int IdAt(size_t i) const { return m_bindings[i].id; }

private:
    struct Binding {
        int id;
        Runner run;
    };
    std::vector<Binding> m_bindings;
};

} // namespace corvina
