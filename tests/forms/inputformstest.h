// Shared pieces of the input form tests: a host that records task starts and
// message boxes, a sensor catalogue from text, and a user's choice in a combo.
#pragma once

#include "dataexchange.h"
#include "formhost.h"
#include "loggerconfig.h"
#include "messagebox.h"
#include "sensorcatalogue.h"
#include "view.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>

#include <initializer_list>
#include <vector>

namespace corvina::testing {

class InputFormHost : public CFormHost {
public:
    InputFormHost() {
        QCoreApplication::setApplicationName(QStringLiteral("CorvinaSetup"));
        ResetToDefaults(cfg);
        SetMessageHook([this](const MessageRecord& m) { messages.push_back(m); });
    }
    ~InputFormHost() override { SetMessageHook(nullptr); }
    InputFormHost(const InputFormHost&) = delete;
    InputFormHost& operator=(const InputFormHost&) = delete;

    LoggerConfig& Config() override { return cfg; }
    CView* GetActiveView() const override { return active; }
    void StartRetrieveTask() override { ++retrieves; }
    void StartSendTask() override { ++sends; }
    void StartDefaultTask() override {}

    // Reads a catalogue file's lines (joined with CR LF) into the model.
    void SetCatalogue(const QStringList& lines) {
        ClearSensorCatalogue(cfg);
        QByteArray bytes = lines.join(QStringLiteral("\r\n")).toLatin1();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        BuildSensorCatalogue(cfg, buffer);
    }

    LoggerConfig cfg;
    CView* active = nullptr;
    int sends = 0;
    int retrieves = 0;
    std::vector<MessageRecord> messages;
};

// The control identifiers of a form's bindings, in exchange order.
inline std::vector<int> BindingIds(const CBindingList& bindings) {
    std::vector<int> ids;
    for (size_t i = 0; i < bindings.size(); ++i)
        ids.push_back(bindings.IdAt(i));
    return ids;
}

// The identifiers of a table of channel rows, row by row (0 marks a column a
// row does not have), followed by those of the link panel.
template <size_t Rows, size_t Columns>
std::vector<int> RowIdsThenLink(const int (&rows)[Rows][Columns], std::initializer_list<int> link) {
    std::vector<int> ids;
    for (const auto& row : rows)
        for (int id : row)
            if (id)
                ids.push_back(id);
    ids.insert(ids.end(), link);
    return ids;
}

// The items of a combo's list, in list order.
inline QStringList ComboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// What the user does when picking an item from a combo's drop-down list.
inline void ChooseItem(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

// The text a bound control shows (edit box or combo) or its check state as "0"/"1".
inline QString Shown(const CView& view, int id) {
    QWidget* w = view.GetDlgItem(id);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* b = qobject_cast<QCheckBox*>(w))
        return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return QStringLiteral("<no control %1>").arg(id);
}

// Puts a text into an edit box or a combo's edit part, or "0"/"1" into a check box.
inline void Enter(const CView& view, int id, const QString& text) {
    QWidget* w = view.GetDlgItem(id);
    QVERIFY2(w, qPrintable(QString::number(id)));
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        c->setEditText(text);
    else if (auto* b = qobject_cast<QCheckBox*>(w))
        b->setChecked(text == QStringLiteral("1"));
    else
        QFAIL("not an input control");
}

} // namespace corvina::testing
