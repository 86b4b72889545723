// What the notes window's parts share: its settings section, the box style
// of its messages, its colours and the reading of an entry's key.
#pragma once

#include "platform/conversions.h"
#include "platform/msgbox.h"

#include <QString>

#include <cstdint>

namespace vt::tipdetail {

inline const QString kVip = QStringLiteral("frmVipNotes");
inline constexpr int kBox = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
inline constexpr uint32_t kLightYellow = 0x80FFFF;
inline constexpr uint32_t kLightCyan = 0xFFFFC0;
inline constexpr uint32_t kCyan = 0xFFFF00;
inline constexpr uint32_t kGreen = 0xFF00;
inline constexpr uint32_t kRed = 0xFF;
inline constexpr uint32_t kLightGrey = 0xC0C0C0;

inline QString kind(bool user) { return user ? QStringLiteral("User") : QStringLiteral("System"); }

// The four parts of an entry's key, a first.
inline void partsOf(const QString &entry, int out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = int(Val(entry.mid(2 * i, 2)));
}

} // namespace vt::tipdetail
