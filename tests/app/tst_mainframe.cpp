// The main frame: start-up state, switching forms, refresh from a worker.
#include "aboutdlg.h"
#include "apptestfixture.h"
#include "formtable.h"
#include "linkpanel.h"
#include "view.h"
#include "windowmessage.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <thread>

using namespace corvina;

namespace {
QComboBox* Port(CView* v) {
    return v->Item<QComboBox>(IDC_PORT);
}
QComboBox* Speed(CView* v) {
    return v->Item<QComboBox>(IDC_SPEED);
}
} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_fx = std::make_unique<AppFixture>();
        QVERIFY(m_fx->Start());
    }
    void cleanup() { m_fx.reset(); }

    void startsWithAnalogFormAndEightHidden();
    void shellCarriesMenuToolbarAndStatusBar();
    void switchStoresOldFormAndLoadsNew();
    void portAndBitRateShowOnTheNextForm_data();
    void portAndBitRateShowOnTheNextForm();
    void switchToShownFormOnlyStores();
    void switchToUnknownNumberOnlyStores();
    void toolbarButtonsSwitchForms();
    void refreshPostedFromWorkerReloadsActiveForm();
    void progressPostedFromWorkerShowsOnActiveForm();
    void retrieveTwiceStartsOneTask();
    void profileAppliedToEachFormItShows();
    void aboutBoxFromItsTemplate();

private:
    std::unique_ptr<AppFixture> m_fx;
};

void TestMainFrame::startsWithAnalogFormAndEightHidden() {
    CMainFrame* f = m_fx->Frame();
    QCOMPARE(f->windowTitle(), QStringLiteral("CorvinaSetup - Untitled"));
    QCOMPARE(f->size(), QSize(1024, 600));
    QCOMPARE(f->Views().size(), size_t(9));
    CView* active = f->GetActiveView();
    QVERIFY(active);
    QCOMPARE(FormNumberOfView(active), 1);
    QVERIFY(active->isVisible());
    QCOMPARE(active->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    for (int n = 2; n <= 9; ++n) {
        CView* v = f->FindView(n);
        QVERIFY2(v, qPrintable(QString::number(n)));
        QCOMPARE(FormNumberOfView(v), n);
        QVERIFY(!v->isVisible());
    }
    // The ports found at start-up are listed; the first is shown.
    QCOMPARE(Port(active)->count(), 3);
    QCOMPARE(Port(active)->currentText(), QStringLiteral("COM1"));
    // The analog form was active during the initial update: its profile applies.
    QVERIFY(active->GetDlgItem(IDC_LOGO)->isVisible());
    QVERIFY(!active->GetDlgItem(1595)->isVisible());
}

void TestMainFrame::shellCarriesMenuToolbarAndStatusBar() {
    CMainFrame* f = m_fx->Frame();
    QStringList labels;
    for (auto* a : f->ToolBar()->actions())
        if (!a->isSeparator())
            labels << a->text();
    QCOMPARE(labels, (QStringList{"Analog", "Digital", "Serial", "Internal", "Output", "EWS",
                                  "System", "Modem", "LiveView"}));
    QCOMPARE(f->ToolBar()->actions().size(), 17); // a separator between neighbours
    QCOMPARE(f->CommandAction(32774)->text(), QStringLiteral("LiveView"));
    for (const char* pane : {"CAP", "NUM", "SCRL"})
        QVERIFY(f->statusBar()->findChild<QLabel*>(QString::fromLatin1(pane)));
    QCOMPARE(f->statusBar()->findChild<QLabel*>(QStringLiteral("messagePane"))->text(),
             QStringLiteral("Ready"));
    // Commands without a handler are disabled, with their keys.
    for (int id : {57607, 57609, 57643, 57635, 57634, 57637})
        QVERIFY2(!f->CommandAction(id)->isEnabled(), qPrintable(QString::number(id)));
    QCOMPARE(f->CommandAction(57643)->shortcuts(),
             (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    QCOMPARE(f->CommandAction(57600)->shortcut(), QKeySequence("Ctrl+N"));
    QCOMPARE(f->CommandAction(57600)->statusTip(), QStringLiteral("Create a new document"));
    QStringList menus;
    for (auto* a : f->menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    // View menu toggles the bars.
    f->CommandAction(59393)->trigger();
    QVERIFY(!f->statusBar()->isVisible());
    f->CommandAction(59393)->trigger();
    QVERIFY(f->statusBar()->isVisible());
}

void TestMainFrame::switchStoresOldFormAndLoadsNew() {
    CMainFrame* f = m_fx->Frame();
    CView* analog = f->GetActiveView();
    CView* serial = f->FindView(3);
    Port(analog)->setEditText(QStringLiteral("COM3"));
    theConfig.Link.PortSpeed = QStringLiteral("38400"); // not yet on the serial form
    Speed(analog)->setEditText(QStringLiteral("38400"));
    f->SwitchView(3);
    QCOMPARE(theConfig.Link.PortName, QStringLiteral("COM3"));
    QCOMPARE(f->GetActiveView(), serial);
    QVERIFY(serial->isVisible());
    QVERIFY(!analog->isVisible());
    QCOMPARE(serial->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    QCOMPARE(analog->GetDlgCtrlID(), 1);
    QCOMPARE(Port(serial)->currentText(), QStringLiteral("COM3"));
    QCOMPARE(Speed(serial)->currentText(), QStringLiteral("38400"));
    // And back: the analog form is found by its number again.
    f->SwitchView(1);
    QCOMPARE(f->GetActiveView(), analog);
    QCOMPARE(serial->GetDlgCtrlID(), 3);
}

void TestMainFrame::portAndBitRateShowOnTheNextForm_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    for (int n = 1; n < 8; ++n)
        QTest::addRow("%d to %d", n, n + 1) << n << n + 1;
    QTest::addRow("8 to 1") << 8 << 1;
}

void TestMainFrame::portAndBitRateShowOnTheNextForm() {
    QFETCH(int, from);
    QFETCH(int, to);
    CMainFrame* f = m_fx->Frame();
    f->SwitchView(from);
    CView* a = f->GetActiveView();
    QCOMPARE(FormNumberOfView(a), from);
    Port(a)->setCurrentIndex(Port(a)->findText(QStringLiteral("COM10")));
    Speed(a)->setCurrentIndex(2);
    auto* setTime = a->Item<QAbstractButton>(static_cast<CConfigFormView*>(a)->LinkIds().setTime);
    setTime->setChecked(true);
    f->SwitchView(to);
    CView* b = f->GetActiveView();
    QCOMPARE(FormNumberOfView(b), to);
    QCOMPARE(Port(b)->currentText(), QStringLiteral("COM10"));
    QCOMPARE(Speed(b)->currentText(), QStringLiteral("9600"));
    QVERIFY(
        b->Item<QAbstractButton>(static_cast<CConfigFormView*>(b)->LinkIds().setTime)->isChecked());
}

void TestMainFrame::switchToShownFormOnlyStores() {
    CMainFrame* f = m_fx->Frame();
    CView* analog = f->GetActiveView();
    Port(analog)->setEditText(QStringLiteral("COM3"));
    f->SwitchView(1);
    QCOMPARE(theConfig.Link.PortName, QStringLiteral("COM3"));
    QCOMPARE(f->GetActiveView(), analog);
    QCOMPARE(analog->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    QVERIFY(!f->FindView(1));
}

void TestMainFrame::switchToUnknownNumberOnlyStores() {
    CMainFrame* f = m_fx->Frame();
    CView* analog = f->GetActiveView();
    for (int n : {0, 10, -1}) {
        Port(analog)->setEditText(QStringLiteral("COM%1").arg(n + 20));
        f->SwitchView(n);
        QCOMPARE(theConfig.Link.PortName, QStringLiteral("COM%1").arg(n + 20));
        QCOMPARE(f->GetActiveView(), analog);
    }
}

void TestMainFrame::toolbarButtonsSwitchForms() {
    CMainFrame* f = m_fx->Frame();
    for (const auto& form : FormTable()) {
        auto* button =
            f->ToolBar()->findChild<QToolButton*>(QStringLiteral("button%1").arg(form.command));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(FormNumberOfView(f->GetActiveView()), form.number);
        QVERIFY(f->GetActiveView()->isVisible());
    }
}

void TestMainFrame::refreshPostedFromWorkerReloadsActiveForm() {
    CMainFrame* f = m_fx->Frame();
    CView* analog = f->GetActiveView();
    Port(analog)->setEditText(QStringLiteral("unsaved edit"));
    // A task hands its result to the model, then asks for the refresh.
    theConfig.Link.PortName = QStringLiteral("COM10");
    std::thread worker([] { PostMainWindowMessage(WM_REFRESH_VIEWS); });
    worker.join();
    QTRY_COMPARE(Port(analog)->currentText(), QStringLiteral("COM10"));
    QCOMPARE(f->OnRefreshViews(), 0);
}

void TestMainFrame::progressPostedFromWorkerShowsOnActiveForm() {
    CMainFrame* f = m_fx->Frame();
    f->SwitchView(5);
    auto* out = static_cast<CConfigFormView*>(f->GetActiveView());
    auto* analog = static_cast<CConfigFormView*>(f->FindView(1));
    std::thread worker([] { SetTaskProgress(40); });
    worker.join();
    QTRY_COMPARE(out->Progress()->value(), 40);
    QCOMPARE(analog->Progress()->value(), 0);
    // On the live form nothing shows and nothing breaks.
    f->SwitchView(9);
    SetTaskProgress(70);
    QTest::qWait(20);
    QCOMPARE(out->Progress()->value(), 40);
}

void TestMainFrame::retrieveTwiceStartsOneTask() {
    CMainFrame* f = m_fx->Frame();
    std::vector<LoggerTaskKind> started;
    f->Tasks().SetLauncher([&](LoggerTaskKind t) { started.push_back(t); });
    auto* analog = static_cast<CConfigFormView*>(f->GetActiveView());
    Port(analog)->setEditText(QStringLiteral("COM3"));
    auto* retrieve = analog->Item<QPushButton>(analog->LinkIds().retrieve);
    QTest::mouseClick(retrieve, Qt::LeftButton);
    QTest::mouseClick(retrieve, Qt::LeftButton);
    QTest::mouseClick(analog->Item<QPushButton>(analog->LinkIds().send), Qt::LeftButton);
    QCOMPARE(started, std::vector<LoggerTaskKind>{LoggerTaskKind::Retrieve});
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivityRetrieve));
    QCOMPARE(theConfig.Link.PortName, QStringLiteral("COM3")); // stored before the start
    ClearActivityBit(LoggerTaskKind::Retrieve);
    QTest::mouseClick(analog->Item<QPushButton>(analog->LinkIds().send), Qt::LeftButton);
    QCOMPARE(started.back(), LoggerTaskKind::Send);
    QCOMPARE(ActivityFlags.load(), uint32_t(kActivitySend));
}

void TestMainFrame::profileAppliedToEachFormItShows() {
    CMainFrame* f = m_fx->Frame();
    for (int n = 1; n <= 8; ++n) {
        f->SwitchView(n);
        auto* v = static_cast<CConfigFormView*>(f->GetActiveView());
        QVERIFY2(v->GetDlgItem(IDC_LOGO)->isVisible(), qPrintable(QString::number(n)));
        QVERIFY(!v->GetDlgItem(v->LinkIds().device)->isVisible());
        QVERIFY(!v->GetDlgItem(v->LinkIds().deviceLabel)->isVisible());
    }
    f->SwitchView(9);
    QVERIFY(f->GetActiveView()->GetDlgItem(IDC_LOGO)->isVisible());
    QVERIFY(!f->GetActiveView()->GetDlgItem(1549)->isVisible());
}

void TestMainFrame::aboutBoxFromItsTemplate() {
    CAboutDlg about(m_fx->Frame());
    QCOMPARE(about.windowTitle(), QStringLiteral("About CorvinaSetup"));
    QStringList texts;
    for (auto* l : about.findChildren<QLabel*>())
        texts << l->text();
    QVERIFY(texts.contains(QStringLiteral("CorvinaSetup, Version 1.10")));
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("1"));
    QVERIFY(ok && ok->text() == QStringLiteral("OK"));
    about.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
