#include "shell/epCmDlg.h"

#include "platform/commondlg.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/printer.h"

#include <QFileInfo>
#include <QPrinter>

namespace vt {

namespace {

constexpr int kPathChars = 260;   // single file: the file buffer's room
constexpr int kMultiChars = 9999; // several files
constexpr int32_t PSD_INTHOUSANDTHSOFINCHES = 0x4;
constexpr int32_t PSD_INHUNDREDTHSOFMILLIMETERS = 0x8;
constexpr int32_t PD_PRINTSETUP = 0x40;

// A proposed name longer than the dialog's buffer cannot be offered.
void checkDefaultName(const QString &name, int room)
{
    if (name.size() > room)
        raise(5, {}, QStringLiteral("epCmDlg"));
}

} // namespace

void epCmDlg::cancelled()
{
    if (CancelError)
        raise(32755, QStringLiteral("Cancel was selected."), QStringLiteral("epCmDlg"));
}

void epCmDlg::getMultiFiles(const QStringList &paths)
{
    cFileName.clear();
    cFileTitle.clear();
    for (const QString &p : paths) {
        cFileName << p;
        cFileTitle << QFileInfo(p).fileName();
    }
}

void epCmDlg::fileDialog(bool save)
{
    // Save is always single-file.
    const bool multi = MultiSelect && !save;
    checkDefaultName(DefaultFilename, multi ? kMultiChars : kPathChars);
    dialogs::FileRequest r;
    r.save = save;
    r.overwritePrompt = save;
    r.multiSelect = multi;
    r.title = DialogTitle;
    r.filter = Filter;
    r.filterIndex = FilterIndex;
    r.initialDir = InitialDir;
    r.defaultName = DefaultFilename;
    // The answer is the chosen paths alone: nothing of the proposed name is
    // ever carried into them.
    if (const auto files = dialogs::chooseFiles(r))
        getMultiFiles(*files);
    else
        cancelled();
}

void epCmDlg::ShowOpen() { fileDialog(false); }

void epCmDlg::ShowSave() { fileDialog(true); }

void epCmDlg::ShowFont()
{
    // The dialog always opens on Arial at 10 points in black, whatever the
    // font properties hold; sizes are limited to 10 to 72 points.
    dialogs::FontChoice start;
    start.name = QStringLiteral("Arial");
    start.pointSize = 10;
    const auto f = dialogs::chooseFont(start, 10, 72);
    if (!f) {
        cancelled();
        return;
    }
    FontName = f->name;
    FontSize = CInt(f->pointSize);
    FontColor = int32_t(f->color);
    FontBold = f->bold;
    FontItalic = f->italic;
    FontUnderline = f->underline;
    FontStrikeThru = f->strikeOut;
}

QVariant epCmDlg::ShowColor()
{
    // Sixteen white custom colours, made afresh: custom colours are not kept.
    const QList<uint32_t> custom(16, 0xFFFFFFu);
    const auto c = dialogs::chooseColor(0, custom);
    if (!c) {
        cancelled();
        return {};
    }
    return QVariant(int32_t(*c));
}

void epCmDlg::ShowPageSetup()
{
    dialogs::MarginUnit unit = dialogs::MarginUnit::SystemDefault;
    if (Flags & PSD_INHUNDREDTHSOFMILLIMETERS)
        unit = dialogs::MarginUnit::Millimeters;
    else if (Flags & PSD_INTHOUSANDTHSOFINCHES)
        unit = dialogs::MarginUnit::Inches;
    const dialogs::Margins m{MarginLeft, MarginTop, MarginRight, MarginBottom};
    const auto got = dialogs::choosePageMargins(m, unit);
    if (!got) {
        cancelled();
        return;
    }
    MarginLeft = got->left;
    MarginTop = got->top;
    MarginRight = got->right;
    MarginBottom = got->bottom;
}

void epCmDlg::ShowPrinter()
{
    // The dialog works on the program's printer itself, so the user's choice
    // of printer and its settings become the program's.
    if (!dialogs::choosePrinter(Printer(), (Flags & PD_PRINTSETUP) != 0))
        cancelled();
}

} // namespace vt
