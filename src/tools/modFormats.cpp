#include "tools/modFormats.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/commondlg.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

namespace vt {

namespace {

void copyToDocFont(const FontFmt &f)
{
    DocFontFmt.SelFontName = f.FontName;
    DocFontFmt.SelFontSize = f.FontSize;
    DocFontFmt.SelColor = f.FontColor;
    DocFontFmt.SelBackColor = f.FontBackColor;
    DocFontFmt.SelBold = f.FontBold;
    DocFontFmt.SelUnderline = f.FontUnderline;
    DocFontFmt.SelStrikeThru = f.FontStrikeThru;
    DocFontFmt.SelItalic = f.FontItalic;
}

QColor colour(int32_t number) { return colorFromNumber(uint32_t(number)); }

} // namespace

void nameControls(QWidget *dialog)
{
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        if (!w->accessibleName().isEmpty() || w->focusPolicy() == Qt::NoFocus)
            continue;
        QString name;
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            name = b->text().remove(u'&');
        if (name.isEmpty())
            name = w->toolTip().trimmed();
        w->setAccessibleName(name);
    }
}

RichTextBox *activeRtf()
{
    frmDocument *doc = ActiveForm();
    return doc ? doc->rtfText : nullptr;
}

void showToolbarFont(const QString &name, const QString &size, const QColor &text, const QColor &back)
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    mdi->cboFontSize->setEditText(size);
    mdi->cboFontName->setEditText(name);
    QPalette pal = mdi->txtFontColors->palette();
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::Base, back);
    mdi->txtFontColors->setPalette(pal);
}

void setDocFrmt()
{
    RichTextBox *box = activeRtf();
    if (!box)
        return;
    const FontFmt &f = FontFmtDef;
    ResumeNext step;
    step([&] {
        showToolbarFont(f.FontName, QString::number(f.FontSize), colour(f.FontColor), colour(f.FontBackColor));
    });
    step([&] { box->SetSelFontName(f.FontName); });
    step([&] { box->SetSelFontSize(f.FontSize); });
    step([&] { box->SetSelColor(colour(f.FontColor)); });
    step([&] { box->SetBackColor(colour(f.FontBackColor)); });
    step([&] { box->SetSelBold(f.FontBold); });
    step([&] { box->SetSelItalic(f.FontItalic); });
    step([&] { box->SetSelStrikeThru(f.FontStrikeThru); });
    step([&] { box->SetSelUnderline(f.FontUnderline); });
    copyToDocFont(f);
    Err.Clear();
}

void setDocMarg()
{
    RichTextBox *box = activeRtf();
    if (!box)
        return;
    ResumeNext step;
    step([&] { box->SetSelIndent(MargFmtDef.Indent); });
    step([&] { box->SetSelRightIndent(MargFmtDef.RightIndent); });
    step([&] { box->SetSelHangingIndent(MargFmtDef.HangingIndent); });
    Err.Clear();
}

void setDocTabs()
{
    RichTextBox *box = activeRtf();
    if (!box)
        return;
    const TabFmt &t = TabFmtDef;
    ResumeNext step;
    if (t.TabCount < 1) {
        step([&] { box->SetSelTabCount(0); });
    } else {
        const int count = std::min<int>(t.TabCount, TabFmt::kMax);
        step([&] { box->SetSelTabCount(count); });
        for (int i = 0; i < count; ++i)
            step([&] { box->SetSelTabs(i, t.TabPos[i]); });
    }
    Err.Clear();
}

void saxDocFmt()
{
    RichTextBox *box = activeRtf();
    if (!box)
        return;
    const auto underline = box->SelUnderline();
    const auto strike = box->SelStrikeThru();
    const auto italic = box->SelItalic();
    const auto bold = box->SelBold();
    const QColor back = box->BackColor();
    const auto color = box->SelColor();
    const auto size = box->SelFontSize();
    const auto name = box->SelFontName();
    if (!underline || !strike || !italic || !bold || !color || !size || !name)
        return;
    DocFontFmt.SelFontName = *name;
    DocFontFmt.SelFontSize = CInt(*size);
    DocFontFmt.SelColor = int32_t(numberFromColor(*color));
    DocFontFmt.SelBackColor = int32_t(numberFromColor(back));
    DocFontFmt.SelBold = *bold;
    DocFontFmt.SelItalic = *italic;
    DocFontFmt.SelStrikeThru = *strike;
    DocFontFmt.SelUnderline = *underline;
}

void updTrbDocFmt()
{
    saxDocFmt();
    showToolbarFont(DocFontFmt.SelFontName, QString::number(DocFontFmt.SelFontSize), colour(DocFontFmt.SelColor),
                    colour(DocFontFmt.SelBackColor));
}

void getGenFonts()
{
    RichTextBox *box = activeRtf();
    if (!box) {
        shoMsgBox(QStringLiteral("No Open CFile !"), QStringLiteral("Jotrix"), true);
        return;
    }
    if (!trapErrors([box] {
            box->SetHideSelection(false);
            const int start = box->SelStart();
            const int length = box->SelLength();
            saxDocFmt();
            dialogs::FontChoice initial;
            initial.name = DocFontFmt.SelFontName;
            initial.pointSize = DocFontFmt.SelFontSize;
            initial.color = uint32_t(DocFontFmt.SelColor);
            initial.bold = DocFontFmt.SelBold;
            initial.italic = DocFontFmt.SelItalic;
            initial.underline = DocFontFmt.SelUnderline;
            initial.strikeOut = DocFontFmt.SelStrikeThru;
            const auto chosen = dialogs::chooseFont(initial);
            if (!chosen)
                return; // cancelled: the selection stays as it was
            box->SetSelBold(chosen->bold);
            box->SetSelItalic(chosen->italic);
            box->SetSelUnderline(chosen->underline);
            box->SetSelStrikeThru(chosen->strikeOut);
            box->SetSelFontName(chosen->name);
            box->SetSelFontSize(chosen->pointSize);
            box->SetSelColor(colorFromNumber(chosen->color));
            showToolbarFont(chosen->name, QString::number(chosen->pointSize),
                            box->SelColor().value_or(colorFromNumber(chosen->color)), box->BackColor());
            box->SetSelStart(start);
            box->SetSelLength(length);
        })) {
        errLoc(QStringLiteral("frmMDI/getGenFonts"));
        Err.Clear();
    }
}

} // namespace vt
