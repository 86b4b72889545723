// The export's readers: shot lines of the active CFile and the download dump.
#include "export/modExpRdr.h"

#include "chrono/modCroDnl.h"
#include "export/modExpExc.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/spreadsheet.h"
#include "platform/timers.h"
#include "serial/modRxEngine.h"
#include "shell/frmFPrgrs.h"
#include "shell/modApi.h"
#include "shell/modNeighbours.h"

#include <QPointer>

#include <cmath>
#include <optional>

namespace vt {

namespace {

const QString crlf = QStringLiteral("\r\n");

// The leading number of a field: blanks skipped, then the longest prefix of
// a sign, digits and one decimal point; a field without digits reads 0.
double leadNumber(QStringView field)
{
    qsizetype i = 0;
    while (i < field.size() && field[i] == u' ')
        ++i;
    QString num;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+'))
        num += field[i++];
    bool dot = false, digit = false;
    for (; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c >= u'0' && c <= u'9') {
            digit = true;
        } else if (c == u'.' && !dot) {
            dot = true;
        } else {
            break;
        }
        num += c;
    }
    return digit ? num.toDouble() : 0.0;
}

// A value for a 16-bit field: the nearest integer, halves to even; nothing
// when it does not fit.
std::optional<int16_t> toInt16(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= -32768.0 && r <= 32767.0))
        return std::nullopt;
    return int16_t(r);
}

// The same for a 32-bit counter.
std::optional<int32_t> toInt32(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return std::nullopt;
    return int32_t(r);
}

std::optional<float> toSingle(double v)
{
    const float f = float(v);
    if (!std::isfinite(f))
        return std::nullopt;
    return f;
}

// The number of a shot line's field, from p up to its unit tag at `unit`,
// into out; false, with out untouched, when the field is empty or the number
// does not fit a single.
bool numberBefore(const QString &line, qsizetype p, qsizetype unit, float &out)
{
    if (unit <= p)
        return false;
    const auto v = toSingle(leadNumber(QStringView(line).mid(p, unit - p)));
    if (!v)
        return false;
    out = *v;
    return true;
}

// Activates column A of the sheet type's next row on the active sheet, so
// the user sees the rows arrive; on a full sheet, whose next row lies past
// the end, its last row.
void showRow(int16_t sheetType)
{
    if (sheetType < 1 || sheetType > 7)
        raise(9);
    const int32_t row = std::min<int32_t>(XlSes.xlLastRow[sheetType - 1], xl::MaxRows);
    spreadsheetApp()->ActiveSheet()->Cells(int(row), 1)->Activate();
}

// Between rows a reader gives the windows their turn when one is due: the
// progress window first shows the share of the source read, and afterwards
// Abort is looked at. The user may act during the turn, so a reader holds
// its own copy of the text and looks the CFile window up again.
class RowPace {
public:
    explicit RowPace(qsizetype total) : total_(total) {}
    // True when the user asked to abort.
    bool abortAfterTurn(qsizetype done)
    {
        if (!paintDue())
            return false;
        if (frmFPrgrs::isLoaded())
            frmFPrgrs::instance()->showPercent(total_ > 0 ? double(done) * 100.0 / double(total_) : 0.0);
        letPaint(PaintMode::WithInput);
        return frmFPrgrs::isLoaded() && frmFPrgrs::instance()->abortAsked;
    }

private:
    qsizetype total_;
};

// Runs one step of a reader against the spreadsheet; false when it failed,
// in the step or in a writer that left its failure pending.
bool sheetStep(const std::function<void()> &step)
{
    Err.Clear();
    return trapErrors(step) && Err.Number == 0;
}

} // namespace

// --- shot lines of a CFile ------------------------------------------------------------

void rstShotRec()
{
    XlSes.xlShotCnt = 0;
    CapExport.capBlkPend = true;
    CapExport.capNewBlk = false;
    EDiskParse &s = EDiskPrs;
    s.prsFol = s.prsStr = s.prsShot = 0;
    s.prsVel = s.prsTmp = s.prsTim = 0;
    CroSta.croVelUnits = QStringLiteral("f/s");
    CroSta.croTimUnits = QStringLiteral("sec");
    CroSta.croTmpUnits = QStringLiteral("fah");
}

void cpyShotRec()
{
    const CapExportRec &c = CapExport;
    EDiskParse &s = EDiskPrs;
    s.prsFol = 0;
    s.prsStr = c.capStrNum;
    s.prsShot = c.capShotNum;
    XlSes.xlShotCnt = c.capShotCnt;
    s.prsVel = c.capVel;
    s.prsTim = c.capTim;
    s.prsTmp = c.capTmp;
    CroSta.croVelUnits = c.capVelUnit;
    CroSta.croTimUnits = c.capTimUnit;
    CroSta.croTmpUnits = c.capTmpUnit;
}

void prsCapLine()
{
    CapExportRec &c = CapExport;
    const QString &L = c.excLine;
    c.capShotOk = false;
    c.capShotCnt = c.capStrNum = c.capShotNum = 0;
    c.capVel = c.capTim = 0;
    c.capTmp = 999;

    // The tag: a "#" wins over a "CAP:" before it.
    qsizetype p = L.indexOf(u'#');
    if (p >= 0) {
        p += 1;
    } else {
        p = L.indexOf(QLatin1String("CAP:"));
        if (p < 0)
            return;
        p += 4;
    }

    // The count field: at least five characters ended by a blank.
    const qsizetype b = L.indexOf(u' ', p);
    if (b < 0 || b - p < 5)
        return;
    // The count runs past 32767 in a long session; it is held in 32 bits.
    const auto count = toInt32(leadNumber(QStringView(L).mid(p, b - p)));
    if (!count)
        return;
    c.capShotCnt = *count;
    p = b + 1;

    if (L.contains(QLatin1String("<End>"))) {
        c.capNewBlk = true;
        return;
    }

    // Velocity and its unit; the tag takes its blanks on both sides.
    QString velUnit = QStringLiteral("f/s");
    qsizetype v = L.indexOf(QLatin1String(" f/s "), p);
    if (v < 0) {
        velUnit = QStringLiteral("m/s");
        v = L.indexOf(QLatin1String(" m/s "), p);
    }
    if (v < 0 || !numberBefore(L, p, v, c.capVel))
        return;
    c.capVelUnit = velUnit;
    p = v + 5;
    c.capShotOk = true;

    // Time.
    qsizetype s = L.indexOf(QLatin1String(" sec"), p);
    if (s < 0)
        s = L.indexOf(QLatin1String(" *s*"), p);
    if (s < 0)
        return;
    c.capTimUnit = QStringLiteral("sec");
    if (!numberBefore(L, p, s, c.capTim) || L.size() - (s + 4) < 2)
        return;
    p = s + 5;

    // Temperature, when the line carries one. A one-digit temperature is a
    // temperature too (5 cel on a cold day), so only an empty field stops.
    qsizetype f = L.indexOf(QLatin1String(" fah"), p);
    QString tmpUnit = QStringLiteral("fah");
    if (f < 0) {
        f = L.indexOf(QLatin1String(" cel"), p);
        tmpUnit = QStringLiteral("cel");
    }
    if (f >= 0) {
        c.capTmpUnit = tmpUnit;
        if (!numberBefore(L, p, f, c.capTmp) || L.size() - (f + 4) < 7)
            return;
        p = f + 5;
    }

    // The string:shot pair, closed by "_".
    const qsizetype k = L.indexOf(u':', p);
    if (k < 0 || k < 2)
        return;
    if (L.indexOf(u'_', k - 2) < 0)
        return;
    const auto str = toInt16(leadNumber(QStringView(L).mid(k - 2, 2)));
    if (!str)
        return;
    c.capStrNum = *str;
    if (c.capStrNum == 0 || c.capStrNum > 10)
        return;
    if (const auto shot = toInt16(leadNumber(QStringView(L).mid(k + 1, 2))))
        c.capShotNum = *shot;
}

bool putCapLine(int16_t source, int16_t sheetType)
{
    CapExportRec &c = CapExport;
    const int i = sheetType >= 1 && sheetType <= 7 ? sheetType - 1 : 0;
    if (c.capShotOk)
        cpyShotRec();
    if (c.capBlkPend) {
        XlSes.xlLastRow[i] += 1;
        if (!sheetStep([&] { putXlBegin(source, sheetType); }))
            return false;
        c.capBlkPend = false;
    }
    if (c.capShotOk) {
        if (!sheetStep([&] {
                putXlShot(source, sheetType);
                showRow(sheetType);
            }))
            return false;
    } else {
        if (c.capNewBlk)
            c.capBlkPend = true;
        c.capNewBlk = false;
    }
    return true;
}

int16_t expCFile(int16_t &source, int16_t &sheetType)
{
    rstShotRec();
    if (!sheetStep([&] { putXlSource(source, sheetType); }))
        return expSheetFailed;

    // One look at the text: a CFile of many lines is read once, not once
    // per line; the selection is left on the last line read.
    QPointer<RichTextBox> box = qobject_cast<RichTextBox *>(activeCFileBox());
    const QString text = box ? box->Text() : QString();
    CapExportRec &c = CapExport;
    RowPace pace(text.size());
    int16_t result = 0;
    int32_t exported = 0, notExported = 0;
    qsizetype pos = 0, lastStart = -1, lastEnd = -1;
    // The next place of each tag, looked for again only once the reading
    // has passed it: a CFile without "#" lines is not searched to its end
    // for every line.
    qsizetype cap = text.indexOf(QLatin1String("CAP:")), hash = text.indexOf(u'#');
    for (;;) {
        if (cap >= 0 && cap < pos)
            cap = text.indexOf(QLatin1String("CAP:"), pos);
        if (hash >= 0 && hash < pos)
            hash = text.indexOf(u'#', pos);
        if (cap < 0 && hash < 0)
            break;
        const qsizetype start = cap < 0 ? hash : (hash < 0 ? cap : std::min(cap, hash));
        // A last line without a line end is not read.
        const qsizetype e = text.indexOf(crlf, start);
        if (e < 0)
            break;
        pos = e;
        c.excLine = text.mid(start, e - start);
        prsCapLine();
        if (result == expSheetFull) {
            // Read on only to count what was left out.
            notExported += c.capShotOk ? 1 : 0;
            continue;
        }
        // A due Begin row takes the empty row before it and its two header copies.
        if (!xlRowsFit(sheetType, (c.capBlkPend ? 4 : 0) + (c.capShotOk ? 1 : 0))) {
            result = expSheetFull;
            notExported += c.capShotOk ? 1 : 0;
            continue;
        }
        lastStart = start;
        lastEnd = e;
        if (!putCapLine(source, sheetType))
            return expSheetFailed;
        exported += c.capShotOk ? 1 : 0;
        if (pace.abortAfterTurn(pos)) {
            result = expAborted;
            break;
        }
    }
    if (box && lastStart >= 0 && lastEnd <= box->Text().size()) {
        box->SetSelStart(int(lastStart));
        box->SetSelLength(int(lastEnd - lastStart));
    }
    if (!sheetStep([&] {
            putXlEnd(source, sheetType);
            showRow(sheetType);
        }))
        return expSheetFailed;
    Err.Clear();
    if (result == expSheetFull)
        seeXlSheetFull(sheetType, exported, notExported);
    return result;
}

// --- the download dump ------------------------------------------------------------------

namespace {

// The text at pos (from 1) starts with tag.
bool at(const QString &t, int32_t pos, QLatin1String tag)
{
    return pos >= 1 && QStringView(t).mid(pos - 1).startsWith(tag);
}

// Steps over tag when it stands at pos.
bool take(const QString &t, int32_t &pos, QLatin1String tag)
{
    if (!at(t, pos, tag))
        return false;
    pos += int32_t(tag.size());
    return true;
}

// The two characters at pos as a number.
int16_t two(const QString &t, int32_t pos)
{
    return toInt16(leadNumber(QStringView(t).mid(pos - 1, 2))).value_or(0);
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Every line reader starts failed and clears what follows the last End line.
EDiskParse &startLine()
{
    EDiskPrs.prsState = 0;
    EDiskPrs.prsError = true;
    return EDiskPrs;
}

// A field ended by its terminator: "********" reads as `stars`; a missing
// terminator or a field longer than `most` characters fails.
bool readField(const QString &t, int32_t &pos, const QString &term, int most, float stars, float &out)
{
    const qsizetype end = t.indexOf(term, pos - 1);
    if (end < 0)
        return false;
    const QStringView field = QStringView(t).mid(pos - 1, end - (pos - 1));
    if (field == QLatin1String("********")) {
        out = stars;
    } else {
        if (field.size() > most)
            return false;
        const auto v = toSingle(leadNumber(field));
        if (!v)
            return false;
        out = *v;
    }
    pos = int32_t(end + term.size() + 1);
    return true;
}

} // namespace

void getMmrBegin(const QString &t, int32_t &pos)
{
    EDiskParse &s = startLine();
    const qsizetype b = t.indexOf(QLatin1String("MMR:<Begin>"), std::max(pos, 1) - 1);
    if (b < 0)
        return;
    pos = int32_t(b + 1 + 11);
    int16_t *const fields[] = {&s.prsFol, &s.prsStr, &s.prsSiz};
    const QLatin1String tags[] = {QLatin1String(" Fol="), QLatin1String(" Str="), QLatin1String(" Siz=")};
    for (int k = 0; k < 3; ++k) {
        if (!take(t, pos, tags[k]))
            return;
        *fields[k] = two(t, pos);
        pos += 2;
    }
    pos += 2; // the line end
    s.prsError = false;
}

void getMmrShot(const QString &t, int32_t &pos)
{
    EDiskParse &s = startLine();
    if (!take(t, pos, QLatin1String("MMR:")))
        return;
    for (int16_t *field : {&s.prsLineFol, &s.prsLineStr}) {
        *field = two(t, pos);
        pos += 2;
        if (!take(t, pos, QLatin1String(":")))
            return;
    }
    // The shot number: the unit sends three digits, older dumps two; a blank
    // follows either way.
    int digits = 0;
    while (digits < 3 && pos + digits <= t.size() && isDigit(t[pos - 1 + digits]))
        ++digits;
    if (digits < 2 || !at(t, pos + digits, QLatin1String(" ")))
        return;
    s.prsLineShot = toInt16(leadNumber(QStringView(t).mid(pos - 1, digits))).value_or(0);
    pos += digits + 1;

    if (!readField(t, pos, u' ' + CroSta.croVelUnits + u' ', 10, 0.0f, s.prsVel))
        return;
    if (!readField(t, pos, u' ' + CroSta.croTmpUnits + crlf, 5, 999.0f, s.prsTmp))
        return;
    s.prsError = false;
}

void getMmrEnd(const QString &t, int32_t &pos)
{
    EDiskParse &s = startLine();
    if (!take(t, pos, QLatin1String("MMR:<End>")))
        return;
    const QLatin1String capOff(" CAP=OFF\r\nDAT>");
    if (take(t, pos, QLatin1String(" Fol="))) {
        pos += 2;
        if (!take(t, pos, QLatin1String(" Str=")))
            return;
        pos += 2;
        // The last string of a dump may be closed by a second End tag.
        if (take(t, pos, QLatin1String("\r\nMMR:<End>"))) {
            s.prsState = 1;
            if (at(t, pos, capOff)) {
                pos += 2;
                s.prsState = 3;
                s.prsError = false;
                return;
            }
        }
    }
    s.prsError = false;
    if (at(t, pos, QLatin1String("\r\nMMR:<Begin>")))
        s.prsState = 1;
    else if (at(t, pos, QLatin1String("\r\nDAT>")) || at(t, pos, capOff))
        s.prsState = 2;
    else
        s.prsError = true;
    if (!s.prsError)
        pos += 2;
}

QString mmrText(int16_t source)
{
    if (source == 1)
        return croDump;
    return nbrSerial().termText();
}

int16_t expEDisk(int16_t &source, int16_t &sheetType)
{
    EDiskParse &s = EDiskPrs;
    const QString dump = mmrText(source);
    int32_t pos = 1;
    XlSes.xlShotCnt = 0;
    // The dump carries no time: no time of an earlier export may stand in.
    s.prsTim = 0;
    if (!sheetStep([&] { putXlSource(source, sheetType); }))
        return expSheetFailed;
    const int i = sheetType >= 1 && sheetType <= 7 ? sheetType - 1 : 0;
    RowPace pace(dump.size());
    // Once the sheet is full the dump is read on, without rows, only to count
    // the shots left out; a line that cannot be read ends the count.
    bool full = false;
    int32_t exported = 0, notExported = 0;

    for (int string = 0; string < 100; ++string) {
        getMmrBegin(dump, pos);
        if (s.prsError) {
            if (full)
                break;
            return mmrNoBegin;
        }
        if (s.prsSiz > 40) {
            if (full)
                break;
            return mmrTooLong;
        }
        // The Begin row, its header copies and a first shot with the empty
        // row after it.
        if (!full && !xlRowsFit(sheetType, 5))
            full = true;
        if (!full) {
            if (!sheetStep([&] { putXlBegin(source, sheetType); }))
                return expSheetFailed;
            XlSes.xlBlkFirst = XlSes.xlLastRow[i];
        }
        if (s.prsSiz <= 0)
            s.prsSiz = 1;
        bool wrote = false;
        for (int16_t n = 1; n <= s.prsSiz; ++n) {
            getMmrShot(dump, pos);
            if (s.prsError || s.prsLineFol != s.prsFol || s.prsLineStr != s.prsStr || s.prsLineShot > s.prsSiz) {
                if (!full)
                    return mmrBadShot;
                break;
            }
            // A shot row and the empty row that closes its string.
            if (!full && !xlRowsFit(sheetType, 2))
                full = true;
            if (full) {
                ++notExported;
                continue;
            }
            s.prsShot = n;
            XlSes.xlShotCnt += 1;
            if (!sheetStep([&] {
                    putXlShot(source, sheetType);
                    showRow(sheetType);
                }))
                return expSheetFailed;
            ++exported;
            wrote = true;
            if (pace.abortAfterTurn(pos)) {
                XlSes.xlLastRow[i] += 1;
                if (!sheetStep([&] {
                        putXlEnd(source, sheetType);
                        showRow(sheetType);
                    }))
                    return expSheetFailed;
                Err.Clear();
                return expAborted;
            }
        }
        if (wrote || !full)
            XlSes.xlLastRow[i] += 1;
        if (full && s.prsError)
            break;
        getMmrEnd(dump, pos);
        if (s.prsError) {
            if (full)
                break;
            return mmrBadEnd;
        }
        if (s.prsState > 1)
            break;
    }
    if (!sheetStep([&] {
            putXlEnd(source, sheetType);
            showRow(sheetType);
        }))
        return expSheetFailed;
    Err.Clear();
    if (full) {
        seeXlSheetFull(sheetType, exported, notExported);
        return expSheetFull;
    }
    return 0;
}

void installExpReaders()
{
    expParts.expEDisk = expEDisk;
    expParts.expCFile = expCFile;
}

} // namespace vt
