#include "platform/forms.h"

#include "platform/errors.h"

#include <QAction>
#include <QCloseEvent>
#include <QPointer>
#include <QWidget>

namespace vt {

namespace {
QList<Form *> &loadedList()
{
    static QList<Form *> l;
    return l;
}
} // namespace

Form::~Form() { forms::forget(this); }

void Form::registerLoaded()
{
    if (!loadedList().contains(this))
        loadedList().append(this);
}

bool Form::unload(int mode)
{
    if (unloaded_ || unloading_)
        return unloaded_;
    unloading_ = true;
    int cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (!cancel)
        Form_Unload(cancel);
    unloading_ = false;
    if (cancel)
        return false;
    unloaded_ = true;
    forms::forget(this);
    releaseInstance();
    if (QWidget *w = widget()) {
        w->hide();
        w->deleteLater();
    }
    return true;
}

void Form::handleClose(QCloseEvent *event)
{
    if (unloaded_ || unloading_) {
        event->accept();
        return;
    }
    bool gone = false;
    guarded(QStringLiteral("Form/Close"), [&] { gone = unload(vbFormControlMenu); });
    if (gone)
        event->accept();
    else
        event->ignore();
}

namespace forms {

QList<Form *> loaded() { return loadedList(); }

Form *find(const QString &objectName)
{
    for (Form *f : loadedList())
        if (f->widget() && f->widget()->objectName() == objectName)
            return f;
    return nullptr;
}

void forget(Form *f) { loadedList().removeAll(f); }

} // namespace forms

QAction *menuItem(QWidget *root, const QString &name)
{
    return root ? root->findChild<QAction *>(name) : nullptr;
}

QAction *toolButton(QWidget *root, const QString &key)
{
    if (!root)
        return nullptr;
    for (QAction *a : root->findChildren<QAction *>())
        if (a->property("key").toString() == key)
            return a;
    return nullptr;
}

} // namespace vt

// --- windows that fit their screen -------------------------------------------

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace vt::screenfit {

namespace {

// The decoration a window manager adds around a window not yet mapped, for
// which Qt knows no frame yet: a title bar and thin borders.
constexpr int kGuessSide = 4;
constexpr int kGuessTitle = 28;

QScreen *screenOf(QWidget *w)
{
    if (QWidget *parent = w->parentWidget(); parent && parent->window()->isVisible())
        if (QScreen *s = parent->window()->screen())
            return s;
    if (QScreen *s = QGuiApplication::screenAt(w->geometry().center()))
        return s;
    return w->screen() ? w->screen() : QGuiApplication::primaryScreen();
}

bool fitted(QWidget *w)
{
    if (!w->isWindow() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip
        || w->windowType() == Qt::Desktop || w->isFullScreen() || w->isMaximized())
        return false;
    return !w->testAttribute(Qt::WA_DontShowOnScreen);
}

class Fitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType() || !static_cast<QWidget *>(watched)->isWindow())
            return false;
        // Once now, before the window is mapped, and once more when the
        // window system has placed it (it may report the place the window
        // was created at after the move made here).
        auto *window = static_cast<QWidget *>(watched);
        fitWindow(window);
        QTimer::singleShot(0, window, [guard = QPointer<QWidget>(window)] {
            if (QWidget *w = guard.data(); w && w->isVisible())
                fitWindow(w);
        });
        return false;
    }
};

// A scroll area that asks for its body's whole size, not a share of the font,
// and asks again whenever the body's layout changes (the body is laid out
// after it is put in, and its panes open and fold).
class BodyScroller : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override
    {
        const int f = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(f, f) : QScrollArea::sizeHint();
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            fitWidth();
            updateGeometry();
        }
        return QScrollArea::eventFilter(watched, event);
    }
    // The body scrolls only up and down: its whole width is always shown.
    void fitWidth()
    {
        if (widget())
            setMinimumWidth(widget()->sizeHint().width() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
    }
};

} // namespace

QRect placeWithin(const QRect &frame, const QRect &available)
{
    QRect r = frame;
    if (r.right() > available.right())
        r.moveRight(available.right());
    if (r.bottom() > available.bottom())
        r.moveBottom(available.bottom());
    if (r.left() < available.left())
        r.moveLeft(available.left());
    if (r.top() < available.top())
        r.moveTop(available.top());
    return r;
}

void fitWindow(QWidget *w)
{
    if (!w || !fitted(w))
        return;
    QScreen *screen = screenOf(w);
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect client = w->geometry();
    QRect frame = w->frameGeometry();
    // Before the window manager has framed the window, its frame is guessed.
    const bool decorated = !w->windowFlags().testFlag(Qt::FramelessWindowHint);
    if (frame == client && decorated && QGuiApplication::platformName() == u"xcb")
        frame = client.marginsAdded(QMargins(kGuessSide, kGuessTitle, kGuessSide, kGuessSide));
    const QMargins deco(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                        frame.bottom() - client.bottom());
    // Too large: shrink to the room there is, as far as the window allows.
    const QSize room(available.width() - deco.left() - deco.right(), available.height() - deco.top() - deco.bottom());
    if (w->width() > room.width() || w->height() > room.height()) {
        const QSize want = w->size().boundedTo(room).expandedTo(w->minimumSize());
        if (want != w->size()) {
            w->resize(want);
            frame.setSize(want.grownBy(deco));
        }
    }
    // Moved by the distance its frame lies outside, whatever point of the
    // window the platform takes a move to mean.
    const QRect placed = placeWithin(frame, available);
    if (placed.topLeft() != frame.topLeft())
        w->move(w->pos() + (placed.topLeft() - frame.topLeft()));
}

void fitEveryWindow()
{
    static Fitter *fitter = nullptr;
    if (fitter || !qApp)
        return;
    fitter = new Fitter(qApp);
    qApp->installEventFilter(fitter);
}

QWidget *scrollingBody(QWidget *window)
{
    auto *outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new BodyScroller(window);
    scroll->setObjectName(QStringLiteral("scrBody"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *body = new QWidget;
    body->setObjectName(QStringLiteral("body"));
    scroll->setWidget(body);
    body->installEventFilter(scroll);
    outer->addWidget(scroll);
    return body;
}

} // namespace vt::screenfit
