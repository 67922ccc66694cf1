// The early-warning form: rule grid and SMS numbers both ways, its fixed
// lists, and the warning for the types that fire on every measurement.
#include "ewsview.h"
#include "fieldformhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace corvina;
using namespace corvina::testing;

namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

bool Ticked(size_t rule, size_t t) {
    return (rule * 7 + t * 3) % 5 < 2;
}

} // namespace

class TestEwsView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadShowsAndStoreWritesEveryField();
    void tickColumnsAreTheSmsNumbers();
    void fixedLists();
    void newDocumentKeepsTicksAndNumbers();
    void typeChosenFromTheList_data();
    void typeChosenFromTheList();
    void typedTextIsTakenAsTypedWithoutWarning();
};

void TestEwsView::loadShowsAndStoreWritesEveryField() {
    FieldFormHost host;
    LoggerConfig& cfg = host.cfg;
    for (size_t i = 0; i < kEwsRules; ++i) {
        EwsRule& r = cfg.Ews[i];
        r.Input = QStringLiteral("O%1").arg(i + 1);
        r.Type = QStringLiteral("type%1").arg(i);
        r.LogInt = QStringLiteral("log%1").arg(i);
        r.ModemInt = QStringLiteral("modem%1").arg(i);
        r.Alarm = QStringLiteral("alarm%1").arg(i);
        r.Units = QStringLiteral("units%1").arg(i);
        for (size_t t = 0; t < kSmsNumbers; ++t)
            r.T[t] = Ticked(i, t) ? 1 : 0;
        cfg.SmsNumber[i] = QStringLiteral("+3861%1").arg(i, 3, 10, QLatin1Char('0'));
    }
    cfg.Link.SetSystemTime = 1;
    CEwsView view(&host);
    view.UpdateData(false);
    for (size_t i = 0; i < kEwsRules; ++i) {
        const EwsRowIds& ids = EwsRows()[i];
        const EwsRule& r = cfg.Ews[i];
        QCOMPARE(view.Item<QComboBox>(ids.input)->currentText(), r.Input);
        QCOMPARE(view.Item<QComboBox>(ids.type)->currentText(), r.Type);
        QCOMPARE(view.Item<QLineEdit>(ids.logInt)->text(), r.LogInt);
        QCOMPARE(view.Item<QLineEdit>(ids.modemInt)->text(), r.ModemInt);
        QCOMPARE(view.Item<QLineEdit>(ids.alarm)->text(), r.Alarm);
        QCOMPARE(view.Item<QLineEdit>(ids.units)->text(), r.Units);
        for (size_t t = 0; t < kSmsNumbers; ++t)
            QVERIFY2(view.Item<QCheckBox>(ids.t[t])->isChecked() == Ticked(i, t),
                     qPrintable(QStringLiteral("EWS%1 T%2").arg(i + 1).arg(t + 1)));
        QCOMPARE(view.Item<QLineEdit>(SmsNumberId(int(i)))->text(), cfg.SmsNumber[i]);
    }
    QVERIFY(view.Item<QCheckBox>(1171)->isChecked()); // this form's set-time check

    const LoggerConfig loaded = cfg;
    cfg = LoggerConfig{};
    for (auto& r : cfg.Ews)
        r.T.fill(1);
    QVERIFY(view.UpdateData(true));
    for (size_t i = 0; i < kEwsRules; ++i) {
        const EwsRule& want = loaded.Ews[i];
        const EwsRule& got = cfg.Ews[i];
        QCOMPARE(got.Input, want.Input);
        QCOMPARE(got.Type, want.Type);
        QCOMPARE(got.LogInt, want.LogInt);
        QCOMPARE(got.ModemInt, want.ModemInt);
        QCOMPARE(got.Alarm, want.Alarm);
        QCOMPARE(got.Units, want.Units);
        QVERIFY(got.T == want.T);
        QCOMPARE(cfg.SmsNumber[i], loaded.SmsNumber[i]);
    }
    QCOMPARE(cfg.Link.SetSystemTime, 1);
}

// The tick columns are not numbered in identifier order: T3 of EWS5 is 1031.
void TestEwsView::tickColumnsAreTheSmsNumbers() {
    FieldFormHost host;
    CEwsView view(&host);
    view.UpdateData(false);
    view.Item<QCheckBox>(1031)->setChecked(true);
    view.Item<QCheckBox>(1353)->setChecked(true);
    view.UpdateData(true);
    QCOMPARE(host.cfg.Ews[4].T[2], 1);
    QCOMPARE(host.cfg.Ews[15].T[15], 1);
    int ticks = 0;
    for (const auto& r : host.cfg.Ews)
        for (Flag f : r.T)
            ticks += f;
    QCOMPARE(ticks, 2);
    QCOMPARE(SmsNumberId(0), 1174);
    QCOMPARE(SmsNumberId(14), 1188);
    QCOMPARE(SmsNumberId(15), 1225);
}

void TestEwsView::fixedLists() {
    FieldFormHost host;
    CEwsView view(&host);
    QStringList inputs{"0"};
    for (int n = 1; n <= 32; ++n)
        inputs << QStringLiteral("O%1").arg(n);
    const QStringList types{"NONE",    "MORE",    "MORE10M", "MORE24H", "LESS",
                            "LESS10M", "LESS24H", "WL1",     "WL2",     "WL3",
                            "RG10M",   "RG1H",    "RG6H",    "RG24H",   "DOOR"};
    for (const EwsRowIds& ids : EwsRows()) {
        QCOMPARE(Items(view.Item<QComboBox>(ids.input)), inputs);
        QCOMPARE(Items(view.Item<QComboBox>(ids.type)), types);
    }
}

void TestEwsView::newDocumentKeepsTicksAndNumbers() {
    FieldFormHost host;
    host.cfg.Ews[2] = {"O4", "DOOR", "60", "1", "5", "mm", {}};
    host.cfg.Ews[2].T[7] = 1;
    host.cfg.SmsNumber[7] = QStringLiteral("+38640111222");
    ResetToDefaults(host.cfg);
    CEwsView view(&host);
    view.OnInitialUpdate();
    const EwsRowIds& ids = EwsRows()[2];
    QCOMPARE(view.Item<QComboBox>(ids.input)->currentText(), QStringLiteral("0"));
    QCOMPARE(view.Item<QComboBox>(ids.type)->currentText(), QStringLiteral("NONE"));
    QCOMPARE(view.Item<QLineEdit>(ids.alarm)->text(), QString());
    QVERIFY(view.Item<QCheckBox>(ids.t[7])->isChecked());
    QCOMPARE(view.Item<QLineEdit>(SmsNumberId(7))->text(), QStringLiteral("+38640111222"));
}

void TestEwsView::typeChosenFromTheList_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("warns");
    QTest::addRow("MORE") << 8 << "MORE" << true;
    QTest::addRow("LESS") << 0 << "LESS" << true;
    QTest::addRow("MORE24H") << 8 << "MORE24H" << false;
    QTest::addRow("LESS10M") << 15 << "LESS10M" << false;
    QTest::addRow("NONE") << 3 << "NONE" << false;
    QTest::addRow("DOOR") << 3 << "DOOR" << false;
}

// Chosen with the arrow keys, as from the list: a warning for MORE and LESS
// only, shown once; the selection stays and the model waits for the store.
void TestEwsView::typeChosenFromTheList() {
    QFETCH(int, row);
    QFETCH(QString, type);
    QFETCH(bool, warns);
    MessageRecorder rec;
    FieldFormHost host;
    CEwsView view(&host);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.OnInitialUpdate();
    auto* box = view.Item<QComboBox>(EwsRows()[size_t(row)].type);
    const int target = Items(box).indexOf(type);
    box->setFocus();
    box->setCurrentIndex(target == 0 ? 1 : target - 1);
    QVERIFY(rec.messages.empty());
    QTest::keyClick(box, target == 0 ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(box->currentText(), type);
    QCOMPARE(rec.messages.size(), size_t(warns ? 1 : 0));
    if (warns) {
        QCOMPARE(rec.messages[0].caption, QStringLiteral("Warning Message"));
        QCOMPARE(rec.messages[0].text,
                 QStringLiteral("This type of warning can produce many SMS messages.\n"
                                "Evaluate other warning types."));
        QCOMPARE(rec.messages[0].icon, MessageIcon::Error);
    }
    QCOMPARE(host.cfg.Ews[size_t(row)].Type, QStringLiteral("NONE"));
    view.UpdateData(true);
    QCOMPARE(host.cfg.Ews[size_t(row)].Type, type);
}

void TestEwsView::typedTextIsTakenAsTypedWithoutWarning() {
    MessageRecorder rec;
    FieldFormHost host;
    CEwsView view(&host);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.OnInitialUpdate();
    const EwsRowIds& ids = EwsRows()[4];
    auto* type = view.Item<QComboBox>(ids.type);
    type->setFocus();
    type->lineEdit()->selectAll();
    QTest::keyClicks(type->lineEdit(), QStringLiteral("MORE"));
    QTest::keyClick(type->lineEdit(), Qt::Key_Return);
    QVERIFY(rec.messages.empty());
    view.Item<QComboBox>(ids.input)->setEditText(QStringLiteral("O33"));
    view.UpdateData(true);
    QCOMPARE(host.cfg.Ews[4].Type, QStringLiteral("MORE"));
    QCOMPARE(host.cfg.Ews[4].Input, QStringLiteral("O33"));
}

QTEST_MAIN(TestEwsView)
#include "tst_ewsview.moc"
