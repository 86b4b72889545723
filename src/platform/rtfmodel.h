// The rich-text model shared by the RTF reader, the RTF writer and the
// rich-text box: paragraphs of formatted runs, with lengths in twips. It is
// plain data, so reading and writing RTF need no widget and no QTextDocument.
#pragma once

#include "platform/conversions.h"

#include <QImage>
#include <QString>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextListFormat>
#include <functional>
#include <optional>
#include <vector>

namespace vt::rtf {

// Lengths inside a QTextDocument are pixels at 96 dots per inch, the
// platform's standard screen.
constexpr double kTwipsPerPixel = TwipsPerPixel;

// Caps that keep hostile or broken input from costing unbounded time or memory.
constexpr int kMaxGroupDepth = 256;          // deeper groups are skipped
constexpr int kMaxFonts = 4096;              // font-table entries kept
constexpr int kMaxColors = 4096;             // colour-table entries kept
constexpr int kMaxTabs = 128;                // tab stops per paragraph
constexpr int kMaxIndent = 31680;            // |indent| and tab position, twips (22 inches)
constexpr double kMaxFontSize = 1638.0;      // points
constexpr int kMaxPictureBytes = 32 << 20;   // encoded picture data
constexpr qint64 kMaxPicturePixels = 40'000'000;
// The pixels of all a document's pictures together. A picture's header may
// claim any size in a few bytes, so what a document may decode grows with the
// picture data it actually carries: a small allowance any document gets, and
// so many pixels per byte of picture data. No PNG can pack more than about
// 344 pixels of the form we write into one byte (deflate packs at most 1032
// bytes into one, and a pixel is at least three), so whatever the writer
// wrote always reads back in full.
constexpr qint64 kPictureBudgetBasePixels = 1'000'000;
constexpr qint64 kPicturePixelsPerByte = 512;

struct CharFormat {
    QString font;                 // family name; empty: the document's default
    double size = 12.0;           // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::optional<QRgb> color;    // none: the automatic text colour
    int offset = 0;               // twips above (+) or below (-) the base line
    bool operator==(const CharFormat &) const = default;
};

// Alignment codes are the rich-text box's SelAlignment values.
enum Align { AlignLeft = 0, AlignRight = 1, AlignCenter = 2, AlignJustify = 3 };

struct ParaFormat {
    int align = AlignLeft;
    bool bullet = false;
    int left = 0;                 // left indent of every line, twips
    int right = 0;                // right indent, twips
    int firstLine = 0;            // first line relative to `left`, twips
    std::vector<int> tabs;        // tab stops, twips
    bool operator==(const ParaFormat &) const = default;
};

// A run is text in one format, or one picture when `picture` is not null.
struct Run {
    CharFormat format;
    QString text;                 // may hold tabs and line separators (U+2028)
    QImage picture;
    int picWidth = 0;             // shown size, twips
    int picHeight = 0;
};

struct Paragraph {
    ParaFormat format;
    CharFormat endFormat;         // format of the paragraph mark (an empty line's look)
    std::vector<Run> runs;
};

// Paragraphs are separated by paragraph breaks: n paragraphs hold n - 1
// breaks. No paragraphs at all is the empty document.
struct Document {
    std::vector<Paragraph> paragraphs;
    QString plainText() const;    // paragraphs joined by CR LF
};

// --- between the model and QTextDocument -------------------------------------

// Character property holding the exact base-line offset in twips.
constexpr int kOffsetProperty = QTextFormat::UserProperty + 1;

QTextCharFormat toQt(const CharFormat &f);
CharFormat fromQt(const QTextCharFormat &f, const QFont &defaultFont);
QTextBlockFormat toQt(const ParaFormat &f);
ParaFormat fromQt(const QTextBlockFormat &f);

// Replaces the whole content of `doc` with the model.
void fillDocument(QTextDocument *doc, const Document &model);
// The same in steps: between steps (about every stepMs milliseconds) the
// edit is closed, so the part filled so far is laid out, and step(paragraphs
// done) runs; when it answers false the fill stops there and returns false.
bool fillDocument(QTextDocument *doc, const Document &model, int stepMs,
                  const std::function<bool(size_t done)> &step);
// The model of the document positions [from, to) (to < 0: the end).
Document modelFromDocument(const QTextDocument *doc, int from = 0, int to = -1);
// The list format of bulleted paragraphs.
QTextListFormat bulletListFormat();
// Inserts the model at the cursor, replacing its selection; the cursor ends
// behind the insertion.
void insertModel(QTextCursor &cursor, const Document &model);

} // namespace vt::rtf
