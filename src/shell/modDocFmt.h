// The default document formats of section "frmMDI": factory values, reading
// them at start and writing them at exit, and the tab-stop lists as they are
// stored. The records themselves are in shell/modNeighbours.h; applying them
// to a CFile is the editor tools' part.
#pragma once

#include "shell/modNeighbours.h"

#include <QString>
#include <functional>

namespace vt {

// The factory font: Arial 10, black on white, plain, both flags 1 (the
// dialog's own fields left as they are).
void rstFont(FontFmt &f);
// The properties the default font and the format toolbar's record share,
// copied the one way or the other.
void fontToDocFont(const FontFmt &f, DocFontFmtRec &d);
void docFontToFont(const DocFontFmtRec &d, FontFmt &f);

// Factory values. zapDocFrmt also copies the font into DocFontFmt.
void zapDocFrmt();
void zapDocMarg();
void zapDocTabs();
void setDefPrnMarg();

// Each reads or writes one record's keys. A missing key reads as its default;
// one whose text does not convert leaves its field as it was, and the other
// keys are still read.
void getPrntFmt();
void getFontFmt();
void getMargFmt();
void getTabsFmt();
void savPrntFmt();
void savFontFmt();
void savMargFmt();
void savTabsFmt();

// Start: factory values, then (while GetRegistry) the stored ones.
void getAllFmt();
// Exit: the print keys always; while SaveRegistry also the find dialog's
// record (savFindRec, when given), the margins, the tab stops and the font.
void savAllFmt(const std::function<void()> &savFindRec = {});

// The font dialog's own keys (its ask flag under "FormatAsk") and the
// margins dialog's (with "MargUnits"), read over the record's values (a key
// that does not convert leaves its field) and written from it.
void readFontDefs(FontFmt &f);
void writeFontDefs(const FontFmt &f);
void readMargDefs(MargFmt &m);
void writeMargDefs(const MargFmt &m);

// The tab stops as stored: positions in twips and names, each followed by
// "_@_". 1 to 100 stops are written; a count of 0 gives two empty texts.
struct TabLists {
    QString positions;
    QString names;
};
TabLists joinTabs(const TabFmt &tabs);
// Clears the stops of `tabs` (its flags and unit kept) and takes pairs from
// the two lists while both hold a further "_@_"-ended item, up to 100.
void splitTabs(TabFmt &tabs, const QString &positions, const QString &names);
// Factory tab record: unit inches, both flags 1, no stops.
void rstTabs(TabFmt &tabs);
// Factory values, then the stored tab keys.
void readTabs(TabFmt &tabs);
void writeTabs(const TabFmt &tabs);
// The tab dialog's store procedures, which work without its window.
void getTabs(); // readTabs into TabFmtDef
void savTabs(); // stores nothing: the tab dialog's Save and closing question do

} // namespace vt
