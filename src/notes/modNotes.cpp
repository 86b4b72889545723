#include "notes/modNotes.h"

#include "platform/conversions.h"
#include "platform/rtfwriter.h"

#include <QStringDecoder>

namespace vt {

QString noteKey8(int a, int b, int c, int d)
{
    QString s;
    for (int part : {a, b, c, d})
        s += Format(part, QStringLiteral("00"));
    return s;
}

QString noteKeyText(int a, int b, int c, int d)
{
    return QString::number(a) + u'.' + QString::number(b) + u'.' + QString::number(c) + u'.' + QString::number(d);
}

bool parseKeyText(const QString &text, int16_t parts[4])
{
    const qsizetype p1 = text.indexOf(u'.');
    const qsizetype p2 = p1 >= 0 ? text.indexOf(u'.', p1 + 1) : -1;
    const qsizetype p3 = p2 >= 0 ? text.indexOf(u'.', p2 + 1) : -1;
    if (p1 < 1 || p2 < 0 || p3 < 0)
        return false;
    const QString pieces[4] = {text.left(p1), text.mid(p1 + 1, p2 - p1 - 1), text.mid(p2 + 1, p3 - p2 - 1),
                               text.mid(p3 + 1)};
    int16_t got[4];
    for (int i = 0; i < 4; ++i) {
        const double v = Val(pieces[i]);
        // A part that does not fit two digits would shift the eight-digit key.
        if (!(v >= 0 && v <= 99))
            return false;
        got[3 - i] = CInt(v);
    }
    for (int i = 0; i < 4; ++i)
        parts[i] = got[i];
    return true;
}

bool isTitleLine(const QString &line, QString *keyText)
{
    const qsizetype p1 = line.indexOf(QStringLiteral("<_"));
    if (p1 < 0)
        return false;
    // Positions count from 0 here: the closing mark is looked for from the
    // third character on, and must leave room for at least one key character.
    const qsizetype p2 = line.indexOf(QStringLiteral("_>"), 2);
    if (p2 <= p1 + 2)
        return false;
    if (keyText)
        *keyText = line.mid(p1 + 2, p2 - p1 - 2);
    return true;
}

bool isRefLine(const QString &line)
{
    const qsizetype q1 = line.indexOf(QStringLiteral("<:"));
    if (q1 < 0)
        return false;
    const qsizetype q2 = line.indexOf(QStringLiteral(":>"), 2);
    return q2 > q1 + 1;
}

bool hasTitleMark(const QString &line)
{
    return line.contains(QStringLiteral("<_")) || line.indexOf(QStringLiteral("_>"), 2) >= 0;
}

QString NoteStore::item(int n) const
{
    if (n < 1 || n > count())
        return {};
    return entries_.at(n - 1);
}

int NoteStore::position(const QString &key) const
{
    if (!keys_.contains(key))
        return 0;
    for (int i = 0; i < count(); ++i)
        if (entries_.at(i).left(8) == key)
            return i + 1;
    return 0;
}

bool NoteStore::add(const QString &key, const QString &entry) { return insertBefore(count() + 1, key, entry); }

bool NoteStore::insertBefore(int n, const QString &key, const QString &entry)
{
    if (keys_.contains(key) || n < 1 || n > count() + 1)
        return false;
    entries_.insert(n - 1, entry);
    keys_.insert(key, true);
    return true;
}

bool NoteStore::insertAfter(const QString &afterKey, const QString &key, const QString &entry)
{
    const int at = position(afterKey);
    if (at == 0)
        return false;
    return insertBefore(at + 1, key, entry);
}

bool NoteStore::remove(const QString &key) { return removeAt(position(key)); }

bool NoteStore::removeAt(int n)
{
    if (n < 1 || n > count())
        return false;
    keys_.remove(entries_.at(n - 1).left(8));
    entries_.removeAt(n - 1);
    return true;
}

void NoteStore::clear()
{
    entries_.clear();
    keys_.clear();
}

QString decodeNotes(const QByteArray &bytes, bool &utf8)
{
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = dec.decode(bytes);
    utf8 = !dec.hasError();
    return utf8 ? text : rtf::cp1252Text(bytes);
}

QByteArray encodeNotes(const QString &text, bool utf8)
{
    if (!utf8) {
        QByteArray out;
        out.reserve(text.size());
        for (QChar c : text) {
            const int b = rtf::cp1252Byte(c);
            if (b < 0)
                return text.toUtf8();
            out.append(char(b));
        }
        return out;
    }
    return text.toUtf8();
}

} // namespace vt
