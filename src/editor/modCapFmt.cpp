#include "editor/modCapFmt.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"

#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <utility>

namespace vt {

namespace {

// The saved selection format. A field without a value stood for a mixed
// selection and is left alone when the format is put back.
struct SavedFormat {
    std::optional<double> size; // kept whole: half points survive the round trip
    std::optional<QString> name;
    std::optional<QColor> color;
    std::optional<bool> bold, italic, underline, strike;
};

SavedFormat &savedFormat()
{
    static SavedFormat f;
    return f;
}

// Received text not yet written into its CFile.
struct HeldText {
    QPointer<frmDocument> doc;
    QString text;
    qint64 nextAt = 0;        // clock reading before which only a line end writes
    QPointer<QTimer> timer;   // writes out when nothing more arrives in time
    // The unit's line under way: its last this many characters (held or
    // written) at the end of `doc`.
    qsizetype openLen = 0;
    qint64 lastFedNs = 0;     // clock reading of the last received text
};

HeldText &held()
{
    static HeldText h;
    return h;
}

// Nanoseconds on a monotonic clock.
qint64 clockNs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.nsecsElapsed();
}

const QString crlf = QStringLiteral("\r\n");

bool isLineEnd(QChar c)
{
    return c == QChar(13) || c == QChar(10);
}

// The session's CFile: the one taking Shoot mode's shots.
QPointer<frmDocument> &shotPin()
{
    static QPointer<frmDocument> pin;
    return pin;
}

void showMarks(bool on);

// The CFile that received text goes into: the one a line of the unit's under
// way began in, else the session's; without one yet, the active CFile
// becomes the session's.
frmDocument *feedTarget()
{
    HeldText &h = held();
    if (h.openLen > 0 && h.doc)
        return h.doc;
    if (!shotPin()) {
        shotPin() = ActiveForm();
        showMarks(shotPin() && RxRoute[1]);
    }
    return shotPin();
}

// Whether the last line of `doc`, with what is held back for it, holds text.
bool lastLineHoldsText(frmDocument *doc)
{
    const HeldText &h = held();
    if (doc == h.doc && !h.text.isEmpty())
        return !isLineEnd(h.text.back());
    return doc->rtfText->document()->lastBlock().length() > 1;
}

// Each change waits this many times what the last one cost: the changes take
// at most a fifth of the time however long the paragraph has grown.
constexpr qint64 kWaitPerCost = 4;
// Text without a line end waits at least this long for more, so characters
// arriving one by one cost a few paintings of the CFile a second.
constexpr qint64 kHoldNs = 200'000'000;

void sarCFormatOf(frmDocument *doc, int16_t mode)
{
    if (mode != 1 && mode != 2)
        return;
    const bool ok = trapErrors([doc, mode] {
        if (!doc)
            raise(91);
        RichTextBox *box = doc->rtfText;
        SavedFormat &f = savedFormat();
        if (mode == 1) {
            f.size = box->SelFontSize();
            f.name = box->SelFontName();
            f.color = box->SelColor();
            f.bold = box->SelBold();
            f.italic = box->SelItalic();
            f.underline = box->SelUnderline();
            f.strike = box->SelStrikeThru();
            return;
        }
        if (f.size)
            box->SetSelFontSize(*f.size);
        if (f.name)
            box->SetSelFontName(*f.name);
        if (f.color)
            box->SetSelColor(*f.color);
        if (f.bold)
            box->SetSelBold(*f.bold);
        if (f.italic)
            box->SetSelItalic(*f.italic);
        if (f.underline)
            box->SetSelUnderline(*f.underline);
        if (f.strike)
            box->SetSelStrikeThru(*f.strike);
    });
    if (!ok)
        MsgBox(QStringLiteral("Error") + QString::number(mode) + QStringLiteral(" - sarCFormat/") + Err.Description,
               vbOKOnly);
}

void appendTo(frmDocument *doc, const QString &text)
{
    RichTextBox *box = doc->rtfText;
    // A caret at the end follows the text as it grows; a caret or a
    // selection elsewhere is the user's place (reading, or a Find's hit) and
    // stays, with the view, where it was. The text goes in at the end only,
    // so the places before it keep their positions.
    const QTextCursor user = box->textCursor();
    const bool follow = !user.hasSelection() && user.atEnd();
    const int anchor = user.anchor(), position = user.position();
    QScrollBar *vbar = box->verticalScrollBar();
    QScrollBar *hbar = box->horizontalScrollBar();
    const int v = vbar->value(), h = hbar->value();
    box->SetSelStart(box->TextLength());
    sarCFormatOf(doc, 1);
    box->SetSelText(text);
    box->SetSelStart(box->TextLength());
    sarCFormatOf(doc, 2);
    if (follow)
        return;
    QTextCursor back(box->document());
    back.setPosition(anchor);
    back.setPosition(position, QTextCursor::KeepAnchor);
    box->setTextCursor(back);
    vbar->setValue(v);
    hbar->setValue(h);
}

QPointer<frmDocument> &markedPin()
{
    static QPointer<frmDocument> marked;
    return marked;
}

// The window title of the CFile taking the shots carries the mark, and the
// status bar names it; `on` false takes both away.
void showMarks(bool on)
{
    frmDocument *target = on ? shotPin().data() : nullptr;
    if (frmDocument *old = markedPin(); old && old != target)
        old->setShotMark(false);
    if (target)
        target->setShotMark(true);
    const bool moved = markedPin() != target;
    markedPin() = target;
    // The panel's list of CFiles for shots marks the same one.
    if (moved)
        nbrRemote().RefreshCFile();
    if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->sxbShots) {
        mdi->sxbShots->setText(target ? QStringLiteral("Shots into: ") + target->Caption() : QString());
        mdi->sxbShots->setVisible(target != nullptr);
    }
}

// Puts a log line in before the unit's line under way (its last `openLen`
// characters), so that neither cuts into the other; the log line ends with a
// line end of its own.
void insertBeforeOpenLine(frmDocument *doc, const QString &text, qsizetype openLen)
{
    RichTextBox *box = doc->rtfText;
    // Never further back than the last line: the user may have edited it.
    const qsizetype back = std::min<qsizetype>(openLen, box->document()->lastBlock().length() - 1);
    const QString line = isLineEnd(text.back()) ? text : text + crlf;
    const int end = box->TextLength();
    box->SetSelStart(end);
    sarCFormatOf(doc, 1);
    box->SetSelStart(int(end - back));
    sarCFormatOf(doc, 2);
    box->SetSelText(line);
    box->SetSelStart(box->TextLength());
    sarCFormatOf(doc, 2);
}

} // namespace

bool isUnitPrompt(QStringView line)
{
    if (line == u"DAT>" || line == u"STS>")
        return true;
    // "MEN><DAT> " or "MEN><STS> ", column and row, "?".
    return line.size() == 13 && line.startsWith(u"MEN><") && line.endsWith(u'?');
}

void sarCFormat(int16_t mode)
{
    sarCFormatOf(ActiveForm(), mode);
}

frmDocument *shotCFile() { return shotPin().data(); }

void setShotCFile(frmDocument *doc)
{
    if (shotPin() == doc)
        return;
    flushCFileFeed();
    shotPin() = doc;
    showMarks(doc != nullptr && RxRoute[1]);
}

void seeShotCFile(bool shoot, bool busy)
{
    if (shoot && !shotPin())
        shotPin() = ActiveForm();
    else if (!shoot && !busy && shotPin())
        shotPin() = nullptr;
    showMarks(shoot);
}

frmDocument *logCFile()
{
    frmDocument *doc = shotPin().data();
    return doc ? doc : ActiveForm();
}

bool appendActiveCFile(const QString &text)
{
    flushCFileFeed();
    return appendToCFile(ActiveForm(), text);
}

bool appendLogCFile(const QString &text)
{
    flushCFileFeed();
    return appendToCFile(logCFile(), text);
}

bool appendToCFile(frmDocument *doc, const QString &text)
{
    flushCFileFeed();
    if (!doc)
        return false;
    const HeldText &h = held();
    if (!text.isEmpty() && doc == h.doc && h.openLen > 0) {
        insertBeforeOpenLine(doc, text, h.openLen);
        return true;
    }
    // A prompt the unit left without its line end is ended first.
    QString line = text;
    if (!line.isEmpty() && !isLineEnd(line.front())) {
        const QTextBlock last = doc->rtfText->document()->lastBlock();
        if (last.length() <= 15 && isUnitPrompt(last.text()))
            line.prepend(crlf);
    }
    appendTo(doc, line);
    return true;
}

void flushCFileFeed()
{
    HeldText &h = held();
    if (h.timer)
        h.timer->stop();
    if (h.text.isEmpty())
        return;
    const QString text = std::exchange(h.text, QString());
    frmDocument *doc = h.doc;
    if (!doc)
        return; // its CFile is gone; closing it wrote out what was held
    const qint64 start = clockNs();
    appendTo(doc, text);
    const qint64 end = clockNs();
    h.nextAt = end + (end - start) * kWaitPerCost;
}

QString eraseCFileFeed()
{
    HeldText &h = held();
    frmDocument *doc = feedTarget();
    if (!doc)
        return {};
    // Held text never holds a line end: it is written out with the first.
    if (doc == h.doc && !h.text.isEmpty()) {
        h.text.chop(1);
    } else {
        QTextCursor c(doc->rtfText->document());
        c.movePosition(QTextCursor::End);
        if (c.position() > 0)
            c.deletePreviousChar();
    }
    QString last = doc->rtfText->document()->lastBlock().text();
    if (doc == h.doc)
        last += h.text;
    return last;
}

void endCFileLine()
{
    HeldText &h = held();
    if (h.openLen > 0 && h.doc) {
        // The part that came stays as it came, on a line of its own.
        h.text += crlf;
        flushCFileFeed();
    }
    h.openLen = 0;
}

bool waitCFileLineEnd(int quietMs, int boundMs)
{
    const HeldText &h = held();
    const qint64 quietNs = qint64(quietMs) * 1000000;
    // The quiet gap counts on the clock alone: looked at often. A gap that
    // runs out ends the wait as an abort would, which answers false.
    return waiting::until({.done = [&h] { return !(h.openLen > 0 && h.doc); },
                           .boundMs = std::max(0, boundMs),
                           .aborted = [&h, quietNs] { return clockNs() - h.lastFedNs >= quietNs; },
                           .lookMs = 10})
        == waiting::End::Done;
}

bool feedActiveCFile(const QString &text, bool startsLine, qsizetype openLen)
{
    HeldText &h = held();
    frmDocument *doc = feedTarget();
    if (h.doc != doc) {
        // Whatever was held goes into the CFile that took it when it came.
        flushCFileFeed();
        if (frmDocument *old = h.doc; old && old->rtfText)
            old->rtfText->SetHeldTextWriter({});
        h.doc = doc;
        h.nextAt = 0;
        h.openLen = 0;
        if (doc)
            doc->rtfText->SetHeldTextWriter([] { flushCFileFeed(); });
    }
    if (!doc)
        return false;
    h.lastFedNs = clockNs();
    QString add = text;
    if (startsLine && !add.isEmpty() && !isLineEnd(add.front()) && lastLineHoldsText(doc))
        add.prepend(crlf);
    h.openLen = openLen;
    if (add.isEmpty())
        return true;
    const bool wasHeld = !h.text.isEmpty();
    h.text += add;
    if (add.contains(QChar(13)) || add.contains(QChar(10))) {
        flushCFileFeed();
        return true;
    }
    // The first text held starts the wait: at least the holding time, longer
    // after a costly change.
    const qint64 now = clockNs();
    if (!wasHeld)
        h.nextAt = std::max(h.nextAt, now + kHoldNs);
    if (!h.timer) {
        h.timer = new QTimer(QCoreApplication::instance());
        h.timer->setSingleShot(true);
        QObject::connect(h.timer, &QTimer::timeout, [] {
            if (!trapErrors([] { flushCFileFeed(); }))
                reportError(QStringLiteral("modCapFmt/flushCFileFeed"));
        });
    }
    if (!h.timer->isActive())
        h.timer->start(int((h.nextAt - now) / 1000000 + 1));
    return true;
}

} // namespace vt
