// What the parts of the Find window share: its settings keys, the glyphs of
// its label buttons, the design sizes its layout reckons with, the state that
// lasts for the run across its unloads, and small conversions of its texts.
#pragma once

#include "platform/conversions.h"
#include "shell/frmMDI.h"
#include "tools/modFind.h"

#include <QAction>
#include <QString>

#include <cmath>

namespace vt::finddetail {

inline const QString kCRLF = QStringLiteral("\r\n");
inline const QString kSection = QStringLiteral("frmMDI");
inline const QString kFindHistKey = QStringLiteral("SearchFindHistory");
inline const QString kReplHistKey = QStringLiteral("SearchReplaceHistory");
inline const QString kTopKey = QStringLiteral("SearchWindowTop");
inline const QString kLeftKey = QStringLiteral("SearchWindowLeft");
inline const QString kEmptyHint = QStringLiteral("Enter your text here...");
// The glyphs of the labels that act as buttons: open, closed, and the pointer.
inline const QString kGlyphOne = QString(QChar(0x25BC));
inline const QString kGlyphZero = QString(QChar(0x25B6));
inline const QString kGlyphPointer = QString(QChar(0x25C4));

// Height of the window's title bar and frame, and width of its frame, in
// twips: the layout's heights and widths are those of the whole window.
inline constexpr int kChromeHeight = 350;
inline constexpr int kChromeWidth = 90;
// Design sizes the layout reckons with, in twips.
inline constexpr int kFoxWidth = 4975;
inline constexpr int kFoxHeight = 2050;
inline constexpr int kMainTop = 800;
inline constexpr int kMainHeight = 1250;
inline constexpr int kReplTop = 400;
inline constexpr int kReplHeight = 435;
inline constexpr int kExpRefHeight = 850;
inline constexpr int kGlyph0Width = 120; // lblMore(0)
inline constexpr int kGlyph1Width = 195; // lblMore(1)
inline constexpr int kTxtsHeight = 3700;
inline constexpr int kTxtHeight = 1525;

// The window's state that lasts for the run, across its unloads.
struct WinState {
    int iHgtFull = 0;
    int iTopMain = 0;
    int iTopRepl = 0;
    int iHgtRepl = 0;
    bool bRepOpen = false;
    bool bExtOpen = false;
    bool bSpcOpen = false;
    int lngLeft = 0;
    int lngTop = 0;
};
inline WinState &ws()
{
    static WinState s;
    return s;
}

// The window is drawn in twips for a narrow dialog font; at the default font
// its captions need more room. Every size and offset inside the window grows
// by one factor, taken from the captions themselves, so the window keeps its
// shape and each text is whole. Positions on the screen stay plain twips.
inline double &textScale()
{
    static double scale = 1.0;
    return scale;
}
inline int px(int twips) { return int(std::lround(TwipsToPixels(twips) * textScale())); }

inline void setFindNextMenu(bool on)
{
    if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->mnuSearchFindNext)
        mdi->mnuSearchFindNext->setEnabled(on);
}

inline QString cut(const QString &text) { return text.left(kFindTextMax); }

// The overlay's boxes break lines with LF; the CFile's text with CR LF.
inline QString fromOverlay(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', kCRLF); }
inline QString toOverlay(QString text) { return text.replace(kCRLF, QStringLiteral("\n")); }

} // namespace vt::finddetail
