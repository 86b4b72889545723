// Our own RTF reader: turns RTF bytes into the rich-text model. It is a pure
// function of its input (no widget, no document, no files), never throws, and
// bounds what hostile input can cost by the caps of rtfmodel.h.
#pragma once

#include "platform/rtfmodel.h"

#include <QByteArray>
#include <QStringList>
#include <atomic>

namespace vt::rtf {

// True when the data starts as RTF: "{\rtf", after an optional UTF-8 byte
// order mark and white space. Anything else is not rich text.
bool looksLikeRtf(const QByteArray &data);

// What the reader had to leave out of a document.
struct Skipped {
    bool truncated = false;         // the input ended before its outer group closed
    bool binPastEnd = false;        // a \bin count ran past the end; its bytes were read as RTF
    int deepGroups = 0;             // groups nested deeper than kMaxGroupDepth
    int unreadablePictures = 0;     // picture data no decoder here could read
    int picturesOverBudget = 0;     // pictures claiming more pixels than the document's budget
    int pastCaps = 0;               // font and colour entries and tab stops beyond their caps
    bool any() const
    {
        return truncated || binPastEnd || deepGroups || unreadablePictures || picturesOverBudget || pastCaps;
    }
    // One line per kind of loss, in words for the user; empty when nothing was skipped.
    QStringList describe() const;
};

struct ReadResult {
    Document document;
    // False when anything was skipped; the document then holds what could be read.
    bool complete = true;
    // The caller gave the read up: the document holds what was read until then.
    bool cancelled = false;
    Skipped skipped;
};

// Reads fonts and the font table, colours and the colour table, bold, italic,
// underline, strike-through, size, base-line offset, alignment, bullets,
// indents, tab stops, paragraphs and line breaks, \uN with \ucN, \'hh in the
// document's (or the font's) code page, and pictures (PNG, JPEG, device-
// independent bitmaps). Unknown control words are ignored; unknown
// destinations are skipped as a group. Input that does not start as RTF reads
// as an empty document (check with looksLikeRtf first). A read on a thread of
// its own can be given up: once `cancel` is set it stops within a few
// thousand bytes and answers what it had, marked cancelled.
ReadResult readRtf(const QByteArray &data, const std::atomic<bool> *cancel = nullptr);

} // namespace vt::rtf
