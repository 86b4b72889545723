// The rich-text box's selection formats: character formats (font, size,
// bold, colour, offset) and paragraph formats (alignment, bullets, indents,
// tabs), each "no value" where the selection mixes two; the back colour and
// the selection's colours.
#include "platform/richtext.h"

#include "platform/errors.h"
#include "platform/rtfmodel.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cmath>

namespace vt {

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

} // namespace vt
