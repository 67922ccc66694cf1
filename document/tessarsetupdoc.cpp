#include "tessarsetupdoc.h"

#include "activity.h"
#include "configparser.h"
#include "configscript.h"
#include "sensorcatalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace corvina {

namespace {

const char* const kBusyOpen = "The file cannot be opened while the logger is being read, "
                              "written or reset. Try again when it has finished.";
const char* const kBusySave = "The file cannot be saved while the logger is being read, "
                              "written or reset. Try again when it has finished.";

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

LoadReport LoadConfigScript(LoggerConfig& cfg, QIODevice& in) {
    LoadReport report;
    QByteArray line;
    line.reserve(kMaxScriptLineBytes + 1);
    bool overlong = false;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = in.read(chunk, sizeof chunk);
        if (got <= 0)
            break;
        for (qint64 i = 0; i < got; ++i) {
            const char byte = chunk[i];
            if (!overlong) {
                line.append(byte);
                overlong = line.size() > kMaxScriptLineBytes;
            }
            if (byte != '\n')
                continue;
            if (overlong) {
                ++report.linesSkipped;
            } else {
                ParseConfigScript(cfg, line);
                ++report.linesRead;
            }
            line.clear();
            overlong = false;
        }
    }
    return report;
}

CTessarSetupDoc::CTessarSetupDoc(LoggerConfig& cfg) : m_cfg(cfg) {}

QString CTessarSetupDoc::GetTitle() const {
    return m_path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_path).fileName();
}

bool CTessarSetupDoc::OnNewDocument() {
    if (ActivityFlags.load() != 0)
        return false;
    m_path.clear();
    if (m_views)
        m_views->CreateViews();
    ResetToDefaults(m_cfg);
    for (int n = 1; n <= 255; ++n)
        m_cfg.PortPresence[size_t(n)] = (m_probe && m_probe(n)) ? 1 : 0;
    BuildSensorCatalogue(m_cfg);
    return true;
}

bool CTessarSetupDoc::OnOpenDocument(const QString& path, QString* error, LoadReport* report) {
    // A file named as the document's but not read would be overwritten by the
    // next save with whatever the model holds: refuse instead.
    if (!ModelIsQuiet()) {
        SetError(error, QString::fromLatin1(kBusyOpen));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
        return false;
    }
    const LoadReport loaded = LoadConfigScript(m_cfg, file);
    if (report)
        *report = loaded;
    m_path = path;
    return true;
}

bool CTessarSetupDoc::OnSaveDocument(const QString& path, QString* error) {
    if (!ModelIsQuiet()) {
        SetError(error, QString::fromLatin1(kBusySave));
        return false;
    }
    if (m_views)
        m_views->StoreActiveView();
    const EncodedScript script = EncodeConfigScript(m_cfg);
    if (!script.ok()) {
        SetError(error, QStringLiteral("%1 was not saved. %2").arg(path, script.error));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(script.bytes) != script.bytes.size() ||
        !file.commit()) {
        SetError(error, QStringLiteral("Cannot save %1: %2").arg(path, file.errorString()));
        return false;
    }
    m_path = path;
    return true;
}

} // namespace corvina
