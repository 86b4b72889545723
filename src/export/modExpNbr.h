// What start-up and shutdown call of the spreadsheet export.
#pragma once

namespace vt {

// Loads the export settings window and prepares it.
void lodExpSetup();
// Closes the spreadsheet connection when there is one; errors are ignored.
void extExcel();

void installExportSubsystem();

} // namespace vt
