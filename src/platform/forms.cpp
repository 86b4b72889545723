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
