#include "tools/modFind.h"

#include <algorithm>

namespace vt {

namespace {

// A word character for the backward search's whole-word test: a digit or a
// letter A to Z once upper-cased.
bool backwardWordChar(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z');
}

// A word character for the rich-text box's own whole-word test.
bool boxWordChar(QChar c) { return c.isLetterOrNumber() || c == QChar('_'); }

} // namespace

const QString kHistorySeparator = QStringLiteral("@.\n.@");

const QList<FindDirection> &findDirections()
{
    static const QList<FindDirection> list = {
        {QStringLiteral("ALL"), 0, QStringLiteral("Forward Search:  Top --> Bottom")},
        {QStringLiteral("Down"), 1, QStringLiteral("Forward Search:  Cursor --> Bottom")},
        {QStringLiteral("Up"), 4, QStringLiteral("Backward Search:  Cursor --> Top")},
        {QStringLiteral("DownLoop"), 2, QStringLiteral("Forward Search:  Cursor --> Bottom  &&  Top --> Cursor")},
        {QStringLiteral("UpLoop"), 5, QStringLiteral("Backward Search:  Cursor --> Top  &&  Bottom --> Cursor")},
        {QStringLiteral("Top2Cursor"), 3, QStringLiteral("Forward Search:  Top --> Cursor")},
        {QStringLiteral("End2Cursor"), 6, QStringLiteral("Backward Search:  Bottom --> Cursor")},
    };
    return list;
}

QString directionKey(int16_t code)
{
    for (const FindDirection &d : findDirections())
        if (d.code == code)
            return d.key;
    return {};
}

QString directionDescription(int16_t code)
{
    for (const FindDirection &d : findDirections())
        if (d.code == code)
            return d.description;
    return {};
}

bool textEquals(const QString &a, const QString &b, int16_t compareMode)
{
    return a.compare(b, compareMode == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

void makFndOpts(FindStateRec &s)
{
    s.CompareMode = s.MatchCase ? 0 : 1;
    s.FindOptions = int16_t((s.WholeWord ? 2 : 0) + (s.MatchCase ? 4 : 0));
}

void rstSearch(FindStateRec &s)
{
    s.ShowNotFound = true;
    s.Direction = s.PrevDirection = s.SheetOption = s.FindOptions = s.WrapPasses = 0;
    s.CompareMode = 1;
    s.HistCompare = 0;
    s.Backward = s.BlockValid = s.WholeWord = s.MatchCase = s.PatternMatch = s.BlockMode = false;
    s.Found = s.FoundByNext = s.TextChanged = s.FindHistPending = false;
    s.TrackFocus = true;
    s.FindText.clear();
    s.ReplaceText.clear();
    s.LastCFileTag.clear();
    s.FindHistory.clear();
    s.ReplaceHistory.clear();
}

namespace {
// A new search one way: from the cursor to the far end (once round, back to
// the cursor, when it wraps), or from the far end to the cursor. The first
// search of the second kind, and one restarted where the cursor moved past
// where it had got to, begins at the far end.
void startPass(FindStateRec &s, bool backward, bool wraps, bool toCursor, int R, int cursor, int top, int end)
{
    s.WrapPasses = 0;
    if (toCursor) {
        const bool passed = backward ? cursor > s.NextPos : cursor < s.NextPos;
        if (passed || R < 10)
            s.NextPos = backward ? end : top;
        s.LimitPos = cursor;
        return;
    }
    s.NextPos = cursor;
    s.LimitPos = backward ? top : end;
    s.WrapLimit = cursor;
    s.TopPos = top;
    s.DocEnd = end;
    if (wraps)
        s.WrapPasses = 1;
}
} // namespace

bool makHow(FindStateRec &s, int P, int R, int cursor, int selLength, int textLength)
{
    int top = 0;
    int end = textLength;
    const int flen = int(s.FindText.size());
    (void)selLength;
    if (s.WrapPasses < 0)
        s.WrapPasses = 0;
    if (R < 10 && P == 0 && s.BlockMode && s.BlockValid) {
        top = s.BlockStart;
        cursor = s.BlockStart;
        end = s.BlockEnd;
    }
    // A search that runs to the bottom of the whole CFile takes the bottom as
    // it stands now: shots arriving at the end between two Finds are searched
    // too. A block keeps its own end.
    const bool wholeText = !(s.BlockMode && s.BlockValid);
    const auto toBottom = [&] {
        if (wholeText && s.LimitPos == s.DocEnd)
            s.LimitPos = s.DocEnd = end;
    };
    switch (s.Direction) {
    case 0: // ALL
        s.Backward = false;
        if (R > 9) {
            // Restarted where the user put the cursor: from there to the
            // bottom, then from the top back to the cursor, so that ALL still
            // covers the whole CFile.
            s.NextPos = cursor;
            s.LimitPos = s.DocEnd = end;
            s.TopPos = top;
            s.WrapLimit = std::min(end, cursor + std::max(flen - 1, 0));
            s.WrapPasses = 1;
        } else if (P == 0) {
            s.NextPos = top;
            s.LimitPos = end;
            s.WrapLimit = 0;
            s.TopPos = top;
            s.DocEnd = end;
        } else {
            s.NextPos += flen;
            toBottom();
        }
        return true;
    case 1:
    case 2:
    case 3:
        s.Backward = false;
        if (P != 0) {
            s.NextPos += flen; // resumes behind the hit
            if (s.Direction != 3)
                toBottom();
            return true;
        }
        startPass(s, false, s.Direction == 2, s.Direction == 3, R, cursor, top, end);
        return true;
    case 4:
    case 5:
    case 6:
        s.Backward = true;
        if (P != 0)
            return true; // the next pass ends at the hit
        startPass(s, true, s.Direction == 5, s.Direction == 6, R, cursor, top, end);
        return true;
    default:
        return false;
    }
}

int fndBackwardIn(FindStateRec &s, const QString &text)
{
    const int len = int(text.size());
    const int flen = int(s.FindText.size());
    const int lo = std::max(0, int(s.LimitPos));
    const int hi = std::min(len, int(s.NextPos));
    if (flen == 0 || hi - lo < flen)
        return -1;
    const Qt::CaseSensitivity cs = s.CompareMode == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int pos = int(text.lastIndexOf(s.FindText, hi - flen, cs));
    if (pos < lo)
        return -1;
    if (s.WholeWord) {
        const bool before = pos > 0 && backwardWordChar(text[pos - 1]);
        const bool after = pos + flen < len && backwardWordChar(text[pos + flen]);
        if (before || after) {
            s.NextPos = pos;
            return -2;
        }
    }
    s.NextPos = pos;
    return pos;
}

QString hst2Txt(const QString &current, const QStringList &history)
{
    QString out = current + kHistorySeparator;
    for (const QString &entry : history)
        out += entry + kHistorySeparator;
    return out;
}

void txt2Hst(const QString &text, QString &current, QStringList &history)
{
    current.clear();
    history.clear();
    qsizetype p = text.indexOf(kHistorySeparator);
    if (p < 0)
        return;
    current = text.left(p);
    for (;;) {
        const qsizetype from = p + kHistorySeparator.size();
        const qsizetype next = text.indexOf(kHistorySeparator, from);
        if (next < 0 || next == from)
            return;
        history << text.mid(from, next - from);
        p = next;
    }
}

QList<int> planReplaceAll(const QString &text, int from, int limit, const QString &find,
                          const QString &replacement, int options)
{
    QList<int> hits;
    const qsizetype flen = find.size();
    const qsizetype len = text.size();
    if (flen == 0)
        return hits;
    limit = std::min<int>(limit, int(len));
    const Qt::CaseSensitivity cs = options & 4 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool wholeWord = options & 2;
    // The character that stands before text[at] once the hits so far are
    // replaced: right behind a replaced hit it is the replacement's last one
    // (or, for an empty replacement, whatever stood before that hit).
    qsizetype prevEnd = -1;
    QChar beforePrev;
    bool hasBeforePrev = false;
    auto charBefore = [&](qsizetype at, QChar &c) {
        if (at == prevEnd) {
            if (!replacement.isEmpty()) {
                c = replacement.back();
                return true;
            }
            c = beforePrev;
            return hasBeforePrev;
        }
        if (at <= 0)
            return false;
        c = text[at - 1];
        return true;
    };
    qsizetype start = std::max(0, from);
    for (qsizetype pos = text.indexOf(find, start, cs); pos >= 0 && pos + flen <= limit;
         pos = text.indexOf(find, pos + 1, cs)) {
        QChar before;
        const bool hasBefore = charBefore(pos, before);
        if (wholeWord && ((hasBefore && boxWordChar(before)) || (pos + flen < len && boxWordChar(text[pos + flen]))))
            continue;
        hits << int(pos);
        hasBeforePrev = hasBefore;
        beforePrev = before;
        prevEnd = pos + flen;
        // The next search starts behind the replacement, which stands where
        // this hit ended.
        pos = prevEnd - 1;
    }
    return hits;
}

} // namespace vt
