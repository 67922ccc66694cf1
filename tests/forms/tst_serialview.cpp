// The serial inputs form: its controls, its exchange with the model and the
// DRIVER lists built from the logger's driver list.
#include "dialogtemplate.h"
#include "inputformstest.h"
#include "serialview.h"

#include <QTest>

#include <set>

using namespace corvina;
using namespace corvina::testing;

namespace {

// MEASURE, COM, BRATE, BITS, PARITY, STOPB, DRIVER, ADDRESS of SIN1-SIN8.
const int kRowIds[8][8] = {
    {1393, 1008, 1394, 1395, 1396, 1006, 1009, 1397},
    {1398, 1015, 1399, 1400, 1401, 1013, 1016, 1066},
    {1402, 1022, 1403, 1404, 1405, 1020, 1023, 1406},
    {1407, 1029, 1408, 1409, 1410, 1027, 1030, 1411},
    {1412, 1036, 1413, 1414, 1415, 1034, 1037, 1069},
    {1416, 1043, 1417, 1418, 1419, 1041, 1044, 1420},
    {1421, 1050, 1422, 1423, 1424, 1048, 1051, 1071},
    {1425, 1056, 1426, 1427, 1428, 1055, 1057, 1429},
};
enum Column { Measure, Com, Brate, Bits, Parity, Stopb, Driver, Address };

int Id(int channel, Column column) {
    return kRowIds[channel - 1][column];
}

class SerialProbe : public CSerialView {
public:
    using CSerialView::CSerialView;
    const CBindingList& Bindings() const { return m_bindings; }
};

struct DriverEntry {
    int32_t id;
    int32_t kind;
    QString name;
};
using DriverList = QList<DriverEntry>;

// Writes the list from index 0 on; the entry after it ends the list.
void SetDrivers(LoggerConfig& cfg, const DriverList& list) {
    cfg.Drivers.fill(SerialDriver{});
    for (qsizetype i = 0; i < list.size() && i < qsizetype(cfg.Drivers.size()); ++i)
        cfg.Drivers[size_t(i)] = {list[i].id, list[i].kind, list[i].name};
}

} // namespace

Q_DECLARE_METATYPE(DriverList)

class TestSerialView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void templateRows();
    void bindingOrder();
    void loadAndStoreEveryRow_data();
    void loadAndStoreEveryRow();
    void driverLists_data();
    void driverLists();
    void updateReloadsAndKeepsUnlistedDriver();
};

// Every row has its controls with the template's item lists, a sorted DRIVER
// list and an address box; no identifier is given twice.
void TestSerialView::templateRows() {
    InputFormHost host;
    CSerialView view(&host);
    for (int k = 1; k <= 8; ++k) {
        QVERIFY(view.Item<QCheckBox>(Id(k, Measure)));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Com))), (QStringList{"COM1", "COM2"}));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Brate))),
                 (QStringList{"300", "600", "1200", "2400", "4800", "9600", "19200", "38400",
                              "57600", "115200"}));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Bits))), (QStringList{"7", "8"}));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Parity))),
                 (QStringList{"None", "Even", "Odd"}));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Stopb))), (QStringList{"1", "2"}));
        QVERIFY(view.Item<QComboBox>(Id(k, Driver))->isEditable());
        QVERIFY(view.Item<QLineEdit>(Id(k, Address))->isEnabled());
    }
    std::set<int> seen;
    for (const auto& c : LoadDialogTemplate(132).controls)
        if (c.id >= 0)
            QVERIFY2(seen.insert(c.id).second, qPrintable(QString::number(c.id)));
}

void TestSerialView::bindingOrder() {
    InputFormHost host;
    SerialProbe view(&host);
    // speed, port, set-time, port object, device, port object, progress bar
    QCOMPARE(BindingIds(view.Bindings()),
             RowIdsThenLink(kRowIds, {1105, 1103, 1107, 1103, 1108, 1103, 1522}));
}

void TestSerialView::loadAndStoreEveryRow_data() {
    QTest::addColumn<int>("channel");
    for (int k = 1; k <= 8; ++k)
        QTest::addRow("SIN%d", k) << k;
}

// Loading shows the row's fields (a driver the list lacks included); storing
// writes every text back as typed.
void TestSerialView::loadAndStoreEveryRow() {
    QFETCH(int, channel);
    InputFormHost host;
    SerialInput& in = host.cfg.Serial[size_t(channel - 1)];
    in = SerialInput{1, "COM2", "9600", "7", "Even", "2", "WS600", "3"};
    host.cfg.Link.PortSpeed = "57600";
    host.cfg.Link.DeviceModel = "LX-20";
    CSerialView view(&host);
    host.active = &view;
    view.OnInitialUpdate();
    const QStringList shown{"1", "COM2", "9600", "7", "Even", "2", "WS600", "3"};
    for (int c = Measure; c <= Address; ++c)
        QCOMPARE(Shown(view, Id(channel, Column(c))), shown[c]);
    const int other = channel == 1 ? 2 : channel - 1;
    const QStringList defaults{"0", "COM1", "115200", "8", "None", "1", "", ""};
    for (int c = Measure; c <= Address; ++c)
        QCOMPARE(Shown(view, Id(other, Column(c))), defaults[c]);

    const QStringList typed{"0", "COM9", "110", "9", "Mark", "1.5", "NONE", "A7 "};
    for (int c = Measure; c <= Address; ++c)
        Enter(view, Id(channel, Column(c)), typed[c]);
    Enter(view, 1105, "19200");
    QVERIFY(view.UpdateData(true));
    QCOMPARE(in.Measure, 0);
    QCOMPARE(in.Com, typed[Com]);
    QCOMPARE(in.Brate, typed[Brate]);
    QCOMPARE(in.Bits, typed[Bits]);
    QCOMPARE(in.Parity, typed[Parity]);
    QCOMPARE(in.Stopb, typed[Stopb]);
    QCOMPARE(in.Driver, typed[Driver]);
    QCOMPARE(in.Address, typed[Address]);
    QCOMPARE(host.cfg.Link.PortSpeed, QStringLiteral("19200"));
    QCOMPARE(host.cfg.Link.DeviceModel, QStringLiteral("LX-20")); // through the hidden combo
    QVERIFY(host.messages.empty());
}

void TestSerialView::driverLists_data() {
    QTest::addColumn<DriverList>("drivers");
    QTest::addColumn<QStringList>("items");
    QTest::addRow("drivers, not their values")
        << DriverList{{9, 1, "Zero"}, {1, 1, "M"},   {2, 0, "M.temp"}, {3, 0, "M.hum"},
                      {4, 1, "N"},    {5, 0, "N.v"}, {0, 1, "After"},  {6, 1, "Late"}}
        << QStringList{"M", "N", "NONE"};
    QTest::addRow("a name that begins another's")
        << DriverList{{9, 1, ""}, {1, 1, "ABCD"}, {2, 1, "ABC"}}
        << QStringList{"ABC", "ABCD", "NONE"};
    QTest::addRow("reverse order") << DriverList{{9, 1, ""}, {1, 1, "ABC"}, {2, 1, "ABCD"}}
                                   << QStringList{"ABC", "ABCD", "NONE"};
    QTest::addRow("same driver twice")
        << DriverList{{9, 1, ""}, {1, 1, "Sonic"}, {2, 0, "Sonic.u"}, {3, 1, "SONIC"}}
        << QStringList{"NONE", "Sonic"};
    QTest::addRow("text order") << DriverList{{9, 1, ""}, {1, 1, "Zeta"}, {2, 1, "alpha"}}
                                << QStringList{"alpha", "NONE", "Zeta"};
    QTest::addRow("nameless driver")
        << DriverList{{9, 1, ""}, {1, 1, ""}, {2, 1, "B"}} << QStringList{"B", "NONE"};
    QTest::addRow("no retrieve yet") << DriverList{} << QStringList{"NONE"};
    DriverList full;
    QStringList listed;
    for (int n = 0; n < kSerialDrivers; ++n) {
        full.append({n + 1, 1, QStringLiteral("D%1").arg(n, 3, 10, QLatin1Char('0'))});
        if (n >= 1 && n <= 254)
            listed << full.back().name;
    }
    listed << "NONE";
    QTest::addRow("full table: entries 1-254") << full << listed;
}

// Every row's DRIVER list is built alike at each update.
void TestSerialView::driverLists() {
    QFETCH(DriverList, drivers);
    QFETCH(QStringList, items);
    InputFormHost host;
    SetDrivers(host.cfg, drivers);
    CSerialView view(&host);
    host.active = &view;
    view.OnInitialUpdate();
    view.OnUpdate();
    for (int k = 1; k <= 8; ++k)
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, Driver))), items);
}

// The update reloads the controls: unsaved edits give way to the model, a
// driver the current list lacks is shown as it is, and a new driver list
// replaces the old one. "NONE" chosen from the list is stored as the text.
void TestSerialView::updateReloadsAndKeepsUnlistedDriver() {
    InputFormHost host;
    host.cfg.Serial[0].Driver = "Legacy";
    CSerialView view(&host);
    host.active = &view;
    view.OnInitialUpdate();
    QCOMPARE(Shown(view, 1009), QStringLiteral("Legacy"));
    QCOMPARE(ComboItems(view.Item<QComboBox>(1009)), QStringList{"NONE"});

    Enter(view, 1393, "1");
    Enter(view, 1397, "12");
    SetDrivers(host.cfg, {{9, 1, ""}, {1, 1, "WS600"}, {2, 0, "WS600.speed"}});
    host.cfg.Serial[1].Driver = "WS600";
    view.OnUpdate(); // e.g. a retrieve has finished
    QCOMPARE(Shown(view, 1393), QStringLiteral("0"));
    QCOMPARE(Shown(view, 1397), QString());
    QCOMPARE(Shown(view, 1009), QStringLiteral("Legacy"));
    QCOMPARE(Shown(view, 1016), QStringLiteral("WS600"));
    QCOMPARE(ComboItems(view.Item<QComboBox>(1016)), (QStringList{"NONE", "WS600"}));

    ChooseItem(view.Item<QComboBox>(1016), "NONE");
    view.UpdateData(true);
    QCOMPARE(host.cfg.Serial[1].Driver, QStringLiteral("NONE"));
    QCOMPARE(host.cfg.Serial[0].Driver, QStringLiteral("Legacy"));
    // Entries 9-16 of the table have no controls and are left alone.
    host.cfg.Serial[8].Driver = "Spare";
    view.UpdateData(true);
    QCOMPARE(host.cfg.Serial[8].Driver, QStringLiteral("Spare"));
}

QTEST_MAIN(TestSerialView)
#include "tst_serialview.moc"
