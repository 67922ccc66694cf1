// Form 5: output channels and polynomials.
//
// An output takes one input value, converts it with one of the sixteen
// polynomials and carries an alias. The links between inputs and outputs live
// in the input records (their Output and Poly), which the analog, digital and
// internal forms show read-only; choosing an input or a polynomial here
// rewrites them at once. Choosing a catalogue sensor copies its polynomial
// into the first free polynomial row.
#pragma once

#include "linkpanel.h"

#include <QStringList>

#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace corvina {

struct SensorDef;

// Identifiers of one output row's controls.
struct OutputRowIds {
    int input, min, max, sdev, vect, poly, alias;
};
const std::array<OutputRowIds, kOutputChannelsUsed>& OutputRows();

// Edit box of coefficient c (0: A0 ... 3: A3) of polynomial row p (0-based).
constexpr int PolyCoefficientId(int p, int c) {
    return 1252 + 4 * p + c;
}

// The input values an output may take, in list order: "0", the measured
// analog (AIN1-4, AIN9-12) and digital (DIN1-4) inputs with their sensor
// names, the internal quantities IIN1-16 with their aliases, and the values
// the serial inputs' drivers deliver.
QStringList OutputInputItems(const LoggerConfig& cfg);

// The item that shows a stored Input: the first, from the second item round
// to the first, that begins with it (ignoring case) without running on into a
// longer channel number ("A1" is not "A10"). -1 for none and for "".
int FindStoredInput(const QStringList& items, const QString& input);

class COutputView : public CConfigFormView {
    Q_OBJECT
public:
    explicit COutputView(CFormHost* host, QWidget* parent = nullptr);

    // Rebuilds every INPUT list from the model and selects the stored inputs;
    // loads nothing else.
    void OnUpdate() override;

    // The user chose item index of row's INPUT list, or of its POLY list
    // (rows 0-based).
    void OnInputChosen(int row, int index);
    void OnPolyChosen(int row, int index);

    // Writes the sensor's polynomial into the first row whose four boxes all
    // read "0"; nothing when no row is free.
    void AssignFreePolynomial(const SensorDef& sensor);
    // 0-based row that AssignFreePolynomial filled last; none before the first.
    std::optional<int> LastAssignedPoly() const { return m_nLastAssignedPoly; }

    QComboBox* InputCombo(int row) const;
    QComboBox* PolyCombo(int row) const;
    QCheckBox* VectCheck(int row) const;
    QLineEdit* Coefficient(int p, int c) const;

private:
    void BindControls();
    void ConnectHandlers();
    // The polynomial the row's POLY combo has selected, "P1" when none.
    QString SelectedPolynomial(int row) const;

    std::optional<int> m_nLastAssignedPoly;
};

} // namespace corvina
