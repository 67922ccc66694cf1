// The SENSOR combos of the analog and digital forms: which catalogue entries a
// channel offers.
#pragma once

#include "controls.h"
#include "loggerconfig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QString>

#include <functional>
#include <memory>

namespace corvina {

// Rebuilds combo's list from the catalogue entries of kind ("analog" or
// "digital") that name channel (1-20), in catalogue order. The first entry
// without a name ends the used part of the catalogue. The text the combo shows
// (loaded from the model just before) stays as it is, and a list rebuilt after
// every new or opened document holds each name once.
inline void FillSensorCombo(QComboBox* combo, const LoggerConfig& cfg, const QString& kind,
                            int channel) {
    if (!combo || channel < 1 || channel > int(SensorDef{}.Channels.size()))
        return;
    const QString shown = combo->currentText();
    ComboResetContent(combo);
    for (const SensorDef& s : cfg.Sensors) {
        if (s.Name.isEmpty())
            break;
        if (s.Kind == kind && s.Channels[size_t(channel - 1)] == 1)
            ComboAddString(combo, s.Name);
    }
    combo->setEditText(shown);
}

// Runs handler when the user chooses an item of combo's list (from the
// drop-down, with the arrow keys or the wheel), never for a text typed into the
// edit part: a typed name is only the channel's sensor text, even when it is
// the name of a listed sensor.
inline void ConnectSensorChoice(QComboBox* combo, QObject* context, std::function<void()> handler) {
    if (!combo || !combo->isEditable())
        return;
    // The combo selects an item whose text was typed when editing finishes and
    // reports that as a choice; the guard brackets the combo's own reaction,
    // since slots run in the order they were connected.
    auto typing = std::make_shared<bool>(false);
    const QString shown = combo->currentText();
    auto* edit = new QLineEdit;
    QObject::connect(edit, &QLineEdit::editingFinished, context, [typing] { *typing = true; });
    combo->setLineEdit(edit);
    QObject::connect(edit, &QLineEdit::editingFinished, context, [typing] { *typing = false; });
    // Completing a typed prefix would be a choice the user did not make.
    combo->setCompleter(nullptr);
    combo->setEditText(shown);
    QObject::connect(combo, &QComboBox::activated, context, [typing, handler](int) {
        if (!*typing)
            handler();
    });
}

} // namespace corvina
