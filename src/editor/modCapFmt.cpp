#include "editor/modCapFmt.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"

#include <QColor>
#include <optional>

namespace vt {

namespace {

// The saved selection format. A field without a value stood for a mixed
// selection and is left alone when the format is put back.
struct SavedFormat {
    std::optional<double> size; // kept whole: half points survive the round trip
    std::optional<QString> name;
    std::optional<QColor> color;
    std::optional<bool> bold, italic, underline, strike;
};

SavedFormat &savedFormat()
{
    static SavedFormat f;
    return f;
}

} // namespace

void sarCFormat(int16_t mode)
{
    if (mode != 1 && mode != 2)
        return;
    const bool ok = trapErrors([mode] {
        frmDocument *doc = ActiveForm();
        if (!doc)
            raise(91);
        RichTextBox *box = doc->rtfText;
        SavedFormat &f = savedFormat();
        if (mode == 1) {
            f.size = box->SelFontSize();
            f.name = box->SelFontName();
            f.color = box->SelColor();
            f.bold = box->SelBold();
            f.italic = box->SelItalic();
            f.underline = box->SelUnderline();
            f.strike = box->SelStrikeThru();
            return;
        }
        if (f.size)
            box->SetSelFontSize(*f.size);
        if (f.name)
            box->SetSelFontName(*f.name);
        if (f.color)
            box->SetSelColor(*f.color);
        if (f.bold)
            box->SetSelBold(*f.bold);
        if (f.italic)
            box->SetSelItalic(*f.italic);
        if (f.underline)
            box->SetSelUnderline(*f.underline);
        if (f.strike)
            box->SetSelStrikeThru(*f.strike);
    });
    if (!ok)
        MsgBox(QStringLiteral("Error") + QString::number(mode) + QStringLiteral(" - sarCFormat/") + Err.Description,
               vbOKOnly);
}

bool appendActiveCFile(const QString &text)
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        return false;
    RichTextBox *box = doc->rtfText;
    box->SetSelStart(box->TextLength());
    sarCFormat(1);
    box->SetSelText(text);
    box->SetSelStart(box->TextLength());
    sarCFormat(2);
    return true;
}

} // namespace vt
