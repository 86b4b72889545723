#include "platform/appicon.h"

#include "platform/filesave.h"

#include "platform/progfolder.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSaveFile>

namespace vt {

namespace {

// The drawing of vantrell.svg, on its 64 x 64 grid.
QPixmap drawIcon(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x4e, 0x6e));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    QPen vee(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(vee);
    p.setBrush(Qt::NoBrush);
    const QPointF points[3] = {{15, 12}, {32, 42}, {49, 12}};
    p.drawPolyline(points, 3);

    const QColor orange(0xf2, 0x9b, 0x30);
    p.setPen(QPen(orange, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 52), QPointF(42, 52));
    QPainterPath bullet;
    bullet.moveTo(44, 48);
    bullet.lineTo(51, 48);
    bullet.quadTo(57, 52, 51, 56);
    bullet.lineTo(44, 56);
    bullet.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(orange);
    p.drawPath(bullet);
    return pm;
}

// A value of the Exec key: the program quoted when it holds a character the
// desktop entry format reserves, and backslashes doubled as any string value.
QString execValue(const QString &program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : program)
        quote = quote || reserved.contains(c);
    if (!quote)
        return program;
    QString inner;
    for (QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            inner += u'\\';
        inner += c;
    }
    inner.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return u'"' + inner + u'"';
}

} // namespace

QIcon programIcon()
{
    // Drawn afresh: a static icon would outlive the application's pixmaps.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawIcon(size));
    return icon;
}

void useProgramIcon()
{
    QGuiApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("vantrell"));
}

bool writeDesktopEntry(const QString &folder, const QString &program)
{
    QFile shipped(resourcesFolder() + QStringLiteral("/vantrell.desktop"));
    if (!shipped.open(QIODevice::ReadOnly))
        return false;
    QStringList lines = QString::fromUtf8(shipped.readAll()).split(u'\n');
    for (QString &line : lines) {
        if (line.startsWith(QStringLiteral("Exec=")) || line.startsWith(QStringLiteral("TryExec=")))
            line = line.section(u'=', 0, 0) + u'='
                + (line.startsWith(u'T') ? QString(program).replace(u'\\', QStringLiteral("\\\\")) : execValue(program));
        else if (line.startsWith(QStringLiteral("Icon=")))
            line = QStringLiteral("Icon=") + folder + QStringLiteral("/vantrell.svg");
    }
    const QByteArray text = lines.join(u'\n').toUtf8();
    const QString target = folder + QStringLiteral("/vantrell.desktop");
    QFile old(target);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == text)
        return true;
    old.close();
    // Written again whenever it differs, so a crash cannot leave it wrong for
    // long. File managers start a desktop entry from an ordinary folder only
    // when it is executable.
    return replaceRegenerableFile(target, text,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                      | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace vt
