#include "platform/richtext.h"

#include "platform/errors.h"
#include "platform/filesave.h"
#include "platform/longwork.h"
#include "platform/rtfmodel.h"
#include "platform/rtfreader.h"
#include "platform/rtfwriter.h"
#include "platform/timers.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace vt {

namespace {

constexpr qint64 kMaxFileBytes = qint64(512) << 20;
// From this size on a load given a progress report goes in steps.
constexpr qint64 kSteppedLoadBytes = qint64(1) << 20;
const char *const kRtfMimeTypes[] = {"text/rtf", "application/rtf", "text/richtext"};
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

// Splits plain text into paragraphs at CR LF, CR or LF, each in format `f`.
rtf::Document plainModel(const QString &text, const rtf::CharFormat &f)
{
    rtf::Document m;
    rtf::Paragraph p;
    p.endFormat = f;
    auto finish = [&](QString line) {
        rtf::Paragraph q = p;
        line.replace(QChar('\v'), QChar::LineSeparator);
        line.remove(QChar::ParagraphSeparator);
        line.remove(QChar(0));
        if (!line.isEmpty())
            q.runs.push_back(rtf::Run{f, line, {}, 0, 0});
        m.paragraphs.push_back(std::move(q));
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QChar('\r') || c == QChar('\n')) {
            finish(text.mid(start, i - start));
            if (c == QChar('\r') && i + 1 < text.size() && text[i + 1] == QChar('\n'))
                ++i;
            start = i + 1;
        }
    }
    finish(text.mid(start));
    return m;
}

// Plain files: UTF-8 when they are valid UTF-8, else code page 1252.
QString decodePlain(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = utf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    return utf8.hasError() ? rtf::cp1252Text(bytes) : s;
}

QString boxText(QString s)
{
    for (QChar &c : s) {
        if (c == QChar::LineSeparator)
            c = QChar('\v');
    }
    return s.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
}

} // namespace

struct RichTextBox::PageLayout {
    std::unique_ptr<QTextDocument> doc;
    QImage device{1, 1, QImage::Format_RGB32}; // fonts measured at 96 dpi
    int widthTwips = -1;
};

RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setContextMenuPolicy(Qt::NoContextMenu); // the owner shows its own menu on MouseDown
    QTextOption opt = document()->defaultTextOption();
    opt.setTabStopDistance(720 / rtf::kTwipsPerPixel);
    document()->setDefaultTextOption(opt);
    document()->setDefaultFont(font());
    keepPaged();
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        forgetLinesFrom(from);
        // Only the changed paragraphs are looked at, and nothing once an
        // aligned one was seen, so typing costs next to nothing here.
        if (from == 0 && added >= document()->characterCount() - 1)
            aligned_ = false; // a whole new text
        if (aligned_)
            return;
        const QTextBlock end = document()->findBlock(from + added).next();
        for (QTextBlock b = document()->findBlock(from); b.isValid() && b != end && !aligned_; b = b.next())
            aligned_ = (b.blockFormat().alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignLeft & ~Qt::AlignLeading) != 0;
    });
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        page_.reset();
        fitNoWrapWidth();
        emit Change();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::emitSelChange);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::emitSelChange);
    updateSelectionColors();
}

RichTextBox::~RichTextBox()
{
    // The base class destroys the document later; nothing may reach us then.
    disconnect(document(), nullptr, this, nullptr);
    disconnect(this, nullptr, this, nullptr);
}

void RichTextBox::flushHeld() const
{
    // The writer itself works through this box: it must not call itself.
    if (!heldWriter_ || writingHeld_)
        return;
    writingHeld_ = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{writingHeld_};
    heldWriter_();
}

// --- positions ------------------------------------------------------------

int RichTextBox::docToBox(int doc) const
{
    const QTextBlock b = document()->findBlock(doc);
    return doc + (b.isValid() ? b.blockNumber() : document()->blockCount() - 1);
}

int RichTextBox::boxToDoc(int box, bool roundUp) const
{
    const QTextDocument *doc = document();
    box = std::clamp(box, 0, TextLength());
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= box)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock b = doc->findBlockByNumber(lo);
    const int offset = box - (b.position() + lo);
    const int len = b.length() - 1;
    if (offset <= len)
        return b.position() + offset;
    return roundUp ? b.position() + len + 1 : b.position() + len; // between CR and LF
}

QTextCursor RichTextBox::selectionCursor() const
{
    QTextCursor c = textCursor();
    const int a = c.selectionStart();
    const int b = c.selectionEnd();
    if (a != b) {
        c.setPosition(a);
        c.setPosition(b, QTextCursor::KeepAnchor);
    }
    return c;
}

QString RichTextBox::Text() const
{
    flushHeld();
    QString out;
    out.reserve(TextLength());
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin())
            out += QStringLiteral("\r\n");
        out += b.text();
    }
    return boxText(out);
}

void RichTextBox::SetText(const QString &text)
{
    flushHeld();
    const rtf::CharFormat f = rtf::fromQt(QTextCharFormat(), document()->defaultFont());
    rtf::fillDocument(document(), plainModel(text, f));
    document()->clearUndoRedoStacks();
    setTextCursor(QTextCursor(document()));
}

int RichTextBox::TextLength() const
{
    flushHeld();
    return document()->characterCount() - 1 + document()->blockCount() - 1;
}

int RichTextBox::SelStart() const
{
    flushHeld();
    return docToBox(textCursor().selectionStart());
}

void RichTextBox::SetSelStart(int pos)
{
    flushHeld();
    if (pos < 0)
        vt::raise(380);
    QTextCursor c = textCursor();
    const int d = boxToDoc(pos, false);
    if (!c.hasSelection() && c.position() == d)
        return; // keep the typing format set at the caret
    c.setPosition(d);
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    flushHeld();
    const QTextCursor c = textCursor();
    return docToBox(c.selectionEnd()) - docToBox(c.selectionStart());
}

void RichTextBox::SetSelLength(int length)
{
    flushHeld();
    if (length < 0)
        vt::raise(380);
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(boxToDoc(docToBox(start) + length, true), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const
{
    flushHeld();
    return boxText(textCursor().selectedText());
}

namespace {

// Writes `text` at the cursor: CR LF, CR or LF start a new paragraph, a
// vertical tab breaks the line.
void insertBoxText(QTextCursor &c, const QString &text)
{
    qsizetype start = 0;
    auto piece = [&](qsizetype end) {
        QString s = text.mid(start, end - start);
        s.replace(QChar('\v'), QChar::LineSeparator);
        s.remove(QChar::ParagraphSeparator);
        if (!s.isEmpty())
            c.insertText(s);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == QChar('\r') || ch == QChar('\n')) {
            piece(i);
            c.insertBlock();
            if (ch == QChar('\r') && i + 1 < text.size() && text[i + 1] == QChar('\n'))
                ++i;
            start = i + 1;
        }
    }
    piece(text.size());
}

} // namespace

void RichTextBox::SetSelText(const QString &text)
{
    flushHeld();
    QTextCursor c = textCursor();
    c.beginEditBlock();
    if (c.hasSelection()) {
        // The replacement takes the format of the first replaced character.
        const QTextCharFormat f = selectionCursor().charFormat();
        c.removeSelectedText();
        c.setCharFormat(f);
    }
    insertBoxText(c, text);
    c.endEditBlock();
    setTextCursor(c);
}

void RichTextBox::ReplaceRanges(const QList<int> &starts, int length, const QString &text)
{
    flushHeld();
    if (starts.isEmpty())
        return;
    if (length < 0)
        vt::raise(380);
    for (qsizetype i = 1; i < starts.size(); ++i)
        if (starts[i] < starts[i - 1] + length)
            vt::raise(380);
    if (starts.first() < 0 || starts.last() + length > TextLength())
        vt::raise(380);
    // From the last range back, so that the places still to come do not move.
    QTextCursor c(document());
    c.beginEditBlock();
    for (qsizetype i = starts.size() - 1; i >= 0; --i) {
        c.setPosition(boxToDoc(starts[i], false));
        c.setPosition(boxToDoc(starts[i] + length, true), QTextCursor::KeepAnchor);
        if (c.hasSelection()) {
            QTextCursor first(document());
            first.setPosition(c.selectionStart());
            first.setPosition(c.selectionStart() + 1, QTextCursor::KeepAnchor);
            const QTextCharFormat f = first.charFormat();
            c.removeSelectedText();
            c.setCharFormat(f);
        }
        insertBoxText(c, text);
    }
    c.endEditBlock();
}

QByteArray RichTextBox::TextRTF() const
{
    flushHeld();
    return rtf::writeRtf(rtf::modelFromDocument(document()), document()->defaultFont().family());
}

void RichTextBox::SetTextRTF(const QByteArray &rtf)
{
    replaceDocument(rtf, true);
}

QByteArray RichTextBox::SelRTF() const
{
    flushHeld();
    const QTextCursor c = textCursor();
    return rtf::writeRtf(rtf::modelFromDocument(document(), c.selectionStart(), c.selectionEnd()),
                         document()->defaultFont().family());
}

void RichTextBox::SetSelRTF(const QByteArray &rtf)
{
    flushHeld();
    if (!rtf::looksLikeRtf(rtf))
        vt::raise(321);
    QTextCursor c = textCursor();
    rtf::insertModel(c, rtf::readRtf(rtf).document);
    setTextCursor(c);
}

void RichTextBox::replaceDocument(const QByteArray &bytes, bool rich)
{
    flushHeld();
    rtf::Document model;
    loadSkipped_.clear();
    if (rich) {
        if (!rtf::looksLikeRtf(bytes))
            vt::raise(321);
        rtf::ReadResult read = rtf::readRtf(bytes);
        model = std::move(read.document);
        loadSkipped_ = read.skipped.describe();
    } else {
        model = plainModel(decodePlain(bytes), rtf::fromQt(QTextCharFormat(), document()->defaultFont()));
    }
    keepPaged();
    rtf::fillDocument(document(), model);
    document()->clearUndoRedoStacks();
    setTextCursor(QTextCursor(document()));
}

// --- selection formats -------------------------------------------------------

template <typename T, typename F>
std::optional<T> RichTextBox::charValue(F get) const
{
    flushHeld();
    const QTextCursor c = textCursor();
    const QFont def = document()->defaultFont();
    if (!c.hasSelection())
        return get(rtf::fromQt(c.charFormat(), def));
    const int a = c.selectionStart();
    const int b = c.selectionEnd();
    std::optional<T> value;
    for (QTextBlock blk = document()->findBlock(a); blk.isValid() && blk.position() < b; blk = blk.next()) {
        for (auto it = blk.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= a || f.position() >= b)
                continue;
            const T v = get(rtf::fromQt(f.charFormat(), def));
            if (!value)
                value = v;
            else if (*value != v)
                return std::nullopt;
        }
    }
    if (!value) // only paragraph marks selected
        value = get(rtf::fromQt(document()->findBlock(a).charFormat(), def));
    return value;
}

namespace {
// The paragraphs a selection touches: a selection ending where a paragraph
// starts does not touch that paragraph.
std::pair<QTextBlock, QTextBlock> paraRange(const QTextDocument *doc, const QTextCursor &c)
{
    const int a = c.selectionStart();
    const int b = c.selectionEnd();
    const QTextBlock first = doc->findBlock(a);
    QTextBlock last = doc->findBlock(b);
    if (b > a && last.position() == b && last != first)
        last = last.previous();
    return {first, last};
}
} // namespace

template <typename T, typename F>
std::optional<T> RichTextBox::paraValue(F get) const
{
    flushHeld();
    const auto [first, last] = paraRange(document(), textCursor());
    std::optional<T> value;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        const std::optional<T> v = get(b);
        if (!v)
            return std::nullopt;
        if (!value)
            value = v;
        else if (*value != *v)
            return std::nullopt;
        if (b == last)
            break;
    }
    return value;
}

template <typename F>
void RichTextBox::changeParas(F change)
{
    flushHeld();
    const auto [first, last] = paraRange(document(), textCursor());
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        change(b);
        if (b == last)
            break;
    }
    edit.endEditBlock();
}

void RichTextBox::mergeChar(const QTextCharFormat &f)
{
    flushHeld();
    // The base-line shift is shown in percent of the font size, so it is
    // worked out afresh for each format the change touches.
    auto merged = [&f](QTextCharFormat cf) {
        cf.merge(f);
        const double size = cf.fontPointSize() > 0 ? cf.fontPointSize() : 12.0;
        cf.setBaselineOffset(cf.intProperty(rtf::kOffsetProperty) / (size * 20.0) * 100.0);
        return cf;
    };
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        c.setCharFormat(merged(c.charFormat()));
        setTextCursor(c);
        return;
    }
    const int a = c.selectionStart();
    const int b = c.selectionEnd();
    struct Piece { int start, end; QTextCharFormat format; };
    std::vector<Piece> pieces;
    for (QTextBlock blk = document()->findBlock(a); blk.isValid() && blk.position() < b; blk = blk.next()) {
        for (auto it = blk.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            const int s = std::max(a, fr.position());
            const int e = std::min(b, fr.position() + fr.length());
            if (s < e)
                pieces.push_back({s, e, fr.charFormat()});
        }
    }
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (const Piece &p : pieces) {
        edit.setPosition(p.start);
        edit.setPosition(p.end, QTextCursor::KeepAnchor);
        edit.setCharFormat(merged(p.format));
    }
    edit.endEditBlock();
}

std::optional<QString> RichTextBox::SelFontName() const
{
    return charValue<QString>([](const rtf::CharFormat &f) { return f.font; });
}

void RichTextBox::SetSelFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        vt::raise(380);
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    mergeChar(f);
}

std::optional<double> RichTextBox::SelFontSize() const
{
    return charValue<double>([](const rtf::CharFormat &f) { return f.size; });
}

void RichTextBox::SetSelFontSize(double points)
{
    if (!(points > 0 && points <= rtf::kMaxFontSize))
        vt::raise(380);
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeChar(f);
}

std::optional<bool> RichTextBox::SelBold() const
{
    return charValue<bool>([](const rtf::CharFormat &f) { return f.bold; });
}

void RichTextBox::SetSelBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeChar(f);
}

std::optional<bool> RichTextBox::SelItalic() const
{
    return charValue<bool>([](const rtf::CharFormat &f) { return f.italic; });
}

void RichTextBox::SetSelItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeChar(f);
}

std::optional<bool> RichTextBox::SelUnderline() const
{
    return charValue<bool>([](const rtf::CharFormat &f) { return f.underline; });
}

void RichTextBox::SetSelUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeChar(f);
}

std::optional<bool> RichTextBox::SelStrikeThru() const
{
    return charValue<bool>([](const rtf::CharFormat &f) { return f.strike; });
}

void RichTextBox::SetSelStrikeThru(bool on)
{
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    mergeChar(f);
}

std::optional<QColor> RichTextBox::SelColor() const
{
    const QRgb text = palette().color(QPalette::Text).rgb();
    const auto rgb = charValue<QRgb>([text](const rtf::CharFormat &f) { return f.color.value_or(text); });
    if (!rgb)
        return std::nullopt;
    return QColor::fromRgb(*rgb);
}

void RichTextBox::SetSelColor(const QColor &color)
{
    if (!color.isValid())
        vt::raise(380);
    QTextCharFormat f;
    f.setForeground(QColor::fromRgb(color.rgb()));
    mergeChar(f);
}

std::optional<int> RichTextBox::SelCharOffset() const
{
    return charValue<int>([](const rtf::CharFormat &f) { return f.offset; });
}

void RichTextBox::SetSelCharOffset(int twips)
{
    if (std::abs(twips) > rtf::kMaxIndent)
        vt::raise(380);
    QTextCharFormat f;
    f.setProperty(rtf::kOffsetProperty, twips);
    mergeChar(f);
}

std::optional<int> RichTextBox::SelAlignment() const
{
    return paraValue<int>([](const QTextBlock &b) { return std::optional(rtf::fromQt(b.blockFormat()).align); });
}

void RichTextBox::SetSelAlignment(int alignment)
{
    if (alignment < rtfLeft || alignment > rtfCenter)
        vt::raise(380);
    rtf::ParaFormat pf;
    pf.align = alignment;
    const Qt::Alignment a = rtf::toQt(pf).alignment();
    changeParas([a](const QTextBlock &b) {
        QTextBlockFormat f;
        f.setAlignment(a);
        QTextCursor(b).mergeBlockFormat(f);
    });
}

std::optional<bool> RichTextBox::SelBullet() const
{
    return paraValue<bool>([](const QTextBlock &b) { return std::optional(b.textList() != nullptr); });
}

void RichTextBox::SetSelBullet(bool on)
{
    changeParas([on](const QTextBlock &b) {
        QTextList *list = b.textList();
        if (on && !list) {
            QTextList *prev = b.previous().isValid() ? b.previous().textList() : nullptr;
            if (prev)
                prev->add(b);
            else
                QTextCursor(b).createList(rtf::bulletListFormat());
        } else if (!on && list) {
            list->remove(b);
            QTextBlockFormat f;
            f.setIndent(0); // removing from a list leaves the list's indent behind
            QTextCursor(b).mergeBlockFormat(f);
        }
    });
}

namespace {
int clampIndent(int twips) { return std::clamp(twips, -rtf::kMaxIndent, rtf::kMaxIndent); }
void checkIndent(int twips)
{
    if (std::abs(twips) > rtf::kMaxIndent)
        vt::raise(380);
}
void setIndents(const QTextBlock &b, int left, int firstLine)
{
    QTextBlockFormat f;
    f.setLeftMargin(clampIndent(left) / rtf::kTwipsPerPixel);
    f.setTextIndent(clampIndent(firstLine) / rtf::kTwipsPerPixel);
    QTextCursor(b).mergeBlockFormat(f);
}
} // namespace

std::optional<int> RichTextBox::SelIndent() const
{
    return paraValue<int>([](const QTextBlock &b) {
        const rtf::ParaFormat f = rtf::fromQt(b.blockFormat());
        return std::optional(f.left + f.firstLine);
    });
}

void RichTextBox::SetSelIndent(int twips)
{
    checkIndent(twips);
    changeParas([twips](const QTextBlock &b) {
        const rtf::ParaFormat f = rtf::fromQt(b.blockFormat());
        setIndents(b, twips - f.firstLine, f.firstLine);
    });
}

void RichTextBox::ShiftSelIndent(int twips)
{
    changeParas([twips](const QTextBlock &b) {
        const rtf::ParaFormat f = rtf::fromQt(b.blockFormat());
        const int edge = f.left + f.firstLine;
        int moved = clampIndent(edge + twips);
        if (twips < 0 && moved < 0)
            moved = std::min(edge, 0);
        if (moved != edge)
            setIndents(b, moved - f.firstLine, f.firstLine);
    });
}

std::optional<int> RichTextBox::SelRightIndent() const
{
    return paraValue<int>([](const QTextBlock &b) { return std::optional(rtf::fromQt(b.blockFormat()).right); });
}

void RichTextBox::SetSelRightIndent(int twips)
{
    checkIndent(twips);
    changeParas([twips](const QTextBlock &b) {
        QTextBlockFormat f;
        f.setRightMargin(twips / rtf::kTwipsPerPixel);
        QTextCursor(b).mergeBlockFormat(f);
    });
}

std::optional<int> RichTextBox::SelHangingIndent() const
{
    return paraValue<int>([](const QTextBlock &b) { return std::optional(-rtf::fromQt(b.blockFormat()).firstLine); });
}

void RichTextBox::SetSelHangingIndent(int twips)
{
    checkIndent(twips);
    changeParas([twips](const QTextBlock &b) {
        const rtf::ParaFormat f = rtf::fromQt(b.blockFormat());
        setIndents(b, f.left + f.firstLine + twips, -twips);
    });
}

std::optional<int> RichTextBox::SelTabCount() const
{
    return paraValue<int>([](const QTextBlock &b) { return std::optional(int(b.blockFormat().tabPositions().size())); });
}

void RichTextBox::SetSelTabCount(int count)
{
    if (count < 0 || count > kMaxTabCount)
        vt::raise(380);
    changeParas([count](const QTextBlock &b) {
        QList<QTextOption::Tab> tabs = b.blockFormat().tabPositions();
        while (tabs.size() > count)
            tabs.removeLast();
        while (tabs.size() < count) // new stops follow the last one at half an inch
            tabs.append(QTextOption::Tab((tabs.isEmpty() ? 0 : tabs.last().position) + 720 / rtf::kTwipsPerPixel,
                                         QTextOption::LeftTab));
        QTextBlockFormat f;
        f.setTabPositions(tabs);
        QTextCursor(b).mergeBlockFormat(f);
    });
}

std::optional<int> RichTextBox::SelTabs(int index) const
{
    return paraValue<int>([index](const QTextBlock &b) -> std::optional<int> {
        const rtf::ParaFormat f = rtf::fromQt(b.blockFormat());
        if (index < 0 || index >= int(f.tabs.size()))
            return std::nullopt;
        return f.tabs[size_t(index)];
    });
}

void RichTextBox::SetSelTabs(int index, int twips)
{
    const std::optional<int> count = SelTabCount();
    if (index < 0 || index >= count.value_or(0) || twips < 0 || twips > rtf::kMaxIndent)
        vt::raise(380);
    changeParas([index, twips](const QTextBlock &b) {
        QList<QTextOption::Tab> tabs = b.blockFormat().tabPositions();
        tabs[index] = QTextOption::Tab(twips / rtf::kTwipsPerPixel, QTextOption::LeftTab);
        QTextBlockFormat f;
        f.setTabPositions(tabs);
        QTextCursor(b).mergeBlockFormat(f);
    });
}

QColor RichTextBox::BackColor() const
{
    return palette().color(QPalette::Active, QPalette::Base);
}

void RichTextBox::SetBackColor(const QColor &color)
{
    if (!color.isValid())
        vt::raise(380);
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
    updateSelectionColors();
}

void RichTextBox::SetHideSelection(bool hide)
{
    hideSelection_ = hide;
    updateSelectionColors();
}

void RichTextBox::updateSelectionColors()
{
    // The box paints its selection in the Inactive colours while it has no
    // focus: make them invisible or the same as the active ones.
    QPalette p = palette();
    if (hideSelection_) {
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Inactive, QPalette::Base));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Inactive, QPalette::Text));
    } else {
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Active, QPalette::HighlightedText));
    }
    setPalette(p);
}

// --- find, files, edit commands ------------------------------------------------

int RichTextBox::Find(const QString &text, int start, int end, int options)
{
    flushHeld();
    const QString all = Text();
    const int len = int(all.size());
    if (start < 0)
        start = SelStart();
    if (end < 0 || end > len)
        end = len;
    if (text.isEmpty() || start > end)
        return -1;
    const Qt::CaseSensitivity cs = options & rtfMatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    auto isWordChar = [&](qsizetype i) { return i >= 0 && i < len && (all[i].isLetterOrNumber() || all[i] == QChar('_')); };
    for (qsizetype pos = all.indexOf(text, start, cs); pos >= 0 && pos + text.size() <= end;
         pos = all.indexOf(text, pos + 1, cs)) {
        if ((options & rtfWholeWord) && (isWordChar(pos - 1) || isWordChar(pos + text.size())))
            continue;
        if (!(options & rtfNoHighlight)) {
            QTextCursor c = textCursor();
            c.setPosition(boxToDoc(int(pos), false));
            c.setPosition(boxToDoc(int(pos + text.size()), true), QTextCursor::KeepAnchor);
            setTextCursor(c);
        }
        return int(pos);
    }
    return -1;
}

void RichTextBox::LoadFile(const QString &path, int fileType, const LoadProgress &progress)
{
    if (fileType != rtfRTF && fileType != rtfText)
        vt::raise(380);
    const QFileInfo info(path);
    if (!info.exists())
        vt::raise(53);
    QFile f(path);
    if (info.isDir() || !f.open(QIODevice::ReadOnly))
        vt::raise(75);
    if (f.size() > kMaxFileBytes)
        vt::raise(7);
    QByteArray bytes = f.readAll();
    if (progress && bytes.size() >= kSteppedLoadBytes)
        replaceDocumentInSteps(std::move(bytes), fileType == rtfRTF, progress);
    else
        replaceDocument(bytes, fileType == rtfRTF);
}

void RichTextBox::replaceDocumentInSteps(QByteArray bytes, bool rich, const LoadProgress &progress)
{
    if (rich && !rtf::looksLikeRtf(bytes))
        vt::raise(321);
    // Reading the file into the model needs no widget: it runs on a thread
    // of its own while this one keeps the windows going. A cancelled read is
    // left to finish there; its result is dropped with the job.
    struct Job {
        QByteArray bytes;
        bool rich = true;
        rtf::CharFormat plainFormat;
        rtf::Document model;
        QStringList skipped;
        std::exception_ptr failure;
        std::atomic<bool> done{false};
    };
    auto job = std::make_shared<Job>();
    job->bytes = std::move(bytes);
    job->rich = rich;
    job->plainFormat = rtf::fromQt(QTextCharFormat(), document()->defaultFont());
    longwork::backgroundStarted();
    std::thread([job] {
        try {
            if (job->rich) {
                rtf::ReadResult read = rtf::readRtf(job->bytes);
                job->model = std::move(read.document);
                job->skipped = read.skipped.describe();
            } else {
                job->model = plainModel(decodePlain(job->bytes), job->plainFormat);
            }
        } catch (...) {
            job->failure = std::current_exception();
        }
        job->bytes = QByteArray();
        job->done = true;
        longwork::backgroundEnded();
    }).detach();

    auto cancelled = [&] {
        document()->clear();
        vt::raise(32755);
    };
    // The read's progress is not known from outside: it counts as the first
    // quarter, creeping on so that the user sees the work go on.
    int readPercent = 0;
    while (!job->done) {
        if (!progress(readPercent))
            cancelled();
        readPercent = std::min(readPercent + 1, 24);
        doEvents(50);
    }
    if (job->failure)
        std::rethrow_exception(job->failure);
    loadSkipped_ = job->skipped;

    const size_t total = std::max<size_t>(job->model.paragraphs.size(), 1);
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    keepPaged();
    const bool whole = rtf::fillDocument(document(), job->model, 100, [&](size_t done) {
        const bool goOn = progress(25 + int(75.0 * double(done) / double(total)));
        doEvents();
        keepPaged(); // whatever ran may have laid the box out afresh
        return goOn;
    });
    document()->setUndoRedoEnabled(undo);
    if (!whole)
        cancelled();
    setTextCursor(QTextCursor(document()));
}

void RichTextBox::SaveFile(const QString &path, int fileType) const
{
    flushHeld();
    if (fileType != rtfRTF && fileType != rtfText)
        vt::raise(380);
    QByteArray bytes;
    if (fileType == rtfRTF) {
        bytes = TextRTF();
    } else {
        QString t = Text();
        t.replace(QChar('\v'), QStringLiteral("\r\n"));
        t.remove(QChar::ObjectReplacementCharacter);
        // Plain text always goes out as UTF-8; the reader takes UTF-8 when it
        // is valid and code page 1252 otherwise, so older files still open.
        bytes = t.toUtf8();
    }
    vt::writeWholeFile(path, bytes);
}

bool RichTextBox::CanUndo() const
{
    flushHeld();
    return document()->isUndoAvailable();
}

void RichTextBox::Undo()
{
    flushHeld();
    undo();
}

void RichTextBox::Cut()
{
    flushHeld();
    cut();
}

void RichTextBox::Copy()
{
    flushHeld();
    copy();
}

void RichTextBox::Paste()
{
    flushHeld();
    paste();
}

void RichTextBox::Clear()
{
    flushHeld();
    QTextCursor c = textCursor();
    c.removeSelectedText();
    setTextCursor(c);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    for (const char *type : kRtfMimeTypes)
        if (source->hasFormat(QLatin1String(type)))
            return true;
    return source->hasImage() || source->hasText();
}

QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    auto *m = new QMimeData;
    QString plain = SelText();
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\v'), QChar('\n'));
    plain.remove(QChar::ObjectReplacementCharacter);
    m->setText(plain);
    const QByteArray rtf = SelRTF();
    for (const char *type : kRtfMimeTypes)
        m->setData(QLatin1String(type), rtf);
    return m;
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    flushHeld();
    guarded(QStringLiteral("RichTextBox/paste"), [&] {
        for (const char *type : kRtfMimeTypes) {
            const QByteArray bytes = source->data(QLatin1String(type));
            if (rtf::looksLikeRtf(bytes)) {
                SetSelRTF(bytes);
                ensureCursorVisible();
                return;
            }
        }
        if (source->hasImage()) {
            const QImage img = qvariant_cast<QImage>(source->imageData());
            if (!img.isNull()) {
                QTextCursor c = textCursor();
                rtf::Document m;
                rtf::Run r;
                r.format = rtf::fromQt(c.charFormat(), document()->defaultFont());
                r.picture = img;
                r.picWidth = int(std::lround(img.width() * rtf::kTwipsPerPixel));
                r.picHeight = int(std::lround(img.height() * rtf::kTwipsPerPixel));
                m.paragraphs.push_back({{}, r.format, {r}});
                rtf::insertModel(c, m);
                setTextCursor(c);
                ensureCursorVisible();
                return;
            }
        }
        if (source->hasText()) {
            SetSelText(source->text());
            ensureCursorVisible();
        }
    });
}

// --- events ----------------------------------------------------------------------

void RichTextBox::emitSelChange()
{
    const int start = SelStart();
    const int length = SelLength();
    if (start == lastSelStart_ && length == lastSelLength_)
        return;
    lastSelStart_ = start;
    lastSelLength_ = length;
    emit SelChange();
}

void RichTextBox::keyPressEvent(QKeyEvent *e)
{
    flushHeld();
    const int shift = shiftOf(e->modifiers());
    int key = e->key();
    emit KeyDown(key, shift);
    if (key == 0) {
        e->accept();
        return;
    }
    // The character the key types, as the platform reports it: control
    // letters as their codes, nothing for Alt combinations and Delete.
    const QString text = e->text();
    int ascii = 0;
    if (!(shift & vbAltMask)) {
        if (!text.isEmpty() && text[0].unicode() != 0x7F)
            ascii = text[0].unicode();
        if ((shift & vbCtrlMask) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
            ascii = e->key() - Qt::Key_A + 1;
    }
    if (ascii) {
        const int typed = ascii;
        emit KeyPress(ascii);
        if (ascii == 0) {
            e->accept();
            return;
        }
        if (ascii != typed && !(shift & vbCtrlMask)) {
            QKeyEvent changed(e->type(), e->key(), e->modifiers(), QString(QChar(char16_t(ascii))));
            QTextEdit::keyPressEvent(&changed);
            return;
        }
    }
    QTextEdit::keyPressEvent(e);
}

void RichTextBox::mousePressEvent(QMouseEvent *e)
{
    flushHeld();
    QTextEdit::mousePressEvent(e);
    const int button = e->button() == Qt::LeftButton ? vbLeftButton
                     : e->button() == Qt::RightButton ? vbRightButton
                     : e->button() == Qt::MiddleButton ? vbMiddleButton : 0;
    pressed_ = button == vbLeftButton;
    const QPoint p = e->position().toPoint();
    emit MouseDown(button, shiftOf(e->modifiers()), p.x(), p.y());
    e->accept(); // reported here, whatever the base class made of it
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *e)
{
    QTextEdit::mouseReleaseEvent(e);
    if (pressed_ && e->button() == Qt::LeftButton) {
        pressed_ = false;
        emit Click();
    }
}

// --- display lines ---------------------------------------------------------------

namespace {
int linesOf(const QTextBlock &b)
{
    const QTextLayout *l = b.layout();
    return l && l->lineCount() > 0 ? l->lineCount() : 1;
}
} // namespace

// What the wrapping of every paragraph depends on besides its own text.
struct RichTextBox::LinesKey {
    qreal textWidth = -1;
    qreal margin = -1;
    QFont font;
    int wrapMode = -1;
    bool operator==(const LinesKey &o) const = default;
};

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
