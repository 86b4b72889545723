#include "platform/menutable.h"

#include <QMenuBar>

namespace vt::menutable {

QMenu *addMenu(QWidget *parent, const char *name, const char *caption, unsigned flags)
{
    const QString text = QString::fromUtf8(caption);
    QMenu *m = nullptr;
    if (auto *bar = qobject_cast<QMenuBar *>(parent))
        m = bar->addMenu(text);
    else
        m = qobject_cast<QMenu *>(parent)->addMenu(text);
    m->setObjectName(QString::fromLatin1(name));
    if (!(flags & BareEntry))
        m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

QAction *addItem(QMenu *menu, const char *name, const char *caption, unsigned flags, const char *statusTip)
{
    QAction *a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (flags & (Checkable | Checked))
        a->setCheckable(true);
    if (flags & Checked)
        a->setChecked(true);
    if (statusTip)
        a->setStatusTip(QString::fromUtf8(statusTip));
    return a;
}

QAction *addSeparator(QMenu *menu, const char *name)
{
    QAction *s = menu->addSeparator();
    if (name)
        s->setObjectName(QString::fromLatin1(name));
    return s;
}

namespace {
constexpr const char *kStandardKey = "standardKey";
}

void setStandardKey(QAction *item, QKeySequence::StandardKey key) { item->setProperty(kStandardKey, int(key)); }

QKeySequence::StandardKey standardKey(const QAction *item)
{
    const QVariant v = item->property(kStandardKey);
    return v.isValid() ? QKeySequence::StandardKey(v.toInt()) : QKeySequence::UnknownKey;
}

} // namespace vt::menutable
