// Operations on template controls that the forms share.
#pragma once

#include <QString>

class QComboBox;

namespace corvina {

// Property set on combos whose template asks for a sorted list.
inline constexpr char kSortedProperty[] = "corvinaSorted";

// Adds an item; a sorted combo keeps its items in text order (case-insensitive,
// so "COM10" comes before "COM2"). Returns the index of the new item.
int ComboAddString(QComboBox* combo, const QString& text);

// Empties the list and the edit part.
void ComboResetContent(QComboBox* combo);

// Index of the first item that begins with text (case-insensitive), or -1.
int ComboFindString(const QComboBox* combo, const QString& text);

} // namespace corvina
