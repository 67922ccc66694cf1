// The application: start-up, the file commands, the recent-file list and the
// About box. One document and one main frame live for the whole run.
#pragma once

#include "mainfrm.h"
#include "recentfilelist.h"
#include "tessarsetupdoc.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;
class QSettings;

namespace corvina {

struct StartupOptions {
    QString file; // a configuration file to open
    QString port; // "COM<n>": the port the link panel starts with
};

// Reads the program's arguments (the first is the program itself). Returns
// false with *error for an argument it does not understand.
bool ParseStartupArguments(const QStringList& arguments, StartupOptions* options, QString* error);

class CTessarSetupApp : public QObject {
    Q_OBJECT
public:
    explicit CTessarSetupApp(LoggerConfig& cfg = theConfig, QObject* parent = nullptr);
    ~CTessarSetupApp() override;

    // Start-up: settings, the recent-file list, the document and its frame, a new
    // document (then the named file, if any), and the window shown. False ends
    // the program.
    bool InitInstance(const StartupOptions& options);

    CTessarSetupDoc& Document() { return m_doc; }
    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    const CRecentFileList& RecentFiles() const { return m_recent; }

    // File New; refused silently while any task runs.
    bool OnFileNew();
    // File Open through the file dialog.
    void OnFileOpen();
    // Opens path into the model; a failure shows a message and changes nothing.
    bool OpenDocumentFile(const QString& path);
    // File Save: to the document's file, or Save As for a new document.
    bool OnFileSave();
    bool OnFileSaveAs();
    // Saves to path; refused while a retrieve, send or reset runs (the file on
    // disk stays as it was) and on any write failure, with a message.
    bool DoSave(const QString& path);
    void OnFilePrintSetup();
    void OnAppAbout();

private:
    void ConnectCommands();
    void AddToRecentFileList(const QString& path);
    QString FileFilter() const;

    LoggerConfig& m_cfg;
    CTessarSetupDoc m_doc;
    std::unique_ptr<QSettings> m_settings;
    CRecentFileList m_recent{4};
    std::unique_ptr<CMainFrame> m_pMainWnd;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace corvina
