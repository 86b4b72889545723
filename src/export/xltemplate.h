// The program's workbook template, made by our own code: seven sheets
// "String", "Folder", "eDisk", "CFile", "Capture", "iSetup" and "zOvu"
// (hidden), each data sheet with its header rows (names in row 3 with
// "Sequence" or "Total" in A, units in row 4 with "(Shot #)" or "(Shots)" in A
// and the block marker "BLK" in K), the next-row cell Q2, the bullet weights S1
// (grains) and S2 (grams), a help link in A1; the iSetup sheet with the
// conversion factors D4 (grains to grams), D5 (grams to grains), D6 (feet to
// metres), its next row in L2, and the option table that the iSetup
// synchronisation reads (index rows 2 to 6: column numbers in N and O, row
// numbers in R and S; YES/NO cells at those rows and columns).
//
// The build writes it into the build tree (VT_GENERATED_DIR) with the
// generator in tools/xltemplate; the program can also write it at run time.
#pragma once

#include <QString>
#include <QStringList>

namespace vt {

inline const QString XlTemplateName = QStringLiteral("CBoox.xls");
inline const QString XlPristineName = QStringLiteral("vantboox.ixi");
inline const QString XlHelpPage = QStringLiteral("vanthlpx.htm");

// The sheet names in their order.
QStringList xlTemplateSheets();

// Writes the template workbook to `path`. False (with *error) when it cannot.
bool buildXlTemplate(const QString &path, QString *error = nullptr);

// Makes sure `folder` holds the pristine copy and the template: each missing
// one is written (the template as a copy of the pristine one). False when one
// of them cannot be written.
bool seedXlTemplate(const QString &folder, QString *error = nullptr);

} // namespace vt
