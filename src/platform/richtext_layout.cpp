// The rich-text box's layout: the display-line queries (counted per paragraph
// and kept while the text before is unchanged), wrapping, the page height that
// keeps a long text laying out, and the page formatting used by printing.
#include "platform/richtext.h"
#include "platform/richtext_parts.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace vt {

namespace {

// Qt's document layout keeps its vertical places in a fixed-point type that
// ends at about 8.4 million pixels. Without a page height its one page ends
// there too, and every line below it is laid out again and again at that one
// place: a CFile of some 600,000 lines never finished loading. On pages of
// this height the layout goes on below (to about 33 million pixels, some two
// million lines); a text shorter than one page is laid out exactly as before,
// a longer one gets a gap of less than two lines at each page's end.
constexpr qreal kLayoutPageHeight = 8'000'000;
// Scrolled this far down, a relayout without a page height would reach the
// layout's end before the page height is back.
constexpr int kFarScroll = 4'000'000;

int linesOf(const QTextBlock &b)
{
    const QTextLayout *l = b.layout();
    return l && l->lineCount() > 0 ? l->lineCount() : 1;
}
} // namespace

// --- display lines ---------------------------------------------------------------

void RichTextBox::forgetLinesFrom(int docPos)
{
    // A change may rewrap the paragraph before it too (a joined or split
    // paragraph), so that one is counted again as well.
    const QTextBlock b = document()->findBlock(docPos);
    const int first = b.isValid() ? std::max(0, b.blockNumber() - 1) : 0;
    if (int(linesBefore_.size()) > first + 1)
        linesBefore_.resize(size_t(first) + 1);
}

void RichTextBox::countLinesTo(int blockNumber) const
{
    QTextDocument *doc = document();
    doc->documentLayout()->documentSize(); // finishes the layout
    LinesKey key{doc->textWidth(), doc->documentMargin(), doc->defaultFont(),
                 int(doc->defaultTextOption().wrapMode())};
    if (!linesKey_ || !(*linesKey_ == key)) {
        linesKey_ = std::make_unique<LinesKey>(std::move(key));
        linesBefore_.assign(1, 0);
    }
    blockNumber = std::min(blockNumber, doc->blockCount());
    int counted = int(linesBefore_.size()) - 1;
    if (counted >= blockNumber)
        return;
    linesBefore_.reserve(size_t(blockNumber) + 1);
    for (QTextBlock b = doc->findBlockByNumber(counted); b.isValid() && counted < blockNumber; b = b.next(), ++counted)
        linesBefore_.push_back(linesBefore_.back() + linesOf(b));
}

int RichTextBox::GetLineCount() const
{
    flushHeld();
    countLinesTo(document()->blockCount());
    return linesBefore_.back();
}

int RichTextBox::LineFromChar(int pos) const
{
    flushHeld();
    const int d = pos < 0 ? textCursor().selectionStart() : boxToDoc(pos, false);
    const QTextBlock target = document()->findBlock(d);
    countLinesTo(target.blockNumber());
    int n = linesBefore_[size_t(std::max(0, target.blockNumber()))];
    const QTextLayout *l = target.layout();
    if (l && l->lineCount() > 0) {
        const QTextLine line = l->lineForTextPosition(d - target.position());
        if (line.isValid())
            n += line.lineNumber();
    }
    return n;
}

int RichTextBox::LineIndex(int line) const
{
    flushHeld();
    if (line < 0)
        line = LineFromChar(-1);
    countLinesTo(document()->blockCount());
    if (line >= linesBefore_.back())
        return -1;
    // The last paragraph whose first line is at or before `line`.
    const auto it = std::upper_bound(linesBefore_.begin(), linesBefore_.end(), line);
    const int number = int(it - linesBefore_.begin()) - 1;
    const QTextBlock b = document()->findBlockByNumber(number);
    const QTextLayout *l = b.layout();
    const int start = l && l->lineCount() > 0 ? l->lineAt(line - linesBefore_[size_t(number)]).textStart() : 0;
    return docToBox(b.position() + start);
}

void RichTextBox::fitNoWrapWidth()
{
    // Without wrapping, QTextEdit lays out a text on a page of width 0 until
    // its layout has met an aligned paragraph, and measures again only when the
    // window's width changes. Its layout of a long text runs in steps, so a
    // centred or right-aligned paragraph that arrives later (a loaded file, a
    // paste, the alignment commands) would stay at the left edge. Once the text
    // holds such a paragraph, the page is as wide as the window.
    if (lineWrapMode() != QTextEdit::NoWrap || !aligned_)
        return;
    const qreal width = viewport()->width();
    if (document()->pageSize().width() != width)
        document()->setPageSize(QSizeF(width, kLayoutPageHeight));
}

void RichTextBox::keepPaged()
{
    const QSizeF page = document()->pageSize();
    if (page.height() != kLayoutPageHeight)
        document()->setPageSize(QSizeF(page.width(), kLayoutPageHeight));
}

void RichTextBox::relayout(const std::function<void()> &change)
{
    // QTextEdit lays the text out afresh for a new width without a page
    // height, and at once down to the visible part. Far down a long text
    // that would never end, so the view goes to the top for the change and
    // comes back to the paragraph that was at its top.
    QScrollBar *bar = verticalScrollBar();
    int anchor = -1;
    if (bar->value() > kFarScroll) {
        anchor = cursorForPosition(QPoint(0, 0)).block().position();
        bar->setValue(0);
    }
    change();
    keepPaged();
    fitNoWrapWidth();
    if (anchor >= 0) {
        const QTextBlock b = document()->findBlock(anchor);
        const int y = int(document()->documentLayout()->blockBoundingRect(b).top());
        // The scroll range follows the layout later; the text down to the
        // paragraph is laid out now.
        if (bar->maximum() < y)
            bar->setMaximum(y);
        bar->setValue(y);
    }
}

void RichTextBox::resizeEvent(QResizeEvent *e)
{
    relayout([&] { QTextEdit::resizeEvent(e); });
}

void RichTextBox::SetWrap(Wrap wrap, int widthTwips)
{
    wrap_ = wrap;
    relayout([&] {
        switch (wrap) {
        case Wrap::None: setLineWrapMode(QTextEdit::NoWrap); break;
        case Wrap::Window: setLineWrapMode(QTextEdit::WidgetWidth); break;
        case Wrap::Width:
            setLineWrapMode(QTextEdit::FixedPixelWidth);
            setLineWrapColumnOrWidth(std::max(1, int(std::lround(widthTwips / rtf::kTwipsPerPixel))));
            break;
        }
    });
}

// --- page formatting ---------------------------------------------------------------

int RichTextBox::FormatRange(QPainter *painter, const QRect &rc, int from, int to)
{
    constexpr int kOversizeRoom = 1440;
    flushHeld();
    const int total = TextLength();
    if (to < 0 || to > total)
        to = total;
    from = std::clamp(from, 0, total);
    if (from >= to || rc.height() <= 0 || rc.width() <= 0)
        return from;
    if (!page_ || page_->widthTwips != rc.width()) {
        page_ = std::make_unique<PageLayout>();
        page_->device.setDotsPerMeterX(3780); // 96 dpi
        page_->device.setDotsPerMeterY(3780);
        page_->doc.reset(document()->clone());
        page_->doc->setDefaultFont(document()->defaultFont());
        page_->doc->setDefaultTextOption(document()->defaultTextOption());
        page_->doc->setDocumentMargin(0);
        page_->doc->documentLayout()->setPaintDevice(&page_->device);
        page_->doc->setPageSize(QSizeF(rc.width() / rtf::kTwipsPerPixel, kLayoutPageHeight));
        page_->widthTwips = rc.width();
        page_->doc->documentLayout()->documentSize();
    }
    QTextDocument *doc = page_->doc.get();
    const int startDoc = boxToDoc(from, false);
    const int endDoc = boxToDoc(to, false);
    const qreal height = rc.height() / rtf::kTwipsPerPixel;

    QTextBlock b = doc->findBlock(startDoc);
    const QTextLayout *l = b.layout();
    int lineNo = 0;
    if (l->lineCount() > 0)
        lineNo = std::max(0, l->lineForTextPosition(startDoc - b.position()).lineNumber());
    const qreal top = l->position().y() + (l->lineCount() > 0 ? l->lineAt(lineNo).y() : 0);
    qreal bottom = top;
    int next = doc->characterCount() - 1;
    bool placed = false;
    for (; b.isValid(); b = b.next(), lineNo = 0) {
        l = b.layout();
        const int lines = std::max(1, l->lineCount());
        bool stop = false;
        for (; lineNo < lines; ++lineNo) {
            const int start = b.position() + (l->lineCount() > 0 ? l->lineAt(lineNo).textStart() : 0);
            const qreal lineBottom = l->lineCount() > 0
                ? l->position().y() + l->lineAt(lineNo).y() + l->lineAt(lineNo).height()
                : l->position().y();
            // A line that does not fit ends the page. On a rectangle too low
            // for the first line nothing is placed and the answer makes no
            // progress, which the caller must take as "no room"; only a
            // rectangle of an inch or more takes an oversized first line (a
            // tall picture), clipped, so that such a document still pages.
            if (start >= endDoc || (lineBottom - top > height && (placed || rc.height() < kOversizeRoom))) {
                next = start;
                stop = true;
                break;
            }
            placed = true;
            bottom = std::max(bottom, lineBottom);
        }
        if (stop)
            break;
    }
    if (painter && bottom > top) {
        const double dpiX = painter->device()->logicalDpiX();
        const double dpiY = painter->device()->logicalDpiY();
        painter->save();
        painter->translate(rc.left() * dpiX / 1440.0, rc.top() * dpiY / 1440.0);
        painter->scale(dpiX / 96.0, dpiY / 96.0);
        painter->translate(0, -top);
        const QRectF clip(0, top, rc.width() / rtf::kTwipsPerPixel, std::min(bottom, top + height) - top);
        painter->setClipRect(clip, Qt::IntersectClip);
        QAbstractTextDocumentLayout::PaintContext ctx;
        // The layout draws every line that touches its clip, and a line that
        // ends where the page begins touches it: drawn there under the
        // painter's clip it is invisible on paper but is still text in a
        // PDF, where the line would then stand twice. A clip a hair inside
        // the page leaves such lines out.
        constexpr qreal hair = 0.05;
        ctx.clip = clip.adjusted(0, hair, 0, -hair);
        ctx.palette.setColor(QPalette::Text, Qt::black);
        doc->documentLayout()->draw(painter, ctx);
        painter->restore();
    }
    return std::min(docToBox(next), to);
}

void RichTextBox::FormatRangeDone()
{
    page_.reset();
}

} // namespace vt
