// Writing a whole file safely: the bytes go to a temporary file beside the
// target, which replaces the target only when everything was written and
// flushed, so a failed save never damages the file that was there.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace vt {

// Writes bytes as the whole of the file at path. A failure raises an error
// whose description names the path and the system's own reason ("Disk full:
// /data/a.rtf (No space left on device)"); a full disk raises 61, a missing
// folder 76, anything else 75.
void writeWholeFile(const QString &path, const QByteArray &bytes);

// The same without syncing the disk, for files the program makes again
// whenever they are missing or differ (copies of its own resources): a
// reader still sees the old file or the new one, never a part. False when
// the file could not be written.
bool replaceRegenerableFile(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions);

} // namespace vt
