#include "platform/controls.h"

#include <QGridLayout>
#include <QLayout>
#include <QWidget>

namespace vt::controls {

QString clickLocation(const QString &prefix, const QString &name)
{
    QString stem = name;
    while (!stem.isEmpty() && stem.back().isDigit())
        stem.chop(1);
    return prefix + stem + QStringLiteral("_Click");
}

QString withoutMark(const QString &caption)
{
    QString text = caption;
    // Removing a mark steps over the character after it, so "&&" keeps one.
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'&')
            text.remove(i, 1);
    return text;
}

void dress(QAbstractButton *b, const ControlRow &row, const QString &where)
{
    b->setText(row.caption);
    named(b, row.name, {}, row.tip);
    if (row.click)
        onSignal(b, &QAbstractButton::clicked, where, row.click);
}

void addAll(QLayout *layout, const std::vector<QWidget *> &widgets)
{
    for (QWidget *w : widgets)
        layout->addWidget(w);
}

void addGrid(QGridLayout *grid, const std::vector<QWidget *> &widgets, int columns, int row, int column)
{
    for (size_t i = 0; i < widgets.size(); ++i)
        grid->addWidget(widgets[i], row + int(i) / columns, column + int(i) % columns);
}

void setShown(QWidget *w, bool shown)
{
    if (w->isHidden() == shown)
        w->setVisible(shown);
}

QWidget *standIn(QWidget *parent)
{
    auto *w = new QWidget(parent);
    // Only a control that takes focus has a place in the focus order.
    w->setFocusPolicy(Qt::StrongFocus);
    return w;
}

void takePlace(QWidget *standIn, QWidget *made)
{
    if (QWidget *parent = standIn->parentWidget(); parent && parent->layout())
        delete parent->layout()->replaceWidget(standIn, made);
    QWidget::setTabOrder(standIn, made);
    delete standIn;
}

} // namespace vt::controls
