// Shared set-up of the spreadsheet export tests: the program folder with the
// workbook template, and the export put back to its start between tests.
#pragma once

#include "platform/spreadsheet.h"

#include <QList>
#include <QString>
#include <functional>

namespace vttest {

// The program folder holds the template "CBoox.xls" and its pristine copy.
void seedTemplate();
// Path of a file in the program folder.
QString programFile(const QString &name);
// No spreadsheet program (its workbooks closed unsaved), every connection
// flag down, the export tables fresh, no switches of the stand-in set, no error pending.
void resetExport();
// The status record's units as the unit's status reply gives them: "f/s",
// "sec", "fah".
void unitsAsReported();
// n shot lines as the unit logs them into a CFile, counted from `first`
// (velocities 200.5 + count % 100); with `block` set, the unit ends its string
// after every `block` shots with an "<End>" line.
QString shotLines(int n, int first = 1, int block = 0);
// Columns A to P of a sheet's row, as numbers: a shot row's values.
QList<double> shotRowValues(const vt::xl::SheetPtr &ws, int row);
// Opens the template for changes, lets `change` alter it and saves it in place.
void changeTemplate(const std::function<void(const vt::xl::BookPtr &)> &change);
// The statistics the sheets' formulas are checked against: the mean and the
// sample standard deviation (n - 1) of a list.
double mean(const QList<double> &v);
double sampleStdev(const QList<double> &v);

} // namespace vttest
