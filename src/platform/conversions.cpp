#include "platform/conversions.h"

#include "platform/errors.h"

#include <QApplication>
#include <QLocale>
#include <QPalette>
#include <cmath>
#include <limits>

namespace vt {

double Val(const QString &text)
{
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
            ++i;
    };
    skipBlanks();
    if (i + 1 < n && text[i] == u'&') {
        const QChar k = text[i + 1].toUpper();
        int base = k == u'H' ? 16 : (k == u'O' ? 8 : 0);
        if (base) {
            i += 2;
            int64_t v = 0;
            int digits = 0;
            while (i < n && digits < 16) {
                int d = QString(text[i]).toInt(nullptr, base);
                bool ok = false;
                QString(text[i]).toInt(&ok, base);
                if (!ok)
                    break;
                v = v * base + d;
                ++i;
                ++digits;
            }
            // Hex literals of four digits are 16-bit signed, as the platform reads them.
            if (base == 16 && digits <= 4 && v > 0x7FFF)
                v -= 0x10000;
            return double(v);
        }
    }
    QString num;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        num += text[i++];
    bool dot = false, exp = false, digit = false;
    while (i < n) {
        const QChar c = text[i];
        if (c == u' ' || c == u'\t') { ++i; continue; } // Val ignores blanks inside numbers
        if (c.isDigit() && c.unicode() < 128) { num += c; digit = true; }
        else if (c == u'.' && !dot && !exp) { num += c; dot = true; }
        else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && digit && !exp) {
            // Only an exponent when digits follow (optionally signed).
            int j = i + 1;
            if (j < n && (text[j] == u'+' || text[j] == u'-'))
                ++j;
            if (j < n && text[j].isDigit()) {
                num += u'e';
                exp = true;
                if (text[i + 1] == u'+' || text[i + 1] == u'-') { num += text[i + 1]; ++i; }
            } else break;
        } else break;
        ++i;
    }
    if (!digit)
        return 0.0;
    return num.toDouble();
}

static double roundHalfEven(double v)
{
    double r = std::nearbyint(v); // default rounding mode is to nearest, ties to even
    return r;
}

int16_t CInt(double value)
{
    double r = roundHalfEven(value);
    if (std::isnan(r) || r < -32768.0 || r > 32767.0)
        raise(6);
    return int16_t(r);
}

int32_t CLng(double value)
{
    double r = roundHalfEven(value);
    if (std::isnan(r) || r < -2147483648.0 || r > 2147483647.0)
        raise(6);
    return int32_t(r);
}

double CDbl(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        raise(13);
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return -1;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return 0;
    bool ok = false;
    double d = t.toDouble(&ok);
    if (!ok) {
        if (t.startsWith(u'&'))
            return Val(t);
        raise(13);
    }
    return d;
}

int16_t CInt(const QString &text) { return CInt(CDbl(text)); }
int32_t CLng(const QString &text) { return CLng(CDbl(text)); }

QString Str(double value)
{
    QString s;
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        s = QString::number(int64_t(value));
    else {
        s = QString::number(value, 'g', 15);
        if (s.startsWith(QStringLiteral("0.")))
            s.remove(0, 1);
        else if (s.startsWith(QStringLiteral("-0.")))
            s.remove(1, 1);
    }
    return value >= 0 ? QStringLiteral(" ") + s : s;
}

QString Format(double value, const QString &pattern)
{
    if (pattern.isEmpty())
        return Str(value).trimmed();
    const int dotPos = int(pattern.indexOf(u'.'));
    const QString intPat = dotPos >= 0 ? pattern.left(dotPos) : pattern;
    const QString fracPat = dotPos >= 0 ? pattern.mid(dotPos + 1) : QString();
    const bool grouping = intPat.contains(u',');
    const int minInt = int(intPat.count(u'0'));
    const int decimals = int(fracPat.count(u'0') + fracPat.count(u'#'));
    const int minFrac = int(fracPat.count(u'0'));

    // Round half away from zero on the decimal value, as Format does.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(std::fabs(value) * scale * (1 + 1e-15)) / scale;
    const bool negative = value < 0 && rounded != 0;
    const QString text = QString::number(rounded, 'f', decimals);
    QString intPart = decimals ? text.section(u'.', 0, 0) : text;
    QString fracPart = decimals ? text.section(u'.', 1, 1) : QString();

    if (intPart == QStringLiteral("0"))
        intPart.clear();
    while (intPart.size() < minInt)
        intPart.prepend(u'0');
    if (grouping && intPart.size() > 3) {
        QString g;
        int cnt = 0;
        for (int k = int(intPart.size()) - 1; k >= 0; --k) {
            g.prepend(intPart[k]);
            if (++cnt % 3 == 0 && k > 0)
                g.prepend(u',');
        }
        intPart = g;
    }
    while (fracPart.size() > minFrac && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    QString out = intPart;
    if (dotPos >= 0)
        out += u'.' + fracPart;
    return negative ? u'-' + out : out;
}

QString GeneralDate(const QDateTime &when)
{
    const QLocale loc = QLocale::system();
    return loc.toString(when.date(), QLocale::ShortFormat) + u' ' + loc.toString(when.time(), QLocale::LongFormat).section(u' ', 0, 0);
}

QString Format(const QDateTime &when, const QString &pattern)
{
    const QString p = pattern.toLower();
    if (p.isEmpty() || p == QStringLiteral("general date"))
        return GeneralDate(when);
    if (p == QStringLiteral("short date"))
        return QLocale::system().toString(when.date(), QLocale::ShortFormat);
    if (p == QStringLiteral("long date"))
        return QLocale::system().toString(when.date(), QLocale::LongFormat);
    if (p == QStringLiteral("long time") || p == QStringLiteral("hh:mm:ss"))
        return when.time().toString(QStringLiteral("HH:mm:ss"));
    if (p == QStringLiteral("short time") || p == QStringLiteral("hh:mm"))
        return when.time().toString(QStringLiteral("HH:mm"));
    // Pass the rest to Qt with the platform's tokens mapped: "mm" after "h" is minutes.
    QString q = pattern;
    q.replace(QStringLiteral("nn"), QStringLiteral("mm"));
    return when.toString(q);
}

bool CBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok)
        raise(13);
    return d != 0.0;
}

uint32_t RGB(int r, int g, int b)
{
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}

QColor colorFromNumber(uint32_t bgr)
{
    if (bgr & 0x80000000u) {
        // System colours: take them from the desktop's palette.
        const QPalette pal = QApplication::palette();
        switch (bgr & 0xFF) {
        case 5: return pal.color(QPalette::Base);
        case 8: return pal.color(QPalette::Text);
        case 15: return pal.color(QPalette::Button);
        case 18: return pal.color(QPalette::ButtonText);
        default: return pal.color(QPalette::Window);
        }
    }
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t numberFromColor(const QColor &c) { return RGB(c.red(), c.green(), c.blue()); }

} // namespace vt
