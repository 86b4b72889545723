#include "platform/rtfmodel.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QUrl>
#include <cmath>

namespace vt::rtf {

QString Document::plainText() const
{
    QString out;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i)
            out += QStringLiteral("\r\n");
        for (const Run &r : paragraphs[i].runs)
            out += r.picture.isNull() ? r.text : QString(QChar::ObjectReplacementCharacter);
    }
    return out;
}

namespace {

double toPixels(int twips) { return twips / kTwipsPerPixel; }
int toTwips(double pixels) { return int(std::lround(pixels * kTwipsPerPixel)); }

QString newImageName()
{
    static QAtomicInt counter;
    return QStringLiteral("vtimg:%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

// Adds the picture to the document's resources and answers its image format.
QTextImageFormat imageFormat(QTextDocument *doc, const Run &r)
{
    const QString name = newImageName();
    doc->addResource(QTextDocument::ImageResource, QUrl(name), r.picture);
    QTextImageFormat f;
    f.merge(toQt(r.format));
    f.setName(name);
    f.setWidth(toPixels(r.picWidth));
    f.setHeight(toPixels(r.picHeight));
    return f;
}

// Inserts the runs of one paragraph at the cursor.
void insertRuns(QTextCursor &c, const Paragraph &p)
{
    QTextDocument *doc = c.document();
    for (const Run &r : p.runs) {
        if (!r.picture.isNull())
            c.insertImage(imageFormat(doc, r));
        else if (!r.text.isEmpty())
            c.insertText(r.text, toQt(r.format));
    }
}

} // namespace

QTextListFormat bulletListFormat()
{
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDisc);
    lf.setIndent(1);
    return lf;
}

QTextCharFormat toQt(const CharFormat &f)
{
    QTextCharFormat q;
    if (!f.font.isEmpty())
        q.setFontFamilies(QStringList{f.font});
    q.setFontPointSize(f.size);
    q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    q.setFontItalic(f.italic);
    q.setFontUnderline(f.underline);
    q.setFontStrikeOut(f.strike);
    if (f.color)
        q.setForeground(QColor::fromRgb(*f.color));
    else
        q.setForeground(QBrush()); // the automatic colour
    q.setProperty(kOffsetProperty, f.offset);
    // Shown as a shift of the base line in percent of the font height.
    q.setBaselineOffset(f.size > 0 ? f.offset / (f.size * 20.0) * 100.0 : 0.0);
    return q;
}

CharFormat fromQt(const QTextCharFormat &q, const QFont &defaultFont)
{
    CharFormat f;
    const QStringList families = q.fontFamilies().toStringList();
    f.font = families.isEmpty() ? defaultFont.family() : families.first();
    f.size = q.fontPointSize() > 0 ? q.fontPointSize()
           : defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 12.0;
    f.bold = q.fontWeight() >= QFont::DemiBold;
    f.italic = q.fontItalic();
    f.underline = q.fontUnderline();
    f.strike = q.fontStrikeOut();
    const QBrush fg = q.foreground();
    if (q.hasProperty(QTextFormat::ForegroundBrush) && fg.style() != Qt::NoBrush)
        f.color = fg.color().rgb();
    f.offset = q.intProperty(kOffsetProperty);
    return f;
}

QTextBlockFormat toQt(const ParaFormat &f)
{
    QTextBlockFormat q;
    switch (f.align) {
    case AlignRight: q.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case AlignCenter: q.setAlignment(Qt::AlignHCenter); break;
    case AlignJustify: q.setAlignment(Qt::AlignJustify); break;
    default: q.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    }
    q.setLeftMargin(toPixels(f.left));
    q.setRightMargin(toPixels(f.right));
    q.setTextIndent(toPixels(f.firstLine));
    QList<QTextOption::Tab> tabs;
    for (int t : f.tabs)
        tabs.append(QTextOption::Tab(toPixels(t), QTextOption::LeftTab));
    q.setTabPositions(tabs);
    return q;
}

ParaFormat fromQt(const QTextBlockFormat &q)
{
    ParaFormat f;
    const Qt::Alignment a = q.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight) f.align = AlignRight;
    else if (a & Qt::AlignHCenter) f.align = AlignCenter;
    else if (a & Qt::AlignJustify) f.align = AlignJustify;
    f.left = toTwips(q.leftMargin());
    f.right = toTwips(q.rightMargin());
    f.firstLine = toTwips(q.textIndent());
    for (const QTextOption::Tab &t : q.tabPositions())
        f.tabs.push_back(toTwips(t.position));
    return f;
}

void fillDocument(QTextDocument *doc, const Document &model) { fillDocument(doc, model, 0, {}); }

bool fillDocument(QTextDocument *doc, const Document &model, int stepMs, const std::function<bool(size_t done)> &step)
{
    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();
    QTextList *list = nullptr;
    QElapsedTimer sinceStep;
    sinceStep.start();
    for (size_t i = 0; i < model.paragraphs.size(); ++i) {
        // The clock is read every few paragraphs only: it costs more than one.
        if (step && i % 64 == 0 && sinceStep.elapsed() >= stepMs) {
            c.endEditBlock();
            if (!step(i))
                return false;
            // Whatever ran meanwhile may have moved this cursor's idea of
            // the end; filling goes on at the end of the document.
            c.movePosition(QTextCursor::End);
            c.beginEditBlock();
            sinceStep.restart();
        }
        const Paragraph &p = model.paragraphs[i];
        if (i == 0) {
            c.setBlockFormat(toQt(p.format));
            c.setBlockCharFormat(toQt(p.endFormat));
        } else {
            c.insertBlock(toQt(p.format), toQt(p.endFormat));
        }
        if (p.format.bullet) {
            if (list)
                list->add(c.block());
            else
                list = c.createList(bulletListFormat());
        } else {
            list = nullptr;
        }
        insertRuns(c, p);
    }
    c.endEditBlock();
    return true;
}

Document modelFromDocument(const QTextDocument *doc, int from, int to)
{
    Document m;
    const int end = doc->characterCount() - 1; // without the final paragraph separator
    if (to < 0 || to > end)
        to = end;
    from = std::clamp(from, 0, to);
    const QFont defFont = doc->defaultFont();
    for (QTextBlock b = doc->findBlock(from); b.isValid(); b = b.next()) {
        if (b.position() > to)
            break;
        Paragraph p;
        p.format = fromQt(b.blockFormat());
        p.format.bullet = b.textList() != nullptr;
        p.endFormat = fromQt(b.charFormat(), defFont);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int fs = std::max(frag.position(), from);
            const int fe = std::min(frag.position() + frag.length(), to);
            if (fs >= fe)
                continue;
            const QTextCharFormat cf = frag.charFormat();
            Run r;
            r.format = fromQt(cf, defFont);
            if (cf.isImageFormat()) {
                const QTextImageFormat img = cf.toImageFormat();
                r.picture = doc->resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
                if (r.picture.isNull())
                    continue;
                r.picWidth = toTwips(img.width() > 0 ? img.width() : r.picture.width());
                r.picHeight = toTwips(img.height() > 0 ? img.height() : r.picture.height());
                for (int k = fs; k < fe; ++k)
                    p.runs.push_back(r);
                continue;
            }
            r.text = frag.text().mid(fs - frag.position(), fe - fs);
            if (!p.runs.empty() && p.runs.back().picture.isNull() && p.runs.back().format == r.format)
                p.runs.back().text += r.text;
            else
                p.runs.push_back(std::move(r));
        }
        m.paragraphs.push_back(std::move(p));
        if (b.position() + b.length() > to)
            break; // the range ends inside this paragraph (or at its mark)
    }
    return m;
}

void insertModel(QTextCursor &cursor, const Document &model)
{
    if (model.paragraphs.size() <= 1) {
        // Within one paragraph: the runs only, the paragraph keeps its format.
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        if (!model.paragraphs.empty())
            insertRuns(cursor, model.paragraphs.front());
        cursor.endEditBlock();
        return;
    }
    // Pictures live in the target document's resources: build the fragment in
    // a scratch document, then hand its images over under the same names.
    QTextDocument scratch;
    scratch.setDefaultFont(cursor.document()->defaultFont());
    fillDocument(&scratch, model);
    for (QTextBlock b = scratch.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat cf = it.fragment().charFormat();
            if (!cf.isImageFormat())
                continue;
            const QUrl name(cf.toImageFormat().name());
            cursor.document()->addResource(QTextDocument::ImageResource, name,
                                           scratch.resource(QTextDocument::ImageResource, name));
        }
    }
    cursor.beginEditBlock();
    cursor.insertFragment(QTextDocumentFragment(&scratch));
    cursor.endEditBlock();
}

} // namespace vt::rtf
