// Our own RTF reader: turns RTF bytes into the rich-text model. It is a pure
// function of its input (no widget, no document, no files), never throws, and
// bounds what hostile input can cost by the caps of rtfmodel.h.
#pragma once

#include "platform/rtfmodel.h"

#include <QByteArray>

namespace vt::rtf {

// True when the data starts as RTF: "{\rtf", after an optional UTF-8 byte
// order mark and white space. Anything else is not rich text.
bool looksLikeRtf(const QByteArray &data);

struct ReadResult {
    Document document;
    // False when the input ended before its outer group closed, or when a cap
    // cut something off; the document then holds what could be read.
    bool complete = true;
};

// Reads fonts and the font table, colours and the colour table, bold, italic,
// underline, strike-through, size, base-line offset, alignment, bullets,
// indents, tab stops, paragraphs and line breaks, \uN with \ucN, \'hh in the
// document's (or the font's) code page, and pictures (PNG, JPEG, device-
// independent bitmaps). Unknown control words are ignored; unknown
// destinations are skipped as a group. Input that does not start as RTF reads
// as an empty document (check with looksLikeRtf first).
ReadResult readRtf(const QByteArray &data);

} // namespace vt::rtf
