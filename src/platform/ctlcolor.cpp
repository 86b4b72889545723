#include "platform/ctlcolor.h"

#include "platform/conversions.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace vt {

namespace {

const char *const kBack = "BackColor";
const char *const kFore = "ForeColor";

struct Roles {
    QPalette::ColorRole back;
    QPalette::ColorRole fore;
};

Roles rolesOf(const QWidget *w)
{
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractScrollArea *>(w)
        || qobject_cast<const QComboBox *>(w))
        return {QPalette::Base, QPalette::Text};
    if (qobject_cast<const QAbstractButton *>(w))
        return {QPalette::Button, QPalette::ButtonText};
    return {QPalette::Window, QPalette::WindowText};
}

void paint(QWidget *w, QPalette::ColorRole role, uint32_t colour)
{
    QPalette pal = w->palette();
    const QColor c = colorFromNumber(colour);
    // Every colour group, so that the colour holds while the window is inactive.
    pal.setColor(QPalette::Active, role, c);
    pal.setColor(QPalette::Inactive, role, c);
    pal.setColor(QPalette::Disabled, role, c);
    w->setPalette(pal);
}

uint32_t read(const QWidget *w, const char *prop, QPalette::ColorRole role)
{
    const QVariant v = w->property(prop);
    if (v.isValid())
        return v.toUInt();
    return numberFromColor(w->palette().color(role));
}

} // namespace

void SetBackColor(QWidget *control, uint32_t colour)
{
    if (!control)
        return;
    const QPalette::ColorRole role = rolesOf(control).back;
    if (role == QPalette::Window)
        control->setAutoFillBackground(true);
    paint(control, role, colour);
    control->setProperty(kBack, QVariant::fromValue(colour));
}

void SetForeColor(QWidget *control, uint32_t colour)
{
    if (!control)
        return;
    paint(control, rolesOf(control).fore, colour);
    control->setProperty(kFore, QVariant::fromValue(colour));
}

uint32_t BackColor(const QWidget *control)
{
    return control ? read(control, kBack, rolesOf(control).back) : 0;
}

uint32_t ForeColor(const QWidget *control)
{
    return control ? read(control, kFore, rolesOf(control).fore) : 0;
}

} // namespace vt
