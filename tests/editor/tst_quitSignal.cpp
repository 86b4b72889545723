// The end of the session with unsaved CFiles: the signal asks nothing, the
// program closes, and what was typed survives in recovery copies that the
// next start mentions once.
#include <QDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "platform/timers.h"
#include "shell/frmMDI.h"
#include "shell/modQuitSig.h"

using namespace vt;

namespace {
frmDocument *typedCFile(const QString &caption, const QString &text)
{
    CreateNewCFile();
    frmDocument *doc = ActiveForm();
    if (!caption.isEmpty())
        doc->SetCaption(caption);
    QTest::keyClicks(doc->rtfText, text);
    return doc;
}
QString textOf(const QString &path)
{
    RichTextBox box;
    box.LoadFile(path, RichTextBox::rtfRTF);
    return box.Text();
}
} // namespace

class TestQuitSignal : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        vttest::startEditor();
        QDir(recoveredFolder()).removeRecursively();
        DeleteSetting(AppTitle, QStringLiteral("Recovered"));
        setFixedNow(QDateTime(QDate(2026, 12, 10), QTime(10, 15, 0)));
    }
    void cleanup()
    {
        setFixedNow(QDateTime());
        vttest::stopEditor();
    }

    void sigtermSavesChangedCFilesAndEnds()
    {
        // Two CFiles of one name from different folders, and one untouched.
        QVERIFY(typedCFile(QStringLiteral("/data/a/shots.rtf"), QStringLiteral("812.5 fps")));
        QVERIFY(typedCFile(QStringLiteral("/data/b/shots.rtf"), QStringLiteral("799.0 fps")));
        CreateNewCFile();
        QVERIFY(answers::asked().isEmpty());

        installQuitSignals();
        ::kill(::getpid(), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!frmMDI::isLoaded(), 10000);
        QVERIFY2(answers::asked().isEmpty(), qPrintable(answers::asked().value(0).question.text));

        const QString first = recoveredFolder() + QStringLiteral("/shots 2026-12-10 101500.rtf");
        const QString second = recoveredFolder() + QStringLiteral("/shots 2026-12-10 101500 (2).rtf");
        QCOMPARE(QDir(recoveredFolder()).entryList(QDir::Files),
                 QStringList({QFileInfo(second).fileName(), QFileInfo(first).fileName()})); // by name
        QCOMPARE(textOf(first), QStringLiteral("812.5 fps"));
        QCOMPARE(textOf(second), QStringLiteral("799.0 fps"));
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("Recovered"), QStringLiteral("File1")), first);
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("Recovered"), QStringLiteral("File2")), second);
    }

    // The next start names the copies and their folder, once.
    void noticeOnceAtTheNextStart()
    {
        const QString path = recoveredFolder() + QStringLiteral("/CFile1 2026-12-10 101500.rtf");
        SaveSetting(AppTitle, QStringLiteral("Recovered"), QStringLiteral("File1"), path);
        seeRecovered();
        QCOMPARE(answers::asked().size(), 1);
        const answers::Question q = answers::asked().first().question;
        QVERIFY2(q.text.contains(recoveredFolder()), qPrintable(q.text));
        QVERIFY2(q.text.contains(QStringLiteral("CFile1 2026-12-10 101500.rtf")), qPrintable(q.text));
        QCOMPARE(q.buttons, QStringList({"OK"}));
        seeRecovered();
        QCOMPARE(answers::asked().size(), 1);
    }
};

QTEST_MAIN(TestQuitSignal)
#include "tst_quitSignal.moc"
