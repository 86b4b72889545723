#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <QCloseEvent>
#include <QTextEdit>
#include <QWindow>

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/printer.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"

using namespace vt;

namespace {
// Stands in for the terminal window: the wrap commands look for its text box.
class FakeTerminal : public QWidget, public SharedForm<FakeTerminal> {
public:
    FakeTerminal()
    {
        setObjectName(QStringLiteral("frmTerminal"));
        txtTerm = new QPlainTextEdit(this);
        txtTerm->setObjectName(QStringLiteral("txtTerm"));
    }
    void Form_Load() {}
    QPlainTextEdit *txtTerm;
};

QString storedViewMode() { return GetSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("ViewMode")); }
} // namespace

class TestModApi : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Err.Clear();
        answers::reset();
        printer_testing::clear();
        ViewMode = 0;
    }
    void cleanup()
    {
        if (frmMDI::isLoaded())
            frmMDI::get()->unload();
        if (FakeTerminal::isLoaded())
            FakeTerminal::get()->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void wrapModesOnABox()
    {
        QTextEdit box;
        applyWrap(&box, 0);
        QCOMPARE(box.lineWrapMode(), QTextEdit::NoWrap);
        applyWrap(&box, 1);
        QCOMPARE(box.lineWrapMode(), QTextEdit::WidgetWidth);
        // No printer: mode 2 changes nothing and raises nothing.
        QVERIFY(trapErrors([&] { applyWrap(&box, 2); }));
        QCOMPARE(box.lineWrapMode(), QTextEdit::WidgetWidth);
        applyWrap(&box, 3);
        QCOMPARE(box.lineWrapMode(), QTextEdit::WidgetWidth);

        // With a printer the text wraps at its paper width: A4 is 210 mm,
        // 11906 twips, 794 pixels at 96 per inch; Letter is 8.5 in, 816.
        printer_testing::setInstalled(true);
        Printer().setPageSize(QPageSize(QPageSize::A4));
        applyWrap(&box, 2);
        QCOMPARE(box.lineWrapMode(), QTextEdit::FixedPixelWidth);
        QCOMPARE(box.lineWrapColumnOrWidth(), 794);
        Printer().setPageSize(QPageSize(QPageSize::Letter));
        applyWrap(&box, 2);
        QCOMPARE(box.lineWrapColumnOrWidth(), 816);
    }

    void setWrapModeMarksMenuButtonAndSetting_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<bool>>("checked");
        QTest::addColumn<bool>("button");
        QTest::addColumn<QString>("stored");
        QTest::newRow("normal") << 0 << QList<bool>{true, false, false} << false << " 0";
        QTest::newRow("wrap") << 1 << QList<bool>{false, true, false} << true << " 1";
        QTest::newRow("wysiwyg") << 2 << QList<bool>{false, false, true} << false << " 2";
    }
    void setWrapModeMarksMenuButtonAndSetting()
    {
        QFETCH(int, mode);
        QFETCH(QList<bool>, checked);
        QFETCH(bool, button);
        QFETCH(QString, stored);
        // The view-mode menu array and the WordWrap button of the main window.
        frmMDI *mdi = frmMDI::get();
        QList<QAction *> items;
        for (int i = 0; i < 3; ++i) {
            QAction *a = mdi->mnuViewMode[i];
            a->setChecked(true);
            items << a;
        }
        QAction *wrap = toolButton(mdi, QStringLiteral("WordWrap"));
        QVERIFY(wrap);
        wrap->setChecked(!button);

        setWrapMode(int16_t(mode));
        QCOMPARE(ViewMode, int16_t(mode));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(items[i]->isChecked(), checked[i]);
        QCOMPARE(wrap->isChecked(), button);
        QCOMPARE(storedViewMode(), stored);
    }

    void setRtfWrapActsOnTheActiveCFile()
    {
        // No main window, no CFile: nothing happens and nothing is raised.
        ViewMode = 1;
        setRtfWrap();
        QCOMPARE(Err.Number, 0);

        frmMDI *mdi = frmMDI::get();
        auto *doc = new QWidget;
        auto *rtf = new QTextEdit(doc);
        rtf->setObjectName(QStringLiteral("rtfText"));
        mdi->mdiArea->addSubWindow(doc);
        mdi->mdiArea->setActiveSubWindow(mdi->mdiArea->subWindowList().first());

        setRtfWrap();
        QCOMPARE(rtf->lineWrapMode(), QTextEdit::WidgetWidth);
        // Out of range: the mode is reset to 0 and wrapping goes off.
        ViewMode = 7;
        setRtfWrap();
        QCOMPARE(ViewMode, int16_t(0));
        QCOMPARE(rtf->lineWrapMode(), QTextEdit::NoWrap);
        // Mode 2 without a printer leaves the box as it is.
        ViewMode = 2;
        setRtfWrap();
        QCOMPARE(rtf->lineWrapMode(), QTextEdit::NoWrap);
        QCOMPARE(Err.Number, 0);
    }

    void setTxtWrapOnTheTerminal()
    {
        setTxtWrap(1); // no terminal: nothing
        FakeTerminal *t = FakeTerminal::get();
        setTxtWrap(0);
        QCOMPARE(t->txtTerm->lineWrapMode(), QPlainTextEdit::NoWrap);
        setTxtWrap(1);
        QCOMPARE(t->txtTerm->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        printer_testing::setInstalled(true);
        setTxtWrap(2); // only 0 and 1 mean something here
        setTxtWrap(0);
        setTxtWrap(2);
        QCOMPARE(t->txtTerm->lineWrapMode(), QPlainTextEdit::NoWrap);
    }

    void noCloseCommand()
    {
        // What the window manager sends for the title bar's close or Alt+F4.
        auto closeFromOutside = [](QWidget &w) {
            QCloseEvent e;
            QSpontaneKeyEvent::setSpontaneous(&e);
            QCoreApplication::sendEvent(w.windowHandle(), &e);
        };
        QWidget plain;
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        closeFromOutside(plain);
        QVERIFY(!plain.isVisible());

        QWidget w;
        w.resize(200, 100);
        // A window with controls, as every real one has.
        QObject control(&w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        zapSysClose(&w);
        QVERIFY(w.isVisible());
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        // A close from outside is refused ...
        closeFromOutside(w);
        QVERIFY(w.isVisible());
        // ... the program's own close still works.
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
    }

    void onTopAndBack()
    {
        QWidget w;
        w.setGeometry(120, 130, 300, 200);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect before = w.geometry();
        setOnTop(&w);
        QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w.isVisible());
        QCOMPARE(w.geometry(), before);
        setNotOnTop(&w);
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w.isVisible());
        QCOMPARE(w.geometry(), before);
    }

    void fontLists()
    {
        QComboBox names, sizes;
        names.setEditable(true);
        sizes.setEditable(true);
        names.addItem(QStringLiteral("stale"));
        fillFontLists(&names, &sizes);
        const QStringList families = QFontDatabase::families();
        QVERIFY(!families.isEmpty());
        QCOMPARE(names.count(), families.size());
        QCOMPARE(names.findText(QStringLiteral("stale")), -1);
        QCOMPARE(names.currentText(), QStringLiteral("Tahoma"));
        QCOMPARE(sizes.count(), 68);
        QCOMPARE(sizes.itemText(0), QStringLiteral("5"));
        QCOMPARE(sizes.itemText(67), QStringLiteral("72"));
        QCOMPARE(sizes.currentText(), QStringLiteral("9"));

        // Through the main window's boxes.
        frmMDI *mdi = frmMDI::get();
        QComboBox *n = mdi->cboFontName;
        QComboBox *s = mdi->cboFontSize;
        s->clear();
        lodFontList();
        QCOMPARE(n->count(), families.size());
        QCOMPARE(s->count(), 68);
        QCOMPARE(s->currentText(), QStringLiteral("9"));
    }
};

QTEST_MAIN(TestModApi)
#include "tst_modApi.moc"
