// Controls made from tables. A window describes a group of like controls as
// rows (name, caption, tool tip, what a click does) and one helper makes them
// alike: named for tests and the accessibility tree, captioned, and with
// every click run guarded, so that an error in a handler is reported under
// the handler's name and never reaches the event loop.
#pragma once

#include "platform/errors.h"

#include <QAbstractButton>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <span>
#include <type_traits>
#include <vector>

class QGridLayout;
class QLayout;
class QWidget;

namespace vt {

// One control of a group.
struct ControlRow {
    QString name;                      // its objectName
    QString caption;                   // its text, with its & mark
    std::function<void()> click = {};  // what a click does; nothing when empty
    QString tip = {};                  // its tool tip; none when empty
};

namespace controls {

// Where a click of the named control is reported: the prefix, the name
// without the index of a control array, and "_Click" ("frmRemCtr-" and
// "cmdCapMode1" give "frmRemCtr-cmdCapMode_Click").
QString clickLocation(const QString &prefix, const QString &name);

// A caption as it reads: without its & mark, and "&&" as the one "&" it shows.
QString withoutMark(const QString &caption);

// Gives a control its name and tip, and an accessible name (the given one,
// else its text without the & mark, else its tip).
template <class W>
W *named(W *w, const QString &name, const QString &accessible = {}, const QString &tip = {});

// Runs body guarded, reported under where, whenever sender sends signal. The
// connection lives as long as the sender.
template <class S, class Signal>
void onSignal(S *sender, Signal signal, const QString &where, std::function<void()> body)
{
    QObject::connect(sender, signal, sender, [where, body = std::move(body)] { guarded(where, body); });
}

// Dresses a made button from its row: name, caption, tip, accessible name
// and its guarded click, reported under where.
void dress(QAbstractButton *b, const ControlRow &row, const QString &where);

// One button (QPushButton, QCheckBox, QRadioButton, QToolButton) from a row;
// its click is reported under clickLocation(prefix, row.name).
template <class B>
B *make(QWidget *parent, const ControlRow &row, const QString &prefix)
{
    auto *b = new B(parent);
    dress(b, row, clickLocation(prefix, row.name));
    return b;
}

// A group of buttons from a table, in the table's order.
template <class B>
std::vector<B *> make(QWidget *parent, std::initializer_list<ControlRow> rows, const QString &prefix)
{
    std::vector<B *> made;
    made.reserve(rows.size());
    for (const ControlRow &row : rows)
        made.push_back(make<B>(parent, row, prefix));
    return made;
}

// One element of a control array, dressed from its row; its click calls
// click(index), reported under where.
template <class B>
B *makeElement(QWidget *parent, ControlRow row, int index, const std::function<void(int)> &click,
               const QString &where)
{
    auto *b = new B(parent);
    if (click)
        row.click = [click, index] { click(index); };
    dress(b, row, where);
    return b;
}

// A control array: stem0, stem1 ... (numbered from first) captioned from the
// list, each click calling click(index) reported under where.
template <class B>
std::vector<B *> makeArray(QWidget *parent, const QString &stem, const QStringList &captions,
                           const std::function<void(int)> &click, const QString &where, int first = 0)
{
    std::vector<B *> made;
    made.reserve(size_t(captions.size()));
    for (int i = 0; i < captions.size(); ++i) {
        const int index = first + i;
        made.push_back(makeElement<B>(parent, {stem + QString::number(index), captions[i]}, index, click, where));
    }
    return made;
}

// A control array whose elements all carry the one name stem and tell their
// place by their "Index" property: made into into[first], into[first + 1] ...
// captioned from the list, each with the tip at its place in tips, else the
// last tip given; a click calls click(index), reported under where. Returns
// the made ones, in order.
template <class B>
std::vector<B *> makeIndexed(std::span<B *> into, QWidget *parent, const QString &stem, const QStringList &captions,
                             const QStringList &tips = {}, int first = 0,
                             const std::function<void(int)> &click = {}, const QString &where = {})
{
    Q_ASSERT(first >= 0 && size_t(first + captions.size()) <= into.size());
    std::vector<B *> made;
    made.reserve(size_t(captions.size()));
    for (int i = 0; i < captions.size(); ++i) {
        const int index = first + i;
        const QString tip = tips.isEmpty() ? QString() : tips.value(i, tips.last());
        B *b = makeElement<B>(parent, {stem, captions[i], {}, tip}, index, click, where);
        b->setProperty("Index", index);
        into[size_t(index)] = b;
        made.push_back(b);
    }
    return made;
}

// Lays widgets into a layout in order; into a grid row by row, columns wide,
// starting at (row, column).
void addAll(QLayout *layout, const std::vector<QWidget *> &widgets);
void addGrid(QGridLayout *grid, const std::vector<QWidget *> &widgets, int columns, int row = 0, int column = 0);

// The widgets of a made group, for laying out.
template <class B>
std::vector<QWidget *> widgets(const std::vector<B *> &made)
{
    return {made.begin(), made.end()};
}

template <class W>
W *named(W *w, const QString &name, const QString &accessible, const QString &tip)
{
    w->setObjectName(name);
    if (!tip.isEmpty())
        w->setToolTip(tip);
    QString acc = accessible;
    if (acc.isEmpty()) {
        if constexpr (std::is_base_of_v<QAbstractButton, W>)
            acc = withoutMark(w->text());
    }
    if (acc.isEmpty())
        acc = tip;
    if (!acc.isEmpty())
        w->setAccessibleName(acc);
    return w;
}

// Shows or hides a control only where its own state changes. Showing one
// polishes it and all it holds, which for a control inside a window not yet
// shown is work best left to when the window shows: a control that was
// never hidden shows with its window anyway.
void setShown(QWidget *w, bool shown);

// A stand-in that holds a control's place, in its layout and in the focus
// order, until the control is made; takePlace puts the made control where
// the stand-in was and deletes the stand-in.
QWidget *standIn(QWidget *parent);
void takePlace(QWidget *standIn, QWidget *made);

} // namespace controls

// A control made when it is first used. A window keeps such controls for
// parts that cost much to make and are seldom needed before the window is
// shown: every use (->, or as a pointer) makes them first, through the
// window's one maker, and ifMade() asks without making.
template <class T>
class Deferred {
public:
    T *get() const
    {
        if (!made_ && maker_ && *maker_)
            (*maker_)();
        return made_;
    }
    T *operator->() const { return get(); }
    operator T *() const { return get(); }
    T *ifMade() const { return made_; }
    // The maker must set every control it makes before it uses one.
    void makeWith(const std::function<void()> *maker) { maker_ = maker; }
    void set(T *made) { made_ = made; }

private:
    T *made_ = nullptr;
    const std::function<void()> *maker_ = nullptr;
};

} // namespace vt
