// "Export Data Setup": the options on a first run and from the settings,
// Save, Default and Restore, which clicks make the setup dirty, the closing
// question, the refresh of a sheet, the workbook commands, and the menus that
// open the window.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "chrono/modCroCox.h"
#include "export/frmExpSet.h"
#include "export/modExpExc.h"
#include "export/modExpNbr.h"
#include "platform/answers.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "common/xlfixture.h"

using namespace vt;
using namespace vt::xl;
using namespace vttest;

namespace {

struct Notes : NotesNbr {
    QList<QPair<int, int>> seen, asked;
    int16_t reply = 6;
    void seeMsgNote(int16_t number, int16_t variant) override { seen.append({number, variant}); }
    int16_t askMsgNote(int16_t number, int16_t variant) override
    {
        asked.append({number, variant});
        return reply;
    }
};

QString stored(const char *key) { return GetSetting(AppTitle, QStringLiteral("frmExpSet"), QString::fromLatin1(key), QStringLiteral("(none)")); }

// The controls' states, in the order of the settings keys (names row has two).
QString shown(frmExpSet *f)
{
    QString s;
    for (int i = 0; i < 3; ++i)
        s += f->optDestin[i]->isChecked() ? u'1' : u'0';
    s += u' ';
    s += f->chkShowINots->isChecked() ? u'1' : u'0';
    s += f->optExcSetup[1]->isChecked() ? u'1' : u'0';
    s += u' ';
    for (QCheckBox *c : {f->chkExcUnits[0], f->chkExcUnits[1], f->chkExcUnits[2]})
        s += c->isChecked() ? u'1' : u'0';
    s += u' ';
    for (QCheckBox *c : {f->chkExcNames[0], f->chkExcNames[1]})
        s += c->isChecked() ? u'1' : u'0';
    s += u' ';
    for (QCheckBox *c : {f->chkExcStats[0], f->chkExcStats[1], f->chkExcStats[2]})
        s += c->isChecked() ? u'1' : u'0';
    s += u' ';
    for (QCheckBox *c : {f->chkAttPos[0], f->chkAttPos[1]})
        s += c->isChecked() ? u'1' : u'0';
    s += u' ';
    s += f->chkShowJotrix->isChecked() ? u'1' : u'0';
    return s;
}

QString lastBox()
{
    for (auto it = answers::asked().crbegin(); it != answers::asked().crend(); ++it)
        if (it->question.kind == QLatin1String("box"))
            return it->question.text;
    return {};
}

} // namespace

class TestExpSet : public QObject {
    Q_OBJECT
    Notes notes;

    frmExpSet *open()
    {
        frmExpSet::showDialog();
        return frmExpSet::instance();
    }
    static void gone()
    {
        QVERIFY(!frmExpSet::isLoaded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase()
    {
        installNotes(&notes);
        installExportSubsystem();
        setCFileLog({[] { return true; }, [](const QString &) {}});
        frmMDI::get()->show();
    }
    void cleanupTestCase()
    {
        resetExport();
        installNotes(nullptr);
        setCFileLog({});
    }
    void init()
    {
        if (frmExpSet::isLoaded())
            frmExpSet::instance()->unload();
        resetExport();
        seedTemplate();
        answers::reset();
        notes = Notes();
        SoftTest = false;
        DeleteSetting(AppTitle, QStringLiteral("frmExpSet"));
        ExpDestin = 2;
        ExpShowINots = true;
    }

    void firstRun()
    {
        XlSes.ExpExcXLog = false;
        frmExpSet::lodExpSetup();
        QVERIFY(!frmExpSet::isLoaded());
        QVERIFY(XlSes.ExpExcXLog && XlSes.ExpExcNHed[1]);
        frmExpSet *f = open();
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::asked()[0].question.title, QStringLiteral("Export Data Setup"));
        QCOMPARE(shown(f), QStringLiteral("001 10 110 11 111 11 1"));
        QVERIFY(!f->cmdExpSetKey[0]->isEnabled());
        QVERIFY(f->fraPrgrs[0]->isHidden());
        QVERIFY(f->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // Outside test mode the commands still to come are off.
        for (QWidget *w : std::initializer_list<QWidget *>{f->cmdRfrsh[4], f->cmdRfrsh[5], f->cmdBukKey[1],
                                                          f->chkShowINots, f->chkShowJotrix, f->cmdHelp})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(f->cmdRfrsh[1]->isEnabled() && f->cmdBukKey[0]->isEnabled());
        QCOMPARE(f->chkExcStats[2]->text(), QStringLiteral("Power && Energy"));
        QCOMPARE(f->chkExcUnits[0]->toolTip(), QStringLiteral("Add Units Labels at the beginig of eash string"));
    }

    void menusOpenIt()
    {
        frmMDI *mdi = frmMDI::get();
        for (QAction *a : {mdi->mnuExcSetup, mdi->mnuRemSetups}) {
            answers::reset();
            a->trigger();
            QCOMPARE(answers::asked().size(), 1);
            QCOMPARE(answers::asked()[0].question.title, QStringLiteral("Export Data Setup"));
            QVERIFY(frmExpSet::isLoaded());
            frmExpSet::instance()->cmdExpSetClose->click();
            gone();
        }
    }

    void storedOptionsAndSave()
    {
        SaveSetting(AppTitle, QStringLiteral("frmExpSet"), QStringLiteral("ExpDestin"), QStringLiteral("5"));
        SaveSetting(AppTitle, QStringLiteral("frmExpSet"), QStringLiteral("ExpExcXSet"), QStringLiteral("True"));
        SaveSetting(AppTitle, QStringLiteral("frmExpSet"), QStringLiteral("ExpExcFSts1"), QStringLiteral("False"));
        frmExpSet *f = open();
        QCOMPARE(shown(f), QStringLiteral("001 11 110 11 101 11 1"));
        QCOMPARE(ExpDestin, int16_t(2));
        f->chkExcUnits[2]->click();
        QVERIFY(f->cmdExpSetKey[0]->isEnabled());
        f->cmdExpSetKey[0]->click();
        QVERIFY(!f->cmdExpSetKey[0]->isEnabled());
        QCOMPARE(stored("ExpDestin"), QStringLiteral("2"));
        QCOMPARE(stored("ExpExcUHed2"), QStringLiteral("True"));
        QCOMPARE(stored("ExpExcFSts1"), QStringLiteral("False"));
        QCOMPARE(stored("ExpExcIPos2"), QStringLiteral("True"));
        QCOMPARE(stored("ExpExcXLog"), QStringLiteral("True"));
        QCOMPARE(stored("ExpExcNHed2"), QStringLiteral("(none)"));
        QCOMPARE(GetAllSettings(AppTitle, QStringLiteral("frmExpSet")).size(), 15);
        QVERIFY(XlSes.ExpExcUHed[2] && XlSes.ExpExcXSet);
    }

    void defaultAndRestore()
    {
        frmExpSet *f = open();
        f->cmdExpSetKey[1]->click();
        // The names row before every string goes off; Save is offered although nothing else differs.
        QCOMPARE(shown(f), QStringLiteral("001 10 110 10 111 11 1"));
        QVERIFY(f->cmdExpSetKey[0]->isEnabled());
        QVERIFY(!XlSes.ExpExcNHed[1]);
        f->cmdExpSetKey[2]->click();
        QCOMPARE(shown(f), QStringLiteral("001 10 110 11 111 11 1"));
        QVERIFY(XlSes.ExpExcNHed[1]);
        QVERIFY(f->cmdExpSetKey[0]->isEnabled());
    }

    void dirtyRules_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<bool>("dirty");
        QTest::newRow("folder numbers off") << QStringList{"chkAttPos0"} << true;
        QTest::newRow("folder numbers off and on") << QStringList{"chkAttPos0", "chkAttPos0"} << false;
        QTest::newRow("units after value on and off") << QStringList{"chkExcUnits2", "chkExcUnits2"} << false;
        QTest::newRow("a change undone by another box") << QStringList{"chkExcNames0", "chkExcStats1", "chkExcStats1"} << false;
        QTest::newRow("rUvuzu help twice") << QStringList{"chkShowINots", "chkShowINots"} << true;
        QTest::newRow("Jotrix twice") << QStringList{"chkShowJotrix", "chkShowJotrix"} << true;
        QTest::newRow("iSetup sheet and back") << QStringList{"optExcSetup1", "optExcSetup0"} << true;
        QTest::newRow("the destination it has") << QStringList{"optDestin2"} << false;
        QTest::newRow("text file") << QStringList{"optDestin0"} << true;
        QTest::newRow("Linked to KT4 does nothing") << QStringList{"chkExcCapture0"} << false;
    }
    void dirtyRules()
    {
        QFETCH(QStringList, clicks);
        QFETCH(bool, dirty);
        SoftTest = true;
        frmExpSet *f = open();
        for (const QString &c : clicks) {
            const QString name = c.back().isDigit() ? c.chopped(1) : c;
            const int index = c.back().isDigit() ? c.back().digitValue() : -1;
            QAbstractButton *hit = nullptr;
            for (QAbstractButton *b : f->findChildren<QAbstractButton *>(name))
                if (index < 0 || b->property("Index").toInt() == index)
                    hit = b;
            QVERIFY2(hit && hit->isEnabled(), qPrintable(c));
            hit->click();
        }
        QCOMPARE(f->cmdExpSetKey[0]->isEnabled(), dirty);
        QCOMPARE(f->dirty(), dirty);
        QVERIFY(!f->chkExcCapture[0]->isChecked());
    }

    void exitQuestion_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Exit, Cancel") << "exit" << "Cancel" << false << "(none)";
        QTest::newRow("Exit, No") << "exit" << "No" << true << "(none)";
        QTest::newRow("Exit, Yes") << "exit" << "Yes" << true << "0";
        QTest::newRow("close box, Cancel") << "box" << "Cancel" << false << "(none)";
        QTest::newRow("close box, No") << "box" << "No" << true << "(none)";
    }
    void exitQuestion()
    {
        QFETCH(QString, how);
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        QFETCH(QString, stored);
        frmExpSet *f = open();
        f->optDestin[0]->click();
        frmMDI::get()->setWindowState(Qt::WindowMinimized);
        answers::queue(answer);
        if (how == QLatin1String("exit"))
            f->cmdExpSetClose->click();
        else
            f->close();
        const answers::Question q = answers::asked().last().question;
        QCOMPARE(q.text, QStringLiteral("Setup has changed!\r\nSave Changes Before Closing..?"));
        QCOMPARE(q.buttons, QStringList({"Yes", "No", "Cancel"}));
        QCOMPARE(q.defaultAnswer, QStringLiteral("Cancel"));
        QCOMPARE(frmExpSet::isLoaded(), !closes);
        QCOMPARE(::stored("ExpDestin"), stored);
        // The destination chosen stays in memory until the window loads again.
        QCOMPARE(ExpDestin, int16_t(0));
        if (closes) {
            QCOMPARE(frmMDI::get()->windowState(), Qt::WindowNoState);
            gone();
        }
    }

    void cleanExitAsksNothing()
    {
        frmExpSet *f = open();
        f->chkAttPos[1]->click();
        f->chkAttPos[1]->click();
        f->close();
        QCOMPARE(answers::asked().size(), 1);
        gone();
    }

    void withoutAWorkbook_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::newRow("Close") << "cmdBukKey2" << "Nothing to do..!\r\nThere are no Excel Workbooks connected to Vantrell.";
        QTest::newRow("refresh String") << "cmdRfrsh1" << "Nothing to do..!\r\nThere are No Excel workbooks Connected to Vantrell.";
    }
    void withoutAWorkbook()
    {
        QFETCH(QString, button);
        QFETCH(QString, box);
        frmExpSet *f = open();
        const int index = button.back().digitValue();
        (button.startsWith(QLatin1String("cmdBukKey")) ? f->cmdBukKey[index] : f->cmdRfrsh[index])->click();
        QCOMPARE(lastBox(), box);
        QVERIFY(frmExpSet::isLoaded());
        QVERIFY(f->fraPrgrs[0]->isHidden());
        QVERIFY(!xlApp);
    }

    void newWorkbook()
    {
        frmExpSet *f = open();
        f->cmdBukKey[0]->click();
        QVERIFY(xlBookOk);
        QVERIFY(xlApp->Visible());
        QCOMPARE(xlApp->ActiveSheet()->Name(), QStringLiteral("String"));
        gone();
        // With one ready, New and Open only point to the note.
        SoftTest = true;
        f = open();
        f->cmdBukKey[0]->click();
        f->cmdBukKey[1]->click();
        QCOMPARE(notes.seen, (QList<QPair<int, int>>{{4, 0}, {4, 1}}));
        QCOMPARE(xlApp->Workbooks()->Count(), 1);
        QVERIFY(frmExpSet::isLoaded());
        QVERIFY(f->fraPrgrs[0]->isHidden());
    }

    void failedConnection()
    {
        qputenv("VANTRELL_NO_SPREADSHEET", "1");
        frmExpSet *f = open();
        f->cmdBukKey[0]->click();
        qunsetenv("VANTRELL_NO_SPREADSHEET");
        QCOMPARE(lastBox(), QStringLiteral("Faialed to Connect to Excel.!"));
        QVERIFY(frmExpSet::isLoaded() && !xlBookOk);
        QVERIFY(f->fraPrgrs[0]->isHidden());
    }

    void openOwnWorkbook_data()
    {
        QTest::addColumn<bool>("jotrix");
        QTest::addColumn<int>("reply");
        QTest::addColumn<bool>("picks");
        QTest::newRow("question answered No") << true << 7 << false;
        QTest::newRow("question answered Yes") << true << 6 << true;
        QTest::newRow("no question without Jotrix") << false << 6 << true;
    }
    void openOwnWorkbook()
    {
        QFETCH(bool, jotrix);
        QFETCH(int, reply);
        QFETCH(bool, picks);
        SoftTest = true;
        notes.reply = int16_t(reply);
        frmExpSet *f = open();
        if (f->chkShowJotrix->isChecked() != jotrix)
            f->chkShowJotrix->click();
        answers::queue("Cancel");
        f->cmdBukKey[1]->click();
        QCOMPARE(notes.asked.size(), jotrix ? 1 : 0);
        if (jotrix)
            QCOMPARE(notes.asked[0], (QPair<int, int>{4, 0}));
        bool fileChoice = false;
        for (const answers::Record &r : answers::asked())
            fileChoice = fileChoice || r.question.kind == QLatin1String("open");
        QCOMPARE(fileChoice, picks);
        QCOMPARE(frmExpSet::isLoaded(), !picks);
    }

    void closeWorkbook()
    {
        QCOMPARE(int(excOpen(0, 1)), 0);
        xlApp->Workbooks(1)->setSaved(true);
        open()->cmdBukKey[2]->click();
        gone();
        QCOMPARE(xlApp->Workbooks()->Count(), 0);
        QVERIFY(!xlBookOk && xlConnected);
        // The next New prepares a workbook in the same spreadsheet program.
        AppPtr same = xlApp;
        open()->cmdBukKey[0]->click();
        QVERIFY(xlBookOk && xlApp == same);
    }

    // A refresh applies the controls to the sheet without saving them.
    void refreshASheet()
    {
        QCOMPARE(int(excOpen(0, 1)), 0);
        frmExpSet *f = open();
        f->chkAttPos[0]->click();
        f->cmdRfrsh[2]->click();
        QVERIFY(!XlSes.ExpExcIPos[0]);
        QVERIFY(xlApp->Workbooks(1)->Worksheets(QStringLiteral("Folder"))->Columns(QStringLiteral("B"))->Hidden());
        QVERIFY(!xlApp->Workbooks(1)->Worksheets(QStringLiteral("String"))->Columns(QStringLiteral("B"))->Hidden());
        QCOMPARE(stored("ExpExcIPos0"), QStringLiteral("(none)"));
        QVERIFY(f->cmdRfrsh[2]->isEnabled() && f->fraExpSetup->isEnabled() && f->fraPrgrs[0]->isHidden());
    }

    void helpShowsNoteFive()
    {
        SoftTest = true;
        open()->cmdHelp->click();
        QCOMPARE(notes.seen, (QList<QPair<int, int>>{{5, 0}}));
    }
};

QTEST_MAIN(TestExpSet)
#include "tst_expSet.moc"
