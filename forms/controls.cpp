#include "controls.h"

#include <QComboBox>

namespace corvina {

int ComboAddString(QComboBox* combo, const QString& text) {
    int at = combo->count();
    if (combo->property(kSortedProperty).toBool()) {
        // Insert after equal texts so items of the same text keep their order.
        at = 0;
        while (at < combo->count() &&
               QString::compare(combo->itemText(at), text, Qt::CaseInsensitive) <= 0)
            ++at;
    }
    // Inserting into an editable combo must not change what its edit part shows.
    const QString shown = combo->isEditable() ? combo->currentText() : QString();
    const bool wasEmpty = combo->count() == 0;
    combo->insertItem(at, text);
    if (wasEmpty)
        combo->setCurrentIndex(-1); // adding never selects
    if (combo->isEditable() && combo->currentText() != shown)
        combo->setEditText(shown);
    return at;
}

void ComboResetContent(QComboBox* combo) {
    combo->clear();
    if (combo->isEditable())
        combo->clearEditText();
}

int ComboFindString(const QComboBox* combo, const QString& text) {
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    return -1;
}

} // namespace corvina
