// The outputs form: its bindings, the INPUT lists, and what choosing an input
// or a polynomial does to the input records and the polynomial rows.
#include "fieldformhost.h"
#include "outputview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace corvina;
using namespace corvina::testing;

namespace {

// Analog sensor "WS" (vector, 0 + 0.1x) and digital sensor "RAIN" (0.2x).
const QByteArray kCatalogue = "WS;analog;bipolar;2500mV;no;yes;0;0.1;0;0;1,2,3\n"
                              "TEMP;analog;unipolar;1250mV;no;no;-40;0.02;0;0;1,2\n"
                              "RAIN;digital;count;0;0.2;0;0;1\n";

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// The driver list as the logger reports it: a driver entry (Kind 1) followed
// by the values it delivers (Kind 0); Id 0 ends the list. Entry 0 is never read.
void SetDrivers(LoggerConfig& cfg, const QList<std::pair<int, QString>>& entries) {
    size_t i = 1;
    for (const auto& [kind, name] : entries)
        cfg.Drivers[i++] = SerialDriver{int32_t(i), kind, name};
    cfg.Drivers[i] = SerialDriver{};
}

int IndexOf(const QComboBox* box, const QString& text) {
    return Items(box).indexOf(text);
}

} // namespace

class TestOutputView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadShowsAndStoreWritesEveryField();
    void badCoefficientStopsBeforeTheOutputs();
    void sendStoresAndStartsDespiteBadCoefficient();
    void inputListFollowsTheModel_data();
    void inputListFollowsTheModel();
    void storedInputIsSelected_data();
    void storedInputIsSelected();
    void updateLoadsNothingElse();
    void choosingAnInputRelinksTheInputs_data();
    void choosingAnInputRelinksTheInputs();
    void sensorInputTakesOverItsPolynomial();
    void sensorPolynomialsFillFreeRowsInOrder();
    void unknownSensorAssignsNothing();
    void choosingAPolynomialFollowsToTheInputs();
    void userSelectionReachesTheHandlers();
};

// Every row and polynomial box is bound to its own field: distinct values per
// row go in by a load and come back by a store.
void TestOutputView::loadShowsAndStoreWritesEveryField() {
    FieldFormHost host;
    COutputView view(&host);
    LoggerConfig& cfg = host.cfg;
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        OutputChannel& o = cfg.Outputs[size_t(k)];
        o.Input = QStringLiteral("I%1").arg(k % 16 + 1);
        o.Min = k % 2;
        o.Max = (k / 2) % 2;
        o.Sdev = (k / 4) % 2;
        o.Vect = (k / 8) % 2;
        o.Poly = QStringLiteral("P%1").arg(k % 16 + 1);
        o.Alias = QStringLiteral("alias%1").arg(k + 1);
    }
    for (int p = 0; p < kPolynomials; ++p)
        cfg.Polys[size_t(p)] = {float(p), p + 0.5f, -p * 2.0f, p * 1e-3f};
    cfg.Link.PortSpeed = QStringLiteral("9600");
    cfg.Link.SetSystemTime = 1;

    QVERIFY(view.UpdateData(false));
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        const OutputRowIds& r = OutputRows()[size_t(k)];
        const OutputChannel& o = cfg.Outputs[size_t(k)];
        QCOMPARE(view.Item<QComboBox>(r.input)->currentText(), o.Input);
        QCOMPARE(view.Item<QCheckBox>(r.min)->isChecked(), o.Min == 1);
        QCOMPARE(view.Item<QCheckBox>(r.max)->isChecked(), o.Max == 1);
        QCOMPARE(view.Item<QCheckBox>(r.sdev)->isChecked(), o.Sdev == 1);
        QCOMPARE(view.Item<QCheckBox>(r.vect)->isChecked(), o.Vect == 1);
        QCOMPARE(view.Item<QComboBox>(r.poly)->currentText(), o.Poly);
        QCOMPARE(view.Item<QLineEdit>(r.alias)->text(), o.Alias);
    }
    QCOMPARE(view.Coefficient(3, 1)->text(), QStringLiteral("3.5"));
    QCOMPARE(view.Coefficient(15, 3)->text(), QStringLiteral("0.015"));
    QCOMPARE(view.Item<QCheckBox>(1111)->isChecked(), true); // this form's set-time check

    const LoggerConfig loaded = cfg;
    cfg = LoggerConfig{};
    QVERIFY(view.UpdateData(true));
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        const OutputChannel& want = loaded.Outputs[size_t(k)];
        const OutputChannel& got = cfg.Outputs[size_t(k)];
        QCOMPARE(got.Input, want.Input);
        QCOMPARE(got.Min, want.Min);
        QCOMPARE(got.Max, want.Max);
        QCOMPARE(got.Sdev, want.Sdev);
        QCOMPARE(got.Vect, want.Vect);
        QCOMPARE(got.Poly, want.Poly);
        QCOMPARE(got.Alias, want.Alias);
    }
    for (int p = 0; p < kPolynomials; ++p) {
        QCOMPARE(cfg.Polys[size_t(p)].A0, loaded.Polys[size_t(p)].A0);
        QCOMPARE(cfg.Polys[size_t(p)].A1, loaded.Polys[size_t(p)].A1);
        QCOMPARE(cfg.Polys[size_t(p)].A2, loaded.Polys[size_t(p)].A2);
        QCOMPARE(cfg.Polys[size_t(p)].A3, loaded.Polys[size_t(p)].A3);
    }
    QCOMPARE(cfg.Link.PortSpeed, QStringLiteral("9600"));
    QCOMPARE(cfg.Link.SetSystemTime, 1);
    QCOMPARE(cfg.Outputs[32].Input, QString()); // entries beyond OUT32 are not on the form
}

// The coefficients come first: one that is no number keeps every output row
// and the link panel at their old values.
void TestOutputView::badCoefficientStopsBeforeTheOutputs() {
    MessageRecorder rec;
    FieldFormHost host;
    COutputView view(&host);
    view.UpdateData(false);
    view.Coefficient(0, 0)->setText(QStringLiteral("7"));
    view.Coefficient(2, 1)->setText(QStringLiteral("abc"));
    view.Coefficient(2, 2)->setText(QStringLiteral("9"));
    view.Item<QLineEdit>(OutputRows()[0].alias)->setText(QStringLiteral("new"));
    view.Item<QComboBox>(IDC_SPEED)->setEditText(QStringLiteral("1200"));

    QVERIFY(!view.UpdateData(true));
    QCOMPARE(rec.messages.size(), size_t(1));
    QCOMPARE(rec.messages[0].text, QStringLiteral("Enter a number."));
    QCOMPARE(rec.messages[0].caption, QStringLiteral("CorvinaSetup"));
    QCOMPARE(host.cfg.Polys[0].A0, 7.0f);
    QCOMPARE(host.cfg.Polys[2].A2, 0.0f);
    QCOMPARE(host.cfg.Outputs[0].Alias, QString());
    QCOMPARE(host.cfg.Link.PortSpeed, QStringLiteral("115200"));
}

void TestOutputView::sendStoresAndStartsDespiteBadCoefficient() {
    MessageRecorder rec;
    FieldFormHost host;
    COutputView view(&host);
    view.OnInitialUpdate();
    view.Coefficient(1, 0)->setText(QStringLiteral("abc"));
    view.OnSend();
    view.OnRetrieve();
    QCOMPARE(host.sends, 1);
    QCOMPARE(host.retrieves, 1);
    QCOMPARE(rec.messages.size(), size_t(2));
}

void TestOutputView::inputListFollowsTheModel_data() {
    QTest::addColumn<int>("setup");
    QTest::addColumn<QStringList>("expected");
    QStringList internal;
    const char* aliases[] = {"V3V",  "VRTC", "VPOWER", "VOUT", "VMAIN", "PA",    "GSM", "RG10M",
                             "RG1H", "RG6H", "RG24H",  "A-B",  "IIN13", "IIN14", "TD",  "SENOK"};
    for (int n = 1; n <= 16; ++n)
        internal << QStringLiteral("I%1_%2").arg(n).arg(QLatin1String(aliases[n - 1]));
    QTest::addRow("new document: internal quantities only") << 0 << QStringList{"0"} + internal;
    QTest::addRow("measured rows in order, sensors after _")
        << 1 << QStringList{"0", "A3_WS", "A10", "D1_RAIN", "D4"} + internal;
    QTest::addRow("rows the analog and digital forms hide are never offered")
        << 2 << QStringList{"0"} + internal;
    QTest::addRow("driver values in list order, per serial input")
        << 3 << QStringList{"0"} + internal + QStringList{"S1_T", "S1_RH", "S1_P", "S3_WD"};
    QTest::addRow("driver NONE, empty or unknown offers nothing")
        << 4 << QStringList{"0"} + internal;
    QTest::addRow("a list ended by Id 0 is not read past its end")
        << 5 << QStringList{"0"} + internal + QStringList{"S1_T"};
}

void TestOutputView::inputListFollowsTheModel() {
    QFETCH(int, setup);
    QFETCH(QStringList, expected);
    FieldFormHost host;
    LoggerConfig& cfg = host.cfg;
    switch (setup) {
    case 1:
        cfg.Analog[2].Measure = 1;
        cfg.Analog[2].Sensor = QStringLiteral("WS");
        cfg.Analog[9].Measure = 1;
        cfg.Digital[0].Measure = 1;
        cfg.Digital[0].Sensor = QStringLiteral("RAIN");
        cfg.Digital[3].Measure = 1;
        break;
    case 2:
        for (int n : {5, 6, 7, 8, 13, 20})
            cfg.Analog[size_t(n - 1)].Measure = 1;
        for (int n : {5, 8})
            cfg.Digital[size_t(n - 1)].Measure = 1;
        cfg.Serial[8].Driver = QStringLiteral("THP"); // SIN9 is not on the form
        SetDrivers(cfg, {{1, "THP"}, {0, "T"}});
        break;
    case 3:
        SetDrivers(cfg, {{1, "THP"}, {0, "T"}, {0, "RH"}, {0, "P"}, {1, "WIND"}, {0, "WD"}});
        cfg.Serial[0].Driver = QStringLiteral("THP");
        cfg.Serial[2].Driver = QStringLiteral("WIND");
        break;
    case 4:
        SetDrivers(cfg, {{1, "THP"}, {0, "T"}, {1, "NONE"}, {0, "X"}});
        cfg.Serial[0].Driver = QStringLiteral("NONE");
        cfg.Serial[1].Driver = QString();
        cfg.Serial[2].Driver = QStringLiteral("thp"); // names compare exactly
        break;
    case 5:
        SetDrivers(cfg, {{1, "THP"}, {0, "T"}});
        // Stale entries of a longer list retrieved earlier lie behind the end.
        cfg.Drivers[4] = SerialDriver{9, 1, QStringLiteral("THP")};
        cfg.Drivers[5] = SerialDriver{9, 0, QStringLiteral("OLD")};
        cfg.Serial[0].Driver = QStringLiteral("THP");
        break;
    }
    QCOMPARE(OutputInputItems(cfg), expected);
    COutputView view(&host);
    view.OnUpdate();
    for (int row : {0, 31})
        QCOMPARE(Items(view.InputCombo(row)), expected);
}

void TestOutputView::storedInputIsSelected_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("selected"); // item selected
    QTest::addColumn<QString>("shown");    // text of the edit part
    QTest::addRow("letter and number find the named item") << "A3"
                                                           << "A3_WS"
                                                           << "A3_WS";
    QTest::addRow("case is ignored") << "d1_rain"
                                     << "D1_RAIN"
                                     << "D1_RAIN";
    QTest::addRow("none") << "0"
                          << "0"
                          << "0";
    QTest::addRow("internal") << "I12"
                              << "I12_A-B"
                              << "I12_A-B";
    QTest::addRow("serial value") << "S1_RH"
                                  << "S1_RH"
                                  << "S1_RH";
    // AIN1 is not measured: A1 is not A10, and the stored text stays shown.
    QTest::addRow("a longer channel number is another channel") << "A1"
                                                                << "0"
                                                                << "A1";
    QTest::addRow("no longer offered: kept") << "S2_X"
                                             << "0"
                                             << "S2_X";
    QTest::addRow("empty: kept") << ""
                                 << "0"
                                 << "";
}

// After the update, the stored Input is selected in the rebuilt list.
void TestOutputView::storedInputIsSelected() {
    QFETCH(QString, stored);
    QFETCH(QString, selected);
    QFETCH(QString, shown);
    FieldFormHost host;
    LoggerConfig& cfg = host.cfg;
    cfg.Analog[2] = {1, 0, 0, "2500", "BIP", "WS", "P1", "O0"};
    cfg.Analog[9].Measure = 1;
    cfg.Digital[0].Measure = 1;
    cfg.Digital[0].Sensor = QStringLiteral("RAIN");
    SetDrivers(cfg, {{1, "THP"}, {0, "T"}, {0, "RH"}});
    cfg.Serial[0].Driver = QStringLiteral("THP");
    cfg.Outputs[6].Input = stored;
    COutputView view(&host);
    view.UpdateData(false);
    view.OnUpdate();
    QComboBox* box = view.InputCombo(6);
    QCOMPARE(box->itemText(box->currentIndex()), selected);
    QCOMPARE(box->currentText(), shown);
    view.UpdateData(true);
    QCOMPARE(cfg.Outputs[6].Input, shown);
}

// The update rebuilds the lists but leaves the user's edits alone.
void TestOutputView::updateLoadsNothingElse() {
    FieldFormHost host;
    COutputView view(&host);
    view.OnInitialUpdate();
    view.Item<QLineEdit>(OutputRows()[3].alias)->setText(QStringLiteral("typed"));
    view.Coefficient(4, 2)->setText(QStringLiteral("2"));
    host.cfg.Outputs[3].Alias = QStringLiteral("model");
    host.cfg.Analog[0].Measure = 1;
    view.OnUpdate();
    QCOMPARE(view.Item<QLineEdit>(OutputRows()[3].alias)->text(), QStringLiteral("typed"));
    QCOMPARE(view.Coefficient(4, 2)->text(), QStringLiteral("2"));
    QCOMPARE(view.InputCombo(3)->itemText(1), QStringLiteral("A1"));
}

void TestOutputView::choosingAnInputRelinksTheInputs_data() {
    QTest::addColumn<QString>("polyChosen"); // selected in OUT2's POLY list first, or ""
    QTest::addColumn<QString>("item");       // then chosen in OUT2's INPUT list
    // After: AIN4, DIN2 and IIN7, which fed OUT2 before, as "Output/Poly"; and
    // the input the item names.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("linked");
    QTest::addRow("0 frees them with P1") << ""
                                          << "0" << QStringList{"O0/P1", "O0/P1", "O0/P1"} << "";
    QTest::addRow("analog frees them with P1")
        << "P5"
        << "A1" << QStringList{"O0/P1", "O0/P1", "O0/P1"} << "A1:O2/P5";
    QTest::addRow("digital frees them with the row's polynomial")
        << "P5"
        << "D1" << QStringList{"O0/P5", "O0/P5", "O0/P5"} << "D1:O2/P5";
    QTest::addRow("no polynomial chosen counts as P1")
        << ""
        << "D1" << QStringList{"O0/P1", "O0/P1", "O0/P1"} << "D1:O2/P1";
    QTest::addRow("internal keeps the internal inputs' polynomial")
        << "P5"
        << "I3_VPOWER" << QStringList{"O0/P5", "O0/P5", "O0/P9"} << "I3:O2/P5";
    QTest::addRow("serial value changes no input")
        << "P5"
        << "S1_T" << QStringList{"O2/P7", "O2/P7", "O2/P9"} << "";
}

void TestOutputView::choosingAnInputRelinksTheInputs() {
    QFETCH(QString, polyChosen);
    QFETCH(QString, item);
    QFETCH(QStringList, before);
    QFETCH(QString, linked);
    FieldFormHost host;
    LoggerConfig& cfg = host.cfg;
    cfg.Analog[0].Measure = 1;
    cfg.Digital[0].Measure = 1;
    cfg.Analog[3] = {1, 0, 0, "2500", "BIP", "", "P7", "O2"};
    cfg.Digital[1].Output = QStringLiteral("O2");
    cfg.Digital[1].Poly = QStringLiteral("P7");
    cfg.Internal[6].Output = QStringLiteral("O2");
    cfg.Internal[6].Poly = QStringLiteral("P9");
    cfg.Analog[5].Output = QStringLiteral("O3"); // feeds another output: untouched
    SetDrivers(cfg, {{1, "THP"}, {0, "T"}});
    cfg.Serial[0].Driver = QStringLiteral("THP");
    COutputView view(&host);
    view.OnInitialUpdate();

    // Selected as a sensor assignment selects it, so that the inputs still
    // carry their own polynomials.
    if (!polyChosen.isEmpty())
        view.PolyCombo(1)->setCurrentIndex(IndexOf(view.PolyCombo(1), polyChosen));
    const int i = IndexOf(view.InputCombo(1), item);
    QVERIFY2(i >= 0, qPrintable(Items(view.InputCombo(1)).join(u',')));
    view.InputCombo(1)->setCurrentIndex(i);
    view.OnInputChosen(1, i);

    auto link = [](const auto& in) { return in.Output + u'/' + in.Poly; };
    QCOMPARE(link(cfg.Analog[3]), before[0]);
    QCOMPARE(link(cfg.Digital[1]), before[1]);
    QCOMPARE(link(cfg.Internal[6]), before[2]);
    QCOMPARE(link(cfg.Analog[5]), QStringLiteral("O3/P1"));
    if (!linked.isEmpty()) {
        const int n = linked.mid(1, linked.indexOf(u':') - 1).toInt();
        const QString want = linked.mid(linked.indexOf(u':') + 1);
        switch (linked[0].toLatin1()) {
        case 'A':
            QCOMPARE(link(cfg.Analog[size_t(n - 1)]), want);
            break;
        case 'D':
            QCOMPARE(link(cfg.Digital[size_t(n - 1)]), want);
            break;
        case 'I':
            QCOMPARE(link(cfg.Internal[size_t(n - 1)]), want);
            break;
        }
    }
    // Choosing an input never touches the output record itself.
    QCOMPARE(cfg.Outputs[1].Input, QStringLiteral("0"));
}

// A sensor input copies the sensor's polynomial into the first free row and
// selects it; the input keeps the polynomial the row had until one is chosen.
void TestOutputView::sensorInputTakesOverItsPolynomial() {
    FieldFormHost host;
    host.LoadCatalogue(kCatalogue);
    host.cfg.Analog[0].Measure = 1;
    host.cfg.Analog[0].Sensor = QStringLiteral("WS");
    COutputView view(&host);
    view.OnInitialUpdate();
    QVERIFY(!view.LastAssignedPoly());

    const int i = IndexOf(view.InputCombo(0), QStringLiteral("A1_WS"));
    view.InputCombo(0)->setCurrentIndex(i);
    view.OnInputChosen(0, i);
    QCOMPARE(host.cfg.Analog[0].Output, QStringLiteral("O1"));
    QCOMPARE(host.cfg.Analog[0].Poly, QStringLiteral("P1"));
    const QStringList p2{"0", "0.1", "0", "0"};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(view.Coefficient(1, c)->text(), p2[c]);
    QCOMPARE(view.LastAssignedPoly(), std::optional<int>(1));
    QCOMPARE(view.PolyCombo(0)->currentText(), QStringLiteral("P2"));
    QVERIFY(view.VectCheck(0)->isChecked());

    view.OnPolyChosen(0, 1);
    QCOMPARE(host.cfg.Analog[0].Poly, QStringLiteral("P2"));
    QVERIFY(view.UpdateData(true));
    QCOMPARE(host.cfg.Outputs[0].Poly, QStringLiteral("P2"));
    QCOMPARE(host.cfg.Outputs[0].Vect, 1);
    QCOMPARE(host.cfg.Polys[1].A1, 0.1f);
}

// A row is free while its four boxes read "0": P2, P3 ... in turn; a row the
// user emptied is not free; with none free the coefficients stay and the
// row filled last is selected.
void TestOutputView::sensorPolynomialsFillFreeRowsInOrder() {
    FieldFormHost host;
    host.LoadCatalogue(kCatalogue);
    host.cfg.Analog[0] = {1, 0, 0, "2500", "BIP", "TEMP", "P1", "O0"};
    host.cfg.Digital[0] = {1, "COUNT", "RAIN", "P1", "O0"};
    COutputView view(&host);
    view.OnInitialUpdate();
    view.Coefficient(2, 3)->setText(QString()); // P3 emptied by the user

    auto choose = [&](int row, const QString& item) {
        const int i = IndexOf(view.InputCombo(row), item);
        QVERIFY(i >= 0);
        view.InputCombo(row)->setCurrentIndex(i);
        view.OnInputChosen(row, i);
    };
    choose(0, QStringLiteral("A1_TEMP"));
    QCOMPARE(view.PolyCombo(0)->currentText(), QStringLiteral("P2"));
    QCOMPARE(view.Coefficient(1, 0)->text(), QStringLiteral("-40"));
    QVERIFY(!view.VectCheck(0)->isChecked());
    choose(1, QStringLiteral("D1_RAIN"));
    QCOMPARE(view.PolyCombo(1)->currentText(), QStringLiteral("P4"));
    QCOMPARE(view.Coefficient(3, 1)->text(), QStringLiteral("0.2"));

    for (int p = 4; p < kPolynomials; ++p)
        view.Coefficient(p, 0)->setText(QStringLiteral("1"));
    choose(2, QStringLiteral("A1_TEMP"));
    QCOMPARE(view.PolyCombo(2)->currentText(), QStringLiteral("P4"));
    QCOMPARE(view.Coefficient(3, 0)->text(), QStringLiteral("0"));
    QCOMPARE(view.Coefficient(3, 1)->text(), QStringLiteral("0.2"));
    QCOMPARE(view.Coefficient(2, 3)->text(), QString());
}

// A sensor name that is not in the catalogue links the input but assigns no
// polynomial and leaves POLY and VECT alone.
void TestOutputView::unknownSensorAssignsNothing() {
    FieldFormHost host;
    host.LoadCatalogue(kCatalogue);
    host.cfg.Analog[1] = {1, 0, 0, "2500", "BIP", "GONE", "P1", "O0"};
    COutputView view(&host);
    view.OnInitialUpdate();
    view.VectCheck(4)->setChecked(true);
    const int i = IndexOf(view.InputCombo(4), QStringLiteral("A2_GONE"));
    view.InputCombo(4)->setCurrentIndex(i);
    view.OnInputChosen(4, i);
    QCOMPARE(host.cfg.Analog[1].Output, QStringLiteral("O5"));
    QVERIFY(!view.LastAssignedPoly());
    QCOMPARE(view.PolyCombo(4)->currentText(), QStringLiteral("P1"));
    QVERIFY(view.VectCheck(4)->isChecked());
    QCOMPARE(view.Coefficient(1, 1)->text(), QStringLiteral("0"));
}

void TestOutputView::choosingAPolynomialFollowsToTheInputs() {
    FieldFormHost host;
    LoggerConfig& cfg = host.cfg;
    cfg.Analog[19].Output = QStringLiteral("O32");
    cfg.Digital[7].Output = QStringLiteral("O32");
    cfg.Internal[31].Output = QStringLiteral("O32");
    cfg.Internal[0].Output = QStringLiteral("O3");
    COutputView view(&host);
    view.OnInitialUpdate();
    view.OnPolyChosen(31, 15);
    QCOMPARE(cfg.Analog[19].Poly, QStringLiteral("P16"));
    QCOMPARE(cfg.Digital[7].Poly, QStringLiteral("P16"));
    QCOMPARE(cfg.Internal[31].Poly, QStringLiteral("P16"));
    QCOMPARE(cfg.Internal[0].Poly, QStringLiteral("P1"));
    QCOMPARE(cfg.Outputs[31].Poly, QStringLiteral("P1")); // follows at the next store
}

// The handlers answer the user's choice in the lists, not the form's own
// changes to them.
void TestOutputView::userSelectionReachesTheHandlers() {
    FieldFormHost host;
    host.cfg.Internal[4].Output = QStringLiteral("O1");
    COutputView view(&host);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.OnInitialUpdate();
    QCOMPARE(host.cfg.Internal[4].Output, QStringLiteral("O1"));

    view.PolyCombo(0)->setCurrentIndex(3);
    QCOMPARE(host.cfg.Internal[4].Poly, QStringLiteral("P1"));
    view.PolyCombo(0)->setFocus();
    QTest::keyClick(view.PolyCombo(0), Qt::Key_Down);
    QCOMPARE(host.cfg.Internal[4].Poly, QStringLiteral("P5"));

    view.InputCombo(0)->setFocus();
    view.InputCombo(0)->setCurrentIndex(0);
    QTest::keyClick(view.InputCombo(0), Qt::Key_Down); // "I1_V3V"
    QCOMPARE(host.cfg.Internal[4].Output, QStringLiteral("O0"));
    QCOMPARE(host.cfg.Internal[0].Output, QStringLiteral("O1"));
    QCOMPARE(host.cfg.Internal[0].Poly, QStringLiteral("P5"));
}

QTEST_MAIN(TestOutputView)
#include "tst_outputview.moc"
