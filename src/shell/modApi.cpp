#include "shell/modApi.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/printer.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>

namespace vt {

namespace {

// Refuses the closes that come from outside the program (title bar, window
// manager); the program's own close() and unload still work.
class NoSysClose : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Close && e->spontaneous()) {
            e->ignore();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }
};

// Window flags change only on a hidden native window; put it back as it was.
void changeFlag(QWidget *w, Qt::WindowType flag, bool on)
{
    if (!w || w->testAttribute(Qt::WA_WState_Created) == false) {
        if (w)
            w->setWindowFlag(flag, on);
        return;
    }
    if (w->windowFlags().testFlag(flag) == on)
        return;
    const bool visible = w->isVisible();
    const QRect geo = w->geometry();
    w->setWindowFlag(flag, on);
    w->setGeometry(geo);
    if (visible)
        w->show();
}

} // namespace

QTextEdit *activeCFileBox()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi || !mdi->mdiArea)
        return nullptr;
    QMdiSubWindow *sub = mdi->mdiArea->currentSubWindow();
    if (!sub) {
        const auto list = mdi->mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!list.isEmpty())
            sub = list.last();
    }
    // The box is the CFile's child, or the sub-window's own widget.
    return sub ? sub->findChild<QTextEdit *>(QStringLiteral("rtfText")) : nullptr;
}

void setWrapMode(int16_t mode)
{
    ViewMode = mode;
    if (frmMDI *mdi = frmMDI::instance()) {
        for (int i = 0; i <= 2; ++i)
            if (QAction *a = mdi->mnuViewMode[i])
                a->setChecked(i == mode);
        if (QAction *b = toolButton(mdi->tbrStandard, QStringLiteral("WordWrap")))
            b->setChecked(mode == 1);
    }
    SaveSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("ViewMode"), Str(mode));
}

void applyWrap(QWidget *box, int mode)
{
    if (!box || mode < 0 || mode > 2)
        return;
    int width = 0;
    if (mode == 2) {
        if (!printerInstalled())
            return;
        width = TwipsToPixels(printerPageWidthTwips());
        if (width <= 0)
            return;
    }
    if (auto *r = qobject_cast<RichTextBox *>(box)) {
        // The box's own setter keeps its layout able to hold a long text.
        r->SetWrap(mode == 2 ? RichTextBox::Wrap::Width : mode == 1 ? RichTextBox::Wrap::Window : RichTextBox::Wrap::None,
                   PixelsToTwips(width));
    } else if (auto *t = qobject_cast<QTextEdit *>(box)) {
        if (mode == 2) {
            t->setLineWrapMode(QTextEdit::FixedPixelWidth);
            t->setLineWrapColumnOrWidth(width);
        } else {
            t->setLineWrapMode(mode == 1 ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        }
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(box)) {
        // A plain box knows no fixed width; the page width is the nearest it has.
        p->setLineWrapMode(mode == 0 ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    }
}

void setRtfWrap()
{
    // Nothing here may fail the caller: no CFile or no printer simply changes nothing.
    trapErrors([] {
        if (ViewMode > 2 || ViewMode < 0)
            ViewMode = 0;
        applyWrap(activeCFileBox(), ViewMode);
    });
    Err.Clear();
}

void setTxtWrap(int32_t mode)
{
    if (mode != 0 && mode != 1)
        return;
    Form *term = forms::find(QStringLiteral("frmTerminal"));
    if (!term || !term->widget())
        return;
    applyWrap(term->widget()->findChild<QWidget *>(QStringLiteral("txtTerm")), int(mode));
}

void zapSysClose(QWidget *window)
{
    if (!window)
        return;
    QWidget *w = window->window();
    // Found by name: the filter has no meta-object of its own, so a lookup by
    // type would match any child and the filter would never be installed.
    static const QString kName = QStringLiteral("noSysClose");
    if (!w->findChild<QObject *>(kName, Qt::FindDirectChildrenOnly)) {
        auto *filter = new NoSysClose(w);
        filter->setObjectName(kName);
        w->installEventFilter(filter);
    }
    changeFlag(w, Qt::CustomizeWindowHint, true);
    changeFlag(w, Qt::WindowCloseButtonHint, false);
}

void setOnTop(QWidget *window)
{
    if (window)
        changeFlag(window->window(), Qt::WindowStaysOnTopHint, true);
}

void setNotOnTop(QWidget *window)
{
    if (window)
        changeFlag(window->window(), Qt::WindowStaysOnTopHint, false);
}

void fillFontLists(QComboBox *names, QComboBox *sizes)
{
    if (names) {
        names->clear();
        names->addItems(QFontDatabase::families());
    }
    if (sizes)
        for (int s = 5; s <= 72; ++s)
            sizes->addItem(QString::number(s));
    auto show = [](QComboBox *box, const QString &text) {
        if (!box)
            return;
        if (box->isEditable())
            box->setEditText(text);
        else
            box->setCurrentText(text);
    };
    show(names, QStringLiteral("Tahoma"));
    show(sizes, QStringLiteral("9"));
}

void lodFontList()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    fillFontLists(mdi->cboFontName, mdi->cboFontSize);
}

} // namespace vt
