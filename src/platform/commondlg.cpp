#include "platform/commondlg.h"

#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/forms.h"
#include "platform/printer.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <cmath>
#include <functional>

namespace vt::dialogs {

namespace {

const QString kCancel = QStringLiteral("Cancel");

// Every common dialog asks in this form; unanswered, it is cancelled.
answers::Question dialogQuestion(const QString &kind, const QString &title, const QString &text)
{
    answers::Question q;
    q.kind = kind;
    q.title = title;
    q.text = text;
    q.defaultAnswer = kCancel;
    return q;
}

bool isCancel(const QString &answer)
{
    const QString a = answer.trimmed();
    return a.isEmpty() || a.compare(kCancel, Qt::CaseInsensitive) == 0;
}

void badAnswer(const QString &kind, const QString &answer)
{
    qWarning("vantrell: the %s dialog cannot use the answer \"%s\"; taken as Cancel", qPrintable(kind),
             qPrintable(answer));
}

// Asks q: a person gets the dialog (show), a script gives text (parse);
// `text` puts the person's choice into the record of questions.
template <class T>
std::optional<T> askDialog(const answers::Question &q, const std::function<std::optional<T>()> &show,
                           const std::function<QString(const T &)> &text,
                           const std::function<std::optional<T>(const QString &)> &parse)
{
    bool shown = false;
    std::optional<T> picked;
    const QString answer = answers::ask(q, [&]() -> QString {
        shown = true;
        picked = show();
        return picked ? text(*picked) : kCancel;
    });
    if (shown)
        return picked;
    if (isCancel(answer))
        return std::nullopt;
    std::optional<T> v = parse(answer);
    if (!v)
        badAnswer(q.kind, answer);
    return v;
}

QString colorText(uint32_t bgr) { return colorFromNumber(bgr).name(); }

// "#rrggbb" or a colour number.
std::optional<uint32_t> parseColor(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(u'#')) {
        const QColor c(t);
        if (!c.isValid())
            return std::nullopt;
        return numberFromColor(c);
    }
    static const QRegularExpression number(QStringLiteral("^(&[hH][0-9a-fA-F]{1,8}|[0-9]{1,10})$"));
    if (!number.match(t).hasMatch())
        return std::nullopt;
    const double v = Val(t);
    if (v < 0 || v > 0xFFFFFF)
        return std::nullopt;
    return uint32_t(v);
}

QString fontText(const FontChoice &f)
{
    QString s = f.name + u',' + QString::number(f.pointSize);
    if (f.bold) s += QStringLiteral(",bold");
    if (f.italic) s += QStringLiteral(",italic");
    if (f.underline) s += QStringLiteral(",underline");
    if (f.strikeOut) s += QStringLiteral(",strikeout");
    return s + u',' + colorText(f.color);
}

std::optional<FontChoice> parseFont(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() < 2 || parts[0].trimmed().isEmpty())
        return std::nullopt;
    FontChoice f;
    f.name = parts[0].trimmed();
    bool ok = false;
    f.pointSize = parts[1].trimmed().toDouble(&ok);
    if (!ok || f.pointSize <= 0)
        return std::nullopt;
    for (int i = 2; i < parts.size(); ++i) {
        const QString w = parts[i].trimmed().toLower();
        if (w == QLatin1String("bold")) f.bold = true;
        else if (w == QLatin1String("italic")) f.italic = true;
        else if (w == QLatin1String("underline")) f.underline = true;
        else if (w == QLatin1String("strikeout") || w == QLatin1String("strikethru")) f.strikeOut = true;
        else if (auto c = parseColor(w)) f.color = *c;
        else return std::nullopt;
    }
    return f;
}

QString marginsText(const Margins &m)
{
    return QStringLiteral("%1,%2,%3,%4").arg(m.left).arg(m.top).arg(m.right).arg(m.bottom);
}

// One margin: thousandths of an inch, or a number with "mm" or "in".
std::optional<int> parseMargin(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^([0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)\\s*(mm|in)?$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const double v = m.captured(1).toDouble();
    const QString unit = m.captured(2).toLower();
    double t = v;
    if (unit == QLatin1String("mm"))
        return mmToThousandths(v);
    if (unit == QLatin1String("in"))
        t = v * 1000.0;
    if (t > 2147483647.0)
        return std::nullopt;
    return int(std::lround(t));
}

std::optional<Margins> parseMargins(const QString &text)
{
    const QStringList p = text.split(u',');
    if (p.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        const auto x = parseMargin(p[i]);
        if (!x)
            return std::nullopt;
        v[i] = *x;
    }
    return Margins{v[0], v[1], v[2], v[3]};
}

// The patterns part of a Qt name filter: "Bitmaps (*.bmp;*.dib)" with the
// patterns "*.bmp;*.dib" shows as "Bitmaps (*.bmp *.dib)".
QString nameFilter(const FilterItem &item)
{
    QString desc = item.description.trimmed();
    static const QRegularExpression tail(QStringLiteral("\\s*\\([^()]*\\)$"));
    desc.remove(tail);
    const QStringList pats = item.patterns.isEmpty() ? QStringList{QStringLiteral("*")} : item.patterns;
    if (desc.isEmpty())
        desc = pats.join(u' ');
    return desc + QStringLiteral(" (") + pats.join(u' ') + u')';
}

// A small font dialog: Qt's font chooser with the colour list that the
// platform's font dialog has beside its effects.
class FontColorDialog : public QDialog {
public:
    FontColorDialog(const FontChoice &initial, QWidget *parent) : QDialog(parent)
    {
        setWindowTitle(QStringLiteral("Font"));
        QFont f(initial.name);
        f.setPointSizeF(initial.pointSize);
        f.setBold(initial.bold);
        f.setItalic(initial.italic);
        f.setUnderline(initial.underline);
        f.setStrikeOut(initial.strikeOut);
        fonts_ = new QFontDialog(f, this);
        fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        fonts_->setWindowFlags(Qt::Widget);
        colors_ = new QComboBox(this);
        static const struct { const char *name; int r, g, b; } table[] = {
            {"Black", 0, 0, 0},       {"Maroon", 128, 0, 0},   {"Green", 0, 128, 0},   {"Olive", 128, 128, 0},
            {"Navy", 0, 0, 128},      {"Purple", 128, 0, 128}, {"Teal", 0, 128, 128},  {"Gray", 128, 128, 128},
            {"Silver", 192, 192, 192}, {"Red", 255, 0, 0},     {"Lime", 0, 255, 0},    {"Yellow", 255, 255, 0},
            {"Blue", 0, 0, 255},      {"Fuchsia", 255, 0, 255}, {"Aqua", 0, 255, 255}, {"White", 255, 255, 255},
        };
        for (const auto &c : table) {
            QPixmap swatch(16, 16);
            swatch.fill(QColor(c.r, c.g, c.b));
            colors_->addItem(QIcon(swatch), QString::fromLatin1(c.name), uint(RGB(c.r, c.g, c.b)));
        }
        const int at = colors_->findData(uint(initial.color));
        if (at >= 0) {
            colors_->setCurrentIndex(at);
        } else {
            QPixmap swatch(16, 16);
            swatch.fill(colorFromNumber(initial.color));
            colors_->addItem(QIcon(swatch), QStringLiteral("Custom"), uint(initial.color));
            colors_->setCurrentIndex(colors_->count() - 1);
        }
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto *lay = new QVBoxLayout(this);
        lay->addWidget(fonts_);
        lay->addWidget(new QLabel(QStringLiteral("Color:"), this));
        lay->addWidget(colors_);
        lay->addWidget(buttons);
    }
    FontChoice choice() const
    {
        const QFont f = fonts_->currentFont();
        FontChoice c;
        c.name = f.family();
        c.pointSize = f.pointSizeF();
        c.bold = f.weight() >= QFont::Bold;
        c.italic = f.italic();
        c.underline = f.underline();
        c.strikeOut = f.strikeOut();
        c.color = colors_->currentData().toUInt();
        return c;
    }

private:
    QFontDialog *fonts_ = nullptr;
    QComboBox *colors_ = nullptr;
};

QPageLayout::Unit layoutUnit(MarginUnit u)
{
    if (u == MarginUnit::Millimeters)
        return QPageLayout::Millimeter;
    if (u == MarginUnit::Inches)
        return QPageLayout::Inch;
    return QLocale::system().measurementSystem() == QLocale::MetricSystem ? QPageLayout::Millimeter
                                                                           : QPageLayout::Inch;
}

double toUnit(int thousandths, QPageLayout::Unit u)
{
    return u == QPageLayout::Millimeter ? thousandthsToMm(thousandths) : thousandths / 1000.0;
}

int fromUnit(double v, QPageLayout::Unit u)
{
    return u == QPageLayout::Millimeter ? mmToThousandths(v) : int(std::lround(v * 1000.0));
}

} // namespace

double thousandthsToMm(int thousandths) { return thousandths * 25.4 / 1000.0; }

int mmToThousandths(double mm) { return int(std::lround(mm * 1000.0 / 25.4)); }

QWidget *owner()
{
    if (Form *f = forms::find(QStringLiteral("frmMDI")))
        return f->widget();
    return QApplication::activeWindow();
}

QList<FilterItem> parseFilter(const QString &barFilter)
{
    QStringList parts = barFilter.split(u'|');
    // A filter that ends in '|' leaves one empty piece that is no entry.
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QList<FilterItem> out;
    for (int i = 0; i < parts.size(); i += 2) {
        FilterItem item;
        item.description = parts[i];
        if (i + 1 < parts.size())
            for (const QString &p : parts[i + 1].split(u';', Qt::SkipEmptyParts))
                item.patterns << p.trimmed();
        out << item;
    }
    return out;
}

QStringList nameFilters(const QString &barFilter)
{
    QStringList out;
    for (const FilterItem &item : parseFilter(barFilter))
        out << nameFilter(item);
    return out;
}

std::optional<QStringList> chooseFiles(const FileRequest &r)
{
    const answers::Question q = dialogQuestion(
        r.save ? QStringLiteral("save") : QStringLiteral("open"),
        r.title.isEmpty() ? (r.save ? QStringLiteral("Save As") : QStringLiteral("Open")) : r.title,
        QStringLiteral("Filter: %1\nFilterIndex: %2\nInitialDir: %3\nFile name: %4%5")
            .arg(r.filter)
            .arg(r.filterIndex)
            .arg(r.initialDir, r.defaultName, r.multiSelect && !r.save ? QStringLiteral("\nMultiSelect") : QString()));
    const QString folder = r.initialDir.isEmpty() ? QDir::currentPath() : r.initialDir;

    auto show = [&]() -> std::optional<QStringList> {
        QFileDialog dlg(owner(), q.title, folder);
        dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(r.save ? QFileDialog::AnyFile
                               : (r.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
        if (r.save && !r.overwritePrompt)
            dlg.setOption(QFileDialog::DontConfirmOverwrite);
        const QStringList filters = nameFilters(r.filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            if (r.filterIndex >= 1 && r.filterIndex <= filters.size())
                dlg.selectNameFilter(filters[r.filterIndex - 1]);
        }
        if (!r.defaultName.isEmpty())
            dlg.selectFile(r.defaultName);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        return dlg.selectedFiles();
    };
    auto parse = [&](const QString &answer) -> std::optional<QStringList> {
        QStringList paths;
        const QDir base(folder);
        for (const QString &p : answer.split(u'|', Qt::SkipEmptyParts))
            paths << QDir::cleanPath(base.absoluteFilePath(p.trimmed()));
        if (paths.isEmpty())
            return std::nullopt;
        // One file only, unless the open dialog allows several.
        if (r.save || !r.multiSelect)
            paths = paths.mid(0, 1);
        return paths;
    };
    return askDialog<QStringList>(q, show, [](const QStringList &p) { return p.join(u'|'); }, parse);
}

std::optional<FontChoice> chooseFont(const FontChoice &initial, int minSize, int maxSize)
{
    const answers::Question q = dialogQuestion(QStringLiteral("font"), QStringLiteral("Font"), fontText(initial));
    auto show = [&]() -> std::optional<FontChoice> {
        FontColorDialog dlg(initial, owner());
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.choice();
    };
    std::optional<FontChoice> f = askDialog<FontChoice>(q, show, fontText, parseFont);
    if (f) {
        // The dialog offers only sizes within its limits.
        if (minSize > 0 && f->pointSize < minSize)
            f->pointSize = minSize;
        if (maxSize > 0 && f->pointSize > maxSize)
            f->pointSize = maxSize;
    }
    return f;
}

std::optional<uint32_t> chooseColor(uint32_t initial, const QList<uint32_t> &customColors)
{
    const answers::Question q = dialogQuestion(QStringLiteral("color"), QStringLiteral("Color"), colorText(initial));
    auto show = [&]() -> std::optional<uint32_t> {
        for (int i = 0; i < customColors.size() && i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, colorFromNumber(customColors[i]));
        QColorDialog dlg(colorFromNumber(initial), owner());
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return numberFromColor(dlg.selectedColor());
    };
    return askDialog<uint32_t>(q, show, colorText, parseColor);
}

std::optional<Margins> choosePageMargins(const Margins &m, MarginUnit shownIn)
{
    const answers::Question q = dialogQuestion(
        QStringLiteral("page"), QStringLiteral("Page Setup"),
        QStringLiteral("Margins left,top,right,bottom (thousandths of an inch): ") + marginsText(m));
    auto show = [&]() -> std::optional<Margins> {
        const QPageLayout::Unit unit = layoutUnit(shownIn);
        QPrinter sheet(QPrinter::HighResolution);
        QPageLayout layout = sheet.pageLayout();
        layout.setUnits(unit);
        layout.setMinimumMargins(QMarginsF());
        const QMarginsF given(toUnit(m.left, unit), toUnit(m.top, unit), toUnit(m.right, unit),
                              toUnit(m.bottom, unit));
        layout.setMargins(given);
        sheet.setPageLayout(layout);
        QPageSetupDialog dlg(&sheet, owner());
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        const QMarginsF got = sheet.pageLayout().margins(unit);
        // A margin the user left alone keeps its exact value: the dialog shows
        // it rounded, and reading the rounded figure back must not move it.
        const double shownStep = unit == QPageLayout::Millimeter ? 0.01 : 0.001;
        auto keep = [&](double was, double now, int orig) {
            return std::abs(was - now) < shownStep / 2 ? orig : fromUnit(now, unit);
        };
        return Margins{keep(given.left(), got.left(), m.left), keep(given.top(), got.top(), m.top),
                       keep(given.right(), got.right(), m.right), keep(given.bottom(), got.bottom(), m.bottom)};
    };
    return askDialog<Margins>(q, show, marginsText, parseMargins);
}

bool choosePrinter(QPrinter &printer, bool setupOnly)
{
    const answers::Question q = dialogQuestion(
        QStringLiteral("printer"), setupOnly ? QStringLiteral("Print Setup") : QStringLiteral("Print"),
        printer.printerName().isEmpty() ? QStringLiteral("PDF file") : printer.printerName());

    bool shown = false;
    bool accepted = false;
    const QString answer = answers::ask(q, [&]() -> QString {
        shown = true;
        QPrintDialog dlg(&printer, owner());
        if (setupOnly)
            dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
        accepted = dlg.exec() == QDialog::Accepted;
        return accepted ? QStringLiteral("OK") : kCancel;
    });
    if (shown)
        return accepted;
    if (isCancel(answer))
        return false;

    const QStringList parts = answer.split(u',');
    // Check every setting before changing anything.
    QList<std::function<void()>> apply;
    const QString name = parts[0].trimmed();
    if (name.compare(QStringLiteral("OK"), Qt::CaseInsensitive) != 0) {
        apply << [&printer, name] { setPrinterByName(printer, name); };
    }
    for (int i = 1; i < parts.size(); ++i) {
        const QString w = parts[i].trimmed().toLower();
        if (w.startsWith(QLatin1String("file="))) {
            // The dialog's output file: a PDF file in place of the device.
            const QString path = parts.mid(i).join(u',').trimmed().mid(5).trimmed();
            if (path.isEmpty()) {
                badAnswer(QStringLiteral("printer"), answer);
                return false;
            }
            apply << [&printer, path] {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(path);
            };
            break;
        }
        if (w.startsWith(QLatin1String("copies="))) {
            bool ok = false;
            const int n = w.mid(7).toInt(&ok);
            if (!ok || n < 1) {
                badAnswer(QStringLiteral("printer"), answer);
                return false;
            }
            apply << [&printer, n] { printer.setCopyCount(n); };
        } else if (w == QLatin1String("portrait") || w == QLatin1String("landscape")) {
            const auto o = w == QLatin1String("portrait") ? QPageLayout::Portrait : QPageLayout::Landscape;
            apply << [&printer, o] { printer.setPageOrientation(o); };
        } else if (w == QLatin1String("duplex") || w == QLatin1String("simplex")) {
            const auto d = w == QLatin1String("duplex") ? QPrinter::DuplexAuto : QPrinter::DuplexNone;
            apply << [&printer, d] { printer.setDuplex(d); };
        } else if (w == QLatin1String("color") || w == QLatin1String("grayscale")) {
            const auto c = w == QLatin1String("color") ? QPrinter::Color : QPrinter::GrayScale;
            apply << [&printer, c] { printer.setColorMode(c); };
        } else if (w.startsWith(QLatin1String("paper="))) {
            const QString paper = parts[i].trimmed().mid(6);
            QPageSize size;
            for (int id = 0; id <= int(QPageSize::LastPageSize) && !size.isValid(); ++id) {
                const QPageSize s{QPageSize::PageSizeId(id)};
                if (s.key().compare(paper, Qt::CaseInsensitive) == 0 || s.name().compare(paper, Qt::CaseInsensitive) == 0)
                    size = s;
            }
            if (!size.isValid()) {
                badAnswer(QStringLiteral("printer"), answer);
                return false;
            }
            apply << [&printer, size] { printer.setPageSize(size); };
        } else {
            badAnswer(QStringLiteral("printer"), answer);
            return false;
        }
    }
    for (const auto &f : apply)
        f();
    return true;
}

} // namespace vt::dialogs
