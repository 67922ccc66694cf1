// The control profile in force (profile 4) on each form.
#include "analogview.h"
#include "controlprofile.h"
#include "digitalview.h"
#include "ewsview.h"
#include "formhost.h"
#include "internalview.h"
#include "linkpanel.h"
#include "liveview.h"
#include "modemview.h"
#include "outputview.h"
#include "serialview.h"
#include "systemview.h"

#include <QLabel>
#include <QTest>

#include <memory>
#include <set>

using namespace corvina;

namespace {

class TestHost : public CFormHost {
public:
    LoggerConfig cfg;
    CView* active = nullptr;
    LoggerConfig& Config() override { return cfg; }
    CView* GetActiveView() const override { return active; }
    void StartRetrieveTask() override {}
    void StartSendTask() override {}
    void StartDefaultTask() override {}
};

std::unique_ptr<CView> MakeForm(int n, CFormHost* host) {
    switch (n) {
    case 1:
        return std::make_unique<CAnalogView>(host);
    case 2:
        return std::make_unique<CDigitalView>(host);
    case 3:
        return std::make_unique<CSerialView>(host);
    case 4:
        return std::make_unique<CInternalView>(host);
    case 5:
        return std::make_unique<COutputView>(host);
    case 6:
        return std::make_unique<CEwsView>(host);
    case 7:
        return std::make_unique<CSystemView>(host);
    case 8:
        return std::make_unique<CModemView>(host);
    case 9:
        return std::make_unique<CLiveView>(host);
    }
    return nullptr;
}

// The forms' own tables come separately; until a form's template has a
// control, the test gives it one, visible and enabled as a template would.
void AddControls(CView* view, std::initializer_list<int> ids) {
    for (int id : ids)
        if (!view->GetDlgItem(id))
            view->AddControl(id, new QLabel(QStringLiteral("QNH")));
}

bool Shown(CView* v, int id) {
    return !v->GetDlgItem(id)->isHidden();
}
bool Enabled(CView* v, int id) {
    return v->GetDlgItem(id)->isEnabled();
}

} // namespace

class TestControlProfile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linkPanelDeviceHiddenLogoShown_data();
    void linkPanelDeviceHiddenLogoShown();
    void analogShowsAin1To4And9To12();
    void digitalShowsDin1To4();
    void internalSelectorsAndLabels();
    void outputVectBoxesShown();
    void systemFixedSteps();
    void liveHidesTextLine();
    void actsOnTheActiveFormOnly();
};

void TestControlProfile::linkPanelDeviceHiddenLogoShown_data() {
    QTest::addColumn<int>("form");
    for (int n = 1; n <= 8; ++n)
        QTest::addRow("form %d", n) << n;
}

// Whatever form is active, its select-device label and device combo are never
// seen, and its logo is.
void TestControlProfile::linkPanelDeviceHiddenLogoShown() {
    QFETCH(int, form);
    TestHost host;
    auto view = MakeForm(form, &host);
    host.active = view.get();
    const LinkPanelIds* ids = LinkPanelOf(form);
    QVERIFY(Shown(view.get(), ids->deviceLabel));
    QVERIFY(Shown(view.get(), ids->device));
    QVERIFY(!Shown(view.get(), IDC_LOGO));
    ApplyControlProfile(&host);
    QVERIFY(!Shown(view.get(), ids->deviceLabel));
    QVERIFY(!Shown(view.get(), ids->device));
    QVERIFY(Shown(view.get(), IDC_LOGO));
    QVERIFY(Shown(view.get(), ids->send));
}

void TestControlProfile::analogShowsAin1To4And9To12() {
    TestHost host;
    CAnalogView view(&host);
    host.active = &view;
    // Per row: MEASURE, SENSOR (AIN1-8 also VECT, OUTPUT, POLY; AIN9-20 also
    // POLARITY, RANGE, RATIO).
    const std::set<int> shown{1070, 1073, 1074, 1077, 1078, 1081, 1082, 1085, 1102, 1062,
                              1104, 1106, 1113, 1127, 1069, 1134, 1141, 1148, 1162, 1111,
                              1169, 1175, 1176, 1178, 1118, 1179, 1180, 1181};
    const std::set<int> hidden{1086, 1089, 1087, 1088, 1063, 1090, 1093, 1091, 1092, 1064, 1094,
                               1097, 1095, 1096, 1065, 1098, 1101, 1099, 1100, 1066, 1183, 1125,
                               1184, 1185, 1186, 1187, 1112, 1215, 1174, 1216, 1217, 1218, 1219,
                               1122, 1209, 1214, 1210, 1211, 1212, 1213, 1121,
                               // row labels AIN5-8, AIN13-20 and the "2500mV" labels of AIN5-8
                               1556, 1557, 1558, 1559, 1560, 1567, 1576, 1579};
    for (int id : shown)
        AddControls(&view, {id});
    for (int id : hidden)
        AddControls(&view, {id});
    for (int id : shown)
        view.GetDlgItem(id)->setVisible(false);
    view.OnUpdate(); // the analog form's update applies the profile
    for (int id : shown)
        QVERIFY2(Shown(&view, id), qPrintable(QString::number(id)));
    for (int id : hidden)
        QVERIFY2(!Shown(&view, id), qPrintable(QString::number(id)));
}

void TestControlProfile::digitalShowsDin1To4() {
    TestHost host;
    CDigitalView view(&host);
    host.active = &view;
    const std::set<int> shown{1220, 1256, 1225, 1226, 1258, 1231,
                              1012, 1259, 1235, 1236, 1022, 1021};
    const std::set<int> hidden{1239, 1260, 1244, 1243, 1062, 1253, 1263,
                               1257, 1066, 1065, 1568, 1569, 1570, 1571};
    for (int id : shown)
        AddControls(&view, {id});
    for (int id : hidden)
        AddControls(&view, {id});
    view.OnUpdate();
    for (int id : shown)
        QVERIFY2(Shown(&view, id), qPrintable(QString::number(id)));
    for (int id : hidden)
        QVERIFY2(!Shown(&view, id), qPrintable(QString::number(id)));
}

void TestControlProfile::internalSelectorsAndLabels() {
    TestHost host;
    CInternalView view(&host);
    host.active = &view;
    // IIN12 both, IIN13 and IIN14 first only, IIN15 both, IIN16 first only.
    const std::set<int> on{1115, 1116, 1122, 1129, 1124, 1125, 1131};
    const std::set<int> off{1052, 1059, 1066, 1108, 1123, 1130, 1132,
                            1133, 1134, 1135, 1136, 1137, 1138};
    for (int id : on)
        AddControls(&view, {id});
    for (int id : off)
        AddControls(&view, {id});
    AddControls(&view,
                {1583, 1585, 1586, 1587, 1588, 1589, 1590, 1395, 1396, 1397, 1078, 1079, 1080});
    for (int id : on)
        view.GetDlgItem(id)->setEnabled(false);
    view.OnUpdate();
    for (int id : on)
        QVERIFY2(Shown(&view, id) && Enabled(&view, id), qPrintable(QString::number(id)));
    for (int id : off)
        QVERIFY2(!Shown(&view, id) && !Enabled(&view, id), qPrintable(QString::number(id)));
    QCOMPARE(view.Item<QLabel>(1583)->text(), QStringLiteral("SENOK"));
    for (int id : {1585, 1586, 1587, 1588, 1589, 1590, 1395, 1396, 1397, 1078, 1079, 1080})
        QVERIFY2(!Shown(&view, id), qPrintable(QString::number(id)));
    QVERIFY(!Shown(&view, 1110)); // the internal form's device combo
}

void TestControlProfile::outputVectBoxesShown() {
    TestHost host;
    COutputView view(&host);
    host.active = &view;
    const int vect[] = {1431, 1435, 1439, 1443, 1447, 1451, 1455, 1459, 1463, 1467, 1470,
                        1473, 1476, 1479, 1482, 1484, 1485, 1486, 1487, 1488, 1072, 1489,
                        1490, 1491, 1492, 1493, 1494, 1495, 1496, 1497, 1498, 1499};
    for (int id : vect) {
        AddControls(&view, {id});
        view.GetDlgItem(id)->setVisible(false);
        view.GetDlgItem(id)->setEnabled(false);
    }
    // The output form's update does not apply the profile; an update of a form
    // that does, while the output form is active, applies it to the output form.
    CAnalogView other(&host);
    other.OnUpdate();
    for (int id : vect)
        QVERIFY2(Shown(&view, id) && Enabled(&view, id), qPrintable(QString::number(id)));
}

void TestControlProfile::systemFixedSteps() {
    TestHost host;
    CSystemView view(&host);
    host.active = &view;
    AddControls(&view, {1075, 1535, 1543, 1584});
    view.GetDlgItem(1075)->setVisible(false);
    view.GetDlgItem(1075)->setEnabled(false);
    view.GetDlgItem(1535)->setVisible(false);
    view.OnUpdate();
    QVERIFY(Shown(&view, 1075) && Enabled(&view, 1075));
    QVERIFY(Shown(&view, 1535) && !Enabled(&view, 1535));
    QVERIFY(!Shown(&view, 1543));
    QVERIFY(!Shown(&view, 1584));
}

void TestControlProfile::liveHidesTextLine() {
    TestHost host;
    CLiveView live(&host);
    host.active = &live;
    QVERIFY(Shown(&live, 1549));
    ApplyControlProfile(&host);
    QVERIFY(!Shown(&live, 1549));
    QVERIFY(Shown(&live, IDC_LOGO));
    QVERIFY(!Enabled(&live, 1551)); // Measure is never enabled
}

void TestControlProfile::actsOnTheActiveFormOnly() {
    TestHost host;
    CAnalogView analog(&host);
    CSerialView serial(&host);
    host.active = &serial;
    analog.OnUpdate();
    QVERIFY(!Shown(&analog, IDC_LOGO));
    QVERIFY(Shown(&analog, 1595));
    QVERIFY(Shown(&serial, IDC_LOGO));
    QVERIFY(!Shown(&serial, 1597));
    host.active = nullptr; // no active form: nothing happens
    ApplyControlProfile(&host);
}

QTEST_MAIN(TestControlProfile)
#include "tst_controlprofile.moc"
