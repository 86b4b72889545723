// Every window of the program opens wholly on a 1280 x 800 screen with each
// of its texts whole at the default font: no caption of a label, check box,
// option button, button or frame is cut by the room the window gives it. The whole program runs in this
// process, as main() starts it, and each window is opened from its event loop.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "common/inprocess.h"
#include "editor/frmDocument.h"
#include "editor/frmOptions.h"
#include "editor/modDocument.h"
#include "export/frmExpSet.h"
#include "notes/frmTip.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "remote/frmCroSetup.h"
#include "remote/frmKeyPad.h"
#include "remote/frmRemCtr.h"
#include "remote/frmSnsState.h"
#include "serial/frmProperties.h"
#include "serial/frmTermStat.h"
#include "serial/frmTerminal.h"
#include "shell/frmAbout.h"
#include "shell/frmFPrgrs.h"
#include "shell/frmGPrgrs.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "tools/frmDocInfo.h"
#include "tools/frmFind.h"
#include "tools/frmGoTo.h"
#include "tools/frmLogFonts.h"
#include "tools/frmPageMrgns.h"
#include "tools/frmPageTabs.h"
#include "tools/frmSymbols.h"
#include "tools/frmTextFont.h"
#include "tools/frmTimeDate.h"
#include "tools/frmXBoxPrn.h"
#include "tools/modSubsystems.h"

using namespace vt;

namespace {

QString plain(QString text) { return text.remove(QRegularExpression(QStringLiteral("&(?!&)"))); }

// The room a text widget's caption needs. Labels, check and option boxes
// ask for exactly that in their size hint; a button's hint adds a minimum
// width of the style's own, so for a button the caption and its frame count.
QSize needed(QWidget *w)
{
    const QFontMetrics fm(w->font());
    if (auto *b = qobject_cast<QPushButton *>(w)) {
        const int frame = w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
        int width = fm.horizontalAdvance(plain(b->text())) + 2 * frame;
        if (!b->icon().isNull())
            width += b->iconSize().width() + 4;
        return {width, fm.height() + frame};
    }
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return {fm.horizontalAdvance(plain(g->title())) + 2 * fm.averageCharWidth(), 0};
    if (auto *l = qobject_cast<QLabel *>(w); l && l->wordWrap())
        return {0, l->heightForWidth(l->width())};
    return w->sizeHint();
}

bool hasText(QWidget *w)
{
    if (auto *l = qobject_cast<QLabel *>(w))
        return !l->text().trimmed().isEmpty() && l->pixmap().isNull();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return !b->text().trimmed().isEmpty();
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return !g->title().trimmed().isEmpty();
    return false;
}

// The texts of one window that are cut, each with the room it has and needs.
QStringList cutTexts(QWidget *window)
{
    QStringList cut;
    const QList<QWidget *> all = window->findChildren<QWidget *>();
    for (QWidget *w : all) {
        const bool textWidget = qobject_cast<QLabel *>(w) || qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)
                                || qobject_cast<QPushButton *>(w) || qobject_cast<QGroupBox *>(w);
        if (!textWidget || !w->isVisibleTo(window) || !hasText(w) || w->window() != window)
            continue;
        const QSize need = needed(w);
        // Room the widget has, less what its parents cut off; what a scroll
        // area holds is whole when scrolled to, and what lies wholly under
        // another frame's edge is not shown at all.
        QRect room = w->rect();
        for (QWidget *p = w; p != window; p = p->parentWidget()) {
            if (p->parentWidget()->objectName() == u"qt_scrollarea_viewport")
                break;
            room &= p->parentWidget()->rect().translated(-w->mapTo(p->parentWidget(), QPoint(0, 0)));
        }
        if (room.isEmpty())
            continue;
        if (need.width() > room.width() || need.height() > room.height()) {
            QString text;
            if (auto *l = qobject_cast<QLabel *>(w))
                text = l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                text = b->text();
            else
                text = qobject_cast<QGroupBox *>(w)->title();
            cut << QStringLiteral("%1 %2 \"%3\": has %4 x %5, needs %6 x %7")
                       .arg(window->objectName(), w->objectName(), text.left(40))
                       .arg(room.width()).arg(room.height()).arg(need.width()).arg(need.height());
        }
    }
    return cut;
}

struct Opener {
    const char *name;
    std::function<QWidget *()> open;
};

template <class T>
Opener form(const char *name)
{
    return {name, [] {
                T *f = T::get();
                f->show();
                return static_cast<QWidget *>(f);
            }};
}

} // namespace

class TestLabelsFit : public QObject {
    Q_OBJECT

private slots:
    void everyTextIsWhole()
    {
        const std::vector<Opener> windows = {
            {"frmMDI", [] { return static_cast<QWidget *>(frmMDI::get()); }},
            form<frmFind>("frmFind"),       form<frmTip>("frmTip"),           form<frmTerminal>("frmTerminal"),
            form<frmProperties>("frmProperties"), form<frmRemCtr>("frmRemCtr"), form<frmCroSetup>("frmCroSetup"),
            form<frmKeyPad>("frmKeyPad"),   form<frmSnsState>("frmSnsState"), form<frmTermStat>("frmTermStat"),
            form<frmExpSet>("frmExpSet"),   form<frmOptions>("frmOptions"),   form<frmAbout>("frmAbout"),
            form<frmGPrgrs>("frmGPrgrs"),   form<frmFPrgrs>("frmFPrgrs"),     form<frmDocInfo>("frmDocInfo"),
            form<frmGoTo>("frmGoTo"),       form<frmLogFonts>("frmLogFonts"), form<frmPageMrgns>("frmPageMrgns"),
            form<frmPageTabs>("frmPageTabs"), form<frmSymbols>("frmSymbols"), form<frmTextFont>("frmTextFont"),
            form<frmTimeDate>("frmTimeDate"), form<frmXBoxPrn>("frmXBoxPrn"),
        };
        QStringList cut;
        const bool ran = vttest::runProgramWith([&] {
            for (const Opener &o : windows) {
                QWidget *w = o.open();
                QCoreApplication::processEvents();
                cut << cutTexts(w);
                // A body that scrolls does so only up and down: its width fits.
                for (auto *scroll : w->findChildren<QScrollArea *>(QStringLiteral("scrBody")))
                    if (scroll->viewport()->width() < scroll->widget()->sizeHint().width())
                        cut << QStringLiteral("%1 scrolls sideways: %2 wide for a body of %3")
                                   .arg(QLatin1String(o.name)).arg(scroll->width()).arg(scroll->widget()->sizeHint().width());
                // And the window lies wholly on its screen.
                if (!w->screen()->availableGeometry().contains(w->frameGeometry()))
                    cut << QStringLiteral("%1 off the screen at %2,%3 %4 x %5")
                               .arg(QLatin1String(o.name))
                               .arg(w->frameGeometry().x()).arg(w->frameGeometry().y())
                               .arg(w->frameGeometry().width()).arg(w->frameGeometry().height());
                // A place past the screen's edges (as a stored one from a
                // larger screen) is brought back when the window shows again.
                if (w != frmMDI::instance()) {
                    for (const QPoint at : {QPoint(1500, 1000), QPoint(-2000, -900)}) {
                        w->hide();
                        w->move(at);
                        w->show();
                        if (!QTest::qWaitFor([w] { return w->screen()->availableGeometry().contains(w->frameGeometry()); }))
                            cut << QStringLiteral("%1 stays off the screen when shown at %2,%3: at %4,%5 %6 x %7")
                                       .arg(QLatin1String(o.name)).arg(at.x()).arg(at.y())
                                       .arg(w->frameGeometry().x()).arg(w->frameGeometry().y())
                                       .arg(w->frameGeometry().width()).arg(w->frameGeometry().height());
                    }
                    w->hide();
                }
            }
        });
        QVERIFY(ran);
        QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("Texts cut:\n") + cut.join(u'\n')));
    }
};

// The windows open on a screen of the smallest size they are made for.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        return 2;
    f.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    TestLabelsFit test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_labelsFit.moc"
