// The main window: menu, toolbar of the nine forms, status bar, and the forms
// of which exactly one is visible.
#pragma once

#include "formhost.h"
#include "taskrunner.h"
#include "taskstarter.h"
#include "tessarsetupdoc.h"

#include <QMainWindow>

#include <map>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace corvina {

class CView;

// Creates form n (1-9) of the form table.
CView* CreateFormView(int nView, CFormHost* host, QWidget* parent);

class CMainFrame : public QMainWindow, public CDocumentViews, public CFormHost {
    Q_OBJECT
public:
    explicit CMainFrame(CTessarSetupDoc& doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // CDocumentViews: forms 2 to 9 are created once per frame, hidden, each
    // with its form number as identifier.
    void CreateViews() override;
    void StoreActiveView() override;

    // CFormHost
    LoggerConfig& Config() override { return m_doc.Config(); }
    CView* GetActiveView() const override { return m_pActiveView; }
    void StartRetrieveTask() override;
    void StartSendTask() override;
    void StartDefaultTask() override;

    // Stores the visible form, then shows form nView (1-9) loaded from the
    // model after every form has been updated. A number without a form only
    // stores the visible one.
    void SwitchView(int nView);
    // The form whose child identifier is id, or null.
    CView* FindView(int id) const;
    // The document's views in the order they were created.
    const std::vector<CView*>& Views() const { return m_views; }
    // Every form's update operation, in creation order.
    void UpdateAllViews();
    // Every form's initial update (after a new or opened document).
    void InitialUpdateAllViews();
    // WM_REFRESH_VIEWS: reload the active form, then update all forms.
    int OnRefreshViews();

    // Caption: main title, " - ", the document's title.
    void UpdateTitle();
    // A message in the status bar's message pane until the next one.
    void SetMessageText(const QString& text);

    QAction* CommandAction(int command) const;
    QToolBar* ToolBar() const { return m_wndToolBar; }
    CTaskStarter& Tasks() { return m_tasks; }
    // Runs the logger tasks the starter admits.
    CTaskRunner& TaskRunner() { return m_runner; }
    // Replaces the recent-file entries of the File menu.
    void SetRecentFiles(const QStringList& paths);

Q_SIGNALS:
    void recentFileChosen(const QString& path);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void AddView(CView* view, int id);
    void OnTaskProgress(int percent);
    void ConnectTaskRunner();

    CTessarSetupDoc& m_doc;
    // Members in the order the frame's own layout needs them.
    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QLabel* m_messagePane = nullptr;
    std::map<int, QLabel*> m_indicators; // key: Qt key of the lock
    QStackedWidget* m_paneHost = nullptr;
    std::vector<CView*> m_views;
    CView* m_pActiveView = nullptr;
    std::map<int, QAction*> m_actions;
    QAction* m_recentPlaceholder = nullptr;
    std::vector<QAction*> m_recentActions;
    QMenu* m_fileMenu = nullptr;
    CTaskStarter m_tasks;
    CTaskRunner m_runner;
};

} // namespace corvina
