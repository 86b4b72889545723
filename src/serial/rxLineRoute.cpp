#include "serial/rxLineRoute.h"

#include "editor/modCapFmt.h"

#include <algorithm>
#include <utility>

namespace vt {

namespace {

constexpr qsizetype kHeadMax = 16;     // longer than any prompt
constexpr qsizetype kPendMax = 32750;  // a line that never ends keeps its last this many

bool isLineEnd(QChar c)
{
    return c == QChar(13) || c == QChar(10);
}

} // namespace

void RxLineRoute::cut()
{
    open_ = inCFile_ = endInCFile_ = false;
    inLen_ = len_ = 0;
    pend_.clear();
    head_.clear();
    endedBy_ = QChar();
    endCFileLine();
}

void RxLineRoute::eraseOne(bool shoot, bool &touched)
{
    if (open_ && len_ > 0) {
        if (inCFile_) {
            eraseCFileFeed();
            --inLen_;
            touched = true;
        } else {
            pend_.chop(1);
        }
        --len_;
        head_.truncate(std::min(head_.size(), len_));
        if (len_ == 0)
            open_ = false;
        return;
    }
    if (!shoot)
        return;
    // Between two lines it takes the line end (or the prompt's last
    // character), and the CFile's last line is under way again.
    const QString last = eraseCFileFeed();
    touched = true;
    open_ = !last.isEmpty();
    inCFile_ = open_;
    inLen_ = len_ = last.size();
    head_ = last.left(kHeadMax);
    pend_.clear();
    endedBy_ = QChar();
}

bool RxLineRoute::take(const QString &text, int reachBack, bool shoot)
{
    bool touched = false;
    for (; reachBack > 0; --reachBack)
        eraseOne(shoot, touched);

    QString out;
    bool startsLine = false; // `out` begins a line of the unit's
    if (open_ && !inCFile_ && shoot) {
        // Shoot mode began while this line was under way: all of it goes in.
        out = std::exchange(pend_, QString());
        inCFile_ = true;
        inLen_ = out.size();
        startsLine = !out.isEmpty();
    }
    for (const QChar c : text) {
        const bool lineEnd = isLineEnd(c);
        if (!open_) {
            open_ = true;
            len_ = inLen_ = 0;
            head_.clear();
            pend_.clear();
            // The second half of a CR LF (or LF CR) goes where the first went.
            pairHalf_ = lineEnd && !endedBy_.isNull() && c != endedBy_;
            inCFile_ = pairHalf_ ? endInCFile_ : shoot;
            endedBy_ = QChar();
            if (inCFile_ && !lineEnd) {
                if (out.isEmpty())
                    startsLine = true;
                else if (!isLineEnd(out.back()))
                    out += QStringLiteral("\r\n"); // after a prompt in this chunk
            }
        }
        if (inCFile_) {
            out += c;
            ++inLen_;
        } else {
            pend_ += c;
            // Cut back in one go now and then, not by a character each time.
            if (pend_.size() > 2 * kPendMax)
                pend_.remove(0, pend_.size() - kPendMax);
        }
        ++len_;
        if (head_.size() < kHeadMax)
            head_ += c;
        if (lineEnd) {
            open_ = false;
            endInCFile_ = inCFile_;
            // A pair's second half waits for no further half.
            endedBy_ = pairHalf_ ? QChar() : c;
        } else if ((c == u'>' || c == u'?') && len_ == head_.size() && isUnitPrompt(head_)) {
            open_ = false;
            endInCFile_ = inCFile_;
            endedBy_ = QChar();
        }
    }
    if (!shoot && out.isEmpty() && !touched)
        return true;
    const bool ok = feedActiveCFile(out, startsLine, open_ && inCFile_ ? inLen_ : 0);
    if (!ok) {
        // Nothing took it: the line goes on nowhere.
        inCFile_ = endInCFile_ = false;
        inLen_ = 0;
    }
    return ok || !shoot;
}

} // namespace vt
