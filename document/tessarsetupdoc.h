// The document: the configuration as a file. It makes a new configuration,
// opens configuration files into the model and saves the model as one. The
// model itself is the LoggerConfig the document is given (the process-wide
// theConfig in the program), not a member.
#pragma once

#include "loggerconfig.h"

#include <QString>

#include <functional>

class QIODevice;

namespace corvina {

// What the document needs from the window that shows it.
class CDocumentViews {
public:
    virtual ~CDocumentViews() = default;
    // Creates the forms that are not created yet (called by every new document).
    virtual void CreateViews() = 0;
    // The visible form stores its controls into the model. A validation
    // failure shows its message; the model keeps what could be stored.
    virtual void StoreActiveView() = 0;
};

struct LoadReport {
    int linesRead = 0;    // lines handed to the parser
    int linesSkipped = 0; // lines of 128 bytes or more, left out whole
};

class CTessarSetupDoc {
public:
    // Tells whether COM port n (1-255) is present.
    using PortProbe = std::function<bool(int)>;

    explicit CTessarSetupDoc(LoggerConfig& cfg = theConfig);

    LoggerConfig& Config() { return m_cfg; }
    void SetViews(CDocumentViews* views) { m_views = views; }
    void SetPortProbe(PortProbe probe) { m_probe = std::move(probe); }

    // Makes a new configuration: defaults, port table, sensor catalogue.
    // Refused (false, nothing changed) while any task, live view included, runs.
    bool OnNewDocument();

    // Opens a file into the model. While a retrieve, send or reset runs the
    // file is named as the document's but nothing is read. Returns false with
    // *error when the file cannot be read; the model is then unchanged.
    bool OnOpenDocument(const QString& path, QString* error = nullptr,
                        LoadReport* report = nullptr);

    // Saves the model. Refused while a retrieve, send or reset runs; an existing
    // file is replaced only by a complete new one, never cut or emptied.
    bool OnSaveDocument(const QString& path, QString* error = nullptr);

    QString GetPathName() const { return m_path; }
    // "Untitled" for a new document, else the file's name.
    QString GetTitle() const;

private:
    LoggerConfig& m_cfg;
    CDocumentViews* m_views = nullptr;
    PortProbe m_probe;
    QString m_path;
};

// Reads a configuration file's lines into the model: every line that ends
// with LF (and holds at most 127 bytes) goes to ParseConfigScript; longer
// lines are skipped whole, bytes after the last LF are not parsed.
LoadReport LoadConfigScript(LoggerConfig& cfg, QIODevice& in);

} // namespace corvina
