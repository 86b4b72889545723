#include "shell/modDocFmt.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/modMain.h"

#include <QStringList>

namespace vt {

namespace {

const QString kMDI = QStringLiteral("frmMDI");
const QString kSep = QStringLiteral("_@_");

QString get(const char *key, const QString &def) { return GetSetting(AppTitle, kMDI, QString::fromLatin1(key), def); }
void put(const char *key, const QString &value) { SaveSetting(AppTitle, kMDI, QString::fromLatin1(key), value); }

// A value that does not convert leaves the field as it was.
void read(const char *key, int16_t &field, int16_t def)
{
    const QString text = get(key, QString::number(def));
    trapErrors([&] { field = CInt(text); });
}
void read(const char *key, int32_t &field, int32_t def)
{
    const QString text = get(key, QString::number(def));
    trapErrors([&] { field = CLng(text); });
}
void read(const char *key, bool &field, bool def)
{
    const QString text = get(key, BoolText(def));
    trapErrors([&] { field = CBool(text); });
}

// Every store procedure goes on with its next key after a failure.
void eachStep(std::initializer_list<std::function<void()>> steps)
{
    ResumeNext step;
    for (const auto &s : steps)
        step(s);
    Err.Clear();
}

// The font's keys: the main window keeps its ask flag under one key, the
// font dialog under another.
void readFont(FontFmt &f, const char *askKey)
{
    eachStep({[&] { read("FormatSetDefalt", f.FormatSetDefalt, 1); }, [&] { read(askKey, f.FormatAsk, 1); },
              [&] { f.FontName = get("FontName", QStringLiteral("Arial")); },
              [&] { read("FontSize", f.FontSize, 10); }, [&] { read("FontColor", f.FontColor, 0); },
              [&] { read("FontBackColor", f.FontBackColor, 0xFFFFFF); }, [&] { read("FontBold", f.FontBold, false); },
              [&] { read("FontItalic", f.FontItalic, false); },
              [&] { read("FontStrikeThru", f.FontStrikeThru, false); },
              [&] { read("FontUnderline", f.FontUnderline, false); }});
}

void writeFont(const FontFmt &f, const char *askKey)
{
    eachStep({[&] { put("FormatSetDefalt", QString::number(f.FormatSetDefalt)); },
              [&] { put(askKey, QString::number(f.FormatAsk)); }, [&] { put("FontName", f.FontName); },
              [&] { put("FontSize", QString::number(f.FontSize)); },
              [&] { put("FontColor", QString::number(f.FontColor)); },
              [&] { put("FontBackColor", QString::number(f.FontBackColor)); },
              [&] { put("FontBold", BoolText(f.FontBold)); }, [&] { put("FontUnderline", BoolText(f.FontUnderline)); },
              [&] { put("FontStrikeThru", BoolText(f.FontStrikeThru)); },
              [&] { put("FontItalic", BoolText(f.FontItalic)); }});
}

} // namespace

void rstFont(FontFmt &f)
{
    f.FormatSetDefalt = 1;
    f.FormatAsk = 1;
    f.FontName = QStringLiteral("Arial");
    f.FontSize = 10;
    f.FontColor = 0;
    f.FontBackColor = 0xFFFFFF;
    f.FontBold = f.FontUnderline = f.FontStrikeThru = f.FontItalic = false;
}

namespace {
// The properties a font record and the format toolbar's record share, as
// pairs, for copying either way.
template <class Font, class Doc, class Copy>
void eachFontPair(Font &f, Doc &d, Copy copy)
{
    copy(f.FontName, d.SelFontName);
    copy(f.FontSize, d.SelFontSize);
    copy(f.FontColor, d.SelColor);
    copy(f.FontBackColor, d.SelBackColor);
    copy(f.FontBold, d.SelBold);
    copy(f.FontUnderline, d.SelUnderline);
    copy(f.FontStrikeThru, d.SelStrikeThru);
    copy(f.FontItalic, d.SelItalic);
}
} // namespace

void fontToDocFont(const FontFmt &f, DocFontFmtRec &d)
{
    eachFontPair(f, d, [](const auto &from, auto &to) { to = from; });
}

void docFontToFont(const DocFontFmtRec &d, FontFmt &f)
{
    eachFontPair(f, d, [](auto &to, const auto &from) { to = from; });
}

void zapDocFrmt()
{
    rstFont(FontFmtDef);
    fontToDocFont(FontFmtDef, DocFontFmt);
}

void zapDocMarg()
{
    MargFmtDef.MargDefalt = 1;
    MargFmtDef.MargDefaltAsk = 1;
    MargFmtDef.MargUnits = 5;
    MargFmtDef.Indent = 72; // 0.05 inch
    MargFmtDef.RightIndent = 72;
    MargFmtDef.HangingIndent = 0;
}

void rstTabs(TabFmt &tabs)
{
    tabs.TabDefalt = 1;
    tabs.TabDefaltAsk = 1;
    tabs.TabCount = 0;
    tabs.TabUnits = 5;
    for (int i = 0; i < TabFmt::kMax; ++i) {
        tabs.TabPos[i] = 0;
        tabs.TabName[i].clear();
    }
}

void zapDocTabs() { rstTabs(TabFmtDef); }

void setDefPrnMarg()
{
    PrnMargins.Left = 1000;
    PrnMargins.Right = 1000;
    PrnMargins.Top = 500;
    PrnMargins.Bottom = 500;
}

void getPrntFmt()
{
    PrnMarginsRec &p = PrnMargins;
    eachStep({[&] { read("prnPaperSize", p.PaperSize, 0); }, [&] { read("prnOrientation", p.Orientation, 1); },
              [&] { read("prnLeftMargin", p.Left, 1000); }, [&] { read("prnRightMargin", p.Right, 1000); },
              [&] { read("prnTopMargin", p.Top, 1000); }, [&] { read("prnBottomMargin", p.Bottom, 1000); }});
}

void getFontFmt() { readFont(FontFmtDef, "FormatDefaltAsk"); }

void getMargFmt()
{
    MargFmt &m = MargFmtDef;
    eachStep({[&] { read("MargDefaltAsk", m.MargDefaltAsk, 1); }, [&] { read("MargDefalt", m.MargDefalt, 1); },
              [&] { read("Indent", m.Indent, 72); }, [&] { read("RightIndent", m.RightIndent, 72); },
              [&] { read("HangingIndent", m.HangingIndent, 0); }});
}

void getTabsFmt() { getTabs(); }

void savPrntFmt()
{
    const PrnMarginsRec &p = PrnMargins;
    eachStep({[] { put("prnPaperSize", QStringLiteral("0")); },
              [&] { put("prnOrientation", QString::number(p.Orientation)); },
              [&] { put("prnLeftMargin", QString::number(p.Left)); },
              [&] { put("prnRightMargin", QString::number(p.Right)); },
              [&] { put("prnTopMargin", QString::number(p.Top)); },
              [&] { put("prnBottomMargin", QString::number(p.Bottom)); }});
}

void savFontFmt() { writeFont(FontFmtDef, "FormatDefaltAsk"); }

void savMargFmt()
{
    const MargFmt &m = MargFmtDef;
    eachStep({[&] { put("MargDefaltAsk", QString::number(m.MargDefaltAsk)); },
              [&] { put("MargDefalt", QString::number(m.MargDefalt)); },
              [&] { put("Indent", QString::number(m.Indent)); },
              [&] { put("RightIndent", QString::number(m.RightIndent)); },
              [&] { put("HangingIndent", QString::number(m.HangingIndent)); }});
}

void savTabsFmt() { savTabs(); }

void getAllFmt()
{
    eachStep({[] { zapDocFrmt(); }, [] { zapDocMarg(); }, [] { zapDocTabs(); }, [] { setDefPrnMarg(); }});
    if (!GetRegistry)
        return;
    eachStep({[] { getPrntFmt(); }, [] { getMargFmt(); }, [] { getTabsFmt(); }, [] { getFontFmt(); }});
}

void savAllFmt(const std::function<void()> &savFindRec)
{
    eachStep({[] { savPrntFmt(); }});
    if (!SaveRegistry)
        return;
    eachStep({[&] {
                  if (savFindRec)
                      savFindRec();
              },
              [] { savMargFmt(); }, [] { savTabsFmt(); }, [] { savFontFmt(); }});
}

void readFontDefs(FontFmt &f) { readFont(f, "FormatAsk"); }

void writeFontDefs(const FontFmt &f) { writeFont(f, "FormatAsk"); }

void readMargDefs(MargFmt &m)
{
    eachStep({[&] { read("Indent", m.Indent, 72); }, [&] { read("RightIndent", m.RightIndent, 72); },
              [&] { read("HangingIndent", m.HangingIndent, 0); }, [&] { read("MargDefalt", m.MargDefalt, 1); },
              [&] { read("MargDefaltAsk", m.MargDefaltAsk, 1); }, [&] { read("MargUnits", m.MargUnits, 5); }});
}

void writeMargDefs(const MargFmt &m)
{
    eachStep({[&] { put("Indent", QString::number(m.Indent)); },
              [&] { put("RightIndent", QString::number(m.RightIndent)); },
              [&] { put("HangingIndent", QString::number(m.HangingIndent)); },
              [&] { put("MargDefalt", QString::number(m.MargDefalt)); },
              [&] { put("MargDefaltAsk", QString::number(m.MargDefaltAsk)); },
              [&] { put("MargUnits", QString::number(m.MargUnits)); }});
}

TabLists joinTabs(const TabFmt &tabs)
{
    TabLists out;
    const int count = std::min<int>(tabs.TabCount, TabFmt::kMax);
    for (int i = 0; i < count; ++i) {
        out.positions += QString::number(tabs.TabPos[i]) + kSep;
        out.names += tabs.TabName[i] + kSep;
    }
    return out;
}

void splitTabs(TabFmt &tabs, const QString &positions, const QString &names)
{
    tabs.TabCount = 0;
    for (int i = 0; i < TabFmt::kMax; ++i) {
        tabs.TabPos[i] = 0;
        tabs.TabName[i].clear();
    }
    if (positions.isEmpty() || names.isEmpty())
        return;
    qsizetype p = 0, n = 0;
    while (tabs.TabCount < TabFmt::kMax) {
        const qsizetype pe = positions.indexOf(kSep, p);
        const qsizetype ne = names.indexOf(kSep, n);
        if (pe < 0 || ne < 0)
            break;
        int16_t twips = 0;
        // A position that does not read as a number is taken as 0, as the
        // stored list was never meant to hold one.
        trapErrors([&] { twips = CInt(Val(positions.mid(p, pe - p))); });
        tabs.TabPos[tabs.TabCount] = twips;
        tabs.TabName[tabs.TabCount] = names.mid(n, ne - n);
        ++tabs.TabCount;
        p = pe + kSep.size();
        n = ne + kSep.size();
    }
    Err.Clear();
}

void readTabs(TabFmt &tabs)
{
    rstTabs(tabs);
    eachStep({[&] { read("TabDefalt", tabs.TabDefalt, 1); }, [&] { read("TabDefaltAsk", tabs.TabDefaltAsk, 1); },
              [&] { read("TabUnits", tabs.TabUnits, 5); },
              [&] { splitTabs(tabs, get("TabPos", QString()), get("TabName", QString())); }});
}

void writeTabs(const TabFmt &tabs)
{
    const TabLists lists = joinTabs(tabs);
    eachStep({[&] { put("TabDefalt", QString::number(tabs.TabDefalt)); },
              [&] { put("TabDefaltAsk", QString::number(tabs.TabDefaltAsk)); },
              [&] { put("TabCount", QString::number(std::clamp<int>(tabs.TabCount, 0, TabFmt::kMax))); },
              [&] { put("TabUnits", QString::number(tabs.TabUnits)); }, [&] { put("TabPos", lists.positions); },
              [&] { put("TabName", lists.names); }});
}

void getTabs()
{
    TabFmt t;
    readTabs(t);
    TabFmtDef = t;
}

void savTabs() {}

} // namespace vt
