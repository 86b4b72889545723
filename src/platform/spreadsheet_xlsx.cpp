// Workbooks on disk: Office Open XML spreadsheets (.xlsx content, whatever the
// name's extension). Written with libxlsxwriter, formulas with their computed
// results cached so that other programs show the numbers without
// recalculating; read back with libzip and pugixml. A file that is missing,
// damaged or not a workbook gives a clean failure, never a crash.
#include "platform/spreadsheet_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <QUrl>

#include <pugixml.hpp>
#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vt::xl {

// --- writing -----------------------------------------------------------------------

namespace {

std::string utf8(const QString &s) { return s.toStdString(); }

// The text as UTF-8 in a buffer kept from one cell to the next: a sheet's
// texts and formulas are converted by the hundred thousand, nearly all plain
// ASCII. Valid until the buffer's next use.
const char *utf8Into(std::string &buf, QStringView s)
{
    const qsizetype n = s.size();
    buf.resize(size_t(n));
    const char16_t *p = s.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] >= 0x80) {
            buf = s.toString().toStdString();
            return buf.c_str();
        }
        buf[size_t(i)] = char(p[i]);
    }
    return buf.c_str();
}

} // namespace

lxw_format *newXlsxFormat(lxw_workbook *wb, const Style &st)
{
    if (st.isDefault())
        return nullptr;
    lxw_format *f = workbook_add_format(wb);
    if (st.numberFormat.compare(QLatin1String("General"), Qt::CaseInsensitive) != 0)
        format_set_num_format(f, utf8(st.numberFormat).c_str());
    switch (st.align) {
    case xlLeft: format_set_align(f, LXW_ALIGN_LEFT); break;
    case xlCenter: format_set_align(f, LXW_ALIGN_CENTER); break;
    case xlRight: format_set_align(f, LXW_ALIGN_RIGHT); break;
    case xlFill: format_set_align(f, LXW_ALIGN_FILL); break;
    case xlCenterAcrossSelection: format_set_align(f, LXW_ALIGN_CENTER_ACROSS); break;
    case xlJustify: format_set_align(f, LXW_ALIGN_JUSTIFY); break;
    case xlDistributed: format_set_align(f, LXW_ALIGN_DISTRIBUTED); break;
    default: break;
    }
    const int rgb = paletteColor(st.colorIndex);
    if (rgb >= 0)
        format_set_font_color(f, lxw_color_t(rgb));
    if (st.size != 11)
        format_set_font_size(f, st.size);
    if (st.bold)
        format_set_bold(f);
    switch (st.underline) {
    case xlUnderlineStyleSingle: format_set_underline(f, LXW_UNDERLINE_SINGLE); break;
    case xlUnderlineStyleDouble: format_set_underline(f, LXW_UNDERLINE_DOUBLE); break;
    case xlUnderlineStyleSingleAccounting: format_set_underline(f, LXW_UNDERLINE_SINGLE_ACCOUNTING); break;
    case xlUnderlineStyleDoubleAccounting: format_set_underline(f, LXW_UNDERLINE_DOUBLE_ACCOUNTING); break;
    default: break;
    }
    return f;
}

namespace {

// A hyperlink address as the file keeps it: absolute paths as file: URLs,
// other names relative to the workbook's folder.
std::string urlFor(const QString &link)
{
    if (link.contains(QLatin1String("://")) || link.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return utf8(link);
    if (link.startsWith(u'/'))
        return utf8(QUrl::fromLocalFile(link).toString(QUrl::FullyEncoded));
    return utf8(QStringLiteral("external:") + link);
}

// A cell holds at most 32,767 characters.
const char *limitedInto(std::string &buf, const QString &s)
{
    return utf8Into(buf, QStringView(s).left(32767));
}

// The workbook's formats, each made once, when a cell first uses it. A
// sheet's cells name their style by its index in the sheet, which gives the
// format at once after the style's first cell.
class Formats {
public:
    explicit Formats(lxw_workbook *wb) : wb_(wb) {}
    void newSheet(const SheetData &s)
    {
        sheet_ = &s;
        ofStyle_.assign(s.styleCount(), nullptr);
        known_.assign(s.styleCount(), false);
    }
    lxw_format *of(uint32_t style)
    {
        if (style == 0)
            return nullptr;
        if (!known_[style]) {
            known_[style] = true;
            ofStyle_[style] = find(sheet_->styleAt(style));
        }
        return ofStyle_[style];
    }

private:
    lxw_format *find(const Style &st)
    {
        if (st.isDefault())
            return nullptr;
        for (const auto &[known, f] : cache_)
            if (known == st)
                return f;
        lxw_format *f = newXlsxFormat(wb_, st);
        cache_.emplace_back(st, f);
        return f;
    }

    lxw_workbook *wb_;
    const SheetData *sheet_ = nullptr;
    std::vector<std::pair<Style, lxw_format *>> cache_;
    std::vector<lxw_format *> ofStyle_;
    std::vector<bool> known_;
};

// Cells whose value is an error value, by reference ("B7"); true for a
// constant (no formula). libxlsxwriter writes them as formula results of text
// type; markErrorCells turns them into error cells afterwards.
using ErrorCells = std::unordered_map<uint64_t, bool>;

uint64_t errorKey(uint64_t row, uint64_t col) { return row << 16 | col; }

// "B7" as a key; 0 for anything else.
uint64_t errorKey(std::string_view ref)
{
    uint64_t col = 0, row = 0;
    size_t i = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i)
        col = col * 26 + uint64_t(ref[i] - 'A' + 1);
    if (i == 0 || i == ref.size() || col > 0xFFFF)
        return 0;
    for (; i < ref.size(); ++i) {
        if (ref[i] < '0' || ref[i] > '9' || row > (1u << 30))
            return 0;
        row = row * 10 + uint64_t(ref[i] - '0');
    }
    return errorKey(row, col);
}

void writeSheet(lxw_worksheet *ws, const SheetData &s, Formats &formats, ErrorCells &errors)
{
    std::set<int> cols;
    for (const auto &[c, w] : s.colWidth) cols.insert(c);
    for (int c : s.hiddenCols) cols.insert(c);
    for (int c : cols) {
        lxw_row_col_options o{};
        o.hidden = s.hiddenCols.count(c) ? 1 : 0;
        worksheet_set_column_opt(ws, lxw_col_t(c - 1), lxw_col_t(c - 1), s.width(c), nullptr, &o);
    }
    std::set<int> rows;
    for (const auto &[r, h] : s.rowHeight) rows.insert(r);
    for (int r : s.hiddenRows) rows.insert(r);
    for (int r : rows) {
        lxw_row_col_options o{};
        o.hidden = s.hiddenRows.count(r) ? 1 : 0;
        worksheet_set_row_opt(ws, lxw_row_t(r - 1), s.height(r), nullptr, &o);
    }
    std::string text, result;
    s.forEach([&](int row, int col, const Cell &cell) {
        const lxw_row_t r = lxw_row_t(row - 1);
        const lxw_col_t c = lxw_col_t(col - 1);
        lxw_format *f = formats.of(cell.style);
        if (cell.hasLink()) {
            const std::string url = urlFor(s.link(row, col));
            // The link's own text is overwritten by the cell's value below.
            worksheet_write_url_opt(ws, r, c, url.c_str(), f, nullptr, nullptr);
        }
        if (cell.hasFormula()) {
            const Variant v = evaluateCell(cell, s);
            const char *ftext = s.formulaUtf8(cell);
            if (v.isNumber() || v.isBool())
                worksheet_write_formula_num(ws, r, c, ftext, f, v.number());
            else if (v.isError()) {
                worksheet_write_formula_str(ws, r, c, ftext, f, utf8Into(result, errorText(v.error())));
                errors[errorKey(r + 1, c + 1)] = false;
            } else
                worksheet_write_formula_str(ws, r, c, ftext, f, limitedInto(result, v.toString()));
            return;
        }
        const Variant v = s.constant(cell);
        switch (v.type()) {
        case Variant::Type::Number: worksheet_write_number(ws, r, c, v.number(), f); break;
        case Variant::Type::Boolean: worksheet_write_boolean(ws, r, c, v.boolean() ? 1 : 0, f); break;
        case Variant::Type::Text: worksheet_write_string(ws, r, c, limitedInto(text, v.toString()), f); break;
        case Variant::Type::Error: {
            const std::string e = utf8(errorText(v.error()));
            worksheet_write_formula_str(ws, r, c, e.c_str(), f, e.c_str());
            errors[errorKey(r + 1, c + 1)] = true;
            break;
        }
        case Variant::Type::Empty:
            if (f || cell.hasLink())
                worksheet_write_blank(ws, r, c, f);
            break;
        }
    });
    if (s.zoom != 100)
        worksheet_set_zoom(ws, uint16_t(s.zoom));
    if (s.splitRow > 0 || s.splitCol > 0)
        worksheet_freeze_panes(ws, lxw_row_t(s.splitRow), lxw_col_t(s.splitCol));
    // The first corner given is the active cell.
    const bool inSel = s.activeRow >= s.selR1 && s.activeRow <= s.selR2 && s.activeCol >= s.selC1 && s.activeCol <= s.selC2;
    if (inSel && s.activeRow == s.selR1 && s.activeCol == s.selC1)
        worksheet_set_selection(ws, lxw_row_t(s.selR1 - 1), lxw_col_t(s.selC1 - 1), lxw_row_t(s.selR2 - 1), lxw_col_t(s.selC2 - 1));
    else if (inSel && s.activeRow == s.selR2 && s.activeCol == s.selC2)
        worksheet_set_selection(ws, lxw_row_t(s.selR2 - 1), lxw_col_t(s.selC2 - 1), lxw_row_t(s.selR1 - 1), lxw_col_t(s.selC1 - 1));
    else
        worksheet_set_selection(ws, lxw_row_t(s.activeRow - 1), lxw_col_t(s.activeCol - 1), lxw_row_t(s.activeRow - 1), lxw_col_t(s.activeCol - 1));
}

// Rewrites the error cells of each sheet as the file format keeps error
// values (type "e"), so that other programs read them as errors, not text.
bool markErrorCells(const QString &file, const std::vector<ErrorCells> &errors)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(file).constData(), 0, &err);
    if (!z)
        return false;
    std::list<std::string> buffers; // alive until zip_close has written them
    bool ok = true;
    for (size_t i = 0; i < errors.size() && ok; ++i) {
        if (errors[i].empty())
            continue;
        const std::string name = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
        zip_stat_t st;
        zip_stat_init(&st);
        zip_file_t *f = nullptr;
        if (zip_stat(z, name.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)
            || !(f = zip_fopen(z, name.c_str(), 0))) {
            ok = false;
            break;
        }
        std::string xml(size_t(st.size), '\0');
        ok = zip_fread(f, xml.data(), st.size) == zip_int64_t(st.size);
        zip_fclose(f);
        if (!ok)
            break;
        // One pass over the text as libxlsxwriter lays it out
        // (<c r="B7" s="3" t="str"><f>...</f><v>#DIV/0!</v></c>), so that a
        // sheet of a million rows costs no more than copying it.
        std::string out;
        out.reserve(xml.size());
        size_t pos = 0;
        for (;;) {
            const size_t c = xml.find("<c r=\"", pos);
            if (c == std::string::npos)
                break;
            const size_t refEnd = xml.find('"', c + 6);
            const size_t tagEnd = xml.find('>', c);
            if (refEnd == std::string::npos || tagEnd == std::string::npos)
                break;
            const auto it = errors[i].find(errorKey(std::string_view(xml).substr(c + 6, refEnd - c - 6)));
            if (it == errors[i].end()) {
                out.append(xml, pos, tagEnd + 1 - pos);
                pos = tagEnd + 1;
                continue;
            }
            std::string tag = xml.substr(c, tagEnd + 1 - c);
            const size_t t = tag.find(" t=\"str\"");
            if (t != std::string::npos)
                tag.replace(t, 8, " t=\"e\"");
            out.append(xml, pos, c - pos);
            out += tag;
            pos = tagEnd + 1;
            if (it->second && xml.compare(pos, 3, "<f>") == 0) {
                const size_t fEnd = xml.find("</f>", pos);
                if (fEnd != std::string::npos)
                    pos = fEnd + 4;
            }
        }
        out.append(xml, pos, std::string::npos);
        buffers.push_back(std::move(out));
        zip_source_t *src = zip_source_buffer(z, buffers.back().data(), buffers.back().size(), 0);
        if (!src || zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (src)
                zip_source_free(src);
            ok = false;
        }
    }
    if (!ok) {
        zip_discard(z);
        return false;
    }
    return zip_close(z) == 0;
}

} // namespace

bool writeXlsx(const BookData &book, const QString &path, QString *error)
{
    const QFileInfo fi(path);
    const QString cannot = QStringLiteral("Cannot access '%1'.").arg(fi.fileName());
    if (!QFileInfo(fi.absolutePath()).isDir() || fi.isDir()) {
        *error = cannot;
        return false;
    }
    // Written beside the target first, so that a failure leaves an existing file whole.
    QTemporaryFile tmp(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".XXXXXX"));
    if (!tmp.open()) {
        *error = cannot;
        return false;
    }
    const QString tmpName = tmp.fileName();
    tmp.close();
    lxw_workbook_options opts{};
    const std::string tmpPath = utf8(tmpName);
    lxw_workbook *wb = workbook_new_opt(tmpPath.c_str(), &opts);
    if (!wb) {
        *error = cannot;
        return false;
    }
    Formats formats(wb);
    std::vector<lxw_worksheet *> sheets;
    std::vector<ErrorCells> errors;
    for (const auto &s : book.sheets) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, utf8(s->name).c_str());
        if (!ws) {
            workbook_close(wb);
            *error = QStringLiteral("The sheet name '%1' cannot be saved.").arg(s->name);
            return false;
        }
        errors.emplace_back();
        formats.newSheet(*s);
        writeSheet(ws, *s, formats, errors.back());
        sheets.push_back(ws);
    }
    for (size_t i = 0; i < sheets.size(); ++i)
        if (book.sheets[i]->visible != xlSheetVisible && int(i) != book.active)
            worksheet_hide(sheets[i]);
    if (!sheets.empty())
        worksheet_activate(sheets[size_t(book.active)]);
    const lxw_error rc = workbook_close(wb);
    const bool anyError = std::any_of(errors.begin(), errors.end(), [](const ErrorCells &e) { return !e.empty(); });
    if (rc != LXW_NO_ERROR || (anyError && !markErrorCells(tmpName, errors))) {
        QFile::remove(tmpName);
        *error = cannot;
        return false;
    }
    const QFile::Permissions keep = QFileInfo::exists(path)
        ? QFile::permissions(path)
        : (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(tmpName, keep);
    if (std::rename(tmpPath.c_str(), utf8(path).c_str()) != 0) {
        QFile::remove(tmpName);
        *error = cannot;
        return false;
    }
    tmp.setAutoRemove(false);
    return true;
}

// --- reading ---------------------------------------------------------------------------

namespace {

// A bound on what one file may unpack to, so that a hostile file cannot
// exhaust memory.
constexpr zip_uint64_t MaxEntryBytes = 128u * 1024 * 1024;
constexpr zip_uint64_t MaxTotalBytes = 512u * 1024 * 1024;

class Package {
public:
    explicit Package(const QString &path)
    {
        int err = 0;
        z_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    }
    ~Package() { if (z_) zip_discard(z_); }
    Package(const Package &) = delete;
    Package &operator=(const Package &) = delete;
    bool ok() const { return z_ != nullptr; }

    // The entry's bytes; false when it is missing, too large or unreadable.
    bool read(const QString &name, QByteArray *out)
    {
        zip_stat_t st;
        zip_stat_init(&st);
        const QByteArray n = name.toUtf8();
        if (zip_stat(z_, n.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || st.size > MaxEntryBytes
            || total_ + st.size > MaxTotalBytes)
            return false;
        zip_file_t *f = zip_fopen(z_, n.constData(), 0);
        if (!f)
            return false;
        out->resize(qsizetype(st.size));
        zip_int64_t got = 0;
        while (zip_uint64_t(got) < st.size) {
            const zip_int64_t k = zip_fread(f, out->data() + got, st.size - zip_uint64_t(got));
            if (k <= 0)
                break;
            got += k;
        }
        zip_fclose(f);
        total_ += st.size;
        return zip_uint64_t(got) == st.size;
    }

    bool xml(const QString &name, pugi::xml_document *doc)
    {
        QByteArray bytes;
        if (!read(name, &bytes))
            return false;
        return bool(doc->load_buffer(bytes.constData(), size_t(bytes.size())));
    }

private:
    zip_t *z_ = nullptr;
    zip_uint64_t total_ = 0;
};

QString qs(const char *s) { return QString::fromUtf8(s); }

// Element names may carry a namespace prefix in files of other programs.
const char *local(const pugi::xml_node &n)
{
    const char *name = n.name();
    const char *colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

pugi::xml_node child(const pugi::xml_node &n, const char *name)
{
    for (pugi::xml_node c : n.children())
        if (std::strcmp(local(c), name) == 0)
            return c;
    return {};
}

template <typename F>
void each(const pugi::xml_node &n, const char *name, F f)
{
    for (pugi::xml_node c : n.children())
        if (std::strcmp(local(c), name) == 0)
            f(c);
}

// The attribute whatever its namespace prefix ("r:id").
pugi::xml_attribute attr(const pugi::xml_node &n, const char *name)
{
    for (pugi::xml_attribute a : n.attributes()) {
        const char *an = a.name();
        const char *colon = std::strrchr(an, ':');
        if (std::strcmp(colon ? colon + 1 : an, name) == 0)
            return a;
    }
    return {};
}

QString allText(const pugi::xml_node &n)
{
    QString s;
    for (pugi::xml_node c : n.children()) {
        if (std::strcmp(local(c), "t") == 0)
            s += qs(c.text().get());
        else if (std::strcmp(local(c), "r") == 0)
            s += allText(c);
    }
    return s;
}

QString resolveTarget(const QString &base, const QString &target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QDir::cleanPath(base + target);
}

QHash<QString, QString> readRels(Package &pkg, const QString &relsName, const QString &base, QHash<QString, bool> *external = nullptr)
{
    QHash<QString, QString> out;
    pugi::xml_document doc;
    if (!pkg.xml(relsName, &doc))
        return out;
    each(child(doc, "Relationships"), "Relationship", [&](pugi::xml_node r) {
        const QString id = qs(r.attribute("Id").value());
        const QString target = qs(r.attribute("Target").value());
        const bool ext = qs(r.attribute("TargetMode").value()) == QLatin1String("External");
        out.insert(id, ext ? target : resolveTarget(base, target));
        if (external)
            external->insert(id, ext);
    });
    return out;
}

QString builtinFormat(int id)
{
    static const QHash<int, QString> table = {
        {0, QStringLiteral("General")}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")},
        {3, QStringLiteral("#,##0")}, {4, QStringLiteral("#,##0.00")}, {9, QStringLiteral("0%")},
        {10, QStringLiteral("0.00%")}, {11, QStringLiteral("0.00E+00")}, {12, QStringLiteral("# ?/?")},
        {13, QStringLiteral("# ?\?/?\?")}, {14, QStringLiteral("mm-dd-yy")}, {15, QStringLiteral("d-mmm-yy")},
        {16, QStringLiteral("d-mmm")}, {17, QStringLiteral("mmm-yy")}, {18, QStringLiteral("h:mm AM/PM")},
        {19, QStringLiteral("h:mm:ss AM/PM")}, {20, QStringLiteral("h:mm")}, {21, QStringLiteral("h:mm:ss")},
        {22, QStringLiteral("m/d/yy h:mm")}, {37, QStringLiteral("#,##0 ;(#,##0)")},
        {38, QStringLiteral("#,##0 ;[Red](#,##0)")}, {39, QStringLiteral("#,##0.00;(#,##0.00)")},
        {40, QStringLiteral("#,##0.00;[Red](#,##0.00)")}, {45, QStringLiteral("mm:ss")},
        {46, QStringLiteral("[h]:mm:ss")}, {47, QStringLiteral("mmss.0")}, {48, QStringLiteral("##0.0E+0")},
        {49, QStringLiteral("@")},
    };
    return table.value(id, QStringLiteral("General"));
}

int alignFrom(const QString &h)
{
    if (h == QLatin1String("left")) return xlLeft;
    if (h == QLatin1String("center")) return xlCenter;
    if (h == QLatin1String("right")) return xlRight;
    if (h == QLatin1String("fill")) return xlFill;
    if (h == QLatin1String("centerContinuous")) return xlCenterAcrossSelection;
    if (h == QLatin1String("justify")) return xlJustify;
    if (h == QLatin1String("distributed")) return xlDistributed;
    return xlGeneral;
}

int underlineFrom(const pugi::xml_node &u)
{
    if (!u)
        return xlUnderlineStyleNone;
    const QString v = qs(u.attribute("val").value());
    if (v.isEmpty() || v == QLatin1String("single")) return xlUnderlineStyleSingle;
    if (v == QLatin1String("double")) return xlUnderlineStyleDouble;
    if (v == QLatin1String("singleAccounting")) return xlUnderlineStyleSingleAccounting;
    if (v == QLatin1String("doubleAccounting")) return xlUnderlineStyleDoubleAccounting;
    return xlUnderlineStyleNone;
}

bool flagOn(const pugi::xml_node &n)
{
    if (!n)
        return false;
    const pugi::xml_attribute v = n.attribute("val");
    return !v || v.as_bool();
}

int colorFrom(const pugi::xml_node &c)
{
    if (!c)
        return xlColorIndexAutomatic;
    if (const auto rgb = c.attribute("rgb")) {
        bool ok = false;
        const int v = qs(rgb.value()).right(6).toInt(&ok, 16);
        const int idx = ok ? paletteIndex(v) : 0;
        return idx ? idx : xlColorIndexAutomatic;
    }
    if (const auto ix = c.attribute("indexed")) {
        const int i = ix.as_int() - 7;
        return (i >= 1 && i <= 56) ? i : xlColorIndexAutomatic;
    }
    return xlColorIndexAutomatic;
}

std::vector<Style> readStyles(Package &pkg, const QString &name)
{
    std::vector<Style> out;
    pugi::xml_document doc;
    if (name.isEmpty() || !pkg.xml(name, &doc))
        return out;
    const pugi::xml_node root = child(doc, "styleSheet");
    QHash<int, QString> numFmts;
    each(child(root, "numFmts"), "numFmt", [&](pugi::xml_node n) {
        numFmts.insert(n.attribute("numFmtId").as_int(), qs(n.attribute("formatCode").value()));
    });
    std::vector<Style> fonts;
    each(child(root, "fonts"), "font", [&](pugi::xml_node f) {
        Style s;
        s.bold = flagOn(child(f, "b"));
        s.underline = underlineFrom(child(f, "u"));
        if (const auto sz = child(f, "sz"))
            s.size = sz.attribute("val").as_double(11);
        if (!(s.size >= 1 && s.size <= 409))
            s.size = 11;
        s.colorIndex = colorFrom(child(f, "color"));
        fonts.push_back(s);
    });
    each(child(root, "cellXfs"), "xf", [&](pugi::xml_node x) {
        Style s;
        const int fontId = x.attribute("fontId").as_int();
        if (fontId >= 0 && size_t(fontId) < fonts.size())
            s = fonts[size_t(fontId)];
        const int fmtId = x.attribute("numFmtId").as_int();
        s.numberFormat = numFmts.contains(fmtId) ? numFmts.value(fmtId) : builtinFormat(fmtId);
        if (const auto al = child(x, "alignment"))
            s.align = alignFrom(qs(al.attribute("horizontal").value()));
        out.push_back(s);
    });
    return out;
}

bool cellRef(const QString &ref, int *row, int *col)
{
    Area a;
    if (!parseArea(ref, &a) || a.r1 != a.r2 || a.c1 != a.c2)
        return false;
    *row = a.r1;
    *col = a.c1;
    return true;
}

double columnWidthFromFile(double stored)
{
    if (!(stored > 0))
        return 0;
    return std::min(255.0, widthOfPixels(int(std::lround(stored * 7))));
}

struct SharedFormula {
    int row = 0, col = 0;
    QString text;
};

// The sheet's view: its zoom, its frozen panes, its active cell and selection.
void readSheetView(const pugi::xml_node &ws, SheetData *s)
{
    const auto view = child(child(ws, "sheetViews"), "sheetView");
    if (!view)
        return;
    const int zoom = view.attribute("zoomScale").as_int(100);
    s->zoom = (zoom >= 10 && zoom <= 400) ? zoom : 100;
    if (const auto pane = child(view, "pane"); pane && qs(pane.attribute("state").value()).startsWith(QLatin1String("frozen"))) {
        s->splitRow = std::clamp(int(pane.attribute("ySplit").as_double()), 0, MaxRows - 1);
        s->splitCol = std::clamp(int(pane.attribute("xSplit").as_double()), 0, MaxColumns - 1);
    }
    pugi::xml_node sel;
    each(view, "selection", [&](pugi::xml_node n) { sel = n; });
    if (!sel)
        return;
    int r = 0, c = 0;
    if (cellRef(qs(sel.attribute("activeCell").value()), &r, &c)) {
        s->activeRow = r;
        s->activeCol = c;
    }
    Area a;
    const QString sq = qs(sel.attribute("sqref").value()).section(u' ', 0, 0);
    if (!sq.isEmpty() && parseArea(sq, &a)) {
        s->selR1 = a.r1; s->selC1 = a.c1; s->selR2 = a.r2; s->selC2 = a.c2;
    } else {
        s->selR1 = s->selR2 = s->activeRow;
        s->selC1 = s->selC2 = s->activeCol;
    }
}

// The columns' widths and which columns are hidden.
void readColumns(const pugi::xml_node &ws, SheetData *s)
{
    each(child(ws, "cols"), "col", [&](pugi::xml_node c) {
        const int lo = std::max(1, c.attribute("min").as_int());
        const int hi = std::min(MaxColumns, c.attribute("max").as_int());
        const bool hidden = c.attribute("hidden").as_bool();
        const auto wa = c.attribute("width");
        const double w = columnWidthFromFile(wa.as_double());
        for (int k = lo; k <= hi; ++k) {
            if (hidden)
                s->hiddenCols.insert(k);
            if (wa && w > 0 && w != DefaultColumnWidth)
                s->colWidth[k] = w;
        }
    });
}

// A cell's stored value by its type: a shared or inline text, a truth value,
// an error or a number; empty when it holds none that can be read.
Variant cellValue(const pugi::xml_node &c, const QStringList &strings)
{
    const QString t = qs(c.attribute("t").value());
    const pugi::xml_node v = child(c, "v");
    const QString vt = qs(v.text().get());
    if (t == QLatin1String("s")) {
        bool ok = false;
        const int i = vt.toInt(&ok);
        if (ok && i >= 0 && i < strings.size())
            return Variant(strings[i]);
    } else if (t == QLatin1String("str")) {
        if (v)
            return Variant(vt);
    } else if (t == QLatin1String("inlineStr")) {
        return Variant(allText(child(c, "is")));
    } else if (t == QLatin1String("b")) {
        if (v)
            return Variant(vt.trimmed() == QLatin1String("1"));
    } else if (t == QLatin1String("e")) {
        CellError e;
        if (errorFromText(vt, &e))
            return Variant(e);
    } else if (v) {
        bool ok = false;
        const double d = vt.toDouble(&ok);
        if (ok && std::isfinite(d))
            return Variant(d);
    }
    return Variant();
}

// A cell's formula with its "=", empty when it has none. The first cell of a
// shared formula carries its text; the others take it moved to their place.
QString cellFormula(const pugi::xml_node &c, int r, int col, QHash<int, SharedFormula> &shared)
{
    const pugi::xml_node f = child(c, "f");
    if (!f)
        return {};
    QString text = qs(f.text().get());
    if (qs(f.attribute("t").value()) == QLatin1String("shared")) {
        const int si = f.attribute("si").as_int(-1);
        if (!text.isEmpty())
            shared.insert(si, SharedFormula{r, col, QStringLiteral("=") + text});
        else if (shared.contains(si)) {
            const SharedFormula &m = shared[si];
            text = shiftFormula(m.text, r - m.row, col - m.col).mid(1);
        }
    }
    return text.isEmpty() ? QString() : QStringLiteral("=") + text;
}

// The rows: which are hidden, the heights set, and every cell that holds a
// value, a formula or a style.
void readRows(const pugi::xml_node &ws, SheetData *s, const QStringList &strings, const std::vector<Style> &styles)
{
    QHash<int, SharedFormula> shared;
    int rowNo = 0;
    each(child(ws, "sheetData"), "row", [&](pugi::xml_node row) {
        rowNo = row.attribute("r") ? row.attribute("r").as_int() : rowNo + 1;
        if (rowNo < 1 || rowNo > MaxRows)
            return;
        if (row.attribute("hidden").as_bool())
            s->hiddenRows.insert(rowNo);
        if (row.attribute("customHeight").as_bool()) {
            const double h = row.attribute("ht").as_double(DefaultRowHeight);
            if (h > 0 && h <= 409)
                s->rowHeight[rowNo] = h;
        }
        int colNo = 0;
        each(row, "c", [&](pugi::xml_node c) {
            int r = rowNo, col = colNo + 1;
            if (const auto ra = c.attribute("r"); ra && !cellRef(qs(ra.value()), &r, &col))
                return;
            colNo = col;
            Style style;
            const int xf = c.attribute("s").as_int();
            if (xf > 0 && size_t(xf) < styles.size())
                style = styles[size_t(xf)];
            const Variant value = cellValue(c, strings);
            const QString formula = cellFormula(c, r, col, shared);
            if (value.isEmpty() && formula.isEmpty() && style.isDefault())
                return;
            Cell &stored = s->at(r, col);
            if (formula.isEmpty())
                s->setConstant(stored, value);
            else
                s->setFormula(stored, formula, parseFormula(formula), value);
            s->setStyle(stored, style);
        });
    });
}

// The hyperlinks to addresses outside the workbook, named by the sheet's own
// relationships.
void readLinks(Package &pkg, const QString &partName, const pugi::xml_node &ws, SheetData *s)
{
    QHash<QString, bool> external;
    const QString relsName = QFileInfo(partName).path() + QStringLiteral("/_rels/") + QFileInfo(partName).fileName()
        + QStringLiteral(".rels");
    const QHash<QString, QString> rels = readRels(pkg, relsName, QFileInfo(partName).path() + u'/', &external);
    each(child(ws, "hyperlinks"), "hyperlink", [&](pugi::xml_node h) {
        const QString id = qs(attr(h, "id").value());
        if (id.isEmpty() || !rels.contains(id) || !external.value(id))
            return;
        Area a;
        if (!parseArea(qs(h.attribute("ref").value()), &a))
            return;
        QString target = rels.value(id);
        if (target.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            target = QUrl(target).toLocalFile();
        else if (!target.contains(QLatin1String("://")))
            target.replace(u'\\', u'/');
        if (!target.isEmpty())
            s->setLink(a.r1, a.c1, target);
    });
}

// One worksheet part into the sheet; false when the part is missing or is no worksheet.
bool readSheet(Package &pkg, const QString &partName, SheetData *s, const QStringList &strings,
               const std::vector<Style> &styles)
{
    pugi::xml_document doc;
    if (!pkg.xml(partName, &doc))
        return false;
    const pugi::xml_node ws = child(doc, "worksheet");
    if (!ws)
        return false;
    readSheetView(ws, s);
    readColumns(ws, s);
    readRows(ws, s, strings, styles);
    readLinks(pkg, partName, ws, s);
    return true;
}

} // namespace

bool readXlsx(const QString &path, BookData *book, QString *error)
{
    const QString name = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("'%1' could not be found. Check the spelling of the file name, and verify that the file location is correct.").arg(name);
        return false;
    }
    const QString notBook = QStringLiteral("'%1' is not a workbook that can be opened.").arg(name);
    Package pkg(path);
    if (!pkg.ok()) {
        *error = notBook;
        return false;
    }
    // The workbook part is named by the package's own relationships.
    QString wbPart = QStringLiteral("xl/workbook.xml");
    {
        const QHash<QString, QString> root = readRels(pkg, QStringLiteral("_rels/.rels"), QString());
        for (auto it = root.begin(); it != root.end(); ++it)
            if (it.value().endsWith(QLatin1String("workbook.xml")))
                wbPart = it.value();
    }
    pugi::xml_document wbDoc;
    if (!pkg.xml(wbPart, &wbDoc) || !child(wbDoc, "workbook")) {
        *error = notBook;
        return false;
    }
    const QString base = QFileInfo(wbPart).path() + u'/';
    const QHash<QString, QString> rels = readRels(pkg, base + QStringLiteral("_rels/") + QFileInfo(wbPart).fileName() + QStringLiteral(".rels"), base);
    // Shared strings and styles are found by their relationship types' file names.
    QString sstPart, stylesPart;
    for (auto it = rels.begin(); it != rels.end(); ++it) {
        if (it.value().endsWith(QLatin1String("sharedStrings.xml"))) sstPart = it.value();
        if (it.value().endsWith(QLatin1String("styles.xml"))) stylesPart = it.value();
    }
    QStringList strings;
    if (!sstPart.isEmpty()) {
        pugi::xml_document sst;
        if (pkg.xml(sstPart, &sst))
            each(child(sst, "sst"), "si", [&](pugi::xml_node si) { strings.append(allText(si)); });
    }
    const std::vector<Style> styles = readStyles(pkg, stylesPart);
    const pugi::xml_node wb = child(wbDoc, "workbook");
    bool failed = false;
    each(child(wb, "sheets"), "sheet", [&](pugi::xml_node sh) {
        if (failed)
            return;
        auto s = std::make_shared<SheetData>();
        s->name = qs(sh.attribute("name").value());
        const QString state = qs(sh.attribute("state").value());
        s->visible = state == QLatin1String("hidden") ? xlSheetHidden
            : state == QLatin1String("veryHidden") ? xlSheetVeryHidden : xlSheetVisible;
        const QString part = rels.value(qs(attr(sh, "id").value()));
        if (s->name.isEmpty() || book->sheet(s->name) || part.isEmpty()
            || !readSheet(pkg, part, s.get(), strings, styles)) {
            failed = true;
            return;
        }
        s->book = book;
        book->sheets.push_back(s);
    });
    if (failed || book->sheets.empty()) {
        *error = notBook;
        book->sheets.clear();
        return false;
    }
    const int n = int(book->sheets.size());
    const int tab = child(child(wb, "bookViews"), "workbookView").attribute("activeTab").as_int(0);
    book->active = (tab >= 0 && tab < n) ? tab : 0;
    if (book->sheets[size_t(book->active)]->visible != xlSheetVisible) {
        book->active = -1;
        for (int i = 0; i < n && book->active < 0; ++i)
            if (book->sheets[size_t(i)]->visible == xlSheetVisible)
                book->active = i;
        if (book->active < 0) {              // no visible sheet at all: show the first
            book->active = 0;
            book->sheets[0]->visible = xlSheetVisible;
        }
    }
    return true;
}

} // namespace vt::xl
