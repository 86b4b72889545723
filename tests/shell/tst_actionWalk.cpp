// Every menu item, toolbar button and pop-up item of the main window that a
// user can reach either does something the user can see (a question, a window,
// a change to the CFile, a setting, a file, a state shown on screen) or is
// disabled with its reason in the status bar. The whole program runs in this
// process, started as main() starts it, and the walk runs from its event loop.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "common/inprocess.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modStatus.h"
#include "tools/modSubsystems.h"

using namespace vt;

namespace {

// Items left out of the walk, each for a reason of its own.
bool skipped(const QString &name)
{
    // Ends the program: its question and the shutdown have tests of their own.
    return name == u"mnuFileExit";
}

// Items that have nothing to do in the walk's usual state (the selection
// already upper case, the paragraph already at the left, nothing to undo, one
// CFile window to arrange) are given something to do first.
void prepareFor(frmMDI *mdi, const QString &name)
{
    auto run = [mdi](const char *item) {
        if (QAction *a = menuItem(mdi, QString::fromLatin1(item)))
            a->trigger();
    };
    mdi->SXB->clearMessage();
    // The walk goes with Interface > More on, whatever an item before switched.
    if (!mdi->mnuSelect->isChecked())
        mdi->mnuSelect->trigger();
    if (UserLevel != 4) {
        UserLevel = 4;
        updAllSta();
    }
    if (name == u"mnuDbgIncLev" || name == u"mnuDbgMaxLev")
        run("mnuDbgDecLev");
    else if (name.endsWith(QStringLiteral("CaseUpper")) || name.endsWith(QStringLiteral("CaseToUpper")))
        run("mnuCaseLower");
    else if (name == u"mnuFormatScriptNoScript")
        run("mnuFormatScriptSuperScript");
    else if (name == u"mnuParaLeft" || name == u"tbrFormat_Left")
        run("mnuParaRight");
    else if (name.endsWith(QStringLiteral("Undo")) && ActiveForm())
        ActiveForm()->rtfText->SetSelText(QStringLiteral("typed"));
    if (!name.startsWith(QStringLiteral("mnuWindow")))
        return;
    // Two CFile windows out of place, the second one minimized for the
    // items that arrange or restore minimized windows.
    QMdiArea *area = mdi->mdiArea;
    while (area->subWindowList().size() < 2)
        CreateNewCFile();
    const QList<QMdiSubWindow *> subs = area->subWindowList();
    for (QMdiSubWindow *sub : subs)
        sub->showNormal();
    subs[0]->setGeometry(7, 9, 300, 200);
    subs[1]->setGeometry(11, 13, 280, 220);
    if (name == u"mnuWindowArrangeIcons" || name == u"mnuWindowRestoreAll") {
        subs[1]->showMinimized();
        subs[1]->move(40, 40); // away from the row where minimized windows are lined up
    }
    area->setActiveSubWindow(subs[0]);
}

// One reachable item: where it is and the action.
struct Item {
    QString where;
    QAction *action = nullptr;
};

void collectMenu(const QString &path, const QList<QAction *> &actions, QList<Item> &out)
{
    for (QAction *a : actions) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        const QString here = path + u'>' + a->text().remove(u'&');
        if (a->menu())
            collectMenu(here, a->menu()->actions(), out);
        else if (!a->objectName().isEmpty()) // the window list and recent files are made as they are used
            out << Item{here + QStringLiteral(" (") + a->objectName() + u')', a};
    }
}

QList<Item> reachableItems(frmMDI *mdi)
{
    QList<Item> items;
    collectMenu(QStringLiteral("menu"), mdi->menuBar()->actions(), items);
    collectMenu(QStringLiteral("pop-up"), mdi->popMain->actions(), items);
    for (QToolBar *bar : mdi->findChildren<QToolBar *>())
        if (bar->isVisible())
            for (QAction *a : bar->actions())
                if (a->isVisible() && !a->isSeparator() && !a->objectName().isEmpty())
                    items << Item{bar->objectName() + u'>' + a->toolTip() + QStringLiteral(" (") + a->objectName() + u')', a};
    return items;
}

QByteArray filesUnder(const QString &dir)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList names;
    while (it.hasNext())
        names << it.next();
    names.sort();
    for (const QString &n : names) {
        // The copies' lock marks hold nothing a user sees, and the recovery
        // copies follow every change of a CFile on their own timer.
        if (n.contains(QStringLiteral(".copy-")) || n.contains(QStringLiteral("/recovered/")))
            continue;
        QFile f(n);
        h.addData(n.toUtf8());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QString text = QString::fromUtf8(f.readAll());
        // Where the recovery copies are recorded changes on their own timer too.
        static const QRegularExpression recovered(QStringLiteral("\\[Recovered\\][^\\[]*"),
                                                  QRegularExpression::CaseInsensitiveOption);
        text.remove(recovered);
        h.addData(text.toUtf8());
    }
    return h.result();
}

// What a user can see of the program, as one comparable text.
QString snapshot(frmMDI *mdi, const QList<QWidget *> &hiddenAgain, bool withSettings)
{
    // Settings are written in bursts: what waits is written now, so that a
    // change shows with the item that made it.
    flushSettings();
    QStringList s;
    s << QStringLiteral("asked %1").arg(answers::asked().size());
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            s << QStringLiteral("top %1 %2 %3 %4")
                     .arg(w->objectName(), w->windowTitle())
                     .arg(int(w->windowState()))
                     .arg(w->isActiveWindow());
    s << QStringLiteral("once shown %1").arg(hiddenAgain.size());
    for (QMdiSubWindow *sub : mdi->mdiArea->subWindowList())
        s << QStringLiteral("cfile %1 %2 %3 %4 %5 %6 %7")
                 .arg(sub->windowTitle())
                 .arg(int(sub->windowState()))
                 .arg(sub->isVisible())
                 .arg(sub->x())
                 .arg(sub->y())
                 .arg(sub->width())
                 .arg(sub->height());
    if (QMdiSubWindow *active = mdi->mdiArea->activeSubWindow())
        s << QStringLiteral("active ") + active->windowTitle();
    if (frmDocument *doc = ActiveForm()) {
        RichTextBox *box = doc->rtfText;
        s << box->toHtml() << QStringLiteral("sel %1 %2").arg(box->SelStart()).arg(box->SelLength())
          << QStringLiteral("wrap %1 %2").arg(int(box->lineWrapMode())).arg(box->lineWrapColumnOrWidth());
    }
    for (QAction *a : mdi->findChildren<QAction *>())
        s << QStringLiteral("action %1 %2%3%4 %5")
                 .arg(a->objectName())
                 .arg(a->isEnabled())
                 .arg(a->isChecked())
                 .arg(a->isVisible())
                 .arg(a->text());
    for (QWidget *w : mdi->findChildren<QWidget *>())
        if (qobject_cast<QToolBar *>(w) || qobject_cast<QStatusBar *>(w) || w->parent() == mdi)
            s << QStringLiteral("bar %1 %2").arg(w->objectName()).arg(w->isVisible());
    for (QLabel *l : mdi->statusBar()->findChildren<QLabel *>())
        s << QStringLiteral("status ") + l->text();
    s << QStringLiteral("message ") + mdi->statusBar()->currentMessage();
    s << QStringLiteral("caption ") + mdi->windowTitle();
    s << QStringLiteral("clipboard ") + QGuiApplication::clipboard()->text();
    s << QString::fromLatin1(filesUnder(qEnvironmentVariable("HOME")).toHex());
    // The settings files also change on timers of their own (the recovery
    // copies' records): they are looked at only for the items whose one
    // effect is on the stored settings.
    if (withSettings)
        s << QString::fromLatin1(filesUnder(qEnvironmentVariable("VANTRELL_CONFIG")).toHex());
    return s.join(u'\n');
}

// A CFile with two lines, part of the first one selected and something on the
// clipboard, so that every editing item has something to act on.
void prepareCFile()
{
    if (!ActiveForm())
        CreateNewCFile();
    frmDocument *doc = ActiveForm();
    if (!doc)
        return;
    RichTextBox *box = doc->rtfText;
    box->SetText(QStringLiteral("CAP:00001 301.2 f/s\r\nsecond line"));
    box->SetSelStart(0);
    box->SetSelLength(4);
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
}

class Walk {
public:
    QStringList silent;    // enabled, and nothing a user can see happened
    QStringList noReason;  // disabled without a reason in the status bar
    QStringList acted;     // the items that acted, by name

    void run()
    {
        frmMDI *mdi = frmMDI::get();
        // The highest user level and the Debug menu show every item there is.
        UserLevel = 4;
        mdi->showDebugMenu(true);
        updAllSta();
        // Interface > More shows the further commands; walk with them shown.
        if (QAction *more = mdi->mnuSelect; more && !more->isChecked())
            more->trigger();
        closeNewWindows();
        const QList<Item> items = reachableItems(mdi);
        QSet<QAction *> seen;
        for (const Item &item : items) {
            if (seen.contains(item.action) || skipped(item.action->objectName()))
                continue;
            seen.insert(item.action);
            prepareCFile();
            prepareFor(mdi, item.action->objectName());
            QCoreApplication::processEvents();
            if (!item.action->isEnabled()) {
                if (item.action->statusTip().trimmed().isEmpty())
                    noReason << item.where;
                continue;
            }
            if (triggerAndWatch(item.action))
                acted << item.action->objectName();
            else
                silent << item.where;
            closeNewWindows();
        }
    }

private:
    QList<QWidget *> hiddenAgain;

    // Windows that an item opened are closed again, as a user would close
    // them, so that the next item starts from the main window alone.
    void closeNewWindows()
    {
        for (int round = 0; round < 5; ++round) {
            bool any = false;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (!w->isVisible() || w == frmMDI::get() || qobject_cast<QMenu *>(w))
                    continue;
                any = true;
                hiddenAgain << w;
                w->close();
                if (w->isVisible())
                    w->hide();
            }
            QCoreApplication::processEvents();
            if (!any)
                break;
        }
    }

    bool triggerAndWatch(QAction *action)
    {
        frmMDI *mdi = frmMDI::get();
        const int shownBefore = int(hiddenAgain.size());
        const bool withSettings = action->objectName() == u"mnuSavDbg" || action->objectName() == u"mnuDbgZapRegNow";
        const QString before = snapshot(mdi, hiddenAgain, withSettings);
        // A window that waits for its own closing (a dialog of the program's
        // own) is noted and closed from here, so that the walk goes on.
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible() && w != frmMDI::get() && w->isModal() && !qobject_cast<QMenu *>(w)) {
                    hiddenAgain << w;
                    w->hide();
                }
        });
        closer.start();
        action->trigger();
        closer.stop();
        // What an item starts may show a moment later (a timer, a queued
        // call): wait for a change, and only a silent item waits long.
        for (QDeadlineTimer until(5000); !until.hasExpired(); QTest::qWait(20))
            if (int(hiddenAgain.size()) != shownBefore || snapshot(mdi, hiddenAgain, withSettings) != before)
                return true;
        return false;
    }
};

} // namespace

class TestActionWalk : public QObject {
    Q_OBJECT

private slots:
    void everyItemActsOrSaysWhy()
    {
        Walk walk;
        QVERIFY(vttest::runProgramWith([&walk] { walk.run(); }));
        // The walk reaches the items shown only at the highest user level and with Interface > More.
        for (const char *name : {"mnuIProgress", "mnuIRemote", "mnuRemCtr", "mnuExpExcCFi", "popRemCtr"})
            QVERIFY2(walk.acted.contains(QLatin1String(name)), name);
        QVERIFY2(walk.silent.isEmpty(), qPrintable(QStringLiteral("Items that did nothing:\n") + walk.silent.join(u'\n')));
        QVERIFY2(walk.noReason.isEmpty(),
                 qPrintable(QStringLiteral("Disabled items without a reason in the status bar:\n") + walk.noReason.join(u'\n')));
    }
};

QTEST_MAIN(TestActionWalk)
#include "tst_actionWalk.moc"
