// The spreadsheet export: the driver that every export command goes through,
// the one connection to the spreadsheet program and its workbook, the layout
// of the workbook's typed sheets, and the writers of an import block's rows.
//
// Sheet types are 1 to 7 ("String", "Folder", "eDisk", "CFile", "Capture",
// "iSetup", "zOvu"); every per-sheet table is indexed by type minus 1. Types 1
// to 3 are the download sheets, 4 and above the capture sheets.
#pragma once

#include "platform/spreadsheet.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace vt {

// The connection record. Its five flags (xlConnected, xlClosing, xlBookOk,
// xlOpening, xlLinked) and the application object xlApp live with the shell
// (shell/modShared.h), which resets them at start-up and shows them.
struct XlSession {
    // Template sizes: heights of rows 3 and 4, widths of columns F, G, A, B, C.
    float xlTplSizes[7] = {};
    int16_t xlSheetCount = 7;
    int16_t xlSetupSheet = 6;             // position of the "iSetup" sheet
    int32_t xlLastRow[7] = {5, 5, 5, 5, 5, 5, 5}; // next row to write, by type
    QString xlSheetName[7];
    int32_t xlImpCount = 0;               // import counter of the sheet being written
    int32_t xlShotCnt = 0;                // running number of the shot in the import
    // Rows of the block being written. Wider than the 16 bits they once had,
    // so sheets past row 32767 keep their statistics right.
    int32_t xlBlkFirst = 0;               // download sheets: first shot row of the block
    int32_t xlCurRow = 0;                 // row of the shot being written
    int32_t xlBlkCount = 0;               // capture sheets: shot rows of the block so far
    int16_t xlUnitSys = 1;                // 1 f/s and grains, 2 metric
    float xlBulletWt = 0;                 // from S1 or S2 at the Begin row

    // View options (kept and saved by the export settings); defaults as for
    // missing settings keys.
    bool ExpExcNHed[3] = {true, true, false}; // names: header row 3, rows in blocks
    bool ExpExcUHed[3] = {true, true, false}; // units: header row 4, rows in blocks, columns F H J
    bool ExpExcFSts[3] = {true, true, true};  // deviation P Q, (none), ballistics R to U
    bool ExpExcIPos[3] = {true, true, true};  // folder column B, string column C
    bool ExpExcXSet = false;              // take the options from the iSetup sheet
    bool ExpExcXLog = true;               // bring the main window back after an export
};
inline XlSession XlSes;

// The current shot and the download parse state. The download reader owns
// the parse fields; the row writer reads the shot from here. The capture-line
// reader's record is CapExport (serial/modRxEngine.h), beside its live queue.
struct EDiskParse {
    bool prsError = false;
    int16_t prsFol = 0, prsStr = 0, prsShot = 0; // folder, string and shot number
    int16_t prsSiz = 0;                   // shots in the string
    int16_t prsLineFol = 0, prsLineStr = 0, prsLineShot = 0;
    int16_t prsState = 0;
    float prsVel = 0, prsTmp = 0, prsTim = 0; // velocity, temperature, time
    // The chronograph's eDisk geometry, copied before every export.
    int16_t prsFolsDisk = 0, prsStrsFol = 0, prsShtsStr = 0;
};
inline EDiskParse EDiskPrs;

// The parts of the export that other modules bring: the two readers and the
// iSetup synchronisation. Each sets its entry when it is installed. A missing
// reader fails the export with code 100; without a synchronisation entry the
// driver reads the iSetup sheet itself (syncISetup).
struct ExpParts {
    std::function<int16_t(int16_t &source, int16_t &sheetType)> expEDisk; // download dump
    std::function<int16_t(int16_t &source, int16_t &sheetType)> expCFile; // CFile shot lines
    std::function<bool(int16_t sheetType)> syncISetup;
};
inline ExpParts expParts;

// --- driver -----------------------------------------------------------------

// The export: action 3 exports, 1 and 4 only connect and prepare (1 with the
// user's own workbook); source 0 capture log, 1 chronograph memory, 2 CFile;
// sheetType 1 to 5; exporter 1 string, 2 folder, 3 eDisk (downloaded first),
// 4 capture log, 5 CFile. Reports in log lines, never raises.
void expExcel(int16_t action, int16_t source, int16_t sheetType, int16_t exporter);
// Set just before expExcel by a caller that has downloaded the dump itself
// (croDump): the next export of a string, folder or eDisk reads that dump
// instead of downloading again. expExcel clears it.
inline bool expDumpHeld = false;
// Lets the user pick an own workbook and prepares it.
void opnXlBook();
// Sets the view options of the sheet type (1 to 5) from the YES/NO cells of
// workbook 1's "iSetup" sheet; false when a cell could not be read.
bool syncISetup(int16_t &sheetType);
// Saves (asking for a name when it has unsaved changes) and closes the
// program's workbook; the connection stays up.
void clsXlBook();
// One of the five export commands (0 string, 1 folder, 2 eDisk, 3 capture
// log, 4 CFile): inside the busy lock, once the chronograph has answered.
void expXlCommand(int16_t item);

// --- connection ----------------------------------------------------------------

// Starts the spreadsheet program when needed and prepares a workbook (action
// 1: the user's own, else a new one from the template). 0 when ready, else the
// number of the step that failed.
int16_t excOpen(int16_t action, int16_t sheetType);
// Waits until the spreadsheet program is ready, at most 10 seconds.
void watXlReady();
// True when the template "CBoox.xls" is in the program folder or could be
// made from its pristine copy "vantboox.ixi".
bool chkXlTemplate();
void setXlEvents();
bool askXlVersion(float version);
void seeNoExcel();
// The reserved-name question about the user's choice of "CBoox.xls".
QString reservedNameText();

// The receiver of the spreadsheet program's events.
class casEveTrp : public xl::AppEvents {
public:
    ~casEveTrp() override;
    void setApp(const xl::AppPtr &app);
    xl::AppPtr App() const { return app_.lock(); }
    // A double-click on the "Capture" sheet offers a new statistics block
    // and never starts editing the cell.
    void SheetBeforeDoubleClick(xl::SheetPtr Sh, xl::RangePtr Target, bool &Cancel) override;
    // The close guard: the program's workbook (workbook 1) stays open while
    // it is prepared, unless the program itself closes it.
    void WorkbookBeforeClose(xl::BookPtr Wb, bool &Cancel) override;

private:
    std::weak_ptr<xl::Application> app_;
};
inline std::unique_ptr<casEveTrp> xlEvents;

// The spreadsheet application of the connection; error 91 when there is none.
xl::AppPtr spreadsheetApp();

// --- layout --------------------------------------------------------------------

// "LGR", "MMR", "CAP", "TXT" for 0 to 3; error 9 otherwise.
QString getSrcTag(int16_t source);
void setExpDefs();
void iniExpExc();
void setXlCols(int16_t sheetType);
void setXlHdrs(int16_t sheetType);
void setXlBlkHdrs(int16_t sheetType);
void putXlSource(int16_t source, int16_t sheetType);
void apyXlSetup(int16_t sheetType);

// --- import blocks ------------------------------------------------------------------
// Each writes on the active sheet at the sheet type's next row and advances
// it, also when a cell cannot be written; such a failure is left in Err.

// While set, the layout procedures and the row writers write on this sheet in
// place of the active one. The live link names the Capture sheet here, so a
// sheet tab the user clicks meanwhile receives none of its rows.
inline xl::SheetPtr xlWriteSheet;

// True when `rows` more rows from the sheet type's next row still leave room
// for the End row within the sheet's last row (xl::MaxRows).
bool xlRowsFit(int16_t sheetType, int32_t rows);
// Tells the user that the sheet of the type is full, with the shots that were
// exported and those that were not.
void seeXlSheetFull(int16_t sheetType, int32_t exported, int32_t notExported);

void putXlBegin(int16_t source, int16_t sheetType);
void putXlShot(int16_t source, int16_t sheetType);
void putXlEnd(int16_t source, int16_t sheetType);

} // namespace vt
