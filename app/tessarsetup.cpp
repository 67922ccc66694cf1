#include "tessarsetup.h"

#include "aboutdlg.h"
#include "activity.h"
#include "messagebox.h"
#include "portprobe.h"
#include "shellresources.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSettings>

namespace corvina {

namespace {
const QString kSettingsKey = QStringLiteral("Local AppWizard-Generated Applications");
} // namespace

bool ParseStartupArguments(const QStringList& arguments, StartupOptions* options, QString* error) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The COM port the link panel starts with."),
                                  QStringLiteral("COM<n>"));
    parser.addOption(port);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A configuration file to open."));
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        *error = QStringLiteral("Only one file can be opened.");
        return false;
    }
    options->file = files.value(0);
    options->port = parser.value(port);
    static const QRegularExpression portName(QStringLiteral("^COM[0-9]+$"));
    if (!options->port.isEmpty() && !portName.match(options->port).hasMatch()) {
        *error = QStringLiteral("--port expects a port name such as COM3, not \"%1\".")
                     .arg(options->port);
        return false;
    }
    return true;
}

CTessarSetupApp::CTessarSetupApp(LoggerConfig& cfg, QObject* parent)
    : QObject(parent), m_cfg(cfg), m_doc(cfg) {
    m_doc.SetPortProbe([](int port) { return ProbePort(port) == 1; });
}

CTessarSetupApp::~CTessarSetupApp() {
    if (m_settings)
        m_recent.WriteList(*m_settings);
}

bool CTessarSetupApp::InitInstance(const StartupOptions& options) {
    const ShellResources& res = LoadShellResources();
    QCoreApplication::setOrganizationName(kSettingsKey);
    QCoreApplication::setApplicationName(res.appName);
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             kSettingsKey, res.appName);
    m_recent.ReadList(*m_settings);

    m_pMainWnd = std::make_unique<CMainFrame>(m_doc);
    m_pMainWnd->setWindowIcon(QIcon(QStringLiteral(":/bitmaps/128.png")));
    ConnectCommands();
    m_pMainWnd->SetRecentFiles(m_recent.Entries());

    // A file named on the command line is opened into a new document, so that
    // what the file does not name has its defaults and the forms all exist.
    if (!m_doc.OnNewDocument())
        return false;
    if (!options.port.isEmpty())
        m_cfg.Link.PortName = options.port;
    m_pMainWnd->InitialUpdateAllViews();
    m_pMainWnd->UpdateTitle();
    if (!options.file.isEmpty() && !OpenDocumentFile(options.file))
        return false;
    m_pMainWnd->show();
    return true;
}

void CTessarSetupApp::ConnectCommands() {
    CMainFrame* f = m_pMainWnd.get();
    auto on = [this, f](int command, auto handler) {
        if (QAction* a = f->CommandAction(command))
            connect(a, &QAction::triggered, this, handler);
    };
    on(ID_FILE_NEW, [this] { OnFileNew(); });
    on(ID_FILE_OPEN, [this] { OnFileOpen(); });
    on(ID_FILE_SAVE, [this] { OnFileSave(); });
    on(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
    on(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    on(ID_APP_ABOUT, [this] { OnAppAbout(); });
    connect(f, &CMainFrame::recentFileChosen, this,
            [this](const QString& path) { OpenDocumentFile(path); });
}

QString CTessarSetupApp::FileFilter() const {
    const ShellResources& res = LoadShellResources();
    return res.DocumentField(3) + QStringLiteral(";;All Files (*)");
}

bool CTessarSetupApp::OnFileNew() {
    if (!m_doc.OnNewDocument())
        return false;
    m_pMainWnd->InitialUpdateAllViews();
    m_pMainWnd->UpdateTitle();
    return true;
}

void CTessarSetupApp::OnFileOpen() {
    const QString path = QFileDialog::getOpenFileName(m_pMainWnd.get(), QStringLiteral("Open"),
                                                      QString(), FileFilter());
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

bool CTessarSetupApp::OpenDocumentFile(const QString& path) {
    QString error;
    LoadReport report;
    if (!m_doc.OnOpenDocument(path, &error, &report)) {
        MessageBoxOk(m_pMainWnd.get(), AppName(), error, MessageIcon::Warning);
        if (!QFileInfo::exists(path)) {
            m_recent.Remove(path);
            m_pMainWnd->SetRecentFiles(m_recent.Entries());
        }
        return false;
    }
    AddToRecentFileList(path);
    m_pMainWnd->InitialUpdateAllViews();
    m_pMainWnd->UpdateTitle();
    if (report.linesSkipped > 0)
        m_pMainWnd->SetMessageText(
            report.linesSkipped == 1
                ? QStringLiteral("1 line of 128 characters or more was skipped.")
                : QStringLiteral("%1 lines of 128 characters or more were skipped.")
                      .arg(report.linesSkipped));
    return true;
}

bool CTessarSetupApp::OnFileSave() {
    if (m_doc.GetPathName().isEmpty())
        return OnFileSaveAs();
    return DoSave(m_doc.GetPathName());
}

bool CTessarSetupApp::OnFileSaveAs() {
    QString path = QFileDialog::getSaveFileName(m_pMainWnd.get(), QStringLiteral("Save As"),
                                                m_doc.GetPathName(), FileFilter());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += LoadShellResources().DocumentField(4);
    return DoSave(path);
}

bool CTessarSetupApp::DoSave(const QString& path) {
    QString error;
    if (!m_doc.OnSaveDocument(path, &error)) {
        MessageBoxOk(m_pMainWnd.get(), AppName(), error, MessageIcon::Warning);
        return false;
    }
    AddToRecentFileList(path);
    m_pMainWnd->UpdateTitle();
    return true;
}

void CTessarSetupApp::AddToRecentFileList(const QString& path) {
    m_recent.Add(path);
    if (m_settings)
        m_recent.WriteList(*m_settings);
    m_pMainWnd->SetRecentFiles(m_recent.Entries());
}

void CTessarSetupApp::OnFilePrintSetup() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    QPrintDialog dialog(m_printer.get(), m_pMainWnd.get());
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.exec();
}

void CTessarSetupApp::OnAppAbout() {
    CAboutDlg dialog(m_pMainWnd.get());
    dialog.exec();
}

} // namespace corvina
