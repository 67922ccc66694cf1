// The system and modem forms: their bindings, the numeric fields and what a
// failed store keeps, and "Set Default Config".
#include "fieldformhost.h"
#include "modemview.h"
#include "systemview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <vector>

using namespace corvina;
using namespace corvina::testing;

namespace {

using TextField = std::function<QString&(LoggerConfig&)>;
using FlagField = std::function<Flag&(LoggerConfig&)>;

struct TextBinding {
    int id;
    TextField field;
};
struct FlagBinding {
    int id;
    FlagField field;
};

#define TEXT(id, member)                                                                           \
    TextBinding {                                                                                  \
        id, [](LoggerConfig& c) -> QString& { return c.member; }                                   \
    }
#define FLAG(id, member)                                                                           \
    FlagBinding {                                                                                  \
        id, [](LoggerConfig& c) -> Flag& { return c.member; }                                      \
    }

const std::vector<TextBinding> kSystemTexts{
    TEXT(1525, System.SN),           TEXT(1542, System.Version),     TEXT(1526, System.Name),
    TEXT(1532, System.Serial1),      TEXT(1533, System.Serial2),     TEXT(1534, System.DataFormat),
    TEXT(1535, System.RS485Address), TEXT(1536, System.DateDay),     TEXT(1537, System.DateMonth),
    TEXT(1538, System.DateYear),     TEXT(1539, System.TimeHour),    TEXT(1540, System.TimeMinute),
    TEXT(1541, System.TimeSecond),   TEXT(1543, System.DisplaySize), TEXT(1103, Link.PortName),
    TEXT(1105, Link.PortSpeed),      TEXT(1108, Link.DeviceModel),
};
const std::vector<FlagBinding> kSystemFlags{
    FLAG(1074, System.RS485),
    FLAG(1075, System.EWS),
    FLAG(1109, System.SetTime),
    FLAG(1107, Link.SetSystemTime),
};
const std::vector<TextBinding> kModemTexts{
    TEXT(1062, Modem.ModemPIN),
    TEXT(1063, Modem.APN),
    TEXT(1064, Modem.IP),
    TEXT(1065, Modem.EmailFrom),
    TEXT(1070, Modem.EmailTo),
    TEXT(1072, Modem.UserName),
    TEXT(1073, Modem.Password),
    TEXT(1074, Modem.TimeServer),
    TEXT(1109, Modem.ModemMode),
    TEXT(1067, Modem.SmsCenter),
    TEXT(1076, Modem.IPConnect),
    TEXT(1077, Modem.IPConfig),
    TEXT(1068, Modem.UserNameConfig),
    TEXT(1071, Modem.PasswordConfig),
    TEXT(1078, Modem.UserNameApn),
    TEXT(1079, Modem.PasswordApn),
    TEXT(1103, Link.PortName),
    TEXT(1105, Link.PortSpeed),
    TEXT(1108, Link.DeviceModel),
};

QString ControlText(CView& view, int id) {
    if (auto* e = view.Item<QLineEdit>(id))
        return e->text();
    if (auto* c = view.Item<QComboBox>(id))
        return c->currentText();
    return QStringLiteral("<no control %1>").arg(id);
}

void SetControlText(CView& view, int id, const QString& text) {
    if (auto* e = view.Item<QLineEdit>(id))
        e->setText(text);
    else if (auto* c = view.Item<QComboBox>(id))
        c->setEditText(text);
}

// Every text and flag binding moves its own field both ways.
void CheckTextsAndFlags(CView& view, LoggerConfig& cfg, const std::vector<TextBinding>& texts,
                        const std::vector<FlagBinding>& flags) {
    for (const auto& b : texts)
        b.field(cfg) = QStringLiteral("model %1").arg(b.id);
    for (size_t i = 0; i < flags.size(); ++i)
        flags[i].field(cfg) = int(i % 2);
    view.UpdateData(false);
    for (const auto& b : texts)
        QCOMPARE(ControlText(view, b.id), QStringLiteral("model %1").arg(b.id));
    for (size_t i = 0; i < flags.size(); ++i)
        QVERIFY2(view.Item<QCheckBox>(flags[i].id)->isChecked() == (i % 2 == 1),
                 qPrintable(QString::number(flags[i].id)));

    for (const auto& b : texts)
        SetControlText(view, b.id, QStringLiteral(" typed %1 ").arg(b.id));
    for (size_t i = 0; i < flags.size(); ++i)
        view.Item<QCheckBox>(flags[i].id)->setChecked(i % 2 == 0);
    QVERIFY(view.UpdateData(true));
    for (const auto& b : texts) // taken as typed, blanks and all
        QCOMPARE(b.field(cfg), QStringLiteral(" typed %1 ").arg(b.id));
    for (size_t i = 0; i < flags.size(); ++i)
        QVERIFY2(flags[i].field(cfg) == (i % 2 == 0 ? 1 : 0),
                 qPrintable(QString::number(flags[i].id)));
}

// The numeric fields of a form in exchange order, with a field after them.
struct NumericField {
    int id;
    std::function<QString(const LoggerConfig&)> value;
};

} // namespace

class TestSystemModem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void systemTextsAndFlags();
    void systemNumbers_data();
    void systemNumbers();
    void vrefIsShownAndStoredRounded();
    void systemUpdateReloadsTheForm();
    void setDefaultConfigStoresThenStartsTheTask();
    void modemTextsAndFlags();
    void modemNumbers_data();
    void modemNumbers();
    void modemMinuteIsShownOnly();
    void modemHasNoUpdateOfItsOwn();
};

void TestSystemModem::systemTextsAndFlags() {
    FieldFormHost host;
    CSystemView view(&host);
    CheckTextsAndFlags(view, host.cfg, kSystemTexts, kSystemFlags);
    // Shown only, but still exchanged.
    for (int id : {1525, 1542, 1531, 1074, 1076, 1077, 1075})
        QVERIFY2(!view.GetDlgItem(id)->isEnabled(), qPrintable(QString::number(id)));
}

namespace {
// System fields in exchange order: Vref, MeasInterval, MeasDelay, LogInterval,
// RepInterval, then the first text, Name.
const std::vector<NumericField> kSystemNumbers{
    {1531, [](const LoggerConfig& c) { return QString::number(c.System.Vref); }},
    {1527, [](const LoggerConfig& c) { return QString::number(c.System.MeasInterval); }},
    {1528, [](const LoggerConfig& c) { return QString::number(c.System.MeasDelay); }},
    {1529, [](const LoggerConfig& c) { return QString::number(c.System.LogInterval); }},
    {1530, [](const LoggerConfig& c) { return QString::number(c.System.RepInterval); }},
    {1526, [](const LoggerConfig& c) { return c.System.Name; }},
};
const QStringList kSystemNew{"2400", "11", "12", "13", "14", "new"};
} // namespace

void TestSystemModem::systemNumbers_data() {
    QTest::addColumn<int>("field"); // index into kSystemNumbers
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // "" when the store succeeds
    QTest::addColumn<QString>("stored");  // the field's value after a good store
    const QString byte = QStringLiteral("Enter an integer between 0 and 255.");
    const QString integer = QStringLiteral("Enter an integer.");
    QTest::addRow("MeasDelay 255") << 2 << "255"
                                   << ""
                                   << "255";
    QTest::addRow("MeasDelay 0") << 2 << "0"
                                 << ""
                                 << "0";
    QTest::addRow("MeasDelay 256") << 2 << "256" << byte << "";
    QTest::addRow("MeasDelay empty") << 2 << "" << byte << "";
    QTest::addRow("MeasDelay letter first") << 2 << "x5" << byte << "";
    QTest::addRow("MeasDelay negative") << 2 << "-1" << byte << "";
    QTest::addRow("MeasDelay 2^32") << 2 << "4294967296" << byte << "";
    QTest::addRow("MeasInterval with unit") << 1 << "60 sec"
                                            << ""
                                            << "60";
    QTest::addRow("MeasInterval blanks first") << 1 << "  \t7"
                                               << ""
                                               << "7";
    QTest::addRow("MeasInterval word") << 1 << "sec" << integer << "";
    QTest::addRow("MeasInterval beyond 32 bits") << 1 << "2147483648" << integer << "";
    QTest::addRow("LogInterval negative") << 3 << "-5"
                                          << ""
                                          << "-5";
    QTest::addRow("RepInterval empty") << 4 << "" << integer << "";
    QTest::addRow("Vref word") << 0 << "mV"
                               << "Enter a number."
                               << "";
    QTest::addRow("Vref with exponent") << 0 << "2.5e3x"
                                        << ""
                                        << "2500";
}

// A failing field stops the store: the fields before it hold their new
// values, it and the ones after keep the model's.
void TestSystemModem::systemNumbers() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    MessageRecorder rec;
    FieldFormHost host;
    CSystemView view(&host);
    view.UpdateData(false);
    const LoggerConfig old = host.cfg;
    for (size_t i = 0; i < kSystemNumbers.size(); ++i)
        SetControlText(view, kSystemNumbers[i].id, kSystemNew[qsizetype(i)]);
    SetControlText(view, kSystemNumbers[size_t(field)].id, typed);

    QCOMPARE(view.UpdateData(true), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(rec.messages.empty());
        QCOMPARE(kSystemNumbers[size_t(field)].value(host.cfg), stored);
        return;
    }
    QCOMPARE(rec.messages.size(), size_t(1));
    QCOMPARE(rec.messages[0].text, message);
    QCOMPARE(rec.messages[0].caption, QStringLiteral("CorvinaSetup"));
    QCOMPARE(rec.messages[0].icon, MessageIcon::Warning);
    for (size_t i = 0; i < kSystemNumbers.size(); ++i) {
        const QString want =
            int(i) < field ? kSystemNew[qsizetype(i)] : kSystemNumbers[i].value(old);
        QCOMPARE(kSystemNumbers[i].value(host.cfg), want);
    }
}

void TestSystemModem::vrefIsShownAndStoredRounded() {
    FieldFormHost host;
    host.cfg.System.Vref = 2499.8765f;
    CSystemView view(&host);
    view.UpdateData(false);
    QCOMPARE(ControlText(view, 1531), QStringLiteral("2499.88"));
    view.UpdateData(true);
    QCOMPARE(host.cfg.System.Vref, 2499.88f);
}

// The update loads the form, visible or not, and applies the profile to the
// active form.
void TestSystemModem::systemUpdateReloadsTheForm() {
    FieldFormHost host;
    CSystemView view(&host);
    host.active = &view;
    view.OnInitialUpdate();
    SetControlText(view, 1526, QStringLiteral("unsaved"));
    host.cfg.System.MeasInterval = 600;
    view.OnUpdate();
    QCOMPARE(ControlText(view, 1526), QString());
    QCOMPARE(ControlText(view, 1527), QStringLiteral("600"));
    QVERIFY(view.GetDlgItem(1075)->isEnabled());  // EWS: the user may change it
    QVERIFY(!view.GetDlgItem(1535)->isEnabled()); // RS485Address: not
    QVERIFY(view.GetDlgItem(1543)->isHidden());   // DisplaySize
    QVERIFY(view.GetDlgItem(1584)->isHidden());   // and its caption
}

void TestSystemModem::setDefaultConfigStoresThenStartsTheTask() {
    MessageRecorder rec;
    FieldFormHost host;
    CSystemView view(&host);
    view.OnInitialUpdate();
    SetControlText(view, 1527, QStringLiteral("30"));
    SetControlText(view, 1528, QStringLiteral("999"));
    SetControlText(view, 1526, QStringLiteral("lost"));
    auto* button = view.Item<QPushButton>(1582);
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Set Default Config"));
    button->click();
    QCOMPARE(host.defaults, 1);
    QCOMPARE(host.sends + host.retrieves, 0);
    QCOMPARE(host.cfg.System.MeasInterval, 30);
    QCOMPARE(host.cfg.System.Name, QString());
    QCOMPARE(rec.messages.size(), size_t(1));
}

void TestSystemModem::modemTextsAndFlags() {
    FieldFormHost host;
    CModemView view(&host);
    CheckTextsAndFlags(view, host.cfg, kModemTexts, {FLAG(1107, Link.SetSystemTime)});
    QStringList modes;
    for (int i = 0; i < view.Item<QComboBox>(1109)->count(); ++i)
        modes << view.Item<QComboBox>(1109)->itemText(i);
    QCOMPARE(modes, (QStringList{"EMAIL", "FTP"}));
}

namespace {
// Modem fields in exchange order, then the first text, ModemPIN.
const std::vector<NumericField> kModemNumbers{
    {1058, [](const LoggerConfig& c) { return QString::number(c.Modem.ModemInterval); }},
    {1060, [](const LoggerConfig& c) { return QString::number(c.Modem.ModemOnTimeHour); }},
    {1069, [](const LoggerConfig& c) { return QString::number(c.Modem.ModemOnTimeMinute); }},
    {1061, [](const LoggerConfig& c) { return QString::number(c.Modem.ModemOnDuration); }},
    {1075, [](const LoggerConfig& c) { return QString::number(c.Modem.TimeZone); }},
    {1062, [](const LoggerConfig& c) { return c.Modem.ModemPIN; }},
};
const QStringList kModemNew{"1.5", "6", "30", "10", "2", "1234"};
} // namespace

void TestSystemModem::modemNumbers_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");
    const QString positive = QStringLiteral("Enter a positive integer.");
    QTest::addRow("TimeZone negative") << 4 << "-1"
                                       << ""
                                       << "-1";
    QTest::addRow("TimeZone word") << 4 << "UTC"
                                   << "Enter an integer."
                                   << "";
    QTest::addRow("ModemOnDuration letter first") << 3 << "a10" << positive << "";
    QTest::addRow("ModemOnDuration empty") << 3 << "" << positive << "";
    QTest::addRow("ModemOnDuration with unit") << 3 << "15 min"
                                               << ""
                                               << "15";
    QTest::addRow("ModemOnDuration largest") << 3 << "4294967295"
                                             << ""
                                             << "4294967295";
    QTest::addRow("ModemOnDuration beyond 32 bits") << 3 << "4294967296" << positive << "";
    QTest::addRow("ModemOnTimeHour negative") << 1 << "-1" << positive << "";
    QTest::addRow("ModemInterval word") << 0 << "hr"
                                        << "Enter a number."
                                        << "";
    QTest::addRow("ModemInterval fraction") << 0 << "0.25"
                                            << ""
                                            << "0.25";
}

void TestSystemModem::modemNumbers() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    MessageRecorder rec;
    FieldFormHost host;
    CModemView view(&host);
    view.UpdateData(false);
    const LoggerConfig old = host.cfg;
    for (size_t i = 0; i < kModemNumbers.size(); ++i)
        SetControlText(view, kModemNumbers[i].id, kModemNew[qsizetype(i)]);
    SetControlText(view, 1109, QStringLiteral("FTP"));
    SetControlText(view, kModemNumbers[size_t(field)].id, typed);

    QCOMPARE(view.UpdateData(true), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(rec.messages.empty());
        QCOMPARE(kModemNumbers[size_t(field)].value(host.cfg), stored);
        QCOMPARE(host.cfg.Modem.ModemMode, QStringLiteral("FTP"));
        return;
    }
    QCOMPARE(rec.messages.size(), size_t(1));
    QCOMPARE(rec.messages[0].text, message);
    for (size_t i = 0; i < kModemNumbers.size(); ++i) {
        const QString want = int(i) < field ? kModemNew[qsizetype(i)] : kModemNumbers[i].value(old);
        QCOMPARE(kModemNumbers[i].value(host.cfg), want);
    }
    QCOMPARE(host.cfg.Modem.ModemMode, QStringLiteral("EMAIL")); // a text after the numbers
}

// The minute cannot be edited, but shows what a retrieve or a file put there.
void TestSystemModem::modemMinuteIsShownOnly() {
    FieldFormHost host;
    host.cfg.Modem.ModemOnTimeMinute = 45;
    CModemView view(&host);
    view.OnInitialUpdate();
    QVERIFY(!view.GetDlgItem(1069)->isEnabled());
    QCOMPARE(ControlText(view, 1069), QStringLiteral("45"));
    QVERIFY(view.UpdateData(true));
    QCOMPARE(host.cfg.Modem.ModemOnTimeMinute, 45u);
}

void TestSystemModem::modemHasNoUpdateOfItsOwn() {
    FieldFormHost host;
    CModemView view(&host);
    view.OnInitialUpdate();
    SetControlText(view, 1063, QStringLiteral("typed.apn"));
    host.cfg.Modem.APN = QStringLiteral("model.apn");
    view.OnUpdate();
    QCOMPARE(ControlText(view, 1063), QStringLiteral("typed.apn"));
}

QTEST_MAIN(TestSystemModem)
#include "tst_systemmodem.moc"
