#include "tools/modFormats.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/commondlg.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modDocFmt.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vt {

namespace {

QColor colour(int32_t number) { return colorFromNumber(uint32_t(number)); }

} // namespace

void nameControls(QWidget *dialog)
{
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        if (!w->accessibleName().isEmpty() || w->focusPolicy() == Qt::NoFocus)
            continue;
        QString name;
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            name = controls::withoutMark(b->text());
        if (name.isEmpty())
            name = w->toolTip().trimmed();
        w->setAccessibleName(name);
    }
}

QGroupBox *unitsFrame(QWidget *dialog, QComboBox *&units)
{
    auto *frame = controls::named(new QGroupBox(QStringLiteral("Units"), dialog), QStringLiteral("fraUnits"));
    auto *row = new QHBoxLayout(frame);
    auto *label = new QLabel(QStringLiteral("Units:"), frame);
    units = controls::named(new QComboBox(frame), QStringLiteral("cmbUnits"), QStringLiteral("Units"),
                            QStringLiteral("Select Units"));
    label->setBuddy(units);
    row->addWidget(label);
    row->addWidget(units);
    return frame;
}

void defaultBoxes(QWidget *dialog, const QString &defaultName, QCheckBox *&byDefault, QCheckBox *&warn)
{
    const QString none;
    byDefault = controls::make<QCheckBox>(
        dialog,
        {defaultName, QStringLiteral("Default"), {},
         QStringLiteral("If checked - upon loading or creating a new  CFile, this Default is used")},
        none);
    warn = controls::make<QCheckBox>(
        dialog, {QStringLiteral("chkAsk"), QStringLiteral("Warning"), {}, QStringLiteral("If checked - Warning is issued before exiting")},
        none);
}

QGroupBox *effectsFrame(QWidget *dialog, QCheckBox *&underline, QCheckBox *&strikeThru)
{
    auto *frame = new QGroupBox(QStringLiteral("Effects"), dialog);
    const QString tip = QStringLiteral("If checked, upon loading creating a new  CFile, this setup will be used");
    const auto boxes = controls::make<QCheckBox>(
        frame,
        {{QStringLiteral("chkUnderline"), QStringLiteral("Underline"), {}, tip},
         {QStringLiteral("chkStrikeThru"), QStringLiteral("Strike Thru"), {}, tip}},
        {});
    underline = boxes[0];
    strikeThru = boxes[1];
    controls::addAll(new QVBoxLayout(frame), controls::widgets(boxes));
    return frame;
}

QWidget *arrowPair(QWidget *parent, int frame, QToolButton **pair, int first, const QString &field,
                   const std::function<void(int)> &click, const QString &where)
{
    auto *box = controls::named(new QWidget(parent), QStringLiteral("fraPosMov%1").arg(frame));
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    const auto arrows = controls::makeArray<QToolButton>(box, QStringLiteral("cmdPosMov"), {QString(), QString()}, click,
                                                         where, first);
    for (int k = 0; k < 2; ++k) {
        QToolButton *b = arrows[size_t(k)];
        b->setArrowType(k == 0 ? Qt::UpArrow : Qt::DownArrow);
        controls::named(b, b->objectName(), {}, field + (k == 0 ? QStringLiteral(" up") : QStringLiteral(" down")));
        b->setFixedSize(18, 12);
        column->addWidget(b);
        pair[k] = b;
    }
    return box;
}

dialogs::FontChoice fontChoice(const FontFmt &f)
{
    dialogs::FontChoice c;
    c.name = f.FontName;
    c.pointSize = f.FontSize;
    c.color = uint32_t(f.FontColor);
    c.bold = f.FontBold;
    c.italic = f.FontItalic;
    c.underline = f.FontUnderline;
    c.strikeOut = f.FontStrikeThru;
    return c;
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
    fontToDocFont(f, DocFontFmt);
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
            FontFmt shown;
            docFontToFont(DocFontFmt, shown);
            const auto chosen = dialogs::chooseFont(fontChoice(shown));
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
