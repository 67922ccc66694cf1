// A form: a page laid out from a dialog template, bound to the model through
// its data exchange. A form larger than the space it is given scrolls.
#pragma once

#include "dataexchange.h"
#include "dialogtemplate.h"

#include <QScrollArea>

#include <map>

namespace corvina {

class CFormHost;

class CView : public QScrollArea {
    Q_OBJECT
public:
    CView(int templateId, CFormHost* host, QWidget* parent = nullptr);

    int GetTemplateId() const { return m_templateId; }
    // The child identifier: the form number while hidden, AFX_IDW_PANE_FIRST
    // while it is the visible form.
    int GetDlgCtrlID() const { return m_nID; }
    void SetDlgCtrlID(int id) { m_nID = id; }

    // The control with this identifier, or null. The first control a template
    // gives an identifier is the one found.
    QWidget* GetDlgItem(int id) const;
    template <class T> T* Item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    // The page that holds the controls.
    QWidget* Page() const { return m_page; }

    // Runs the data exchange: true stores the controls into the model, false
    // loads them. Returns false when a store stopped at a validation failure.
    bool UpdateData(bool bSaveAndValidate = true);

    // Called once the window exists and after every new or opened document:
    // loads the controls, then runs the update.
    virtual void OnInitialUpdate();
    // Called for every form when the document updates all views.
    virtual void OnUpdate();

    CFormHost* Host() const { return m_pHost; }
    LoggerConfig& Config() const;

    // Adds a control built outside the template; it is found by its identifier
    // unless the template already has one of that identifier.
    void AddControl(int id, QWidget* control);

protected:
    CBindingList m_bindings;

private:
    int m_templateId;
    int m_nID = 0;
    CFormHost* m_pHost;
    QWidget* m_page;
    std::map<int, QWidget*> m_controls;
};

} // namespace corvina
