// What the rich-text box's source files share among themselves and nobody
// else needs: the page layout kept for printing, the key of the counted
// display lines, and the splitting of plain text into paragraphs.
#pragma once

#include "platform/richtext.h"
#include "platform/rtfmodel.h"

#include <QFont>
#include <QImage>
#include <QTextDocument>
#include <atomic>
#include <memory>

namespace vt {

struct RichTextBox::PageLayout {
    std::unique_ptr<QTextDocument> doc;
    QImage device{1, 1, QImage::Format_RGB32}; // fonts measured at 96 dpi
    int widthTwips = -1;
};

// What the wrapping of every paragraph depends on besides its own text.
struct RichTextBox::LinesKey {
    qreal textWidth = -1;
    qreal margin = -1;
    QFont font;
    int wrapMode = -1;
    bool operator==(const LinesKey &o) const = default;
};

namespace richtext {

// Splits plain text into paragraphs at CR LF, CR or LF, each in format `f`.
rtf::Document plainModel(const QString &text, const rtf::CharFormat &f, const std::atomic<bool> *cancel = nullptr);

} // namespace richtext

} // namespace vt
