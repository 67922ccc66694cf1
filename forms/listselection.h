// A combo box with an edit part reports "activated" both when the user picks
// an item from its list (mouse or arrow keys) and when Enter is pressed on
// typed text that happens to match an item. Handlers that answer a choice from
// the list only connect through ConnectListSelection.
#pragma once

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

#include <functional>
#include <utility>

namespace corvina {

namespace detail {

// Marks the span of an Enter key press in the edit part.
class TypedEnterFilter : public QObject {
public:
    explicit TypedEnterFilter(QObject* parent) : QObject(parent) {}
    bool Typing() const { return m_typing; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                m_typing = event->type() == QEvent::KeyPress;
        } else if (event->type() == QEvent::FocusOut) {
            m_typing = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_typing = false;
};

} // namespace detail

// Calls handler(index) when the user chooses an item of combo's list, not when
// typed text is confirmed with Enter. Programmatic changes never call it.
inline void ConnectListSelection(QComboBox* combo, QObject* context,
                                 std::function<void(int)> handler) {
    detail::TypedEnterFilter* filter = nullptr;
    if (QLineEdit* edit = combo->lineEdit()) {
        filter = new detail::TypedEnterFilter(combo);
        edit->installEventFilter(filter);
    }
    QObject::connect(combo, &QComboBox::activated, context,
                     [filter, handler = std::move(handler)](int index) {
                         if (filter && filter->Typing())
                             return;
                         handler(index);
                     });
}

} // namespace corvina
