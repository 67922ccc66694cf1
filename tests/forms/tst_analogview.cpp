// The analog inputs form: its controls, its exchange with the model, the
// sensor lists and what choosing a sensor presets.
#include "analogview.h"
#include "dialogtemplate.h"
#include "inputformstest.h"

#include <QLabel>
#include <QTest>

#include <QPushButton>

#include <map>
#include <set>

using namespace corvina;
using namespace corvina::testing;

namespace {

// One bound control of a row, in the order the form exchanges them.
struct Bound {
    int id;
    const char* field;
};

// Per channel: MEASURE, VECT, OUTPUT, SENSOR, POLY for AIN1-AIN8;
// MEASURE, RATIO, POLARITY, RANGE, OUTPUT, SENSOR, POLY for AIN9-AIN20.
std::vector<Bound> RowBindings(int channel) {
    static const int fixed[8][5] = {
        {1070, 1071, 1072, 1073, 1058}, {1074, 1075, 1076, 1077, 1059},
        {1078, 1079, 1080, 1081, 1060}, {1082, 1083, 1084, 1085, 1061},
        {1086, 1087, 1088, 1089, 1063}, {1090, 1091, 1092, 1093, 1064},
        {1094, 1095, 1096, 1097, 1065}, {1098, 1099, 1100, 1101, 1066},
    };
    static const int ranged[12][7] = {
        {1102, 1113, 1104, 1106, 1120, 1062, 1067}, {1127, 1148, 1134, 1141, 1155, 1069, 1068},
        {1162, 1176, 1169, 1175, 1177, 1111, 1109}, {1178, 1181, 1179, 1180, 1182, 1118, 1110},
        {1183, 1186, 1184, 1185, 1187, 1125, 1112}, {1188, 1191, 1189, 1190, 1192, 1132, 1114},
        {1193, 1195, 1194, 1137, 1196, 1139, 1115}, {1197, 1199, 1198, 1144, 1200, 1146, 1116},
        {1201, 1203, 1202, 1151, 1204, 1153, 1117}, {1205, 1207, 1206, 1158, 1208, 1160, 1119},
        {1209, 1212, 1210, 1211, 1213, 1214, 1121}, {1215, 1218, 1216, 1217, 1219, 1174, 1122},
    };
    if (channel <= 8) {
        const int* r = fixed[channel - 1];
        return {
            {r[0], "Measure"}, {r[1], "Vect"}, {r[2], "Output"}, {r[3], "Sensor"}, {r[4], "Poly"}};
    }
    const int* r = ranged[channel - 9];
    return {{r[0], "Measure"}, {r[1], "Ratio"},  {r[2], "Polarity"}, {r[3], "Range"},
            {r[4], "Output"},  {r[5], "Sensor"}, {r[6], "Poly"}};
}

int Id(int channel, const char* field) {
    for (const Bound& b : RowBindings(channel))
        if (qstrcmp(b.field, field) == 0)
            return b.id;
    return 0;
}

QString& TextField(AnalogInput& in, const QString& field) {
    if (field == u"Range")
        return in.Range;
    if (field == u"Polarity")
        return in.Polarity;
    if (field == u"Sensor")
        return in.Sensor;
    if (field == u"Poly")
        return in.Poly;
    return in.Output;
}

Flag* FlagField(AnalogInput& in, const QString& field) {
    if (field == u"Measure")
        return &in.Measure;
    if (field == u"Ratio")
        return &in.Ratio;
    if (field == u"Vect")
        return &in.Vect;
    return nullptr;
}

QString ModelValue(AnalogInput& in, const QString& field) {
    if (Flag* f = FlagField(in, field))
        return QString::number(*f);
    return TextField(in, field);
}

// The form's bindings, for checking their order.
class AnalogProbe : public CAnalogView {
public:
    using CAnalogView::CAnalogView;
    const CBindingList& Bindings() const { return m_bindings; }
};

const QStringList kCatalogue{
    "Alpha;analog;unipolar;635mV;no;yes;0;1;0;0;1,2,9",
    "Pulse;digital;count;0;1;0;0;1",
    "# a comment line;analog;x;x;x;x;0;0;0;0;1",
    "Beta;analog;bipolar;2500mV;yes;no;0;2;0;0;9,20",
    "Wind;thermal;x;x;x;x;0;0;0;0;1",
    "Gamma;analog;bipolar;5000mV;yes;no;0;1;0;0;10,1",
    "Alpha;analog;bipolar;19mV;yes;no;0;1;0;0;3",
    "Delta;analog;bipolar;78mV;yes;no;0;1;0;0;4,21,0,-1",
};

} // namespace

class TestAnalogView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void templateRows_data();
    void templateRows();
    void bindingOrder();
    void loadAndStoreEveryRow_data();
    void loadAndStoreEveryRow();
    void sensorListsFollowCatalogue();
    void sensorListsRebuiltKeepShownText();
    void choosingSensorPresetsRow_data();
    void choosingSensorPresetsRow();
    void chosenSensorReachesModelAtStore();
    void typedSensorNameChangesNothingElse();
    void sendStoresAndStarts();
};

void TestAnalogView::templateRows_data() {
    QTest::addColumn<int>("channel");
    for (int k = 1; k <= 20; ++k)
        QTest::addRow("AIN%d", k) << k;
}

// Every row has its controls of the right kind, the range and polarity items
// in the order the sensor presets rely on, and read-only output boxes.
void TestAnalogView::templateRows() {
    QFETCH(int, channel);
    InputFormHost host;
    CAnalogView view(&host);
    QVERIFY(view.Item<QCheckBox>(Id(channel, "Measure")));
    QVERIFY(view.Item<QComboBox>(Id(channel, "Sensor"))->isEditable());
    for (const char* box : {"Output", "Poly"}) {
        auto* e = view.Item<QLineEdit>(Id(channel, box));
        QVERIFY(e);
        QVERIFY(!e->isEnabled());
    }
    if (channel <= 8) {
        auto* vect = view.Item<QCheckBox>(Id(channel, "Vect"));
        QVERIFY(vect && vect->isHidden() && !vect->isEnabled());
        QCOMPARE(view.Item<QLabel>(1571 + channel)->text(), QStringLiteral("2500mV"));
    } else {
        QVERIFY(view.Item<QCheckBox>(Id(channel, "Ratio")));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(channel, "Polarity"))),
                 (QStringList{"BIP", "UNIP"}));
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(channel, "Range"))),
                 (QStringList{"2500", "1250", "625", "312", "156", "78", "39", "19"}));
    }
    // The row label, found by its text.
    bool labelled = false;
    for (auto* l : view.Page()->findChildren<QLabel*>())
        labelled = labelled || l->text() == QStringLiteral("AIN%1").arg(channel);
    QVERIFY(labelled);
    // No identifier is given twice: a control found by its identifier is the
    // only one that has it.
    if (channel == 1) {
        std::set<int> seen;
        for (const auto& c : LoadDialogTemplate(130).controls)
            if (c.id >= 0)
                QVERIFY2(seen.insert(c.id).second, qPrintable(QString::number(c.id)));
    }
}

void TestAnalogView::bindingOrder() {
    InputFormHost host;
    AnalogProbe view(&host);
    std::vector<int> expected;
    for (int k = 1; k <= 20; ++k)
        for (const Bound& b : RowBindings(k))
            expected.push_back(b.id);
    for (int id : {1103, 1105, 1107, 1108, 1103, 1504})
        expected.push_back(id);
    QCOMPARE(BindingIds(view.Bindings()), expected);
}

void TestAnalogView::loadAndStoreEveryRow_data() {
    QTest::addColumn<int>("channel");
    for (int k = 1; k <= 20; ++k)
        QTest::addRow("AIN%d", k) << k;
}

// Loading shows the row's fields, also in the rows the profile hides; storing
// writes the controls back and leaves the fields the row has no control for.
void TestAnalogView::loadAndStoreEveryRow() {
    QFETCH(int, channel);
    InputFormHost host;
    AnalogInput stored{1, 1, 1, "39", "UNIP", "Thermo", "P7", "O12"};
    AnalogInput& in = host.cfg.Analog[size_t(channel - 1)];
    in = stored;
    host.cfg.Link.PortName = "COM3";
    host.cfg.Link.PortSpeed = "9600";
    CAnalogView view(&host);
    host.active = &view;
    view.OnInitialUpdate();

    for (const Bound& b : RowBindings(channel))
        QCOMPARE(Shown(view, b.id), ModelValue(in, b.field));
    // A neighbouring row still shows the defaults.
    const int other = channel == 1 ? 2 : channel - 1;
    QCOMPARE(Shown(view, Id(other, "Output")), QStringLiteral("O0"));
    QCOMPARE(Shown(view, Id(other, "Poly")), QStringLiteral("P1"));
    QCOMPARE(Shown(view, Id(other, "Measure")), QStringLiteral("0"));

    const std::map<QString, QString> edits{
        {"Measure", "0"},  {"Vect", "0"},    {"Ratio", "0"},      {"Polarity", "bip?"},
        {"Range", "4000"}, {"Output", "O3"}, {"Sensor", "Other"}, {"Poly", "P2"}};
    for (const Bound& b : RowBindings(channel))
        Enter(view, b.id, edits.at(b.field));
    QVERIFY(view.UpdateData(true));
    for (const Bound& b : RowBindings(channel))
        QCOMPARE(ModelValue(in, b.field), edits.at(b.field));
    // Fields without a control in this row keep what the model held.
    const std::vector<const char*> unbound =
        channel <= 8 ? std::vector<const char*>{"Ratio", "Polarity", "Range"}
                     : std::vector<const char*>{"Vect"};
    for (const char* f : unbound)
        QCOMPARE(ModelValue(in, f), ModelValue(stored, f));
    QCOMPARE(host.cfg.Link.PortName, QStringLiteral("COM3"));
    QCOMPARE(host.cfg.Link.PortSpeed, QStringLiteral("9600"));
    QVERIFY(host.messages.empty());
}

// Each row lists the analog entries that name its channel, in catalogue order,
// up to the first entry without a name.
void TestAnalogView::sensorListsFollowCatalogue() {
    InputFormHost host;
    QStringList lines = kCatalogue;
    lines << ";analog;bipolar;2500mV;no;no;0;1;0;0;1,5"
          << "Late;analog;x;x;x;x;0;1;0;0;1,5";
    host.SetCatalogue(lines);
    CAnalogView view(&host);
    view.OnInitialUpdate();
    std::map<int, QStringList> expected{
        {1, {"Alpha", "Gamma"}}, {2, {"Alpha"}},  {3, {"Alpha"}}, {4, {"Delta"}},
        {9, {"Alpha", "Beta"}},  {10, {"Gamma"}}, {20, {"Beta"}}};
    for (int k = 1; k <= 20; ++k)
        QCOMPARE(ComboItems(view.Item<QComboBox>(Id(k, "Sensor"))), expected[k]);
}

// A new or opened document fills the lists again: each name stays listed once,
// and each combo goes on showing the model's sensor.
void TestAnalogView::sensorListsRebuiltKeepShownText() {
    InputFormHost host;
    host.SetCatalogue(kCatalogue);
    host.cfg.Analog[0].Sensor = "Gamma";
    host.cfg.Analog[8].Sensor = "Unlisted";
    CAnalogView view(&host);
    view.OnInitialUpdate();
    host.SetCatalogue({"Beta;analog;bipolar;2500mV;yes;no;0;2;0;0;1,9"});
    view.OnInitialUpdate();
    QCOMPARE(ComboItems(view.Item<QComboBox>(1073)), QStringList{"Beta"});
    QCOMPARE(ComboItems(view.Item<QComboBox>(1062)), QStringList{"Beta"});
    QCOMPARE(Shown(view, 1073), QStringLiteral("Gamma"));
    QCOMPARE(Shown(view, 1062), QStringLiteral("Unlisted"));
    // Without a catalogue the lists are empty and the combos still show the model.
    host.SetCatalogue({});
    view.OnInitialUpdate();
    QCOMPARE(view.Item<QComboBox>(1073)->count(), 0);
    QCOMPARE(Shown(view, 1073), QStringLiteral("Gamma"));
}

void TestAnalogView::choosingSensorPresetsRow_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("vect");     // AIN1-AIN8: expected VECT
    QTest::addColumn<QString>("ratio");    // AIN9-AIN20: expected RATIO, POLARITY, RANGE
    QTest::addColumn<QString>("polarity"); // (each row starts with VECT and RATIO
    QTest::addColumn<QString>("range");    // flipped, "BIP"/"UNIP" flipped, range "1250")
    QTest::addRow("AIN1 vect yes") << 1 << "Alpha"
                                   << "1"
                                   << ""
                                   << ""
                                   << "";
    QTest::addRow("AIN1 vect no clears") << 1 << "Gamma"
                                         << "0"
                                         << ""
                                         << ""
                                         << "";
    QTest::addRow("AIN3 first of two same names") << 3 << "Alpha"
                                                  << "1"
                                                  << ""
                                                  << ""
                                                  << "";
    QTest::addRow("AIN9 unipolar 635mV") << 9 << "Alpha"
                                         << ""
                                         << "0"
                                         << "UNIP"
                                         << "625";
    QTest::addRow("AIN9 bipolar 2500mV ratio") << 9 << "Beta"
                                               << ""
                                               << "1"
                                               << "BIP"
                                               << "2500";
    QTest::addRow("AIN10 5000mV keeps range") << 10 << "Gamma"
                                              << ""
                                              << "1"
                                              << "BIP"
                                              << "1250";
    QTest::addRow("AIN20 hidden row") << 20 << "Beta"
                                      << ""
                                      << "1"
                                      << "BIP"
                                      << "2500";
}

// Choosing a sensor checks MEASURE and takes the entry's settings into the row;
// other rows and the model stay as they were.
void TestAnalogView::choosingSensorPresetsRow() {
    QFETCH(int, channel);
    QFETCH(QString, sensor);
    QFETCH(QString, vect);
    QFETCH(QString, ratio);
    QFETCH(QString, polarity);
    QFETCH(QString, range);
    InputFormHost host;
    host.SetCatalogue(kCatalogue);
    CAnalogView view(&host);
    view.OnInitialUpdate();
    if (channel <= 8) {
        Enter(view, Id(channel, "Vect"), vect == u"1" ? "0" : "1");
    } else {
        Enter(view, Id(channel, "Ratio"), ratio == u"1" ? "0" : "1");
        Enter(view, Id(channel, "Polarity"), polarity == u"UNIP" ? "BIP" : "UNIP");
        Enter(view, Id(channel, "Range"), "1250");
    }
    const LoggerConfig before = host.cfg;

    ChooseItem(view.Item<QComboBox>(Id(channel, "Sensor")), sensor);

    QCOMPARE(Shown(view, Id(channel, "Measure")), QStringLiteral("1"));
    if (channel <= 8) {
        QCOMPARE(Shown(view, Id(channel, "Vect")), vect);
    } else {
        QCOMPARE(Shown(view, Id(channel, "Ratio")), ratio);
        QCOMPARE(Shown(view, Id(channel, "Polarity")), polarity);
        QCOMPARE(Shown(view, Id(channel, "Range")), range);
    }
    const int other = channel == 1 ? 2 : channel - 1;
    QCOMPARE(Shown(view, Id(other, "Measure")), QStringLiteral("0"));
    QCOMPARE(host.cfg.Analog[size_t(channel - 1)].Measure,
             before.Analog[size_t(channel - 1)].Measure);
    QCOMPARE(host.cfg.Analog[size_t(channel - 1)].Sensor, QString());
}

// The handlers change controls only; a store takes the choice into the model,
// the hidden VECT flag included. A name the catalogue no longer has still
// checks MEASURE and changes nothing else.
void TestAnalogView::chosenSensorReachesModelAtStore() {
    InputFormHost host;
    host.SetCatalogue(kCatalogue);
    CAnalogView view(&host);
    view.OnInitialUpdate();
    ChooseItem(view.Item<QComboBox>(1077), "Alpha"); // AIN2
    ChooseItem(view.Item<QComboBox>(1062), "Alpha"); // AIN9

    host.SetCatalogue({"Beta;analog;bipolar;2500mV;yes;no;0;2;0;0;9,20"}); // Alpha is gone
    Enter(view, 1081, "");
    Enter(view, 1079, "1");                          // AIN3 VECT
    ChooseItem(view.Item<QComboBox>(1081), "Alpha"); // list not yet rebuilt
    QCOMPARE(Shown(view, 1078), QStringLiteral("1"));
    QCOMPARE(Shown(view, 1079), QStringLiteral("1"));

    view.UpdateData(true);
    const AnalogInput& ain2 = host.cfg.Analog[1];
    QCOMPARE(ain2.Measure, 1);
    QCOMPARE(ain2.Vect, 1);
    QCOMPARE(ain2.Sensor, QStringLiteral("Alpha"));
    const AnalogInput& ain9 = host.cfg.Analog[8];
    QCOMPARE(ain9.Measure, 1);
    QCOMPARE(ain9.Polarity, QStringLiteral("UNIP"));
    QCOMPARE(ain9.Range, QStringLiteral("625"));
    QCOMPARE(ain9.Ratio, 0);
    QCOMPARE(ain9.Output, QStringLiteral("O0")); // the outputs form's business
    QCOMPARE(ain9.Poly, QStringLiteral("P1"));
    QCOMPARE(host.cfg.Analog[2].Sensor, QStringLiteral("Alpha"));
}

// Typing a name, even one that is listed, is only text: it checks nothing and
// is stored as typed. Choosing with the keyboard still presets.
void TestAnalogView::typedSensorNameChangesNothingElse() {
    InputFormHost host;
    host.SetCatalogue(kCatalogue);
    CAnalogView view(&host);
    view.OnInitialUpdate();
    view.show();
    auto* combo = view.Item<QComboBox>(1062); // AIN9
    combo->setFocus();
    QTest::keyClicks(combo->lineEdit(), "Alpha");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Tab);
    QCOMPARE(combo->currentText(), QStringLiteral("Alpha"));
    QCOMPARE(Shown(view, 1102), QStringLiteral("0"));
    QCOMPARE(Shown(view, 1104), QStringLiteral("BIP"));
    QCOMPARE(Shown(view, 1106), QStringLiteral("2500"));
    view.UpdateData(true);
    QCOMPARE(host.cfg.Analog[8].Sensor, QStringLiteral("Alpha"));
    QCOMPARE(host.cfg.Analog[8].Measure, 0);
    // Stepping through the list with the arrow keys is a choice.
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QStringLiteral("Beta"));
    QCOMPARE(Shown(view, 1102), QStringLiteral("1"));
    QCOMPARE(Shown(view, 1113), QStringLiteral("1"));
}

// Send stores the form (with the link panel) before it asks for the task.
void TestAnalogView::sendStoresAndStarts() {
    InputFormHost host;
    host.cfg.PortPresence[3] = 1;
    CAnalogView view(&host);
    view.OnInitialUpdate();
    Enter(view, 1070, "1");
    Enter(view, 1105, "9600");
    view.Item<QPushButton>(1505)->click();
    QCOMPARE(host.sends, 1);
    QCOMPARE(host.cfg.Analog[0].Measure, 1);
    QCOMPARE(host.cfg.Link.PortName, QStringLiteral("COM3"));
    QCOMPARE(host.cfg.Link.PortSpeed, QStringLiteral("9600"));
}

QTEST_MAIN(TestAnalogView)
#include "tst_analogview.moc"
