#include "platform/dateformat.h"

#include <QLocale>

namespace vt {

namespace {

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// Length of the run of one letter (case-insensitive) starting at i.
int runOf(const QString &p, int i)
{
    const QChar c = p.at(i).toLower();
    int n = 0;
    while (i + n < p.size() && p.at(i + n).toLower() == c)
        ++n;
    return n;
}

bool startsWithAt(const QString &p, int i, const char *what)
{
    return p.mid(i, int(qstrlen(what))).compare(QLatin1String(what), Qt::CaseInsensitive) == 0;
}

// Whether the pattern asks for a 12-hour clock anywhere.
bool hasAmPm(const QString &p)
{
    for (int i = 0; i < p.size(); ++i) {
        const QChar c = p.at(i);
        if (c == u'"') {
            const int close = p.indexOf(u'"', i + 1);
            i = close < 0 ? int(p.size()) : close;
            continue;
        }
        if (c == u'\\') {
            ++i;
            continue;
        }
        if (startsWithAt(p, i, "am/pm") || startsWithAt(p, i, "a/p") || startsWithAt(p, i, "ampm"))
            return true;
    }
    return false;
}

} // namespace

QString formatDateTime(const QDateTime &when, const QString &pattern)
{
    const QLocale loc;
    const QDate date = when.date();
    const QTime time = when.time();
    const bool twelve = hasAmPm(pattern);
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const int hour = twelve ? hour12 : time.hour();
    const bool pm = time.hour() >= 12;

    QString out;
    // An "m" right after an hour (separators and literals between allowed)
    // means minutes; this remembers whether the last date/time code was an hour.
    bool afterHour = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lc = c.toLower();
        if (c == u'"') {
            const int close = pattern.indexOf(u'"', i + 1);
            const int end = close < 0 ? int(pattern.size()) : close;
            out += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == u'\\') {
            if (i + 1 < pattern.size())
                out += pattern.at(i + 1);
            i += 2;
            continue;
        }
        if (startsWithAt(pattern, i, "am/pm")) {
            const QString t = pattern.mid(i, 5);
            out += pm ? t.mid(3, 2) : t.left(2);
            i += 5;
            continue;
        }
        if (startsWithAt(pattern, i, "a/p")) {
            const QString t = pattern.mid(i, 3);
            out += pm ? t.mid(2, 1) : t.left(1);
            i += 3;
            continue;
        }
        if (startsWithAt(pattern, i, "ampm")) {
            out += pm ? loc.pmText() : loc.amText();
            i += 4;
            continue;
        }
        const int n = lc.isLetter() ? runOf(pattern, i) : 1;
        if (lc == u'd') {
            afterHour = false;
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += twoDigits(date.day());
            else if (n == 3)
                out += loc.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else if (n == 4)
                out += loc.dayName(date.dayOfWeek(), QLocale::LongFormat);
            else if (n == 5)
                out += loc.toString(date, QLocale::ShortFormat);
            else
                out += loc.toString(date, QLocale::LongFormat);
        } else if (lc == u'm') {
            if (afterHour && n <= 2) {
                out += n == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            } else if (n == 1) {
                out += QString::number(date.month());
            } else if (n == 2) {
                out += twoDigits(date.month());
            } else if (n == 3) {
                out += loc.monthName(date.month(), QLocale::ShortFormat);
            } else {
                out += loc.monthName(date.month(), QLocale::LongFormat);
            }
            afterHour = false;
        } else if (lc == u'y') {
            afterHour = false;
            if (n == 1)
                out += QString::number(date.dayOfYear());
            else if (n == 2)
                out += twoDigits(date.year() % 100);
            else if (n == 3) // "yyy": the year's last two digits, then the day of the year
                out += twoDigits(date.year() % 100) + QString::number(date.dayOfYear());
            else
                out += QString::number(date.year());
        } else if (lc == u'q') {
            afterHour = false;
            for (int k = 0; k < n; ++k)
                out += QString::number((date.month() + 2) / 3);
        } else if (lc == u'w') {
            afterHour = false;
            // Sunday is the first day of the week, and the week holding 1 January the first week.
            const int weekday = date.dayOfWeek() % 7 + 1;
            if (n == 1) {
                out += QString::number(weekday);
            } else {
                const QDate jan1(date.year(), 1, 1);
                const int offset = jan1.dayOfWeek() % 7;
                out += QString::number((date.dayOfYear() - 1 + offset) / 7 + 1);
            }
        } else if (lc == u'h') {
            out += n == 1 ? QString::number(hour) : twoDigits(hour);
            afterHour = true;
        } else if (lc == u'n') {
            out += n == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            afterHour = false;
        } else if (lc == u's') {
            out += n == 1 ? QString::number(time.second()) : twoDigits(time.second());
            afterHour = false;
        } else if (lc == u't' && n >= 5) {
            out += loc.toString(time, QLocale::LongFormat).section(u' ', 0, 0);
            afterHour = false;
        } else if (lc == u'c') {
            out += loc.toString(date, QLocale::ShortFormat) + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
            afterHour = false;
        } else {
            // Separators and any other character stand for themselves.
            out += pattern.mid(i, n);
        }
        i += n;
    }
    return out;
}

} // namespace vt
