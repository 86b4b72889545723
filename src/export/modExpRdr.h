// The readers of the spreadsheet export: the shot lines of the active CFile
// ("CAP:" and "#" lines, a block closed by "<End>") and the chronograph's
// download dump ("MMR:<Begin>", "MMR:" shot lines, "MMR:<End>"). Each fills
// the current shot (EDiskPrs, xlShotCnt and the status record's units) and
// has the import-block writers put it into the active sheet.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// Results of the download export beyond 0 (read to its end, or 100 strings).
constexpr int16_t mmrNoBegin = 101;    // no further Begin line, or one out of shape
constexpr int16_t mmrTooLong = 102;    // a string of more than 40 shots
constexpr int16_t mmrBadShot = 103;    // a shot line missing, malformed or not of its string
constexpr int16_t mmrBadEnd = 104;     // an End line missing, malformed or badly continued
// A reader's call into the spreadsheet program failed: the rows stop there
// and the export is reported as failed, never as a success.
constexpr int16_t expSheetFailed = 105;
// The sheet ran out of rows: the shots that fit were exported and closed by
// an End row, and the user was told how many were and were not exported.
constexpr int16_t expSheetFull = 106;
// The user pressed Abort in the progress window: the rows so far are closed
// by an End row.
constexpr int16_t expAborted = 107;

// --- shot lines of a CFile ------------------------------------------------------

// Clears the current shot and arms a Begin row: count 0, every number 0, the
// units "f/s", "sec", "fah".
void rstShotRec();
// The parsed line (CapExport) becomes the current shot; folder 0.
void cpyShotRec();
// Parses CapExport.excLine into CapExport: a shot (capShotOk), a block end
// (capNewBlk), or neither when the line does not follow the shot-line form.
void prsCapLine();
// The parsed line (CapExport) into the active sheet: a Begin row when one is
// due, then the shot's row; a line that ends a block makes the next row begin
// one. False when the spreadsheet failed.
bool putCapLine(int16_t source, int16_t sheetType);
// Every tagged line of the active CFile that has a line end, one row per
// shot, a Begin row before the first line and after each block end, one End
// row at the end. 0, expSheetFull, expAborted, or expSheetFailed when the
// spreadsheet failed.
int16_t expCFile(int16_t &source, int16_t &sheetType);

// --- the download dump ------------------------------------------------------------

// The line readers: each reads from pos (counted from 1) and leaves it just
// behind what it read; prsError tells whether the line was read.
void getMmrBegin(const QString &dump, int32_t &pos);
void getMmrShot(const QString &dump, int32_t &pos);
void getMmrEnd(const QString &dump, int32_t &pos);
// Exports the dump one block per string (at most 100), closed by one End row.
// 0, or a code above.
int16_t expEDisk(int16_t &source, int16_t &sheetType);
// What the download export reads: for the chronograph's memory (source 1)
// the dump that the last download received, otherwise the terminal's text.
QString mmrText(int16_t source);

// Hands the two readers to the export driver.
void installExpReaders();

} // namespace vt
