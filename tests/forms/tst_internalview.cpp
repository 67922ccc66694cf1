// The internal channels form: its rows, its exchange with the model and the
// input selectors of the computed channels.
#include "dialogtemplate.h"
#include "inputformstest.h"
#include "internalview.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <set>

using namespace corvina;
using namespace corvina::testing;

namespace {

// OUTPUT, POLY, INPUT1, INPUT2 of IIN1-IIN19; 0 where the selector is not bound.
const int kRowIds[19][4] = {
    {1379, 1602, 0, 0},       {1380, 1061, 0, 0},       {1381, 1062, 0, 0},
    {1382, 1063, 0, 0},       {1383, 1064, 0, 0},       {1384, 1065, 0, 0},
    {1385, 1068, 0, 0},       {1386, 1069, 0, 0},       {1387, 1070, 0, 0},
    {1388, 1071, 0, 0},       {1389, 1072, 0, 0},       {1390, 1073, 1115, 1116},
    {1391, 1074, 1122, 0},    {1392, 1075, 1129, 0},    {1393, 1076, 1124, 1125},
    {1394, 1077, 1131, 1132}, {1395, 1078, 1133, 1134}, {1396, 1079, 1135, 1136},
    {1397, 1080, 1137, 1138},
};
enum Column { Output, Poly, Input1, Input2 };

// The selectors that are never bound.
const int kUnboundSelectors[] = {1003, 1004, 1010, 1011, 1017, 1018, 1024, 1025,
                                 1031, 1032, 1038, 1039, 1045, 1046, 1052, 1053,
                                 1059, 1060, 1066, 1067, 1108, 1109, 1123, 1130};

const char* const kNames[19] = {"V3V",   "VRTC", "VPOWER", "VOUT",     "VMAIN",   "PA",    "GSM",
                                "RG10M", "RG1H", "RG6H",   "RG24H",    "A-B",     "IIN13", "IIN14",
                                "TD",    "QNH",  "ACCU",   "SUM1_24H", "SUM2_24H"};

class InternalProbe : public CInternalView {
public:
    using CInternalView::CInternalView;
    const CBindingList& Bindings() const { return m_bindings; }
};

QStringList OutputChoices() {
    QStringList items{"0"};
    for (int n = 1; n <= 32; ++n)
        items << QStringLiteral("O%1").arg(n);
    return items;
}

} // namespace

class TestInternalView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void templateRows();
    void bindingOrder();
    void loadAndStoreEveryRow_data();
    void loadAndStoreEveryRow();
    void updateLoadsAndAppliesProfile();
    void chosenInputsAreSent();
};

// The channel names in the SENSOR column, the 33 choices of every selector of
// IIN12-IIN19, disabled until the profile speaks; no identifier given twice.
void TestInternalView::templateRows() {
    InputFormHost host;
    CInternalView view(&host);
    QStringList labels;
    for (auto* l : view.Page()->findChildren<QLabel*>())
        labels << l->text();
    for (int k = 1; k <= 19; ++k) {
        QVERIFY2(labels.contains(QString::fromLatin1(kNames[k - 1])), kNames[k - 1]);
        QVERIFY2(labels.contains(QStringLiteral("IIN%1").arg(k)), qPrintable(QString::number(k)));
        QVERIFY(!view.Item<QLineEdit>(kRowIds[k - 1][Output])->isEnabled());
        QVERIFY(!view.Item<QLineEdit>(kRowIds[k - 1][Poly])->isEnabled());
    }
    QCOMPARE(view.Item<QLabel>(1583)->text(), QStringLiteral("QNH"));
    QCOMPARE(view.Item<QLabel>(1590)->text(), QStringLiteral("SUM2_24H"));
    for (int k = 12; k <= 19; ++k) {
        for (int c : {Input1, Input2}) {
            const int id = kRowIds[k - 1][c] ? kRowIds[k - 1][c] : (k == 13 ? 1123 : 1130);
            auto* combo = view.Item<QComboBox>(id);
            QVERIFY2(combo, qPrintable(QString::number(id)));
            QCOMPARE(ComboItems(combo), OutputChoices());
            QVERIFY(combo->isEditable());
            QVERIFY(!combo->isEnabled());
        }
    }
    for (int id : kUnboundSelectors)
        QVERIFY2(view.Item<QComboBox>(id) && !view.GetDlgItem(id)->isEnabled(),
                 qPrintable(QString::number(id)));
    for (int id : {1003, 1004, 1046, 1053, 1109})
        QVERIFY(view.GetDlgItem(id)->isHidden());
    std::set<int> seen;
    for (const auto& c : LoadDialogTemplate(133).controls)
        if (c.id >= 0)
            QVERIFY2(seen.insert(c.id).second, qPrintable(QString::number(c.id)));
}

void TestInternalView::bindingOrder() {
    InputFormHost host;
    InternalProbe view(&host);
    // speed, port, set-time, port object, device, progress bar
    QCOMPARE(BindingIds(view.Bindings()),
             RowIdsThenLink(kRowIds, {1105, 1103, 1107, 1103, 1110, 1513}));
}

void TestInternalView::loadAndStoreEveryRow_data() {
    QTest::addColumn<int>("channel");
    for (int k = 1; k <= 19; ++k)
        QTest::addRow("IIN%d", k) << k;
}

// Loading shows the row's fields, also where the profile hides them; storing
// writes the shown texts back. Fields without a bound control, and the
// table's entries past IIN19, keep their values.
void TestInternalView::loadAndStoreEveryRow() {
    QFETCH(int, channel);
    InputFormHost host;
    InternalInput& in = host.cfg.Internal[size_t(channel - 1)];
    in = InternalInput{"Custom", "P5", "O9", "O3", "O7"};
    host.cfg.Internal[25] = InternalInput{"Spare", "P2", "O2", "O2", "O2"};
    CInternalView view(&host);
    host.active = &view;
    view.OnInitialUpdate();
    const int* ids = kRowIds[channel - 1];
    QCOMPARE(Shown(view, ids[Output]), QStringLiteral("O9"));
    QCOMPARE(Shown(view, ids[Poly]), QStringLiteral("P5"));
    if (ids[Input1])
        QCOMPARE(Shown(view, ids[Input1]), QStringLiteral("O3"));
    if (ids[Input2])
        QCOMPARE(Shown(view, ids[Input2]), QStringLiteral("O7"));

    Enter(view, ids[Output], "O1");
    Enter(view, ids[Poly], "P16");
    if (ids[Input1])
        Enter(view, ids[Input1], "O33");
    if (ids[Input2])
        Enter(view, ids[Input2], "0");
    QVERIFY(view.UpdateData(true));
    QCOMPARE(in.Output, QStringLiteral("O1"));
    QCOMPARE(in.Poly, QStringLiteral("P16"));
    QCOMPARE(in.Input1, ids[Input1] ? QStringLiteral("O33") : QStringLiteral("O3"));
    QCOMPARE(in.Input2, ids[Input2] ? QStringLiteral("0") : QStringLiteral("O7"));
    QCOMPARE(in.Alias, QStringLiteral("Custom"));
    QCOMPARE(host.cfg.Internal[25].Input1, QStringLiteral("O2"));
    QVERIFY(host.messages.empty());
}

// The update loads the controls (unsaved edits give way) and, while the form
// is active, applies the profile: before that the selectors stay disabled.
void TestInternalView::updateLoadsAndAppliesProfile() {
    InputFormHost host;
    CInternalView view(&host);
    CInternalView other(&host); // stands for another form being active
    host.active = &other;
    view.OnInitialUpdate();
    for (int k = 1; k <= 16; ++k) {
        QCOMPARE(Shown(view, kRowIds[k - 1][Output]), QStringLiteral("O0"));
        QCOMPARE(Shown(view, kRowIds[k - 1][Poly]), QStringLiteral("P1"));
    }
    for (int id : {1115, 1116, 1122, 1129, 1124, 1125, 1131}) {
        QCOMPARE(Shown(view, id), QStringLiteral("0"));
        QVERIFY(!view.GetDlgItem(id)->isEnabled());
    }
    Enter(view, 1115, "O4");
    host.cfg.Internal[14].Input2 = "O12"; // IIN15, e.g. from a retrieve
    view.OnUpdate();
    QCOMPARE(Shown(view, 1115), QStringLiteral("0"));
    QCOMPARE(Shown(view, 1125), QStringLiteral("O12"));
    QVERIFY(!view.GetDlgItem(1115)->isEnabled());
    QCOMPARE(view.Item<QLabel>(1583)->text(), QStringLiteral("QNH"));

    host.active = &view;
    view.OnUpdate();
    for (int id : {1115, 1116, 1122, 1129, 1124, 1125, 1131})
        QVERIFY(view.GetDlgItem(id)->isEnabled() && !view.GetDlgItem(id)->isHidden());
    for (int id : {1123, 1130, 1132, 1133, 1138, 1052, 1108})
        QVERIFY(!view.GetDlgItem(id)->isEnabled() && view.GetDlgItem(id)->isHidden());
    QCOMPARE(view.Item<QLabel>(1583)->text(), QStringLiteral("SENOK"));
    for (int id : {1395, 1396, 1397, 1078, 1079, 1080, 1585, 1586, 1590})
        QVERIFY(view.GetDlgItem(id)->isHidden());
}

// Choosing inputs of IIN12 and pressing Send stores them before the task starts.
void TestInternalView::chosenInputsAreSent() {
    InputFormHost host;
    CInternalView view(&host);
    host.active = &view;
    view.OnInitialUpdate();
    ChooseItem(view.Item<QComboBox>(1115), "O3");
    ChooseItem(view.Item<QComboBox>(1116), "O7");
    view.Item<QPushButton>(1514)->click();
    QCOMPARE(host.sends, 1);
    QCOMPARE(host.cfg.Internal[11].Input1, QStringLiteral("O3"));
    QCOMPARE(host.cfg.Internal[11].Input2, QStringLiteral("O7"));
}

QTEST_MAIN(TestInternalView)
#include "tst_internalview.moc"
