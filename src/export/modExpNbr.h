// What start-up and shutdown call of the spreadsheet export.
#pragma once

namespace vt {

// Reads the export options from the settings (the export settings window
// loads afresh each time it is shown).
void lodExpSetup();
// Closes the spreadsheet connection when there is one; errors are ignored.
void extExcel();

void installExportSubsystem();

} // namespace vt
