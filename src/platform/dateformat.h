// Dates and times written with the desktop's user-defined date format codes:
// d dd ddd dddd (day), m mm mmm mmmm (month, or minutes right after an hour),
// y (day of year), yy yyyy, q, w, ww, h hh, n nn, s ss, AM/PM am/pm A/P a/p
// AMPM (a 12-hour clock), c, ddddd, dddddd, ttttt, ":" and "/" separators,
// "quoted" and \escaped literals. Names come from the default locale.
#pragma once

#include <QDateTime>
#include <QString>

namespace vt {

QString formatDateTime(const QDateTime &when, const QString &pattern);

} // namespace vt
