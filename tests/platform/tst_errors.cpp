#include <QTest>

#include "platform/errors.h"

using namespace vt;

class TestErrors : public QObject {
    Q_OBJECT
private slots:
    void init() { Err.Clear(); setErrorReporter({}); }

    void trapSetsPendingError()
    {
        QVERIFY(!trapErrors([] { raise(13); }));
        QCOMPARE(Err.Number, 13);
        QCOMPARE(Err.Description, QStringLiteral("Type mismatch"));
        Err.Clear();
        QVERIFY(trapErrors([] {}));
        QCOMPARE(Err.Number, 0);
    }

    void resumeNextRunsEveryStep()
    {
        int ran = 0;
        ResumeNext rn;
        rn([&] { ++ran; raise(5); });
        rn([&] { ++ran; });
        rn([&] { ++ran; throw std::runtime_error("x"); });
        QCOMPARE(ran, 3);
        QCOMPARE(rn.failures(), 2);
    }

    void guardedReportsAndSwallows()
    {
        QString where;
        int number = 0;
        setErrorReporter([&](const QString &loc) { where = loc; number = Err.Number; });
        QVERIFY(!guarded(QStringLiteral("frmX/cmd_Click"), [] { raise(53); }));
        QCOMPARE(where, QStringLiteral("frmX/cmd_Click"));
        QCOMPARE(number, 53);
        // A reporter that throws itself must not escape either.
        setErrorReporter([](const QString &) { throw RtError(6); });
        QVERIFY(!guarded(QStringLiteral("x"), [] { raise(9); }));
    }
};

QTEST_GUILESS_MAIN(TestErrors)
#include "tst_errors.moc"
