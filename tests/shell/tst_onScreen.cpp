// What the window system shows of the program after the real start-up, on a
// private X server with a window manager: where the keyboard goes first, and
// which windows the Window menu's Minimize All and Restore All leave on the
// screen. The offscreen platform has no window manager and maps nothing by
// mistake, so these run only under Xvfb; without it they skip.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <algorithm>

#include "common/xserver.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "serial/frmTerminal.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"
#include "shell/modCrsFrms.h"
#include "shell/modMain.h"
#include "tools/frmPageMrgns.h"
#include "tools/modSubsystems.h"

using namespace vt;

namespace {

vttest::XServer *xserver = nullptr;

QString nameOf(const QWidget *w) { return w->objectName(); }

// The X server and the window manager are processes of their own, which a
// busy machine may keep waiting for seconds: every wait on them ends as soon
// as what it waits for is there, and only stops a test that would hang.
constexpr int kScreenMs = 60000;

// Every request sent before this is done once a window shown now is on the
// screen: the window manager takes map requests in the order they came.
void settle()
{
    QWidget probe;
    probe.setWindowTitle(QStringLiteral("probe"));
    probe.resize(40, 40);
    probe.show();
    QVERIFY(QTest::qWaitFor([&] { return vttest::XServer::viewable(&probe); }, kScreenMs));
    probe.hide();
    QCoreApplication::processEvents();
}

} // namespace

class TestOnScreen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!xserver->running())
            QSKIP(qPrintable(QStringLiteral("needs an X server: ") + xserver->why()));
        if (!xserver->managed())
            QSKIP(qPrintable(QStringLiteral("needs a window manager: ") + xserver->why()));
        installSubsystems();
        answers::reset();
        AppTitle = QStringLiteral("Vantrell0");
        // No port scan: the first CFile and the windows are what is looked at.
        SaveSetting(AppTitle, QStringLiteral("frmComSet"), QStringLiteral("AutoDetect"), QStringLiteral("False"));
        SaveSetting(AppTitle, QStringLiteral("frmComSet"), QStringLiteral("AutoConnect"), QStringLiteral("False"));
        SaveSetting(AppTitle, QStringLiteral("frmComSet"), QStringLiteral("ChronSelect"), QStringLiteral("0"));
        frmSplash::Startup();
        QVERIFY(frmMDI::isLoaded());
        QVERIFY(ActiveForm());
    }

    void cleanupTestCase()
    {
        for (Form *f : forms::loaded())
            f->unload(vbFormCode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The CFile that start-up opens takes the keyboard: what the user types
    // first goes into it, not into the format bar's font name.
    void startupCFileTakesTheKeyboard()
    {
        frmMDI *mdi = frmMDI::get();
        QVERIFY(QTest::qWaitForWindowActive(mdi, kScreenMs));
        frmDocument *doc = ActiveForm();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(doc->rtfText), kScreenMs);
        const QString font = mdi->cboFontName->currentText();
        QTest::keyClicks(nullptr, QStringLiteral("xyz"));
        QCOMPARE(doc->rtfText->toPlainText(), QStringLiteral("xyz"));
        QCOMPARE(mdi->cboFontName->currentText(), font);
    }

    // Minimize All and Restore All act on the CFiles and on the support
    // windows that are shown; the hidden ones (notes, port setup, remote
    // panel, a format dialog loaded and put away) stay off the screen, where
    // a new window state would map them as black windows that never close.
    void minimizeAllAndRestoreAllLeaveHiddenWindowsHidden()
    {
        frmMDI *mdi = frmMDI::get();
        CreateNewCFile();
        frmPageMrgns::get(); // loaded, never shown
        togTerminal();       // the terminal on the screen
        frmTerminal *term = frmTerminal::instance();
        QVERIFY(QTest::qWaitFor([&] { return vttest::XServer::viewable(term); }, kScreenMs));
        // The window manager gives a new window the focus a moment after it
        // maps it, and doing so undoes an iconify that came in between.
        QVERIFY(QTest::qWaitForWindowActive(term, kScreenMs));

        QList<QWidget *> hidden;
        for (Form *f : forms::loaded()) {
            QWidget *w = f->widget();
            if (w && w->isWindow() && !w->isVisible())
                hidden << w;
        }
        for (const char *name : {"frmTip", "frmProperties", "frmRemCtr", "frmPageMrgns"}) {
            const bool listed = std::any_of(hidden.cbegin(), hidden.cend(),
                                            [name](QWidget *w) { return w->objectName() == QLatin1String(name); });
            QVERIFY2(listed, name);
        }

        mdi->mnuWindowMinimizeAll->trigger();
        settle();
        for (QMdiSubWindow *sub : mdi->mdiArea->subWindowList())
            QVERIFY(sub->isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(!vttest::XServer::viewable(term), kScreenMs);
        for (QWidget *w : hidden)
            QVERIFY2(!vttest::XServer::viewable(w), qPrintable(nameOf(w)));

        mdi->mnuWindowRestoreAll->trigger();
        settle();
        for (QMdiSubWindow *sub : mdi->mdiArea->subWindowList())
            QVERIFY(!sub->isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(vttest::XServer::viewable(term), kScreenMs);
        QVERIFY(!term->isMinimized());
        QVERIFY(vttest::XServer::viewable(mdi));
        for (QWidget *w : hidden) {
            QVERIFY2(!vttest::XServer::viewable(w), qPrintable(nameOf(w)));
            QVERIFY2(!w->isVisible(), qPrintable(nameOf(w)));
        }
    }
};

int main(int argc, char **argv)
{
    vttest::XServer x;
    const bool up = x.start();
    QApplication app(argc, argv);
    if (up)
        x.startWindowManager();
    xserver = &x;
    TestOnScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_onScreen.moc"
