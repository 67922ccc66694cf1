// The forms' number boxes under a desktop locale with a decimal comma: they
// show and read numbers with a point, as the file and the logger write them,
// so a value goes through a form unchanged.
#include "fieldformhost.h"
#include "modemview.h"
#include "outputview.h"
#include "scopednumericlocale.h"

#include <QLineEdit>
#include <QTest>

using namespace corvina;
using namespace corvina::testing;

class TestFormLocale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void coefficientsGoThroughTheOutputsForm();
    void modemIntervalGoesThroughTheModemForm();

private:
    corvina::test::ScopedNumericLocale m_locale;
};

void TestFormLocale::initTestCase() {
    QVERIFY2(m_locale.ok(), corvina::test::kCommaLocaleMissing);
}

void TestFormLocale::coefficientsGoThroughTheOutputsForm() {
    MessageRecorder rec;
    FieldFormHost host;
    COutputView view(&host);
    host.cfg.Polys[0] = {1.5f, -0.25f, 1e-5f, 1234.5f};
    QVERIFY(view.UpdateData(false));
    QCOMPARE(view.Coefficient(0, 0)->text(), QStringLiteral("1.5"));
    QCOMPARE(view.Coefficient(0, 1)->text(), QStringLiteral("-0.25"));
    QCOMPARE(view.Coefficient(0, 2)->text(), QStringLiteral("1e-05"));
    QCOMPARE(view.Coefficient(0, 3)->text(), QStringLiteral("1234.5"));
    view.Coefficient(1, 0)->setText(QStringLiteral("2.75"));

    QVERIFY(view.UpdateData(true));
    QVERIFY(rec.messages.empty());
    QCOMPARE(host.cfg.Polys[0].A0, 1.5f);
    QCOMPARE(host.cfg.Polys[0].A1, -0.25f);
    QCOMPARE(host.cfg.Polys[0].A2, 1e-5f);
    QCOMPARE(host.cfg.Polys[0].A3, 1234.5f);
    QCOMPARE(host.cfg.Polys[1].A0, 2.75f);
}

void TestFormLocale::modemIntervalGoesThroughTheModemForm() {
    MessageRecorder rec;
    FieldFormHost host;
    CModemView view(&host);
    host.cfg.Modem.ModemInterval = 1.5f;
    QVERIFY(view.UpdateData(false));
    auto* box = view.Item<QLineEdit>(1058);
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("1.5"));
    box->setText(QStringLiteral("0.25"));
    QVERIFY(view.UpdateData(true));
    QVERIFY(rec.messages.empty());
    QCOMPARE(host.cfg.Modem.ModemInterval, 0.25f);
}

QTEST_MAIN(TestFormLocale)
#include "tst_formlocale.moc"
