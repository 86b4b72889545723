// Error reporting and the program's own question box.
#pragma once

#include <QString>

namespace vt {

// Reports the pending error (vt::Err) with the procedure's location: counts it
// in errCount and shows the short text (UserLevel below 1) or the whole error
// record. Does nothing when no error is pending; the error is not cleared.
void errLoc(const QString &location);
// The six-line error record for record number n (each line ends with CR LF).
QString errRecord(int32_t n, const QString &location);
void seeErrBox();
void seeErrLoc(const QString &location);
void seeExcBug(const QString &location);

// The program's question box: Yes/No/Cancel, or OK alone when okOnly. The
// answer is left in frmMDI's bYes, bNo and bCancel (none after OK).
void shoMsgBox(const QString &message, const QString &title, bool okOnly);

// Registers errLoc as the platform's error reporter.
void installErrorReporter();

} // namespace vt
