// The file commands of the shell: New, Open, Save under the task guards, the
// recent-file list, and a start with a file name.
#include "apptestfixture.h"
#include "formtable.h"
#include "linkpanel.h"
#include "view.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QStatusBar>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace corvina;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestShellFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newIsRefusedWhileATaskRuns_data();
    void newIsRefusedWhileATaskRuns();
    void saveDuringTaskLeavesFileUntouched_data();
    void saveDuringTaskLeavesFileUntouched();
    void saveThenOpenRestoresAndNamesTheWindow();
    void failedOpenChangesNothing();
    void openReportsSkippedLines();
    void recentFilesKeepFourNewestFirst();
    void startWithFileNameHasEveryForm();
    void startWithUnreadableFileFails();
    void startWithPortSelectsIt();
    void realProbeListsLinkedPseudoTerminal();
    void startupArguments_data();
    void startupArguments();
};

void TestShellFiles::newIsRefusedWhileATaskRuns_data() {
    QTest::addColumn<uint>("bit");
    QTest::addRow("retrieve") << uint(kActivityRetrieve);
    QTest::addRow("send") << uint(kActivitySend);
    QTest::addRow("live view") << uint(kActivityLive);
    QTest::addRow("reset") << uint(kActivityReset);
}

void TestShellFiles::newIsRefusedWhileATaskRuns() {
    QFETCH(uint, bit);
    AppFixture fx;
    QVERIFY(fx.Start());
    QVERIFY(fx.app->DoSave(fx.Path("kept.txt")));
    theConfig.System.Name = QStringLiteral("kept");
    fx.ports = {7};
    ActivityFlags = bit;
    QVERIFY(!fx.app->OnFileNew());
    QCOMPARE(theConfig.System.Name, QStringLiteral("kept"));
    QCOMPARE(theConfig.PortPresence[7], 0);
    QCOMPARE(fx.Frame()->windowTitle(), QStringLiteral("CorvinaSetup - kept.txt"));
    QVERIFY(fx.messages.empty()); // refused silently
    ActivityFlags = 0;
    QVERIFY(fx.app->OnFileNew());
    QVERIFY(theConfig.System.Name != QStringLiteral("kept"));
    QCOMPARE(fx.Frame()->windowTitle(), QStringLiteral("CorvinaSetup - Untitled"));
    // The new probe's ports are listed and the first shown.
    auto* port = fx.Frame()->GetActiveView()->Item<QComboBox>(IDC_PORT);
    QCOMPARE(port->count(), 1);
    QCOMPARE(port->currentText(), QStringLiteral("COM7"));
    QCOMPARE(fx.Frame()->Views().size(), size_t(9)); // no second set of forms
}

void TestShellFiles::saveDuringTaskLeavesFileUntouched_data() {
    QTest::addColumn<uint>("bit");
    QTest::addColumn<bool>("saved");
    QTest::addRow("retrieve") << uint(kActivityRetrieve) << false;
    QTest::addRow("send") << uint(kActivitySend) << false;
    QTest::addRow("reset") << uint(kActivityReset) << false;
    QTest::addRow("live view only") << uint(kActivityLive) << true;
}

void TestShellFiles::saveDuringTaskLeavesFileUntouched() {
    QFETCH(uint, bit);
    QFETCH(bool, saved);
    AppFixture fx;
    QVERIFY(fx.Start());
    const QString existing = fx.Path("station.txt");
    const QString fresh = fx.Path("fresh.txt");
    WriteAll(existing, "Name Station\r\n");
    ActivityFlags = bit;
    QCOMPARE(fx.app->DoSave(existing), saved);
    QCOMPARE(fx.app->DoSave(fresh), saved);
    if (saved) {
        QVERIFY(ReadAll(existing).size() > 100);
        QVERIFY(fx.messages.empty());
    } else {
        QCOMPARE(ReadAll(existing), QByteArray("Name Station\r\n"));
        QVERIFY(!QFile::exists(fresh));
        QCOMPARE(fx.messages.size(), size_t(2));
        QCOMPARE(fx.Frame()->windowTitle(), QStringLiteral("CorvinaSetup - Untitled"));
    }
}

// Saving stores the visible form first; opening reloads every form.
void TestShellFiles::saveThenOpenRestoresAndNamesTheWindow() {
    AppFixture fx;
    QVERIFY(fx.Start());
    CMainFrame* f = fx.Frame();
    const QString path = fx.Path("site.txt");
    theConfig.System.Name = QStringLiteral("Site A");
    QVERIFY(fx.app->DoSave(path));
    QCOMPARE(f->windowTitle(), QStringLiteral("CorvinaSetup - site.txt"));
    QVERIFY(ReadAll(path).contains("Site A"));
    QVERIFY(fx.app->OnFileNew());
    QVERIFY(theConfig.System.Name != QStringLiteral("Site A"));
    QVERIFY(fx.app->OpenDocumentFile(path));
    QCOMPARE(theConfig.System.Name, QStringLiteral("Site A"));
    QCOMPARE(f->windowTitle(), QStringLiteral("CorvinaSetup - site.txt"));
}

void TestShellFiles::failedOpenChangesNothing() {
    AppFixture fx;
    QVERIFY(fx.Start());
    theConfig.System.Name = QStringLiteral("before");
    const QString missing = fx.Path("missing.txt");
    QVERIFY(!fx.app->OpenDocumentFile(missing));
    QCOMPARE(theConfig.System.Name, QStringLiteral("before"));
    QCOMPARE(fx.Frame()->windowTitle(), QStringLiteral("CorvinaSetup - Untitled"));
    QCOMPARE(fx.messages.size(), size_t(1));
    QVERIFY(fx.messages[0].text.contains(missing));
    QVERIFY(fx.app->RecentFiles().Entries().isEmpty());
}

void TestShellFiles::openReportsSkippedLines() {
    AppFixture fx;
    QVERIFY(fx.Start());
    const QString path = fx.Path("long.txt");
    WriteAll(path, "Name Short\r\nName " + QByteArray(200, 'x') + "\r\n");
    QVERIFY(fx.app->OpenDocumentFile(path));
    QCOMPARE(theConfig.System.Name, QStringLiteral("Short"));
    QVERIFY2(fx.Frame()->statusBar()->currentMessage().contains(QStringLiteral("skipped")),
             qPrintable(fx.Frame()->statusBar()->currentMessage()));
}

void TestShellFiles::recentFilesKeepFourNewestFirst() {
    QStringList expected;
    {
        AppFixture fx;
        QVERIFY(fx.Start());
        for (int n = 1; n <= 5; ++n)
            QVERIFY(fx.app->DoSave(fx.Path(QStringLiteral("f%1.txt").arg(n))));
        QVERIFY(fx.app->DoSave(fx.Path("f3.txt"))); // moves to the front
        expected =
            QStringList{fx.Path("f3.txt"), fx.Path("f5.txt"), fx.Path("f4.txt"), fx.Path("f2.txt")};
        QCOMPARE(fx.app->RecentFiles().Entries(), expected);
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("Local AppWizard-Generated Applications"),
                           QStringLiteral("CorvellaSetup"));
        QCOMPARE(settings.value("Recent File List/File1").toString(), expected[0]);
        QCOMPARE(settings.value("Recent File List/File4").toString(), expected[3]);
        QVERIFY(!settings.contains("Recent File List/File5"));
        // The File menu lists them; choosing one opens it.
        auto* entry = fx.Frame()->findChild<QAction*>(QStringLiteral("57617"));
        QVERIFY(entry);
        QVERIFY(entry->text().endsWith(expected[1]));
        entry->trigger();
        QCOMPARE(fx.Frame()->windowTitle(), QStringLiteral("CorvinaSetup - f5.txt"));
    }
}

// A start with a file name makes a new document first: every toolbar button
// works from the first moment and what the file does not name has its default.
void TestShellFiles::startWithFileNameHasEveryForm() {
    AppFixture fx;
    const QString path = fx.Path("start.txt");
    WriteAll(path, "Name Started\r\n");
    StartupOptions options;
    options.file = path;
    QVERIFY(fx.Start(options));
    QCOMPARE(fx.Frame()->windowTitle(), QStringLiteral("CorvinaSetup - start.txt"));
    QCOMPARE(theConfig.System.Name, QStringLiteral("Started"));
    LoggerConfig defaults;
    ResetToDefaults(defaults);
    QCOMPARE(theConfig.System.MeasInterval, defaults.System.MeasInterval);
    QCOMPARE(theConfig.PortPresence[3], 1);
    for (int n = 2; n <= 9; ++n) {
        fx.Frame()->SwitchView(n);
        QCOMPARE(FormNumberOfView(fx.Frame()->GetActiveView()), n);
    }
}

void TestShellFiles::startWithUnreadableFileFails() {
    AppFixture fx;
    StartupOptions options;
    options.file = fx.Path("nothere.txt");
    QVERIFY(!fx.app->InitInstance(options));
    QCOMPARE(fx.messages.size(), size_t(1));
}

void TestShellFiles::startWithPortSelectsIt() {
    AppFixture fx;
    StartupOptions options;
    options.port = QStringLiteral("COM42");
    QVERIFY(fx.Start(options));
    QCOMPARE(fx.Frame()->GetActiveView()->Item<QComboBox>(IDC_PORT)->currentText(),
             QStringLiteral("COM42"));
    fx.Frame()->SwitchView(2);
    QCOMPARE(theConfig.Link.PortName, QStringLiteral("COM42"));
}

// The program's own probe finds a port that the ports folder links to a
// pseudo-terminal, as the simulated logger offers itself.
void TestShellFiles::realProbeListsLinkedPseudoTerminal() {
    QTemporaryDir portsDir;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    QVERIFY(QFile::link(slave, portsDir.filePath(QStringLiteral("COM201"))));
    qputenv("CORVINASETUP_PORTS", portsDir.path().toLocal8Bit());
    {
        AppFixture fx(true);
        QVERIFY(fx.Start());
        auto* port = fx.Frame()->GetActiveView()->Item<QComboBox>(IDC_PORT);
        QVERIFY(port->findText(QStringLiteral("COM201")) >= 0);
        QCOMPARE(theConfig.PortPresence[201], 1);
    }
    qunsetenv("CORVINASETUP_PORTS");
    ::close(master);
}

void TestShellFiles::startupArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("port");
    QTest::addRow("none") << QStringList{"p"} << true << ""
                          << "";
    QTest::addRow("file") << QStringList{"p", "a.txt"} << true << "a.txt"
                          << "";
    QTest::addRow("port and file")
        << QStringList{"p", "--port", "COM12", "a.txt"} << true << "a.txt"
        << "COM12";
    QTest::addRow("bad port") << QStringList{"p", "--port", "ttyS0"} << false << ""
                              << "";
    QTest::addRow("two files") << QStringList{"p", "a.txt", "b.txt"} << false << ""
                               << "";
    QTest::addRow("unknown option") << QStringList{"p", "--fast"} << false << ""
                                    << "";
}

void TestShellFiles::startupArguments() {
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(QString, file);
    QFETCH(QString, port);
    StartupOptions options;
    QString error;
    QCOMPARE(ParseStartupArguments(args, &options, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    if (ok) {
        QCOMPARE(options.file, file);
        QCOMPARE(options.port, port);
    }
}

QTEST_MAIN(TestShellFiles)
#include "tst_shellfiles.moc"
