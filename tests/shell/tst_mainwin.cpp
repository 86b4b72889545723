#include <cmath>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QToolBar>

#include "notes/modNotesNbr.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/frmGPrgrs.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modPrgrs.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

using namespace vt;

namespace {

QStringList steps;
QString failAt;
void step(const QString &s)
{
    steps << s;
    if (s == failAt)
        raise(70);
}

class FakeEditor : public EditorNbr {
public:
    void savAllFmt() override { step(QStringLiteral("savAllFmt")); }
    void getAllFmt() override
    {
        if (failAt == QLatin1String("getAllFmt"))
            raise(70);
    }
};
class FakeExport : public ExportNbr {
public:
    void extExcel() override { step(QStringLiteral("extExcel")); }
};
class FakeSerial : public SerialNbr {
public:
    void extProperties(int) override { step(QStringLiteral("extProperties")); }
    void extTerminal(int) override { step(QStringLiteral("extTerminal")); }
    void zapCroTmrs() override { step(QStringLiteral("zapCroTmrs")); }
};
FakeEditor editor;
FakeExport exporter;
FakeSerial serial;

QString get(const char *section, const char *key) { return GetSetting(AppTitle, section, key); }

// Screen of 1024 x 768 pixels, in twips.
constexpr double scrW = 15360, scrH = 11520;

} // namespace

class TestMainWin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        installNotesSubsystem();
        installEditor(&editor);
        installExport(&exporter);
        installSerial(&serial);
    }

    void init()
    {
        answers::reset();
        Err.Clear();
        steps.clear();
        failAt.clear();
        AppTitle = QStringLiteral("Vantrell0");
        AppNum = 0;
        DeleteSetting(AppTitle);
        zapSoftFlags();
        SoftShip = true;
        ShowWarn = ShowWarnKT = true;
        errCount = 0;
    }

    void cleanup()
    {
        for (Form *f : forms::loaded())
            f->unload(vbFormCode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void geometry_data()
    {
        QTest::addColumn<QStringList>("stored"); // SizWinX, SizWinY, PosWinX, PosWinY; empty: absent
        QTest::addColumn<QList<double>>("expected"); // left, top, width, height
        // A first start opens at four fifths of the screen's width, so that
        // the toolbars show unfolded; the rows after it store the design's
        // default width to test their own rule.
        QTest::newRow("first start") << QStringList{"", "", "", ""} << QList<double>{1536, 1920, 12288, 7680};
        QTest::newRow("too narrow") << QStringList{"4012", "", "", ""} << QList<double>{3667.5, 1920, 8025, 7680};
        QTest::newRow("half the default") << QStringList{"4012.5", "", "", ""}
                                          << QList<double>{5673.75, 1920, 4012.5, 7680};
        QTest::newRow("wider than screen - 50") << QStringList{"15311", "", "", ""}
                                                << QList<double>{3667.5, 1920, 8025, 7680};
        QTest::newRow("screen - 50") << QStringList{"15310", "", "0", ""} << QList<double>{0, 1920, 15310, 7680};
        QTest::newRow("too low") << QStringList{"8025", "3839", "", ""} << QList<double>{3667.5, 1920, 8025, 7680};
        QTest::newRow("too high") << QStringList{"8025", "11471", "", ""} << QList<double>{3667.5, 1920, 8025, 7680};
        QTest::newRow("height kept") << QStringList{"8025", "3840", "", ""} << QList<double>{3667.5, 3840, 8025, 3840};
        QTest::newRow("negative edges stay") << QStringList{"8025", "", "-300", "-45"}
                                             << QList<double>{-300, -45, 8025, 7680};
        QTest::newRow("left at the limit") << QStringList{"8025", "", "11347.5", ""}
                                           << QList<double>{11347.5, 1920, 8025, 7680};
        QTest::newRow("left past the limit") << QStringList{"8025", "", "11348", ""}
                                             << QList<double>{3667.5, 1920, 8025, 7680};
        QTest::newRow("top past the limit") << QStringList{"8025", "", "", "7681"}
                                            << QList<double>{3667.5, 1920, 8025, 7680};
    }
    void geometry()
    {
        QFETCH(QStringList, stored);
        QFETCH(QList<double>, expected);
        const char *keys[4] = {"SizWinX", "SizWinY", "PosWinX", "PosWinY"};
        for (int i = 0; i < 4; ++i)
            if (!stored[i].isEmpty())
                SaveSetting(AppTitle, "frmMDI", keys[i], stored[i]);
        const MdiGeometry g = getMDIGeometry(scrW, scrH);
        QCOMPARE(QList<double>({g.left, g.top, g.width, g.height}), expected);
    }

    // A hand-edited value that does not convert takes its default, and the
    // load reads on past it and completes.
    void badStoredValuesTakeDefaults()
    {
        SaveSetting(AppTitle, "frmMDI", "SizWinX", QStringLiteral("abc"));
        SaveSetting(AppTitle, "frmMDI", "PosWinY", QStringLiteral("1e999"));
        SaveSetting(AppTitle, "frmVipNotes", "ShowWarn", QStringLiteral("yes"));
        SaveSetting(AppTitle, "frmComSet", "ChronSelect", QStringLiteral("99999")); // past a 16-bit number
        SaveSetting(AppTitle, "frmComSet", "Device", QStringLiteral("one"));
        SaveSetting(AppTitle, "frmComSet", "Echo", QStringLiteral("True"));
        SaveSetting(AppTitle, "frmCFile", "WindowState", QStringLiteral("1"));
        ShowWarn = false;
        const MdiGeometry g = getMDIGeometry(scrW, scrH);
        QCOMPARE(QList<double>({g.left, g.top, g.width, g.height}), QList<double>({3667.5, 1920, 8025, 7680}));
        frmMDI *mdi = frmMDI::get();
        QVERIFY(mdi->loadComplete);
        QCOMPARE(Err.Number, 0);
        QVERIFY(answers::asked().isEmpty());
        QVERIFY(ShowWarn);
        QCOMPARE(ChronSelect, int16_t(1));
        QCOMPARE(Device, int16_t(0));
        QVERIFY(Echo);
        QCOMPARE(WindowState, int16_t(1));
    }

    // After start-up either a usable main window runs the program, or the
    // program ends with this run's record no longer marked as running.
    void settleStart_data()
    {
        QTest::addColumn<bool>("loadFails");
        QTest::addColumn<bool>("startedOk");
        QTest::addColumn<bool>("recordWritten");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<QString>("appRun"); // the record's AppRun afterwards
        QTest::newRow("clean start") << false << true << true << true << "Vantrell0";
        QTest::newRow("error after the load: window comes up") << false << false << true << true << "Vantrell0";
        QTest::newRow("error in the load: ends") << true << false << true << false << "";
        QTest::newRow("error before the record: not ours") << true << false << false << false << "Vantrell0";
    }
    void settleStart()
    {
        QFETCH(bool, loadFails);
        QFETCH(bool, startedOk);
        QFETCH(bool, recordWritten);
        QFETCH(bool, runs);
        QFETCH(QString, appRun);
        savAppRun();
        if (loadFails)
            failAt = QStringLiteral("getAllFmt");
        const bool loaded = trapErrors([] { frmMDI::get()->setEnabled(false); });
        QCOMPARE(loaded, !loadFails);
        Err.Clear();
        QCOMPARE(vt::settleStart(startedOk, recordWritten), runs);
        QCOMPARE(get("Pemdora", "AppRun"), appRun);
        QCOMPARE(get("Pemdora", "AppEnd"), appRun.isEmpty() ? AppTitle : QString());
        if (runs && !startedOk) {
            QVERIFY(frmMDI::get()->isVisible());
            QVERIFY(frmMDI::get()->isEnabled());
        }
    }

    void loadReadsTheSharedSettings()
    {
        SaveSetting(AppTitle, "frmMDI", "MoreOptions", QStringLiteral("True"));
        SaveSetting(AppTitle, "frmVipNotes", "ShowWarnKT", QStringLiteral("False"));
        SaveSetting(AppTitle, "frmVipNotes", "UserLevel", QStringLiteral("3"));
        SaveSetting(AppTitle, "frmComSet", "ChronSelect", QStringLiteral("2"));
        SaveSetting(AppTitle, "frmComSet", "Device", QStringLiteral("1"));
        SaveSetting(AppTitle, "frmCFile", "WindowState", QStringLiteral("3"));
        const int32_t loads = AppSta.LoadCnt;
        frmMDI::get();
        QVERIFY(SoftMore && ShowWarn && !ShowWarnKT);
        QCOMPARE(UserLevel, int16_t(3));
        QVERIFY(AutoDetect && AutoConnect && !Echo);
        QCOMPARE(ChronSelect, int16_t(2));
        QCOMPARE(Device, int16_t(1));
        QCOMPARE(WindowState, int16_t(0)); // out of range
        QCOMPARE(AppSta.LoadCnt, loads + 1);
    }

    // The close button: the quit question only while both warning switches
    // are on, and only a Yes closes.
    void quitQuestion_data()
    {
        QTest::addColumn<bool>("showWarn");
        QTest::addColumn<bool>("showWarnKT");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("closed");
        QTest::newRow("Yes") << true << true << QStringList{"Yes"} << 1 << true;
        QTest::newRow("No") << true << true << QStringList{"No"} << 1 << false;
        QTest::newRow("Cancel, keep warnings") << true << true << QStringList{"Cancel", "No"} << 2 << false;
        QTest::newRow("ShowWarn off") << false << true << QStringList{} << 0 << true;
        QTest::newRow("ShowWarnKT off") << true << false << QStringList{} << 0 << true;
    }
    void quitQuestion()
    {
        QFETCH(bool, showWarn);
        QFETCH(bool, showWarnKT);
        QFETCH(QStringList, answers);
        QFETCH(int, questions);
        QFETCH(bool, closed);
        frmMDI *mdi = frmMDI::get();
        ShowWarn = showWarn;
        ShowWarnKT = showWarnKT;
        mdi->show();
        for (const QString &a : answers)
            answers::queue(a);
        mdi->close();
        QCOMPARE(answers::asked().size(), questions);
        if (questions > 0) {
            const answers::Question q = answers::asked().first().question;
            QCOMPARE(q.text, QStringLiteral("For more information click on [Cancel]  \r\n\r\nDo you really want to Quit? ?"));
            QCOMPARE(q.buttons, QStringList({"Yes", "No", "Cancel"}));
            QCOMPARE(q.defaultAnswer, QStringLiteral("Yes"));
            QCOMPARE(q.title, QStringLiteral("Vantrell0"));
        }
        QCOMPARE(!frmMDI::isLoaded(), closed);
    }

    // Cancel offers to stop the warnings; Yes there stops them, so the next
    // close asks nothing.
    void cancelStopsWarnings()
    {
        frmMDI *mdi = frmMDI::get();
        mdi->show();
        answers::queue(QStringLiteral("Cancel"));
        answers::queue(QStringLiteral("Yes"));
        mdi->close();
        QVERIFY(frmMDI::isLoaded());
        QVERIFY(!ShowWarnKT);
        QVERIFY(answers::last().question.text.endsWith(QStringLiteral("Do you want to stop these messages?")));
        QCOMPARE(answers::last().question.defaultAnswer, QStringLiteral("No"));
        mdi->close();
        QVERIFY(!frmMDI::isLoaded());
        QCOMPARE(answers::asked().size(), 2);
    }

    void otherClosesAskNothing()
    {
        for (int mode : {vbFormCode, vbAppWindows, vbAppTaskManager}) {
            frmMDI *mdi = frmMDI::get();
            QVERIFY(mdi->unload(mode));
            QVERIFY(answers::asked().isEmpty());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // Copy 2 closed with its close button and Yes: the record says ended, the
    // geometry and the shared settings are saved, the other windows are gone.
    void unloadWritesRecordAndSettings()
    {
        AppTitle = QStringLiteral("Vantrell2");
        AppNum = 2;
        DeleteSetting(AppTitle);
        SaveSetting(AppTitle, "Pemdora", "AppRun", AppTitle);
        SaveSetting(AppTitle, "Pemdora", "AppPrt", QStringLiteral("5"));
        errCount = 4;
        frmMDI *mdi = frmMDI::get();
        mdi->show();
        mdi->move(30, 40);
        mdi->resize(600, 500);
        Device = 3;
        PrgrsState.PrgrsCancel = true;
        seeGPrgrs(1);
        answers::queue(QStringLiteral("Yes"));
        mdi->close();
        QVERIFY(!frmMDI::isLoaded());
        QVERIFY(!PrgrsState.PrgrsCancel);
        QVERIFY(!frmGPrgrs::isLoaded());
        QCOMPARE(get("Pemdora", "AppNum"), QStringLiteral("5"));
        QCOMPARE(get("Pemdora", "AppRun"), QString());
        QCOMPARE(get("Pemdora", "AppEnd"), QStringLiteral("Vantrell2"));
        QCOMPARE(get("Pemdora", "AppPrt"), QStringLiteral("0"));
        QCOMPARE(get("frmMDI", "PosWinX"), QStringLiteral("450"));
        QCOMPARE(get("frmMDI", "PosWinY"), QStringLiteral("600"));
        QCOMPARE(get("frmMDI", "SizWinX"), QStringLiteral("9000"));
        QCOMPARE(get("frmMDI", "SizWinY"), QStringLiteral("7500"));
        QCOMPARE(get("frmComSet", "Device"), QStringLiteral("3"));
        QCOMPARE(get("frmVipNotes", "ShowWarnKT"), QStringLiteral("True"));
        QCOMPARE(get("frmMDI", "StandardToolbar"), QStringLiteral("True"));
        QCOMPARE(get("frmMDI", "Ruler"), QStringLiteral("False"));
        QCOMPARE(get("frmErrox", "gxMoxErc"), QStringLiteral("4"));
        QVERIFY(!SectionExists(AppTitle, "frmCFile")); // WindowState is not written
        QCOMPARE(steps.join(u' '), QStringLiteral("savAllFmt extExcel extProperties extTerminal zapCroTmrs"));
        // The geometry comes back at the next load.
        mdi = frmMDI::get();
        QCOMPARE(mdi->pos(), QPoint(30, 40));
        QCOMPARE(mdi->size(), QSize(600, 500));
    }

    // A failing step does not stop the shutdown.
    void unloadGoesOnPastFailures()
    {
        failAt = QStringLiteral("savAllFmt");
        frmMDI::get()->unload(vbFormCode);
        QCOMPARE(get("Pemdora", "AppEnd"), QStringLiteral("Vantrell0"));
        QCOMPARE(steps.join(u' '), QStringLiteral("savAllFmt extExcel extProperties extTerminal zapCroTmrs"));
        QCOMPARE(get("frmErrox", "gxMoxErc"), QStringLiteral("0"));
        QCOMPARE(Err.Number, 0);
    }

    void clearRegistryYesLeavesDefaults()
    {
        frmMDI *mdi = frmMDI::get();
        mdi->resize(700, 300);
        ClearRegistry = true;
        answers::queue(QStringLiteral("Yes"));
        mdi->unload(vbFormCode);
        const answers::Question q = answers::last().question;
        QCOMPARE(q.title, QStringLiteral("Vantrell0 - Clear Registry"));
        QCOMPARE(q.text, QStringLiteral("Clear Registry Key - ''Vantrell0''"));
        QCOMPARE(q.defaultAnswer, QStringLiteral("Yes"));
        for (const char *s : {"frmMDI", "Pemdora", "frmVipNotes", "frmComSet", "frmErrox"})
            QVERIFY2(!SectionExists(AppTitle, s), s);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The next start takes every default.
        ShowWarnKT = false;
        ChronSelect = 0;
        mdi = frmMDI::get();
        QVERIFY(ShowWarnKT && AutoDetect && AutoConnect);
        QCOMPARE(ChronSelect, int16_t(1));
        QCOMPARE(WindowState, int16_t(2));
        // No width stored: a first start's four fifths of the screen.
        QCOMPARE(mdi->width(), TwipsToPixels(int(std::max(8025.0, std::floor(PixelsToTwips(mdi->screen()->geometry().width()) * 4.0 / 5)))));
    }

    void clearRegistryNoKeeps()
    {
        ClearRegistry = true;
        answers::queue(QStringLiteral("No"));
        frmMDI::get()->unload(vbFormCode);
        QVERIFY(SectionExists(AppTitle, "Pemdora"));
    }

    // What later work wires: the toolbar buttons by key, in order, and the
    // status boxes.
    void frameControls()
    {
        frmMDI *mdi = frmMDI::get();
        auto keys = [](QToolBar *t) {
            QStringList k;
            for (QAction *a : t->actions())
                if (a->property("key").isValid())
                    k << a->property("key").toString();
            return k.join(u' ');
        };
        QCOMPARE(keys(mdi->tbrStandard), QStringLiteral("New Open Save Print Search Cut Copy Paste Undo Redo WordWrap "
                                                         "FullScreen BTerminal Connect Setup Keypad Help"));
        QCOMPARE(keys(mdi->tbrFormat), QStringLiteral("Bold Italic Underline StrikeThru Left Center Right Bullet "
                                                       "TabLeft TabRight CaseToLower CaseToUpper TruFont"));
        QCOMPARE(toolButton(mdi, QStringLiteral("Connect")), mdi->findChild<QAction *>(QStringLiteral("tbrStandard_Connect")));
        QStringList leds;
        for (QLineEdit *e : mdi->txtLedsStatus)
            leds << e->text();
        QCOMPARE(leds.join(u' '), QStringLiteral("Remo ? S H A R P"));
        QCOMPARE(mdi->txtLedsStatus[2]->toolTip(), QStringLiteral("Sensors:  Green=On,  Yellow=Off,  Gray=Uknown"));
        for (auto [name, caption] : {std::pair{"mnuTagClean", "Set2Cl&ean"}, {"mnuFormatScriptSuperScript", "S&upertscrip"},
                                     {"mnuInsertTimeDate", "&Time && Date"}, {"popRemCtrList", "&Shorcuts "},
                                     {"mnuViewDocumentProperties", "&Property"}, {"mnuFormatDentMain", "&Ident..."}}) {
            QAction *a = menuItem(mdi, QString::fromLatin1(name));
            QVERIFY2(a, name);
            QCOMPARE(a->text(), QString::fromLatin1(caption));
        }
        // Hiding both bands hides the cool bar; one band brings it back.
        mdi->show();
        mdi->setBandVisible(1, false);
        mdi->setBandVisible(2, false);
        QVERIFY(!mdi->cbrBar->isVisible());
        mdi->setBandVisible(2, true);
        QVERIFY(mdi->cbrBar->isVisible());
    }
};

QTEST_MAIN(TestMainWin)
#include "tst_mainwin.moc"
