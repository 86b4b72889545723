// The rich-text box every CFile (and every other rich-text field) uses: a
// QTextEdit with the members, positions and events the program was designed
// against, and RTF files through our own reader and writer.
//
// Positions. `Text()` has CR LF between paragraphs, and every position and
// length here (SelStart, SelLength, Find, the line queries, FormatRange)
// counts that break as two characters. A line break inside a paragraph reads
// as one vertical tab (\v), a picture as one U+FFFC. Appending at the end is
// SetSelStart(TextLength()) then SetSelText(...).
//
// Selection formats. The Sel* getters answer std::nullopt ("no value", the
// platform's Null) when the selection mixes two values. With an empty
// selection they answer the format at the caret, and the setters set the
// format that typing and SetSelText use next. Lengths are twips, font sizes
// points, colours QColor. Paragraph formats cover every paragraph the
// selection touches.
//
// Errors are raised as vt::RtError: 380 for an invalid property value, 53 for
// a missing file, 75 for a file that cannot be read or written, 321 "Invalid
// file format" for a rich-text load of a file that is not RTF.
//
// Events. Change (text or formatting changed), SelChange (selection or caret
// moved), Click, MouseDown, KeyDown and KeyPress. The key events pass the key
// by reference: a handler connected directly (the default within one thread)
// sets it to 0 to swallow the key, so the box never sees it.
#pragma once

#include "platform/keys.h"

#include <QColor>
#include <QStringList>
#include <QTextEdit>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace vt {

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    enum FileType { rtfRTF = 0, rtfText = 1 };
    enum FindOption { rtfWholeWord = 2, rtfMatchCase = 4, rtfNoHighlight = 8 };
    enum Alignment { rtfLeft = 0, rtfRight = 1, rtfCenter = 2 };
    // Mouse buttons and shift states as the events report them.
    enum Button { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
    using enum ShiftMask;
    // Where lines wrap: not at all, at the window's edge, or at a fixed width.
    enum class Wrap { None, Window, Width };
    static constexpr int kMaxTabCount = 128;

    explicit RichTextBox(QWidget *parent = nullptr);
    ~RichTextBox() override;

    // --- text and selection ---------------------------------------------------
    QString Text() const;
    void SetText(const QString &text);         // plain text; clears the undo history
    int TextLength() const;                    // Text().size(), without building it
    int SelStart() const;
    void SetSelStart(int pos);                 // also empties the selection
    int SelLength() const;
    void SetSelLength(int length);             // from SelStart
    QString SelText() const;
    void SetSelText(const QString &text);      // replaces the selection; caret behind it
    // Replaces the ranges [start, start + length) (ascending, not
    // overlapping) with `text` as one edit, which one Undo takes back; each
    // replacement takes the format of the first character it replaces. The
    // selection is left to the caller. Error 380 for ranges out of order or
    // outside the text.
    void ReplaceRanges(const QList<int> &starts, int length, const QString &text);
    QByteArray TextRTF() const;                // the whole document as RTF
    void SetTextRTF(const QByteArray &rtf);    // error 321 when not RTF
    QByteArray SelRTF() const;
    void SetSelRTF(const QByteArray &rtf);     // error 321 when not RTF

    // --- selection formats ---------------------------------------------------
    std::optional<QString> SelFontName() const;
    void SetSelFontName(const QString &name);
    std::optional<double> SelFontSize() const;
    void SetSelFontSize(double points);
    std::optional<bool> SelBold() const;
    void SetSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void SetSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void SetSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void SetSelStrikeThru(bool on);
    std::optional<QColor> SelColor() const;
    void SetSelColor(const QColor &color);
    std::optional<int> SelCharOffset() const;  // twips above (+) or below (-) the base line
    void SetSelCharOffset(int twips);
    std::optional<int> SelAlignment() const;   // rtfLeft, rtfRight, rtfCenter (3 justified, read only)
    void SetSelAlignment(int alignment);
    std::optional<bool> SelBullet() const;
    void SetSelBullet(bool on);
    std::optional<int> SelIndent() const;      // left edge of a paragraph's first line
    void SetSelIndent(int twips);
    // Moves the left edge of every paragraph the selection touches by twips,
    // each from its own place and keeping its hanging indent, as one change.
    // An edge moved left stops at 0 (or where it was, when already left of
    // it); one moved right stops at the largest indent.
    void ShiftSelIndent(int twips);
    std::optional<int> SelRightIndent() const;
    void SetSelRightIndent(int twips);
    std::optional<int> SelHangingIndent() const; // further lines relative to the first
    void SetSelHangingIndent(int twips);
    std::optional<int> SelTabCount() const;
    void SetSelTabCount(int count);            // 0 to kMaxTabCount
    std::optional<int> SelTabs(int index) const;
    void SetSelTabs(int index, int twips);     // index below SelTabCount

    QColor BackColor() const;
    void SetBackColor(const QColor &color);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);          // hide the selection while unfocused

    // --- find, files, edit commands -----------------------------------------
    // Searches [start, end] (end < 0: the end of the text; start < 0: the
    // caret) for `text`; selects the hit unless rtfNoHighlight. Answers the
    // hit's position or -1.
    int Find(const QString &text, int start = -1, int end = -1, int options = 0);
    // A large file loads in steps that let events run: progress(percent) is
    // called between them and cancels the load by answering false (error
    // 32755; the box is left empty). Small files load at once, without a call.
    using LoadProgress = std::function<bool(int percent)>;
    void LoadFile(const QString &path, int fileType = rtfRTF, const LoadProgress &progress = {});
    // What the last LoadFile or SetTextRTF could not read, one line per kind
    // of loss in words for the user; empty when it read everything.
    QStringList LoadSkipped() const { return loadSkipped_; }
    void SaveFile(const QString &path, int fileType = rtfRTF) const;
    bool CanUndo() const;
    void Undo();
    void Cut();
    void Copy();
    void Paste();
    void Clear();                              // deletes the selection

    // A writer that holds text back to append it later (received text that is
    // gathered so that a long paragraph is not laid out again for every few
    // characters) registers how to write it out; the box calls that before
    // anything reads or changes its text or selection, so nobody sees the
    // text without what was held. An empty function removes it.
    void SetHeldTextWriter(std::function<void()> write) { heldWriter_ = std::move(write); }

    // --- display lines -------------------------------------------------------
    int GetLineCount() const;
    int LineFromChar(int pos = -1) const;      // -1: the line of SelStart
    int LineIndex(int line = -1) const;        // first position of a line; -1 when none
    void SetWrap(Wrap wrap, int widthTwips = 0);
    Wrap wrap() const { return wrap_; }

    // --- page formatting ----------------------------------------------------
    // Lays the text from position `from` out into `rectTwips` of a page
    // (twips on the painter's device, origin at its top left) and, when
    // `painter` is given, draws it there. Answers the position of the first
    // character that did not fit (>= `to` or TextLength() when all did). Only
    // whole lines are placed; an answer equal to `from` means not even one
    // line fits, and paging must stop there. A line taller than a rectangle
    // of an inch or more is placed, clipped, when it comes first. The layout
    // is kept between calls for the same width until FormatRangeDone() or
    // the next change of the text.
    int FormatRange(QPainter *painter, const QRect &rectTwips, int from, int to = -1);
    void FormatRangeDone();

signals:
    void Change();
    void SelChange();
    void Click();
    void MouseDown(int button, int shift, int x, int y); // x, y: pixels in the box
    void KeyDown(int &keyCode, int shift);     // Qt::Key; 0 swallows
    void KeyPress(int &keyAscii);              // the typed character; 0 swallows

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int docToBox(int doc) const;
    int boxToDoc(int box, bool roundUp) const;
    QTextCursor selectionCursor() const;       // textCursor() ordered start..end
    template <typename T, typename F> std::optional<T> charValue(F get) const;
    template <typename T, typename F> std::optional<T> paraValue(F get) const;
    void mergeChar(const QTextCharFormat &f);
    template <typename F> void changeParas(F change);
    void replaceDocument(const QByteArray &rtf, bool rich);
    void replaceDocumentInSteps(QByteArray bytes, bool rich, const LoadProgress &progress);
    void updateSelectionColors();
    void fitNoWrapWidth();
    void keepPaged();
    void relayout(const std::function<void()> &change);
    void emitSelChange();
    void forgetLinesFrom(int docPos);
    void countLinesTo(int blockNumber) const;
    void flushHeld() const;

    QStringList loadSkipped_;
    bool hideSelection_ = true;
    bool aligned_ = false;                     // some paragraph is centred, right-aligned or justified
    bool pressed_ = false;
    int lastSelStart_ = -1;
    int lastSelLength_ = -1;
    Wrap wrap_ = Wrap::Window;
    struct PageLayout;
    std::unique_ptr<PageLayout> page_;
    // Display lines before each counted paragraph: linesBefore_[i] for the
    // paragraphs 0..i-1, so the line queries a receiving CFile makes per
    // chunk only count the paragraphs that changed. Valid while the text
    // from the last counted paragraph on is unchanged and the page is laid
    // out the same way (linesKey_).
    struct LinesKey;
    mutable std::vector<int> linesBefore_{0};
    mutable std::unique_ptr<LinesKey> linesKey_;
    std::function<void()> heldWriter_;
    mutable bool writingHeld_ = false;
};

} // namespace vt
