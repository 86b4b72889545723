// The end of the session with unsaved CFiles: the signal asks nothing, the
// program closes, and what was typed survives in recovery copies that the
// next start mentions once. While a CFile has unsaved changes a plain copy of
// it is kept current on disk, for a crash.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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
#include "shell/modRecovery.h"

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
// The live copy's text; empty while there is none.
QString liveText(frmDocument *doc)
{
    RecoveryCopy::waitWritten();
    QFile f(doc->recovery->path());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
QString liveRecord(const QString &path)
{
    return GetSetting(AppTitle, QStringLiteral("Recovered"), QStringLiteral("Live ") + QFileInfo(path).fileName());
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

    // The live copy follows every kind of change: appends at the end (the
    // shots), edits above text already written, a text long enough to be read
    // in slices and rewritten through the side file; and it goes, with its
    // record, when the CFile is saved.
    void liveCopyFollowsTheTextAndGoesOnSave()
    {
        frmDocument *doc = typedCFile(QString(), QStringLiteral("CAP:00001 812.5 f/s"));
        QTRY_VERIFY_WITH_TIMEOUT(!doc->recovery->path().isEmpty(), 20000);
        const QString path = doc->recovery->path();
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("CFile1 2026-12-10 101500.txt"));
        QCOMPARE(liveRecord(path), path);
        QTRY_COMPARE_WITH_TIMEOUT(liveText(doc), doc->rtfText->Text(), 20000);

        RichTextBox &box = *doc->rtfText;
        auto append = [&box](const QString &text) {
            box.SetSelStart(box.TextLength());
            box.SetSelText(text);
        };
        append(QStringLiteral("\r\nCAP:00002 799.0 f/s"));
        QTRY_COMPARE_WITH_TIMEOUT(liveText(doc), box.Text(), 20000);
        // A lone backspace at the end, an insertion at the top.
        box.SetSelStart(box.TextLength() - 1);
        box.SetSelLength(1);
        box.SetSelText(QString());
        box.SetSelStart(0);
        box.SetSelText(QStringLiteral("Range 1\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(liveText(doc), box.Text(), 20000);

        // More than one slice, then an edit at the very top of it.
        QString big;
        for (int i = 0; big.size() < (1 << 20) + 5000; ++i)
            big += QStringLiteral("\r\nCAP:%1 812.5 f/s 12:00:01 sec 72 fah").arg(i, 5, 10, QLatin1Char('0'));
        append(big);
        QTRY_COMPARE_WITH_TIMEOUT(liveText(doc), box.Text(), 60000);
        box.SetSelStart(0);
        box.SetSelLength(5);
        box.SetSelText(QStringLiteral("String"));
        QTRY_COMPARE_WITH_TIMEOUT(liveText(doc), box.Text(), 60000);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".new")));
        QCOMPARE(doc->recovery->path(), path);

        // Saved: the copy and its record go.
        QTemporaryDir dir;
        doc->SetCaption(dir.filePath(QStringLiteral("range.rtf")));
        QVERIFY(SaveCFile(doc));
        QTRY_VERIFY_WITH_TIMEOUT(doc->recovery->path().isEmpty(), 20000);
        RecoveryCopy::waitWritten();
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(liveRecord(path).isEmpty());
        QVERIFY(QDir(recoveredFolder()).entryList(QDir::Files).isEmpty());
    }

    // Closed without saving (the close question answered No): gone at once.
    // Ended from outside: the rich-text copy takes its place.
    void liveCopyGoesOnCloseAndOnSignal()
    {
        frmDocument *first = typedCFile(QString(), QStringLiteral("812.5 fps"));
        frmDocument *second = typedCFile(QString(), QStringLiteral("799.0 fps"));
        QTRY_VERIFY_WITH_TIMEOUT(!first->recovery->path().isEmpty() && !second->recovery->path().isEmpty(), 20000);
        const QString firstPath = first->recovery->path();
        QVERIFY(RecoveryCopy::isLive(firstPath));
        answers::queue(QStringLiteral("No"));
        QVERIFY(first->unload(vbFormCode));
        RecoveryCopy::waitWritten();
        QVERIFY(!QFileInfo::exists(firstPath));
        QVERIFY(liveRecord(firstPath).isEmpty());
        QVERIFY(!RecoveryCopy::isLive(firstPath));

        const QStringList written = saveRecoveryCopies(recoveredFolder());
        QCOMPARE(written.size(), 1);
        QCOMPARE(QDir(recoveredFolder()).entryList(QDir::Files), QStringList({QFileInfo(written[0]).fileName()}));
        QCOMPARE(GetAllSettings(AppTitle, QStringLiteral("Recovered")).size(), 0);
    }

    // The next start names a copy a crash left, drops a record whose copy was
    // never written, and leaves this run's own copies alone.
    void noticeNamesWhatACrashLeft()
    {
        QDir().mkpath(recoveredFolder());
        const QString left = recoveredFolder() + QStringLiteral("/CFile3 2026-12-09 080000.txt");
        QFile f(left);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("CAP:00001 812.5 f/s\r\n");
        f.close();
        const QString never = recoveredFolder() + QStringLiteral("/CFile4 2026-12-09 080000.txt");
        SaveSetting(AppTitle, QStringLiteral("Recovered"), QStringLiteral("Live CFile3 2026-12-09 080000.txt"), left);
        SaveSetting(AppTitle, QStringLiteral("Recovered"), QStringLiteral("Live CFile4 2026-12-09 080000.txt"), never);
        frmDocument *doc = typedCFile(QString(), QStringLiteral("812.5 fps"));
        QTRY_VERIFY_WITH_TIMEOUT(!doc->recovery->path().isEmpty(), 20000);

        seeRecovered();
        QCOMPARE(answers::asked().size(), 1);
        const QString text = answers::asked().first().question.text;
        QVERIFY2(text.contains(QStringLiteral("CFile3 2026-12-09 080000.txt")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("CFile4")), qPrintable(text));
        QVERIFY2(!text.contains(QFileInfo(doc->recovery->path()).fileName()), qPrintable(text));
        const auto records = GetAllSettings(AppTitle, QStringLiteral("Recovered"));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0].second, doc->recovery->path());
        QVERIFY(QFileInfo::exists(left));
    }
};

QTEST_MAIN(TestQuitSignal)
#include "tst_quitSignal.moc"
