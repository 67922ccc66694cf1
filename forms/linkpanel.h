// The link panel that forms 1 to 8 share (group "PC COM"): the PC's port and
// bit rate, the set-time choice, the hidden device combo, the progress bar and
// the Send and Retrieve buttons. The same LinkSettings fields are bound on
// every form, so a choice stored on one form shows on the next form loaded.
#pragma once

#include "view.h"

class QComboBox;
class QProgressBar;

namespace corvina {

// Identifiers that differ from form to form.
struct LinkPanelIds {
    int setTime;
    int deviceLabel;
    int device;
    int progress;
    int send;
    int retrieve;
};

inline constexpr int IDC_PORT = 1103;
inline constexpr int IDC_SPEED = 1105;
inline constexpr int IDC_LOGO = 1581;

// The link panel identifiers of form n (1-8), or null.
const LinkPanelIds* LinkPanelOf(int formNumber);

// Fills the port combo from PortPresence (entries 0-255, "COM<n>", kept in
// text order) and shows PortName, or the first port when PortName is "".
void FillPortCombo(QComboBox* combo, const LoggerConfig& cfg);

class CConfigFormView : public CView {
    Q_OBJECT
public:
    CConfigFormView(int formNumber, CFormHost* host, QWidget* parent = nullptr);

    // Loads the controls and runs the update, then fills the port list and
    // the form's own item lists.
    void OnInitialUpdate() override;

    // Send and Retrieve: store the form (a failed validation has shown its
    // message and does not stop the task), then ask for the task.
    void OnSend();
    void OnRetrieve();

    QComboBox* PortCombo() const { return m_wndPortCombo; }
    QProgressBar* Progress() const { return m_wndProgress; }
    const LinkPanelIds& LinkIds() const { return m_link; }

protected:
    // Appends the link panel's bindings; each form calls it after its own.
    void BindLinkPanel();
    // The form's own item lists, filled after the port list.
    virtual void FillLists() {}

private:
    LinkPanelIds m_link;
    QComboBox* m_wndPortCombo = nullptr;
    QProgressBar* m_wndProgress = nullptr;
};

} // namespace corvina
