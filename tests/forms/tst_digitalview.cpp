// The digital inputs form: its controls, its exchange with the model, the
// sensor lists and the counting type a chosen sensor brings.
#include "dialogtemplate.h"
#include "digitalview.h"
#include "inputformstest.h"

#include <QLabel>
#include <QTest>

#include <set>

using namespace corvina;
using namespace corvina::testing;

namespace {

// MEASURE, TYPE, OUTPUT, SENSOR, POLY of DIN1-DIN8, in exchange order.
const int kRowIds[8][5] = {
    {1220, 1256, 1224, 1225, 1058}, {1226, 1258, 1230, 1231, 1059}, {1012, 1259, 1014, 1235, 1060},
    {1236, 1022, 1238, 1021, 1061}, {1239, 1260, 1243, 1244, 1062}, {1245, 1261, 1247, 1248, 1063},
    {1249, 1262, 1251, 1252, 1064}, {1253, 1263, 1066, 1257, 1065},
};
enum Column { Measure, Type, Output, Sensor, Poly };

int Id(int channel, Column column) {
    return kRowIds[channel - 1][column];
}

class DigitalProbe : public CDigitalView {
public:
    using CDigitalView::CDigitalView;
    const CBindingList& Bindings() const { return m_bindings; }
};

const QStringList kCatalogue{
    "Cup;analog;bipolar;2500mV;no;no;0;1;0;0;1,3",
    "Rain;digital;count;0;0.2;0;0;3",
    "Wind;digital;freq;0;0.1;0;0;1,2,3,12",
    "Clock;digital;time;0;1;0;0;1,8",
    "Odd;digital;speed;0;1;0;0;2",
    "Rain;digital;freq;0;1;0;0;4",
};

} // namespace

class TestDigitalView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void templateRows();
    void bindingOrder();
    void loadAndStoreEveryRow_data();
    void loadAndStoreEveryRow();
    void sensorListsFollowCatalogue();
    void choosingSensorSetsType_data();
    void choosingSensorSetsType();
    void chosenSensorReachesModelAtStore();
};

// Every row has its controls, the TYPE items in the order the presets rely on
// and read-only output boxes; no identifier is given twice.
void TestDigitalView::templateRows() {
    InputFormHost host;
    CDigitalView view(&host);
    for (int k = 1; k <= 8; ++k) {
        QVERIFY(view.Item<QCheckBox>(Id(k, Measure)));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Type))),
                 (QStringList{"FREQ", "COUNT", "TIME"}));
        QVERIFY(view.Item<QComboBox>(Id(k, Sensor))->isEditable());
        QVERIFY(!view.Item<QLineEdit>(Id(k, Output))->isEnabled());
        QVERIFY(!view.Item<QLineEdit>(Id(k, Poly))->isEnabled());
        if (k >= 5)
            QCOMPARE(view.Item<QLabel>(1563 + k)->text(), QStringLiteral("DIN%1").arg(k));
    }
    std::set<int> seen;
    for (const auto& c : LoadDialogTemplate(131).controls)
        if (c.id >= 0)
            QVERIFY2(seen.insert(c.id).second, qPrintable(QString::number(c.id)));
}

void TestDigitalView::bindingOrder() {
    InputFormHost host;
    DigitalProbe view(&host);
    QCOMPARE(BindingIds(view.Bindings()),
             RowIdsThenLink(kRowIds, {1103, 1105, 1107, 1108, 1103, 1507}));
}

void TestDigitalView::loadAndStoreEveryRow_data() {
    QTest::addColumn<int>("channel");
    for (int k = 1; k <= 8; ++k)
        QTest::addRow("DIN%d", k) << k;
}

// Loading shows the row's fields, also in DIN5-DIN8 that the profile hides;
// storing writes the controls back as typed.
void TestDigitalView::loadAndStoreEveryRow() {
    QFETCH(int, channel);
    InputFormHost host;
    DigitalInput& in = host.cfg.Digital[size_t(channel - 1)];
    in = DigitalInput{1, "TIME", "Rain", "P9", "O31"};
    CDigitalView view(&host);
    host.active = &view;
    view.OnInitialUpdate();
    QCOMPARE(Shown(view, Id(channel, Measure)), QStringLiteral("1"));
    QCOMPARE(Shown(view, Id(channel, Type)), QStringLiteral("TIME"));
    QCOMPARE(Shown(view, Id(channel, Output)), QStringLiteral("O31"));
    QCOMPARE(Shown(view, Id(channel, Sensor)), QStringLiteral("Rain"));
    QCOMPARE(Shown(view, Id(channel, Poly)), QStringLiteral("P9"));
    const int other = channel == 1 ? 2 : channel - 1;
    QCOMPARE(Shown(view, Id(other, Type)), QStringLiteral("FREQ"));
    QCOMPARE(Shown(view, Id(other, Output)), QStringLiteral("O0"));
    QCOMPARE(Shown(view, Id(other, Poly)), QStringLiteral("P1"));

    Enter(view, Id(channel, Measure), "0");
    Enter(view, Id(channel, Type), "PULSE");
    Enter(view, Id(channel, Output), "O2");
    Enter(view, Id(channel, Sensor), "");
    Enter(view, Id(channel, Poly), "P16");
    QVERIFY(view.UpdateData(true));
    QCOMPARE(in.Measure, 0);
    QCOMPARE(in.Type, QStringLiteral("PULSE"));
    QCOMPARE(in.Output, QStringLiteral("O2"));
    QCOMPARE(in.Sensor, QString());
    QCOMPARE(in.Poly, QStringLiteral("P16"));
    QCOMPARE(host.cfg.Digital[size_t(other - 1)].Type, QStringLiteral("FREQ"));
    QVERIFY(host.messages.empty());
}

// Only digital entries are listed, each in the rows DIN1-DIN8 it names.
void TestDigitalView::sensorListsFollowCatalogue() {
    InputFormHost host;
    host.SetCatalogue(kCatalogue);
    CDigitalView view(&host);
    view.OnInitialUpdate();
    view.OnInitialUpdate(); // a new document fills the lists again
    const QStringList expected[8] = {
        {"Wind", "Clock"}, {"Wind", "Odd"}, {"Rain", "Wind"}, {"Rain"}, {}, {}, {}, {"Clock"}};
    for (int k = 1; k <= 8; ++k)
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Sensor))), expected[k - 1]);
}

void TestDigitalView::choosingSensorSetsType_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("type");
    QTest::addRow("count") << 3 << "Rain"
                           << "COUNT";
    QTest::addRow("freq") << 2 << "Wind"
                          << "FREQ";
    QTest::addRow("time, hidden row") << 8 << "Clock"
                                      << "TIME";
    QTest::addRow("first of two same names") << 4 << "Rain"
                                             << "COUNT";
    QTest::addRow("unknown type word keeps type") << 2 << "Odd"
                                                  << "shown";
}

// Choosing checks MEASURE and selects the entry's type; a type word the
// catalogue did not know leaves TYPE as it was.
void TestDigitalView::choosingSensorSetsType() {
    QFETCH(int, channel);
    QFETCH(QString, sensor);
    QFETCH(QString, type);
    InputFormHost host;
    host.SetCatalogue(kCatalogue);
    CDigitalView view(&host);
    view.OnInitialUpdate();
    Enter(view, Id(channel, Type), "shown");
    ChooseItem(view.Item<QComboBox>(Id(channel, Sensor)), sensor);
    QCOMPARE(Shown(view, Id(channel, Measure)), QStringLiteral("1"));
    QCOMPARE(Shown(view, Id(channel, Type)), type);
    QCOMPARE(host.cfg.Digital[size_t(channel - 1)].Measure, 0); // until the next store
}

// After a store the row holds the chosen name and the selected type. A name
// the catalogue no longer has checks MEASURE only; a typed name nothing at all.
void TestDigitalView::chosenSensorReachesModelAtStore() {
    InputFormHost host;
    host.SetCatalogue(kCatalogue);
    CDigitalView view(&host);
    view.OnInitialUpdate();
    ChooseItem(view.Item<QComboBox>(Id(3, Sensor)), "Rain");
    host.SetCatalogue({});
    ChooseItem(view.Item<QComboBox>(Id(1, Sensor)), "Clock");
    auto* typed = view.Item<QComboBox>(Id(2, Sensor));
    QTest::keyClicks(typed->lineEdit(), "Wind");
    QTest::keyClick(typed->lineEdit(), Qt::Key_Return);
    view.UpdateData(true);
    const DigitalInput& din3 = host.cfg.Digital[2];
    QCOMPARE(din3.Measure, 1);
    QCOMPARE(din3.Type, QStringLiteral("COUNT"));
    QCOMPARE(din3.Sensor, QStringLiteral("Rain"));
    const DigitalInput& din1 = host.cfg.Digital[0];
    QCOMPARE(din1.Measure, 1);
    QCOMPARE(din1.Type, QStringLiteral("FREQ"));
    QCOMPARE(din1.Sensor, QStringLiteral("Clock"));
    const DigitalInput& din2 = host.cfg.Digital[1];
    QCOMPARE(din2.Measure, 0);
    QCOMPARE(din2.Sensor, QStringLiteral("Wind"));
}

QTEST_MAIN(TestDigitalView)
#include "tst_digitalview.moc"
