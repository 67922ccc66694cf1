// Starts the application as the program does, with a private settings store,
// no sensor catalogue, COM1, COM3 and COM10 present, and message boxes recorded.
#pragma once

#include "activity.h"
#include "messagebox.h"
#include "tessarsetup.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <set>
#include <vector>

namespace corvina {

class AppFixture {
public:
    // realProbe: the program's own port probe instead of the ports set below.
    explicit AppFixture(bool realProbe = false) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QDir::setCurrent(dir.path()); // no sensor.ini here
        SetMessageHook([this](const MessageRecord& m) { messages.push_back(m); });
        ActivityFlags = 0;
        theConfig = LoggerConfig{};
        app = std::make_unique<CTessarSetupApp>();
        if (!realProbe)
            app->Document().SetPortProbe([this](int n) { return ports.count(n) > 0; });
    }
    ~AppFixture() {
        app.reset();
        SetMessageHook(nullptr);
        ActivityFlags = 0;
    }
    bool Start(const StartupOptions& options = {}) {
        if (!app->InitInstance(options))
            return false;
        return QTest::qWaitForWindowExposed(Frame());
    }
    CMainFrame* Frame() const { return app->MainFrame(); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::set<int> ports{1, 3, 10};
    std::vector<MessageRecord> messages;
    std::unique_ptr<CTessarSetupApp> app;
};

} // namespace corvina
