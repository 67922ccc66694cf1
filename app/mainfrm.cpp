#include "mainfrm.h"

#include "analogview.h"
#include "digitalview.h"
#include "ewsview.h"
#include "formtable.h"
#include "internalview.h"
#include "linkpanel.h"
#include "liveview.h"
#include "messagebox.h"
#include "modemview.h"
#include "outputview.h"
#include "serialview.h"
#include "shellresources.h"
#include "systemview.h"
#include "windowmessage.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtDebug>

namespace corvina {

namespace {
constexpr int AFX_IDW_TOOLBAR = 0xE800;
constexpr int AFX_IDW_STATUS_BAR = 0xE801;
} // namespace

CView* CreateFormView(int nView, CFormHost* host, QWidget* parent) {
    switch (nView) {
    case 1:
        return new CAnalogView(host, parent);
    case 2:
        return new CDigitalView(host, parent);
    case 3:
        return new CSerialView(host, parent);
    case 4:
        return new CInternalView(host, parent);
    case 5:
        return new COutputView(host, parent);
    case 6:
        return new CEwsView(host, parent);
    case 7:
        return new CSystemView(host, parent);
    case 8:
        return new CModemView(host, parent);
    case 9:
        return new CLiveView(host, parent);
    default:
        return nullptr;
    }
}

CMainFrame::CMainFrame(CTessarSetupDoc& doc, QWidget* parent) : QMainWindow(parent), m_doc(doc) {
    resize(1024, 600);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    m_paneHost = new QStackedWidget(this);
    setCentralWidget(m_paneHost);
    // The first form is the frame's main pane from the start.
    auto* analog = CreateFormView(kAnalogForm, this, m_paneHost);
    AddView(analog, AFX_IDW_PANE_FIRST);
    m_pActiveView = analog;
    m_paneHost->setCurrentWidget(analog);
    m_doc.SetViews(this);
    SetMainWindow(this);
    UpdateTitle();
    ConnectTaskRunner();
}

// The tasks work on a copy of the model and report back through the runner's
// signals, which arrive here on the user-interface thread.
void CMainFrame::ConnectTaskRunner() {
    m_tasks.SetLauncher([this](LoggerTaskKind task) { m_runner.Start(task, Config()); });
    connect(&m_runner, &CTaskRunner::progress, this,
            [this](int percent) { OnTaskProgress(percent); });
    connect(&m_runner, &CTaskRunner::errorMessage, this,
            [](const QString& caption, const QString& text) {
                MessageBoxOk(nullptr, caption, text, MessageIcon::Error);
            });
    connect(&m_runner, &CTaskRunner::finished, this,
            [this](const TaskOutcome& outcome) { ApplyTaskOutcome(Config(), outcome); });
    connect(&m_runner, &CTaskRunner::refreshRequested, this,
            [] { PostMainWindowMessage(WM_REFRESH_VIEWS); });
}

CMainFrame::~CMainFrame() {
    SetMainWindow(nullptr);
    m_doc.SetViews(nullptr);
}

void CMainFrame::AddView(CView* view, int id) {
    view->SetDlgCtrlID(id);
    m_paneHost->addWidget(view);
    m_views.push_back(view);
}

void CMainFrame::CreateViews() {
    // Once per frame: a second set of forms would share the identifiers of the
    // first, and a switch must find exactly one form per number.
    if (m_views.size() > 1)
        return;
    for (int nView = 2; nView <= kFormCount; ++nView)
        AddView(CreateFormView(nView, this, m_paneHost), nView);
}

void CMainFrame::StoreActiveView() {
    if (m_pActiveView)
        m_pActiveView->UpdateData(true);
}

void CMainFrame::StartRetrieveTask() {
    m_tasks.Start(LoggerTaskKind::Retrieve);
}
void CMainFrame::StartSendTask() {
    m_tasks.Start(LoggerTaskKind::Send);
}
void CMainFrame::StartDefaultTask() {
    m_tasks.Start(LoggerTaskKind::Default);
}

CView* CMainFrame::FindView(int id) const {
    for (auto* v : m_views)
        if (v->GetDlgCtrlID() == id)
            return v;
    return nullptr;
}

void CMainFrame::SwitchView(int nView) {
    CView* pOldActiveView = m_pActiveView;
    // A failed validation has shown its message; the switch goes on.
    if (pOldActiveView)
        pOldActiveView->UpdateData(true);
    CView* pNewView = FindView(nView);
    if (!pOldActiveView || !pNewView)
        return;
    m_pActiveView = pNewView;
    m_paneHost->setCurrentWidget(pNewView); // hides the old form, shows the new
    const int nOldView = FormNumberOfView(pOldActiveView);
    pOldActiveView->SetDlgCtrlID(nOldView);
    pNewView->SetDlgCtrlID(AFX_IDW_PANE_FIRST);
    UpdateAllViews();
    pNewView->UpdateData(false);
}

void CMainFrame::UpdateAllViews() {
    for (auto* v : m_views)
        v->OnUpdate();
}

void CMainFrame::InitialUpdateAllViews() {
    for (auto* v : m_views)
        v->OnInitialUpdate();
}

int CMainFrame::OnRefreshViews() {
    if (m_pActiveView)
        m_pActiveView->UpdateData(false);
    UpdateAllViews();
    return 0;
}

void CMainFrame::OnTaskProgress(int percent) {
    // The live form has no progress bar; a task's progress is then not shown.
    if (auto* form = qobject_cast<CConfigFormView*>(m_pActiveView))
        if (form->Progress())
            form->Progress()->setValue(percent);
}

bool CMainFrame::event(QEvent* e) {
    if (e->type() == CWindowMessageEvent::kType) {
        const auto* msg = static_cast<CWindowMessageEvent*>(e);
        switch (msg->Message()) {
        case WM_REFRESH_VIEWS:
            OnRefreshViews();
            break;
        case WM_TASK_PROGRESS:
            OnTaskProgress(msg->WParam());
            break;
        default:
            break;
        }
        return true;
    }
    return QMainWindow::event(e);
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(LoadShellResources().DocumentField(0) + QStringLiteral(" - ") +
                   m_doc.GetTitle());
}

void CMainFrame::SetMessageText(const QString& text) {
    m_wndStatusBar->showMessage(text);
}

QAction* CMainFrame::CommandAction(int command) const {
    auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateMenus() {
    const ShellResources& res = LoadShellResources();
    for (const auto& m : res.menus) {
        QMenu* menu = menuBar()->addMenu(m.title);
        if (m.title == u"&File")
            m_fileMenu = menu;
        for (const auto& item : m.items) {
            if (item.command == 0) {
                menu->addSeparator();
                continue;
            }
            const QStringList parts = item.text.split(u'\t');
            auto* action = new QAction(parts.value(0), this);
            action->setObjectName(QString::number(item.command));
            if (parts.size() > 1)
                action->setShortcut(QKeySequence(parts[1]));
            action->setStatusTip(item.prompt.section(u'\n', 0, 0));
            menu->addAction(action);
            m_actions[item.command] = action;
            if (item.command == ID_FILE_MRU_FILE1) {
                m_recentPlaceholder = action;
                action->setEnabled(false);
            }
        }
    }
    // The remaining accelerators are further keys of the same commands.
    for (const auto& acc : res.accelerators) {
        QAction* action = CommandAction(acc.command);
        const QKeySequence key(acc.key);
        if (!action) {
            // Pane commands: the window has no split panes, so they do nothing.
            action = new QAction(this);
            action->setObjectName(QString::number(acc.command));
            addAction(action);
            m_actions[acc.command] = action;
        }
        QList<QKeySequence> keys = action->shortcuts();
        if (!keys.contains(key)) {
            keys << key;
            action->setShortcuts(keys);
        }
    }
    // Commands without a handler stay disabled.
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY,
                   ID_EDIT_PASTE})
        if (QAction* a = CommandAction(id))
            a->setEnabled(false);
    if (QAction* exit = CommandAction(ID_APP_EXIT))
        connect(exit, &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::CreateToolBar() {
    const ShellResources& res = LoadShellResources();
    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QString::number(AFX_IDW_TOOLBAR));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bool first = true;
    for (const auto& b : res.toolbar) {
        if (!first)
            m_wndToolBar->addSeparator();
        first = false;
        auto* action = m_wndToolBar->addAction(b.label);
        action->setObjectName(QString::number(b.command));
        m_actions[b.command] = action;
        const int nView = FormFromCommand(b.command);
        connect(action, &QAction::triggered, this, [this, nView] { SwitchView(nView); });
        if (auto* button = qobject_cast<QToolButton*>(m_wndToolBar->widgetForAction(action))) {
            button->setMinimumSize(res.buttonSize);
            button->setObjectName(QStringLiteral("button%1").arg(b.command));
            // The buttons carry their label as image: no tips.
            button->installEventFilter(this);
        }
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    if (QAction* a = CommandAction(ID_VIEW_TOOLBAR)) {
        a->setCheckable(true);
        a->setChecked(true);
        connect(a, &QAction::toggled, m_wndToolBar, &QWidget::setVisible);
        connect(m_wndToolBar, &QToolBar::visibilityChanged, a, &QAction::setChecked);
    }
}

void CMainFrame::CreateStatusBar() {
    const ShellResources& res = LoadShellResources();
    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QString::number(AFX_IDW_STATUS_BAR));
    setStatusBar(m_wndStatusBar);
    // The message pane shows the idle text while no prompt or message is up.
    m_messagePane = new QLabel(res.idleText, m_wndStatusBar);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    m_wndStatusBar->addWidget(m_messagePane, 1);
    const int keys[] = {Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock};
    int k = 0;
    for (const auto& pane : res.statusPanes) {
        if (pane.isEmpty())
            continue;
        auto* label = new QLabel(pane, m_wndStatusBar);
        label->setObjectName(pane);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(pane) + 12);
        // An indicator is drawn greyed while its lock is off.
        label->setEnabled(false);
        m_wndStatusBar->addPermanentWidget(label);
        if (k < 3)
            m_indicators[keys[k++]] = label;
    }
    if (qApp)
        qApp->installEventFilter(this);
    if (QAction* a = CommandAction(ID_VIEW_STATUS_BAR)) {
        a->setCheckable(true);
        a->setChecked(true);
        connect(a, &QAction::toggled, m_wndStatusBar, &QWidget::setVisible);
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::ToolTip && qobject_cast<QToolButton*>(watched) &&
        watched->parent() == m_wndToolBar)
        return true;
    if (e->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        // The toolkit does not report lock states; a lock key press toggles it.
        const auto* key = static_cast<QKeyEvent*>(e);
        auto it = m_indicators.find(key->key());
        if (it != m_indicators.end() && !key->isAutoRepeat())
            it->second->setEnabled(!it->second->isEnabled());
    }
    return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    for (auto* a : m_recentActions) {
        // The entry may be the one whose trigger led here: delete it later.
        m_fileMenu->removeAction(a);
        a->setObjectName(QString());
        a->deleteLater();
    }
    m_recentActions.clear();
    if (!m_recentPlaceholder)
        return;
    m_recentPlaceholder->setVisible(paths.isEmpty());
    int n = 0;
    for (const auto& path : paths) {
        ++n;
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(n).arg(path), this);
        a->setObjectName(QString::number(ID_FILE_MRU_FILE1 + n - 1));
        a->setStatusTip(LoadShellResources().menus.empty() ? QString()
                                                           : m_recentPlaceholder->statusTip());
        connect(a, &QAction::triggered, this, [this, path] { Q_EMIT recentFileChosen(path); });
        m_fileMenu->insertAction(m_recentPlaceholder, a);
        m_recentActions.push_back(a);
    }
}

} // namespace corvina
