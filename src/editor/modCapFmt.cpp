#include "editor/modCapFmt.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"

#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
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
    box->SetSelStart(box->TextLength());
    sarCFormatOf(doc, 1);
    box->SetSelText(text);
    box->SetSelStart(box->TextLength());
    sarCFormatOf(doc, 2);
}

} // namespace

void sarCFormat(int16_t mode)
{
    sarCFormatOf(ActiveForm(), mode);
}

bool appendActiveCFile(const QString &text)
{
    flushCFileFeed();
    frmDocument *doc = ActiveForm();
    if (!doc)
        return false;
    appendTo(doc, text);
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

bool feedActiveCFile(const QString &text)
{
    HeldText &h = held();
    frmDocument *doc = ActiveForm();
    if (h.doc != doc) {
        // Whatever was held goes into the CFile that was active when it came.
        flushCFileFeed();
        if (frmDocument *old = h.doc; old && old->rtfText)
            old->rtfText->SetHeldTextWriter({});
        h.doc = doc;
        h.nextAt = 0;
        if (doc)
            doc->rtfText->SetHeldTextWriter([] { flushCFileFeed(); });
    }
    if (!doc)
        return false;
    if (text.isEmpty())
        return true;
    const bool wasHeld = !h.text.isEmpty();
    h.text += text;
    if (text.contains(QChar(13)) || text.contains(QChar(10))) {
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
