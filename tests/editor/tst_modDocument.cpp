// CFile files: names and extensions, Open, the saves with their refusals and
// failures, Save All, Save Selection As, Revert, running names, the File menu.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <unistd.h>

#include "common/cfilefixture.h"
#include "common/filesizelimit.h"
#include "editor/frmDocument.h"
#include "editor/modDocCommands.h"
#include "editor/modDocument.h"
#include "editor/modMRU.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/longwork.h"
#include "platform/richtext.h"
#include "shell/epCmDlg.h"
#include "shell/frmMDI.h"
#include "shell/modShared.h"

using namespace vt;
using vttest::boxTexts;
using vt::test::FileSizeLimit;

namespace {

const QString kValid = QStringLiteral("Valid extensions are,  ''.cap''  ''.rtf  ''.txt''  ''.log''");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

frmDocument *newCFile(const QString &text = {})
{
    CreateNewCFile();
    frmDocument *doc = ActiveForm();
    if (doc && !text.isEmpty())
        QTest::keyClicks(doc->rtfText, text);
    return doc;
}

QStringList captions()
{
    QStringList c;
    for (frmDocument *d : openCFiles())
        c << d->Caption();
    return c;
}

int questionsOfKind(const QString &kind)
{
    int n = 0;
    for (const answers::Record &r : answers::asked())
        n += r.question.kind == kind;
    return n;
}

} // namespace

class TestModDocument : public QObject {
    Q_OBJECT
    vttest::EditorFakes *fakes = nullptr;
    QTemporaryDir *dir = nullptr;
    QString path(const QString &name) const { return dir->filePath(name); }

private slots:
    void init()
    {
        fakes = &vttest::startEditor();
        dir = new QTemporaryDir;
    }
    void cleanup()
    {
        vttest::stopEditor();
        delete dir;
    }

    void namesAndExtensions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<int>("extType");
        QTest::addColumn<int>("fileType");
        QTest::newRow("CFile7") << "CFile7" << true << 9 << 9;
        QTest::newRow("CFile07") << "CFile07" << true << 9 << 9;
        QTest::newRow("CFile100") << "CFile100" << false << 9 << 9;
        QTest::newRow("CFile7.rtf") << "CFile7.rtf" << false << 0 << 0;
        QTest::newRow("CFile") << "CFile" << false << 9 << 9;
        QTest::newRow("CFileA") << "CFileA" << false << 9 << 9;
        QTest::newRow("upper RTF") << "C:\\data\\RUN.RTF" << false << 0 << 0;
        QTest::newRow("cap") << "shots.cap" << false << 3 << 0;
        QTest::newRow("txt") << "notes.TXT" << false << 4 << 1;
        QTest::newRow("log") << "a.log" << false << 5 << 1;
        QTest::newRow("ini") << "a.ini" << false << 6 << 1;
        QTest::newRow("bat") << "a.bat" << false << 7 << 1;
        QTest::newRow("doc") << "shots.doc" << false << 8 << 8;
        QTest::newRow("short ext") << "a.c" << false << 8 << 8;
        QTest::newRow("html has none") << "report.html" << false << 9 << 9;
        QTest::newRow("none") << "C:\\data\\run1" << false << 9 << 9;
    }
    void namesAndExtensions()
    {
        QFETCH(QString, name);
        QFETCH(bool, isNew);
        QFETCH(int, extType);
        QFETCH(int, fileType);
        QCOMPARE(isNewCFile(name), isNew);
        QCOMPARE(int(getExtType(name)), extType);
        QCOMPARE(int(chkFileExt(name)), fileType);
    }

    void openByExtension()
    {
        writeBytes(path("a.rtf"), "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b bold\\b0\\par}");
        writeBytes(path("shots.cap"), "{\\rtf1\\ansi \\i 812 fps\\i0\\par}");
        writeBytes(path("utf8.txt"), "caf\xC3\xA9\r\nline 2");
        writeBytes(path("ansi.txt"), "caf\xE9 \x80");
        writeBytes(path("run.log"), "{\\rtf1 not read as rich}");
        const QStringList files{path("a.rtf"), path("shots.cap"), path("utf8.txt"), path("ansi.txt"), path("run.log")};
        answers::queue(files.join(u'|'));
        mnuFileOpen_Click();

        QCOMPARE(captions(), files);
        const QList<frmDocument *> docs = openCFiles();
        QCOMPARE(docs[0]->rtfText->Text(), QStringLiteral("plain bold"));
        docs[0]->rtfText->SetSelStart(7);
        QCOMPARE(docs[0]->rtfText->SelBold(), std::optional<bool>(true));
        QCOMPARE(docs[1]->rtfText->Text(), QStringLiteral("812 fps"));
        docs[1]->rtfText->SetSelStart(2);
        QCOMPARE(docs[1]->rtfText->SelItalic(), std::optional<bool>(true));
        QCOMPARE(docs[2]->rtfText->Text(), QStringLiteral("caf\u00e9\r\nline 2"));
        QCOMPARE(docs[3]->rtfText->Text(), QStringLiteral("caf\u00e9 \u20ac"));
        QCOMPARE(docs[4]->rtfText->Text(), QStringLiteral("{\\rtf1 not read as rich}"));
        for (frmDocument *d : docs)
            QVERIFY(!d->bChanged);
        const answers::Record q = answers::asked().first();
        QCOMPARE(q.question.kind, QStringLiteral("open"));
        QCOMPARE(q.question.title, QStringLiteral("Select file(s) to open"));
        QVERIFY(boxTexts().isEmpty());
        // The files just opened head the recent-files list.
        QCOMPARE(MRUFiles().first(), QFileInfo(path("run.log")).absoluteFilePath());
    }

    void openRefusesExtensions_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<int>("dialogs");
        QTest::newRow("Ignore") << "Ignore" << QStringList{"one.txt", "three.txt"} << 1;
        QTest::newRow("Retry") << "Retry" << QStringList{"one.txt"} << 2;
        QTest::newRow("Abort") << "Abort" << QStringList{"one.txt"} << 1;
    }
    void openRefusesExtensions()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, opened);
        QFETCH(int, dialogs);
        for (const char *n : {"one.txt", "two.doc", "three.txt"})
            writeBytes(path(n), n);
        answers::queue(path("one.txt") + u'|' + path("two.doc") + u'|' + path("three.txt"));
        answers::queue(answer);
        answers::queue(QStringLiteral("Cancel")); // the dialog shown again after Retry
        OpenDocument();
        QStringList names;
        for (frmDocument *d : openCFiles())
            names << QFileInfo(d->Caption()).fileName();
        QCOMPARE(names, opened);
        QCOMPARE(questionsOfKind(QStringLiteral("open")), dialogs);
        QCOMPARE(boxTexts(), QStringList{"File name ''two.doc'' has invalid file extension\r\n" + kValid});
        for (const answers::Record &r : answers::asked())
            if (r.question.kind == QLatin1String("box"))
                QCOMPARE(r.question.buttons, (QStringList{"Abort", "Retry", "Ignore"}));
    }

    void failedOpenLeavesNoWindow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("box");
        QTest::newRow("not RTF") << "fake.rtf" << errDescription(321);
        QTest::newRow("a folder") << "folder.rtf" << errDescription(75);
    }

    void failedOpenLeavesNoWindow()
    {
        QFETCH(QString, name);
        QFETCH(QString, box);
        writeBytes(path("fake.rtf"), "just text");
        QDir(dir->path()).mkdir(QStringLiteral("folder.rtf"));
        answers::queue(path(name));
        OpenDocument();
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().startsWith(box), qPrintable(boxes.first()));
        QCOMPARE(captions(), QStringList());
    }

    void partlyReadCFileSaysSoAndKeepsItsOriginal_data()
    {
        QTest::addColumn<bool>("origTaken");
        QTest::newRow("first copy") << false;
        QTest::newRow("earlier copy kept too") << true;
    }
    void partlyReadCFileSaysSoAndKeepsItsOriginal()
    {
        QFETCH(bool, origTaken);
        // A stray binary count, a picture nothing here can show, and no end.
        const QByteArray damaged = "{\\rtf1\\ansi a\\bin1000000000 \\par CAP: 812\\par CAP: 815\\par "
                                   "{\\pict\\wmetafile8 0100}";
        writeBytes(path("run.rtf"), damaged);
        if (origTaken)
            writeBytes(path("run.rtf.orig"), "older");
        const QString keep = path(origTaken ? "run.rtf.orig2" : "run.rtf.orig");
        answers::queue(path("run.rtf"));
        OpenDocument();
        frmDocument *doc = ActiveForm();
        QVERIFY(doc);
        QCOMPARE(doc->rtfText->Text(), QStringLiteral("a\r\nCAP: 812\r\nCAP: 815"));
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        for (const QString &part : {path("run.rtf"), QStringLiteral("binary data"), QStringLiteral("picture could not be read"),
                                    QStringLiteral("ends early"), QFileInfo(keep).fileName()})
            QVERIFY2(boxes[0].contains(part), qPrintable(part + " not in: " + boxes[0]));

        QTest::keyClicks(doc->rtfText, QStringLiteral("x"));
        QVERIFY(SaveCFile(doc));
        QCOMPARE(readAll(keep), damaged);
        QVERIFY(readAll(path("run.rtf")).contains("CAP: 815"));
        // Only the first save over the file keeps a copy.
        QVERIFY(SaveCFile(doc));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files).size(), origTaken ? 3 : 2);
        QCOMPARE(readAll(keep), damaged);
        if (origTaken)
            QCOMPARE(readAll(path("run.rtf.orig")), QByteArray("older"));
    }

    // A large file shows its progress; its Cancel ends the opening without
    // a word and without an empty window.
    void cancelledLargeOpenLeavesNoWindow()
    {
        QByteArray body = "{\\rtf1\\ansi ";
        for (int i = 0; i < 200000; ++i)
            body += "CAP: 12345 1234.5 fps\\par\n";
        body += "}";
        writeBytes(path("big.rtf"), body);
        answers::queue(path("big.rtf"));
        bool clicked = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget *w : QApplication::allWidgets()) {
                if (w->objectName() != QLatin1String("prgLoadCFile") || !w->isVisible())
                    continue;
                if (auto *cancel = w->findChild<QPushButton *>(); cancel && !clicked) {
                    QCOMPARE(cancel->accessibleName(), QStringLiteral("Cancel"));
                    cancel->click();
                    clicked = true;
                }
            }
        });
        poll.start(10);
        OpenDocument();
        poll.stop();
        QVERIFY(clicked);
        QCOMPARE(captions(), QStringList());
        QCOMPARE(boxTexts(), QStringList());
        for (QWidget *w : QApplication::allWidgets())
            QVERIFY(w->objectName() != QLatin1String("prgLoadCFile"));
        // The given-up read ends on its thread before this process may end.
        QTRY_VERIFY_WITH_TIMEOUT(!longwork::backgroundRunning(), 120000);
    }

    void saveWithoutExtensionAddsRtf()
    {
        frmDocument *doc = newCFile(QStringLiteral("run 1"));
        doc->SetCaption(path("run1"));
        QVERIFY(SaveCFile(doc));
        QCOMPARE(doc->Caption(), path("run1.rtf"));
        QVERIFY(readAll(path("run1.rtf")).startsWith("{\\rtf"));
        QVERIFY(!QFile::exists(path("run1")));
        QVERIFY(!doc->bChanged);
    }

    void saveRefusesUnknownExtension()
    {
        frmDocument *doc = newCFile(QStringLiteral("x"));
        doc->SetCaption(path("shots.doc"));
        QVERIFY(!SaveCFile(doc));
        QCOMPARE(boxTexts(), QStringList{"''.doc'' has unknown file extension"});
        QVERIFY(!QFile::exists(path("shots.doc")));
        QVERIFY(doc->bChanged);
    }

    void saveAsExtensionRules_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("message");
        QTest::newRow("doc") << "shots.doc" << "File name ''shots.doc'' has invalid file extension\r\n" + kValid;
        QTest::newRow("none") << "shots" << "File name ''shots'' has no file extension\r\n" + kValid;
    }
    void saveAsExtensionRules()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        frmDocument *doc = newCFile(QStringLiteral("v0 812"));
        // Retry shows the dialog again; Cancel ends without saving.
        answers::queue(path(chosen));
        answers::queue(QStringLiteral("Retry"));
        answers::queue(path(chosen));
        answers::queue(QStringLiteral("Cancel"));
        QVERIFY(!SaveAs(doc));
        QCOMPARE(boxTexts(), (QStringList{message, message}));
        const answers::Record box = answers::asked()[1];
        QCOMPARE(box.question.buttons, (QStringList{"Retry", "Cancel"}));
        QCOMPARE(box.question.icon, QStringLiteral("Exclamation"));
        QCOMPARE(questionsOfKind(QStringLiteral("save")), 2);
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(doc->Caption(), QStringLiteral("CFile1"));

        // A good name after a refusal is written.
        answers::queue(path(chosen));
        answers::queue(QStringLiteral("Retry"));
        answers::queue(path("shots.txt"));
        QVERIFY(SaveAs(doc));
        QCOMPARE(readAll(path("shots.txt")), QByteArray("v0 812"));
        QCOMPARE(doc->Caption(), path("shots.txt"));
    }

    // Plain CFiles have one encoding on the way out, UTF-8, even for text that
    // code page 1252 could hold; Save and Save Selection As agree.
    void plainCFilesAreWrittenAsUtf8()
    {
        frmDocument *doc = newCFile();
        doc->rtfText->SetText(QString::fromUtf8("café 5 € Ω"));
        doc->SetCaption(path("run.txt"));
        QVERIFY(SaveCFile(doc));
        const QByteArray utf8("caf\xC3\xA9 5 \xE2\x82\xAC \xCE\xA9");
        QCOMPARE(readAll(path("run.txt")), utf8);
        doc->rtfText->SetSelStart(0);
        doc->rtfText->SetSelLength(6);
        answers::queue(path("part.log"));
        SaveSelectionAs();
        QCOMPARE(readAll(path("part.log")), utf8.left(7));
    }

    void closeQuestionYesSavesAndCloses()
    {
        frmDocument *doc = newCFile(QStringLiteral("12 shots"));
        answers::queue(QStringLiteral("Yes"));
        answers::queue(path("CFile1.rtf"));
        QVERIFY(doc->unload(vbFormCode));
        QVERIFY(readAll(path("CFile1.rtf")).contains("12 shots"));
        QVERIFY(openCFiles().isEmpty());
    }

    void failedSaveKeepsWindowAndOldFile()
    {
        writeBytes(path("run.rtf"), "{\\rtf1 old}");
        frmDocument *doc = newCFile();
        loadCFile(doc, path("run.rtf"), 0);
        QTest::keyClicks(doc->rtfText, QString(400, u'x'));
        QVERIFY(doc->bChanged);
        {
            FileSizeLimit limit(64);
            answers::queue(QStringLiteral("Yes"));
            QVERIFY(!doc->unload(vbFormCode));
        }
        QCOMPARE(boxTexts().size(), 2); // the question, then the report of the failure
        QVERIFY(boxTexts()[1].contains(QStringLiteral("moxCFile-SaveCFile-(") + path("run.rtf")));
        QCOMPARE(readAll(path("run.rtf")), QByteArray("{\\rtf1 old}"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"run.rtf"}); // no temporary file left
        QCOMPARE(openCFiles(), QList<frmDocument *>{doc});
        QVERIFY(doc->bChanged);

        if (geteuid() != 0) { // a read-only folder stops only an ordinary user
            QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner);
            answers::queue(QStringLiteral("Yes"));
            QVERIFY(!doc->unload(vbFormCode));
            QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QCOMPARE(readAll(path("run.rtf")), QByteArray("{\\rtf1 old}"));
            QVERIFY(doc->bChanged);
        }
    }

    void rtfSavedReopenedAndCompared()
    {
        frmDocument *doc = newCFile();
        RichTextBox *box = doc->rtfText;
        QTest::keyClicks(box, QStringLiteral("Shot 1 "));
        box->SetSelBold(true);
        QTest::keyClicks(box, QStringLiteral("812.4"));
        box->SetSelBold(false);
        box->SetSelColor(QColor(200, 0, 0));
        QTest::keyClicks(box, QStringLiteral(" fps"));
        QTest::keyClick(box, Qt::Key_Return);
        box->SetSelItalic(true);
        box->SetSelText(QStringLiteral("Shot 2 \u00e9"));
        box->SetSelAlignment(RichTextBox::rtfCenter);
        const QByteArray before = box->TextRTF();

        answers::queue(path("round.rtf"));
        QVERIFY(SaveAs(doc));
        QVERIFY(doc->unload(vbFormCode));
        answers::queue(path("round.rtf"));
        OpenDocument();
        frmDocument *again = ActiveForm();
        QVERIFY(again && again != doc);
        QCOMPARE(again->Caption(), path("round.rtf"));
        QCOMPARE(again->rtfText->Text(), QStringLiteral("Shot 1 812.4 fps\r\nShot 2 \u00e9"));
        QCOMPARE(again->rtfText->TextRTF(), before);
    }

    void plainTextIsWrittenAsUtf8()
    {
        frmDocument *doc = newCFile();
        doc->rtfText->SetText(QStringLiteral("caf\u00e9\r\n\u20ac 5"));
        doc->SetCaption(path("n.txt"));
        QVERIFY(SaveCFile(doc));
        QCOMPARE(readAll(path("n.txt")), QByteArray("caf\xC3\xA9\r\n\xE2\x82\xAC 5"));
    }

    void saveAllWritesAndClosesEveryCFile()
    {
        frmDocument *named = newCFile(QStringLiteral("bravo"));
        named->SetCaption(path("b.txt"));
        newCFile(QStringLiteral("alpha"));
        answers::queue(path("a.rtf"));
        mnuFileSaveAll_Click();
        QCOMPARE(questionsOfKind(QStringLiteral("save")), 1);
        QVERIFY(answers::asked()[0].question.text.contains(QStringLiteral("File name: CFile2.rtf")));
        QVERIFY(readAll(path("a.rtf")).contains("alpha"));
        QCOMPARE(readAll(path("b.txt")), QByteArray("bravo"));
        QVERIFY(openCFiles().isEmpty());
    }

    void cancelledSaveAllKeepsNamesAndWindows()
    {
        frmDocument *named = newCFile(QStringLiteral("bravo"));
        named->SetCaption(path("b.txt"));
        newCFile();
        frmDocument *fresh = newCFile(QStringLiteral("charlie"));
        answers::queue(QStringLiteral("Cancel"));
        QVERIFY(!SaveAll());
        QCOMPARE(fresh->Caption(), QStringLiteral("CFile3"));
        QVERIFY(fresh->bChanged);
        QCOMPARE(captions(), (QStringList{path("b.txt"), "CFile2", "CFile3"}));
        QVERIFY(!QFile::exists(path("b.txt")));
        QVERIFY(boxTexts().isEmpty());
    }

    void saveSelectionAs()
    {
        frmDocument *doc = newCFile();
        doc->rtfText->SetText(QStringLiteral("alpha bravo charlie"));
        doc->bChanged = false;
        doc->rtfText->SetSelStart(6);
        doc->rtfText->SetSelLength(5);
        answers::queue(path("sel.txt"));
        SaveSelectionAs();
        QCOMPARE(readAll(path("sel.txt")), QByteArray("bravo"));
        QCOMPARE(answers::last().question.title, QStringLiteral("Save Selection As"));
        answers::queue(path("sel.rtf"));
        SaveSelectionAs();
        QVERIFY(readAll(path("sel.rtf")).startsWith("{\\rtf"));
        QCOMPARE(doc->rtfText->Text(), QStringLiteral("alpha bravo charlie"));
        QVERIFY(!doc->bChanged);

        // Cancel ends quietly, whatever CancelError a caller left behind.
        for (bool cancelError : {false, true}) {
            cmDlg.CancelError = cancelError;
            answers::reset();
            answers::queue(QStringLiteral("Cancel"));
            SaveSelectionAs();
            QCOMPARE(answers::asked().size(), 1);
        }
    }

    void revert()
    {
        writeBytes(path("r.txt"), "saved");
        frmDocument *doc = newCFile();
        loadCFile(doc, path("r.txt"), 1);
        RevertDocument(); // no changes: nothing asked
        QVERIFY(answers::asked().isEmpty());
        QTest::keyClicks(doc->rtfText, QStringLiteral("edited "));
        answers::queue(QStringLiteral("No"));
        RevertDocument();
        QCOMPARE(answers::last().question.text, "Do you want to revert [" + path("r.txt") + "] to last saved version ?");
        QCOMPARE(answers::last().question.title, QStringLiteral("Vantrell - Revert"));
        QCOMPARE(doc->rtfText->Text(), QStringLiteral("edited saved"));
        answers::queue(QStringLiteral("Yes"));
        RevertDocument();
        QCOMPARE(doc->rtfText->Text(), QStringLiteral("saved"));
        QVERIFY(!doc->bChanged);
    }

    void runningNamesAndSequenceReset()
    {
        frmMDI *mdi = frmMDI::get();
        mdi->mnuFileNew->trigger(); // none open: made at once
        mdi->mnuFileNew->trigger();
        QCOMPARE(captions(), (QStringList{"CFile1", "CFile2"}));
        mdi->mnuFileClose->trigger();
        mdi->mnuFileNew->trigger();
        QCOMPARE(captions(), (QStringList{"CFile1", "CFile3"}));

        answers::queue(QStringLiteral("No"));
        mdi->mnuCFileReSeq->trigger();
        QCOMPARE(answers::last().question.text,
                 QStringLiteral("Current sequence number is 4\r\n\r\nThere are active CFiles present.!\r\n"
                                "Reset Sequence Number Anyway...?  "));
        QCOMPARE(answers::last().question.defaultAnswer, QStringLiteral("No"));
        QCOMPARE(int(CFileSeqNum), 3);
        answers::queue(QStringLiteral("Yes"));
        mdi->mnuCFileReSeq->trigger();
        mdi->mnuFileNew->trigger();
        QCOMPARE(captions(), (QStringList{"CFile1", "CFile3", "CFile1"}));

        mdi->mnuFileCloseAll->trigger();
        QVERIFY(openCFiles().isEmpty());
        const qsizetype asked = answers::asked().size();
        mdi->mnuCFileReSeq->trigger(); // nothing open: reset without a question
        QCOMPARE(int(CFileSeqNum), 0);
        QCOMPARE(answers::asked().size(), asked);
    }

    void furtherCFileAsksAndCascades()
    {
        ShowWarnKT = true;
        FirstFileCmd = true;
        newCFile();
        fakes->notes.answer = 7;
        mnuFileNew_Click();
        QCOMPARE(numOfCFIles(), int16_t(1));
        QCOMPARE(fakes->notes.questions, QList<int>{1});
        QVERIFY(FirstFileCmd);
        fakes->notes.answer = 6;
        mnuFileNew_Click();
        QCOMPARE(numOfCFIles(), int16_t(2));
        QVERIFY(!FirstFileCmd);
    }

    void sequenceOverflowMakesNoWindow()
    {
        CFileSeqNum = 32767;
        CreateNewCFile();
        QVERIFY(openCFiles().isEmpty());
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY(boxTexts()[0].contains(QStringLiteral("modCFile/CreateNewCFile")));
        QCOMPARE(int(CFileSeqNum), 32767);
    }

    void selectionFormats()
    {
        togSelBold(); // no CFile: nothing, nothing asked
        QVERIFY(answers::asked().isEmpty());
        frmDocument *doc = newCFile();
        RichTextBox *box = doc->rtfText;
        box->SetText(QStringLiteral("ab"));
        box->SetSelStart(1);
        box->SetSelLength(1);
        box->SetSelBold(true);
        box->SetSelStart(0);
        box->SetSelLength(2);
        QCOMPARE(box->SelBold(), std::optional<bool>());
        togSelBold(); // mixed becomes bold
        QCOMPARE(box->SelBold(), std::optional<bool>(true));
        togSelBold();
        QCOMPARE(box->SelBold(), std::optional<bool>(false));
        togSelStrike();
        QCOMPARE(box->SelStrikeThru(), std::optional<bool>(true));
        setAlignCenter();
        QCOMPARE(box->SelAlignment(), std::optional<int>(RichTextBox::rtfCenter));
        setAlignRight();
        QCOMPARE(box->SelAlignment(), std::optional<int>(RichTextBox::rtfRight));

        QAction *bullet = toolButton(frmMDI::get()->tbrFormat, QStringLiteral("Bullet"));
        togBullet();
        QCOMPARE(box->SelBullet(), std::optional<bool>(true));
        QVERIFY(bullet->isChecked());
        box->SetSelHangingIndent(360);
        togBullet();
        QCOMPARE(box->SelBullet(), std::optional<bool>(false));
        QCOMPARE(box->SelHangingIndent(), std::optional<int>(0));
        QVERIFY(!bullet->isChecked());
    }

    void hasOpenCFileOffersOne()
    {
        answers::queue(QStringLiteral("No"));
        QVERIFY(hasOpenCFile());
        QVERIFY(openCFiles().isEmpty());
        QCOMPARE(answers::last().question.text, QStringLiteral("There Are No Opened CFiles..!\r\nCreate a New CFile.?"));
        QCOMPARE(answers::last().question.defaultAnswer, QStringLiteral("No"));
        answers::queue(QStringLiteral("Yes"));
        QVERIFY(!hasOpenCFile());
        QCOMPARE(captions(), QStringList{"CFile1"});
        QVERIFY(!hasOpenCFile()); // one open: no question
        QCOMPARE(answers::asked().size(), 2);
    }

    void commandsWithoutCFile_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("message");
        QTest::newRow("Close") << "mnuFileClose" << "No Open CFile !";
        QTest::newRow("Close All") << "mnuFileCloseAll" << "No open CFiles!...";
        QTest::newRow("Save") << "mnuFileSave" << "No Open CFile !";
        QTest::newRow("Save As") << "mnuFileSaveAs" << "No Open CFiles !";
        QTest::newRow("Save All") << "mnuFileSaveAll" << "No Open CFile !";
        QTest::newRow("Save Selection") << "mnuFileSaveSelectionAs" << "No Open CFile !";
        QTest::newRow("Revert") << "mnuFileRevert" << "No Open CFile !";
    }
    void commandsWithoutCFile()
    {
        QFETCH(QString, item);
        QFETCH(QString, message);
        // Without a CFile the menus keep these items disabled; the handlers'
        // own guard is what is tested here.
        QAction *command = menuItem(frmMDI::get(), item);
        QVERIFY(!command->isEnabled());
        command->setEnabled(true);
        command->trigger();
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::last().question.text, message);
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix"));
        QCOMPARE(answers::last().question.buttons, QStringList{"OK"});
    }

    void closeAllAsksEachAndKeepsTheCancelled()
    {
        newCFile(QStringLiteral("one"));
        newCFile(QStringLiteral("two"));
        newCFile(QStringLiteral("three"));
        answers::queue(QStringLiteral("No"));
        answers::queue(QStringLiteral("Cancel"));
        answers::queue(QStringLiteral("No"));
        mnuFileCloseAll_Click();
        QCOMPARE(captions(), QStringList{"CFile2"});
    }

    void recentFiles()
    {
        frmDocument *doc = newCFile(QStringLiteral("kept"));
        doc->SetCaption(path("m.txt"));
        QVERIFY(SaveCFile(doc));
        QVERIFY(doc->unload(vbFormCode));
        QAction *first = nullptr;
        for (QAction *a : frmMDI::get()->mnuFile->actions())
            if (a->objectName() == QLatin1String("mnuFileMRUItem") && a->property("Index").toInt() == 0)
                first = a;
        QVERIFY(first && first->isVisible());
        QVERIFY(first->text().endsWith(QFileInfo(path("m.txt")).absoluteFilePath()));
        first->trigger();
        QCOMPARE(ActiveForm()->rtfText->Text(), QStringLiteral("kept"));
        QVERIFY(!ActiveForm()->bChanged);

        QFile::remove(path("m.txt"));
        first->trigger();
        QCOMPARE(answers::last().question.text, QStringLiteral("File doesn't exists!"));
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix - MRUItem"));
        QCOMPARE(numOfCFIles(), int16_t(1));
    }
};

QTEST_MAIN(TestModDocument)
#include "tst_modDocument.moc"
