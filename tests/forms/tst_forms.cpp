// The form framework: templates, the data exchange, the port list.
#include "analogview.h"
#include "controls.h"
#include "dataexchange.h"
#include "formhost.h"
#include "formtable.h"
#include "linkpanel.h"
#include "messagebox.h"
#include "view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <vector>

using namespace corvina;

namespace {

class TestHost : public CFormHost {
public:
    LoggerConfig cfg;
    CView* active = nullptr;
    int sends = 0;
    int retrieves = 0;
    LoggerConfig& Config() override { return cfg; }
    CView* GetActiveView() const override { return active; }
    void StartRetrieveTask() override { ++retrieves; }
    void StartSendTask() override { ++sends; }
    void StartDefaultTask() override {}
};

// A form whose controls and bindings a test lays out: text, float, text.
class ExchangeForm : public CView {
public:
    explicit ExchangeForm(CFormHost* host) : CView(0, host) {
        for (int id : {10, 20, 30, 40})
            AddControl(id, new QLineEdit);
        AddControl(50, new QCheckBox);
        m_bindings.Text(10, [](LoggerConfig& c) -> QString& { return c.System.Name; });
        m_bindings.Float(20, [](LoggerConfig& c) -> float& { return c.System.Vref; });
        m_bindings.Text(30, [](LoggerConfig& c) -> QString& { return c.System.SN; });
        m_bindings.Float(40, [](LoggerConfig& c) -> float& { return c.Modem.ModemInterval; });
        m_bindings.Check(50, [](LoggerConfig& c) -> Flag& { return c.System.RS485; });
    }
    QLineEdit* Edit(int id) const { return Item<QLineEdit>(id); }
};

} // namespace

class TestForms : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        QCoreApplication::setApplicationName(QStringLiteral("CorvellaSetup"));
        m_messages.clear();
        SetMessageHook([this](const MessageRecord& m) { m_messages.push_back(m); });
    }
    void cleanup() { SetMessageHook(nullptr); }

    void templatesCarryGroupBoxAndLinkPanel_data();
    void templatesCarryGroupBoxAndLinkPanel();
    void malformedTemplateIsRejected_data();
    void malformedTemplateIsRejected();
    void portListFollowsPresenceAndPortName_data();
    void portListFollowsPresenceAndPortName();
    void floatStoreReadsLeadingNumber_data();
    void floatStoreReadsLeadingNumber();
    void failingFloatStopsTheStore();
    void floatLoadUsesSixDigits_data();
    void floatLoadUsesSixDigits();
    void checkLoadRepairsOutOfRangeFlags_data();
    void checkLoadRepairsOutOfRangeFlags();
    void sendAndRetrieveStoreFirst();
    void sortedComboKeepsTextOrder();

private:
    std::vector<MessageRecord> m_messages;
};

void TestForms::templatesCarryGroupBoxAndLinkPanel_data() {
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("height");
    const char* captions[] = {"ANALOG",   "DIGITAL", "SERIAL",
                              "INTERNAL", "OUTPUT",  "EARLY WARNING SYSTEM",
                              "SYSTEM",   "MODEM"};
    const int heights[] = {300, 300, 300, 300, 447, 438, 300, 300};
    for (int n = 1; n <= 8; ++n)
        QTest::addRow("form %d", n) << n << QString::fromLatin1(captions[n - 1]) << heights[n - 1];
}

// Every form carries its own group box and the link panel with its own
// identifiers; every control is found by its identifier and carries it as name.
void TestForms::templatesCarryGroupBoxAndLinkPanel() {
    QFETCH(int, form);
    QFETCH(QString, caption);
    QFETCH(int, height);
    TestHost host;
    const FormInfo* info = FindForm(form);
    QVERIFY(info);
    const DialogTemplate& tmpl = LoadDialogTemplate(info->templateId);
    QCOMPARE(tmpl.size, QSize(665, height));

    class LinkForm : public CConfigFormView {
    public:
        LinkForm(int n, CFormHost* h) : CConfigFormView(n, h) { BindLinkPanel(); }
    } page(form, &host);

    QStringList groups;
    for (auto* g : page.Page()->findChildren<QGroupBox*>())
        groups << g->title();
    QVERIFY2(groups.contains(caption), qPrintable(groups.join(u',')));
    QVERIFY(groups.contains(QStringLiteral("PC COM")));

    const LinkPanelIds* ids = LinkPanelOf(form);
    QVERIFY(ids);
    QVERIFY(page.Item<QComboBox>(IDC_PORT));
    QVERIFY(page.Item<QComboBox>(IDC_SPEED));
    QVERIFY(page.Item<QCheckBox>(ids->setTime));
    QVERIFY(page.Item<QComboBox>(ids->device));
    QVERIFY(page.Item<QProgressBar>(ids->progress));
    QCOMPARE(page.Item<QPushButton>(ids->send)->text(), QStringLiteral("Send"));
    QCOMPARE(page.Item<QPushButton>(ids->retrieve)->text(), QStringLiteral("Retrieve"));
    QVERIFY(page.GetDlgItem(IDC_LOGO)->isHidden()); // shown by the profile only
    for (int id : {IDC_PORT, ids->send, ids->progress})
        QCOMPARE(page.GetDlgItem(id)->objectName(), QString::number(id));
    QCOMPARE(page.Item<QComboBox>(IDC_SPEED)->count(), 7);
    QCOMPARE(page.Item<QComboBox>(IDC_SPEED)->itemText(6), QStringLiteral("115200"));
    // The page has the template's size in dialog units.
    const DialogUnits du(page.Page()->font());
    QCOMPARE(page.Page()->size(), du.Size(tmpl.size));
}

void TestForms::malformedTemplateIsRejected_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addRow("not json") << QByteArray("{\"controls\": [");
    QTest::addRow("short row") << QByteArray(R"({"controls": [[1, "edit", "", [0,0,1,1], ""]]})");
    QTest::addRow("bad rect") << QByteArray(R"({"controls": [[1, "edit", "", [0,0,1], "", []]]})");
    QTest::addRow("unknown shared id")
        << QByteArray(R"({"controls": [["$send", "button", "", [0,0,1,1], "", []]]})");
    QTest::addRow("missing part") << QByteArray(R"({"include": "nothere", "controls": []})");
}

void TestForms::malformedTemplateIsRejected() {
    QFETCH(QByteArray, json);
    QString error;
    QVERIFY(!ParseDialogTemplate(json, &error));
    QVERIFY(!error.isEmpty());
}

void TestForms::portListFollowsPresenceAndPortName_data() {
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<QString>("portName");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("shown");
    const QStringList three{"COM1", "COM10", "COM3"};
    QTest::addRow("text order, first shown") << QList<int>{10, 3, 1} << "" << three << "COM1";
    QTest::addRow("stored port shown") << QList<int>{1, 3, 10} << "COM3" << three << "COM3";
    QTest::addRow("absent stored port shown") << QList<int>{1, 3, 10} << "COM7" << three << "COM7";
    QTest::addRow("no ports") << QList<int>{} << "" << QStringList{} << "";
    QTest::addRow("no ports, stored port") << QList<int>{} << "COM7" << QStringList{} << "COM7";
    QTest::addRow("ends of the table")
        << QList<int>{255, 2} << "" << QStringList{"COM2", "COM255"} << "COM2";
}

void TestForms::portListFollowsPresenceAndPortName() {
    QFETCH(QList<int>, present);
    QFETCH(QString, portName);
    QFETCH(QStringList, items);
    QFETCH(QString, shown);
    TestHost host;
    for (int n : present)
        host.cfg.PortPresence[size_t(n)] = 1;
    host.cfg.PortPresence[5] = 2; // only 1 means present
    host.cfg.Link.PortName = portName;
    CAnalogView view(&host);
    view.PortCombo()->addItem(QStringLiteral("stale")); // the list is rebuilt, not extended
    view.OnInitialUpdate();
    QStringList got;
    for (int i = 0; i < view.PortCombo()->count(); ++i)
        got << view.PortCombo()->itemText(i);
    QCOMPARE(got, items);
    QCOMPARE(view.PortCombo()->currentText(), shown);
}

void TestForms::floatStoreReadsLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<float>("value");
    QTest::addRow("plain") << "2500" << true << 2500.0f;
    QTest::addRow("leading blanks, trailing text") << " \t2.5mV" << true << 2.5f;
    QTest::addRow("sign and exponent") << "-1e3" << true << -1000.0f;
    QTest::addRow("plus sign") << "+3" << true << 3.0f;
    QTest::addRow("fraction only") << ".5" << true << 0.5f;
    QTest::addRow("comma ends the number") << "1,5" << true << 1.0f;
    QTest::addRow("empty") << "" << false << 0.0f;
    QTest::addRow("letters") << "abc" << false << 0.0f;
    QTest::addRow("sign alone") << "-" << false << 0.0f;
    QTest::addRow("infinity") << "inf" << false << 0.0f;
    QTest::addRow("beyond float") << "1e39" << false << 0.0f;
    QTest::addRow("number after 400 characters") << QString(400, u' ') + "5" << false << 0.0f;
}

void TestForms::floatStoreReadsLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(float, value);
    TestHost host;
    host.cfg.System.Vref = 42.0f;
    ExchangeForm form(&host);
    form.Edit(20)->setText(text);
    form.Edit(40)->setText(QStringLiteral("1"));
    QCOMPARE(form.UpdateData(true), ok);
    QCOMPARE(host.cfg.System.Vref, ok ? value : 42.0f);
    QCOMPARE(m_messages.size(), ok ? size_t(0) : size_t(1));
}

// The bindings before the failing one are stored, it and those after it are
// not; the message names no field, has the application's name as caption, and
// the offending box gets the focus with its text selected.
void TestForms::failingFloatStopsTheStore() {
    TestHost host;
    host.cfg.System.Name = QStringLiteral("old name");
    host.cfg.System.Vref = 2500.0f;
    host.cfg.System.SN = QStringLiteral("old sn");
    ExchangeForm form(&host);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Edit(10)->setText(QStringLiteral("new name"));
    form.Edit(20)->setText(QStringLiteral("abc"));
    form.Edit(30)->setText(QStringLiteral("new sn"));
    QVERIFY(!form.UpdateData(true));
    QCOMPARE(host.cfg.System.Name, QStringLiteral("new name"));
    QCOMPARE(host.cfg.System.Vref, 2500.0f);
    QCOMPARE(host.cfg.System.SN, QStringLiteral("old sn"));
    QCOMPARE(m_messages.size(), size_t(1));
    QCOMPARE(m_messages[0].text, QStringLiteral("Enter a number."));
    QCOMPARE(m_messages[0].caption, QStringLiteral("CorvellaSetup"));
    QCOMPARE(m_messages[0].icon, MessageIcon::Warning);
    QCOMPARE(QApplication::focusWidget(), form.Edit(20));
    QCOMPARE(form.Edit(20)->selectedText(), QStringLiteral("abc"));
}

void TestForms::floatLoadUsesSixDigits_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::addRow("one") << 1.0f << "1";
    QTest::addRow("zero") << 0.0f << "0";
    QTest::addRow("2500") << 2500.0f << "2500";
    QTest::addRow("tenth") << 0.1f << "0.1";
    QTest::addRow("seven digits") << 1234567.0f << "1.23457e+06";
    QTest::addRow("small") << 0.00001f << "1e-05";
}

void TestForms::floatLoadUsesSixDigits() {
    QFETCH(float, value);
    QFETCH(QString, text);
    TestHost host;
    host.cfg.System.Vref = value;
    ExchangeForm form(&host);
    QVERIFY(form.UpdateData(false));
    QCOMPARE(form.Edit(20)->text(), text);
}

void TestForms::checkLoadRepairsOutOfRangeFlags_data() {
    QTest::addColumn<int>("flag");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("after");
    QTest::addRow("off") << 0 << false << 0;
    QTest::addRow("on") << 1 << true << 1;
    QTest::addRow("negative") << -1 << false << 0;
    QTest::addRow("above two") << 3 << false << 0;
}

void TestForms::checkLoadRepairsOutOfRangeFlags() {
    QFETCH(int, flag);
    QFETCH(bool, checked);
    QFETCH(int, after);
    TestHost host;
    host.cfg.System.RS485 = flag;
    ExchangeForm form(&host);
    form.UpdateData(false);
    QCOMPARE(form.Item<QCheckBox>(50)->isChecked(), checked);
    QCOMPARE(host.cfg.System.RS485, after);
}

// Send and Retrieve hand the chosen port and bit rate to the task through the
// model, and start the task even when a binding fails.
void TestForms::sendAndRetrieveStoreFirst() {
    TestHost host;
    CAnalogView view(&host);
    view.PortCombo()->setEditText(QStringLiteral("COM4"));
    view.Item<QComboBox>(IDC_SPEED)->setCurrentIndex(2);
    QTest::mouseClick(view.Item<QPushButton>(1506), Qt::LeftButton);
    QCOMPARE(host.cfg.Link.PortName, QStringLiteral("COM4"));
    QCOMPARE(host.cfg.Link.PortSpeed, QStringLiteral("9600"));
    QCOMPARE(host.retrieves, 1);
    view.PortCombo()->setEditText(QStringLiteral("COM5"));
    QTest::mouseClick(view.Item<QPushButton>(1505), Qt::LeftButton);
    QCOMPARE(host.cfg.Link.PortName, QStringLiteral("COM5"));
    QCOMPARE(host.sends, 1);
}

void TestForms::sortedComboKeepsTextOrder() {
    QComboBox combo;
    combo.setEditable(true);
    combo.setProperty(kSortedProperty, true);
    combo.setEditText(QStringLiteral("typed"));
    for (const char* s : {"com2", "COM10", "COM1", "b"})
        ComboAddString(&combo, QString::fromLatin1(s));
    QStringList got;
    for (int i = 0; i < combo.count(); ++i)
        got << combo.itemText(i);
    QCOMPARE(got, (QStringList{"b", "COM1", "COM10", "com2"}));
    QCOMPARE(combo.currentText(), QStringLiteral("typed")); // adding selects nothing
    QCOMPARE(ComboFindString(&combo, QStringLiteral("com1")), 1);
    ComboResetContent(&combo);
    QCOMPARE(combo.count(), 0);
    QCOMPARE(combo.currentText(), QString());
}

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
