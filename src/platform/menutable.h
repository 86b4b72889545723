// Menus described as data: a window lists its menus as rows (a submenu, its
// items and separators, the end of the submenu) with each item's name,
// caption, switches, status tip, standard keys and handler, and one call
// builds them all.
// Every item and submenu carries its name as objectName, so that tests and
// the program find it by name; a handler runs through the error guard under
// "<window>/<name>_Click".
#pragma once

#include "platform/errors.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QString>
#include <span>
#include <vector>

class QWidget;

namespace vt {

namespace menutable {

enum Flag : unsigned {
    Checkable = 1,
    Checked = 2,    // checkable and ticked as the window loads
    BareEntry = 4,  // a submenu whose entry in the parent menu stays unnamed
};

// A submenu named `name` under `parent` (a menu bar or a menu).
QMenu *addMenu(QWidget *parent, const char *name, const char *caption, unsigned flags);
// An item at the end of `menu`.
QAction *addItem(QMenu *menu, const char *name, const char *caption, unsigned flags, const char *statusTip);
// A separator at the end of `menu`, named when `name` is given.
QAction *addSeparator(QMenu *menu, const char *name);

// The standard keys an item's row gives it (UnknownKey: none). The table only
// records them: which of the platform's bindings the item really takes is
// decided by the window that owns the keys (a CFile box keeps some for itself).
void setStandardKey(QAction *item, QKeySequence::StandardKey key);
QKeySequence::StandardKey standardKey(const QAction *item);

} // namespace menutable

// One row of a window's menu table. W is the window class: the rows name the
// members that receive the built menus and items and the handlers to call.
template <class W>
struct MenuRow {
    enum Kind : unsigned char { Item, Separator, Menu, End };
    using Handler = void (W::*)();

    Kind kind = Item;
    const char *name = nullptr;
    const char *caption = nullptr;
    QAction *W::*item = nullptr;
    QMenu *W::*menu = nullptr;
    Handler handler = nullptr;
    unsigned flags = 0;
    int index = -1;                // the "Index" of an element of a control array
    const char *statusTip = nullptr;
    QKeySequence::StandardKey key = QKeySequence::UnknownKey;

    static constexpr MenuRow sub(const char *name, const char *caption, QMenu *W::*menu, unsigned flags = 0)
    {
        return {Menu, name, caption, nullptr, menu, nullptr, flags, -1, nullptr};
    }
    static constexpr MenuRow end() { return {End}; }
    static constexpr MenuRow sep(const char *name = nullptr, QAction *W::*item = nullptr)
    {
        return {Separator, name, nullptr, item};
    }
    static constexpr MenuRow act(const char *name, const char *caption, QAction *W::*item, Handler handler = nullptr,
                                 unsigned flags = 0, const char *statusTip = nullptr)
    {
        return {Item, name, caption, item, nullptr, handler, flags, -1, statusTip};
    }
    // The same row with the platform's standard keys for `k`.
    constexpr MenuRow keys(QKeySequence::StandardKey k) const
    {
        MenuRow r = *this;
        r.key = k;
        return r;
    }
    // An element of a control array: its member is filled by the caller.
    static constexpr MenuRow element(const char *name, const char *caption, int index, unsigned flags = 0)
    {
        return {Item, name, caption, nullptr, nullptr, nullptr, flags, index, nullptr};
    }
};

// Builds `rows` under `top` (a menu bar or a menu) for the window `w`, whose
// name prefixes the handlers' error places.
template <class W>
void buildMenuTable(W *w, QWidget *top, std::span<const MenuRow<W>> rows, const QString &windowName)
{
    using Row = MenuRow<W>;
    std::vector<QWidget *> open{top};
    for (const Row &r : rows) {
        QWidget *parent = open.back();
        auto *menu = qobject_cast<QMenu *>(parent);
        switch (r.kind) {
        case Row::Menu: {
            QMenu *m = menutable::addMenu(parent, r.name, r.caption, r.flags);
            if (r.menu)
                w->*r.menu = m;
            open.push_back(m);
            break;
        }
        case Row::End:
            open.pop_back();
            break;
        case Row::Separator: {
            QAction *s = menutable::addSeparator(menu, r.name);
            if (r.item)
                w->*r.item = s;
            break;
        }
        case Row::Item: {
            QAction *a = menutable::addItem(menu, r.name, r.caption, r.flags, r.statusTip);
            if (r.index >= 0)
                a->setProperty("Index", r.index);
            if (r.key != QKeySequence::UnknownKey)
                menutable::setStandardKey(a, r.key);
            if (r.item)
                w->*r.item = a;
            if (r.handler) {
                const QString where = windowName + u'/' + QString::fromLatin1(r.name) + QStringLiteral("_Click");
                QObject::connect(a, &QAction::triggered, w,
                                 [w, handler = r.handler, where] { guarded(where, [&] { (w->*handler)(); }); });
            }
            break;
        }
        }
    }
}

} // namespace vt
