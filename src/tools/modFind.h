// The search state of the find and replace window and the parts of its engine
// that need no window: the seven directions, the search ranges, the backward
// search, the stored history texts, and the one-pass plan of Replace All.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace vt {

class RichTextBox;

// One record for the whole run; the find window's first load in a run resets
// it, later loads keep it.
struct FindStateRec {
    int32_t TopPos = 0;       // top of the region of the last new search
    int32_t DocEnd = 0;       // its end
    bool ShowNotFound = true; // a search without a hit shows its notice
    int16_t WrapPasses = 0;   // wrap passes still allowed
    int32_t NextPos = 0;      // start of the next search; after a hit, the hit
    int32_t LimitPos = 0;     // other end of the range
    int32_t WrapLimit = 0;    // the cursor of the last new search
    int32_t LastHit = 0;
    int32_t LastReplLen = 0;
    int32_t ReplCount = 0;
    int32_t SavedSelStart = 0;
    int32_t SavedSelLen = 0;
    bool BlockValid = false;
    int32_t BlockLen = 0;
    int32_t BlockStart = 0;
    int32_t BlockEnd = 0;
    bool Found = false;
    bool FoundByNext = false;
    bool TextChanged = false;
    bool FindHistPending = false;
    int16_t PrevDirection = 0;
    int16_t Direction = 0;
    bool Backward = false;
    int16_t SheetOption = 0;
    bool WholeWord = false;
    bool MatchCase = false;
    bool PatternMatch = false;
    bool BlockMode = false;
    bool TrackFocus = true;
    int16_t FindOptions = 0;  // 2 whole word, 4 match case
    int16_t CompareMode = 1;  // 1 ignoring case, 0 exact
    int16_t HistCompare = 0;
    QString FindText;
    QString ReplaceText;
    QStringList FindHistory;
    QStringList ReplaceHistory;
    QString LastCFileTag;
};
inline FindStateRec FindState;

// Longest text taken from a CFile into the Find or Replace text.
constexpr int kFindTextMax = 2048;
// Entries a history keeps when one is added.
constexpr int kFindHistoryMax = 20;

// The directions in the order of the direction list.
struct FindDirection {
    QString key;
    int16_t code;
    QString description;
};
const QList<FindDirection> &findDirections();
// The key and description of a direction code; empty for an unknown code.
QString directionKey(int16_t code);
QString directionDescription(int16_t code);

// Equal under a comparison mode: 0 exact, 1 ignoring case.
bool textEquals(const QString &a, const QString &b, int16_t compareMode);

// The option mask and comparison mode from the options.
void makFndOpts(FindStateRec &s);
// rstSearch: the record at its start values.
void rstSearch(FindStateRec &s);

// Takes the range of a search: P 0 a new range, else continue behind a hit;
// R 0 a new search, 10 a restart at the cursor. The box gives the cursor, the
// selection and the text length. False for a direction code outside the table.
bool makHow(FindStateRec &s, int P, int R, int cursor, int selLength, int textLength);

// The backward search in `text` (the box's whole text) from NextPos down to
// LimitPos: the hit's position, -1 for none, -2 for a hit that is not a whole
// word (NextPos then stands on it, so the next call searches below it).
int fndBackwardIn(FindStateRec &s, const QString &text);

// The settings text of a history: the current text, the separator, then each
// entry followed by the separator; and back.
extern const QString kHistorySeparator;
QString hst2Txt(const QString &current, const QStringList &history);
void txt2Hst(const QString &text, QString &current, QStringList &history);

// Replace All in one pass: where the occurrences lie that a search would find
// one after the other in [from, limit) of `text` when each found one is
// replaced by `replacement` before the search goes on behind it. Positions
// are those of `text`; the whole-word test before an occurrence right behind
// a replaced one looks at the replaced text, as the search would.
QList<int> planReplaceAll(const QString &text, int from, int limit, const QString &find,
                          const QString &replacement, int options);

} // namespace vt
