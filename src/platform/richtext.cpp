// The rich-text box itself: its text and selection in the platform's
// positions, the edit commands and the clipboard, and its events. Files and
// RTF strings are in richtext_files.cpp, the selection formats in
// richtext_formats.cpp, lines and page formatting in richtext_layout.cpp.
#include "platform/richtext.h"
#include "platform/richtext_parts.h"

#include "platform/errors.h"
#include "platform/rtfmodel.h"
#include "platform/rtfreader.h"
#include "platform/rtfwriter.h"

#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace vt {

namespace {

const char *const kRtfMimeTypes[] = {"text/rtf", "application/rtf", "text/richtext"};

QString boxText(QString s)
{
    for (QChar &c : s) {
        if (c == QChar::LineSeparator)
            c = QChar('\v');
    }
    return s.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
}

} // namespace

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
    rtf::fillDocument(document(), richtext::plainModel(text, f));
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

} // namespace vt
