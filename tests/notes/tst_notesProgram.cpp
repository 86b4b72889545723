// The real program with a broken notes file: the format question at start-up,
// No ends the program with its instance record written as ended.
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <random>

#include "common/vtprocess.h"
#include "platform/progfolder.h"
#include "platform/settings.h"

using namespace vttest;

class TestNotesProgram : public QObject {
    Q_OBJECT
private slots:
    void brokenNotesFileAnsweredNo()
    {
        {
            QFile f(vt::programFolder() + QStringLiteral("/vantnots.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<_20.0.0.0_>\r\n<:Start-up note:>\r\nWelcome\r\n<_20.0.0.1_>\r\nno reference line\r\n");
        }
        for (const char *key : {"AutoDetect", "AutoConnect"})
            vt::SaveSetting(QStringLiteral("Vantrell0"), QStringLiteral("frmComSet"), QString::fromLatin1(key),
                            QStringLiteral("False"));
        VtProcess copy;
        copy.setAnswers({QStringLiteral("Format Error\tNo")});
        copy.start();
        QVERIFY(!copy.waitStarted(10000));
        QVERIFY(copy.waitFinished());
        QCOMPARE(copy.exitCode(), 0);
        const QList<Asked> asked = copy.asked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, QStringLiteral("Format Error on Line Number (5)  \r\n"
                                               "Invalid Reference Line - format example: <:your refence text:>\r\n"
                                               "Input Was: ''no reference line''\r\n"
                                               "Number of valid sections added: (1)\r\n"
                                               "Number of lines that could not be read: (1)\r\n"
                                               "Continue Anyway..?"));
        QCOMPARE(asked[0].answer, QStringLiteral("No"));
        QCOMPARE(record(0, QStringLiteral("AppRun")), QString());
        QCOMPARE(record(0, QStringLiteral("AppEnd")), QStringLiteral("Vantrell0"));
    }

    // Yes skips the broken section and goes on: the program starts and shows
    // its start-up note, which was read.
    void brokenNotesFileAnsweredYes()
    {
        {
            QFile f(vt::programFolder() + QStringLiteral("/vantnots.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("<_19.0.0.0_>\r\n<::>\r\n<_>\r\n<_20.0.0.0_>\r\n<:Start-up note:>\r\nWelcome\r\n");
        }
        VtProcess copy;
        copy.setAnswers({QStringLiteral("Format Error\tYes")});
        copy.start({QStringLiteral("N=1")});
        QVERIFY(copy.waitStarted(10000));
        copy.terminate();
        QVERIFY(copy.waitFinished());
        bool sawNote = false;
        for (const Asked &a : copy.asked())
            sawNote = sawNote || (a.kind == QStringLiteral("dialog") && a.text == QStringLiteral("rUvuzu (20.0.0.0) Start-up note"));
        QVERIFY(sawNote);
    }

    // 64 KB of random bytes as the notes file: one question for the whole
    // file, naming how many lines could not be read; Yes starts the program.
    void damagedNotesFileAsksOnce()
    {
        QByteArray junk(64 * 1024, Qt::Uninitialized);
        std::mt19937 gen(20261211);
        for (char &c : junk)
            c = char(gen() & 0xFF);
        int longLines = 0; // lines over 500 characters are each a format error
        for (const QByteArray &line : junk.split('\n'))
            longLines += line.size() - (line.endsWith('\r') ? 1 : 0) > 500 ? 1 : 0;
        QVERIFY(longLines > 1);
        {
            QFile f(vt::programFolder() + QStringLiteral("/vantnots.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(junk);
        }
        VtProcess copy;
        copy.setAnswers({QStringLiteral("Format Error\tYes")});
        copy.start({QStringLiteral("N=2")});
        QVERIFY(copy.waitStarted());
        copy.terminate();
        QVERIFY(copy.waitFinished());
        QStringList formatQuestions;
        for (const Asked &a : copy.asked())
            if (a.text.startsWith(QStringLiteral("Format Error")))
                formatQuestions << a.text;
        QCOMPARE(formatQuestions.size(), 1);
        const QRegularExpression count(QStringLiteral("\r\nNumber of lines that could not be read: \\((\\d+)\\)\r\n"
                                                      "Continue Anyway\\.\\.\\?$"));
        const QRegularExpressionMatch m = count.match(formatQuestions[0]);
        QVERIFY2(m.hasMatch(), qPrintable(formatQuestions[0]));
        QVERIFY2(m.captured(1).toInt() >= longLines, qPrintable(m.captured(1)));
    }
};

QTEST_GUILESS_MAIN(TestNotesProgram)
#include "tst_notesProgram.moc"
