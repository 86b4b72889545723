// The sheet's cell store: rows of compact cells in pages of rows made as they
// are first written, texts, styles and formulas in pools of the sheet. A
// sheet of a hundred thousand rows takes one allocation per row and the
// occasional growth of a pool, never one per cell.
#include "platform/spreadsheet_data.h"

#include <algorithm>

namespace vt::xl {

// Every change of a cell's format looks its new style up: a plain mix of the
// fields (number formats are a few characters) rather than Qt's string hash.
size_t qHash(const Style &st, size_t seed)
{
    size_t h = seed ^ 0x9E3779B97F4A7C15u;
    const auto mix = [&h](size_t v) { h = (h ^ v) * 0x100000001B3u; };
    for (QChar ch : st.numberFormat)
        mix(ch.unicode());
    mix(size_t(st.align));
    mix(size_t(st.colorIndex));
    mix(size_t(st.size * 4));
    mix(size_t(st.bold));
    mix(size_t(st.underline));
    return h;
}

namespace {

// Room for `extra` more entries, the pool grown by half rather than doubled:
// the pools of a large sheet are its largest blocks, and what a doubling
// leaves unused would be a good part of the sheet's memory.
template <typename Pool>
void roomFor(Pool &pool, size_t extra)
{
    const size_t need = pool.size() + extra;
    if (need > pool.capacity())
        pool.reserve(std::max(need, pool.capacity() + pool.capacity() / 2));
}

} // namespace

SheetData::SheetData()
{
    styles_.emplace_back();
    styleIndex_.insert(styles_.front(), 0);
}

SheetData::~SheetData() = default;

std::vector<Cell>::const_iterator SheetData::lowerBound(const std::vector<Cell> &row, int col)
{
    return std::lower_bound(row.begin(), row.end(), col, [](const Cell &c, int k) { return int(c.col) < k; });
}

std::vector<Cell> &SheetData::rowFor(int row)
{
    const size_t p = size_t(row - 1) / PageRows;
    if (p >= pages_.size())
        pages_.resize(p + 1);
    if (!pages_[p])
        pages_[p] = std::make_unique<Page>();
    return pages_[p]->rows[size_t(row - 1) % PageRows];
}

Cell &SheetData::at(int row, int col)
{
    std::vector<Cell> &r = rowFor(row);
    if (!r.empty() && r.back().col == col)
        return r.back();
    Cell fresh;
    fresh.col = uint16_t(col);
    if (r.empty() || r.back().col < col) {
        // Rows mostly look like the one written before: a new row is made
        // that large at once rather than grown cell by cell.
        if (r.empty() && lastRow_ && lastRow_ != &r)
            r.reserve(std::max<size_t>(lastRow_->size(), 1));
        lastRow_ = &r;
        ++cellCount_;
        return r.emplace_back(fresh);
    }
    auto it = r.begin() + (lowerBound(r, col) - r.cbegin());
    if (it->col == col)
        return *it;
    ++cellCount_;
    return *r.insert(it, fresh);
}

void SheetData::dropIfBlank(int row, int col)
{
    const std::vector<Cell> *cr = rowOf(row);
    if (!cr)
        return;
    auto &r = const_cast<std::vector<Cell> &>(*cr);
    auto it = r.begin() + (lowerBound(r, col) - r.cbegin());
    if (it == r.end() || it->col != col || !isBlank(*it))
        return;
    r.erase(it);
    --cellCount_;
}

void SheetData::eraseArea(int r1, int c1, int r2, int c2)
{
    const int last = std::min(r2, int(pages_.size()) * PageRows);
    for (int r = std::max(r1, 1); r <= last; ++r) {
        const std::vector<Cell> *cr = rowOf(r);
        if (!cr || cr->empty())
            continue;
        auto &row = const_cast<std::vector<Cell> &>(*cr);
        auto from = row.begin() + (lowerBound(row, c1) - row.cbegin());
        auto to = from;
        for (; to != row.end() && to->col <= c2; ++to) {
            releaseText(*to);
            releaseFormula(*to);
            if (to->hasLink())
                links_.erase(cellKey(r, to->col));
        }
        cellCount_ -= size_t(to - from);
        row.erase(from, to);
    }
}

// --- constants -------------------------------------------------------------------

uint32_t SheetData::addText(const QString &text)
{
    if (freeTexts_.empty()) {
        roomFor(texts_, 1);
        texts_.push_back(text);
        return uint32_t(texts_.size() - 1);
    }
    const uint32_t i = freeTexts_.back();
    freeTexts_.pop_back();
    texts_[i] = text;
    return i;
}

void SheetData::releaseText(Cell &c)
{
    if (Variant::Type(c.type) != Variant::Type::Text)
        return;
    texts_[c.ref] = QString();
    freeTexts_.push_back(c.ref);
    c.type = uint8_t(Variant::Type::Empty);
    c.ref = 0;
}

Variant SheetData::constant(const Cell &c) const
{
    switch (Variant::Type(c.type)) {
    case Variant::Type::Empty: return c.hasFormula() && formula(c).root < 0 ? formula(c).cached : Variant();
    case Variant::Type::Number: return Variant(c.num);
    case Variant::Type::Text: return Variant(texts_[c.ref]);
    case Variant::Type::Boolean: return Variant(c.num != 0);
    case Variant::Type::Error: return Variant(CellError(int(c.num)));
    }
    return Variant();
}

void SheetData::setConstant(Cell &c, const Variant &v)
{
    clearContent(c);
    c.type = uint8_t(v.type());
    switch (v.type()) {
    case Variant::Type::Empty: break;
    case Variant::Type::Text: c.ref = addText(v.toString()); break;
    case Variant::Type::Error: c.num = double(int(v.error())); break;
    case Variant::Type::Number:
    case Variant::Type::Boolean: c.num = v.number(); break;
    }
}

void SheetData::clearContent(Cell &c)
{
    releaseText(c);
    releaseFormula(c);
    c.type = uint8_t(Variant::Type::Empty);
    c.num = 0;
    c.ref = 0;
}

QString SheetData::entryText(const Cell &c) const
{
    return c.hasFormula() ? formulaText(c) : constant(c).displayText();
}

Variant SheetData::value(int row, int col) const
{
    const Cell *c = find(row, col);
    return c ? evaluateCell(*c, *this) : Variant();
}

int SheetData::usedRows() const
{
    for (size_t p = pages_.size(); p-- > 0;) {
        if (!pages_[p])
            continue;
        for (int k = PageRows; k-- > 0;)
            for (const Cell &c : pages_[p]->rows[k])
                if (!isBlank(c))
                    return int(p) * PageRows + k + 1;
    }
    return 0;
}

int SheetData::usedColumns() const
{
    int m = 0;
    forEach([&](int, int col, const Cell &c) {
        if (!isBlank(c))
            m = std::max(m, col);
    });
    return m;
}

// --- styles and links ---------------------------------------------------------------

uint32_t SheetData::styleIndex(const Style &st)
{
    // A format set on a cell looks its new style up: the styles met lately
    // answer from a small table by hash before the full one is searched.
    const size_t h = qHash(st, 0);
    uint32_t &recent = recentStyles_[h % recentStyles_.size()];
    if (styles_[recent] == st)
        return recent;
    const auto it = styleIndex_.constFind(st);
    if (it != styleIndex_.cend()) {
        recent = it.value();
        return recent;
    }
    styles_.push_back(st);
    const auto i = uint32_t(styles_.size() - 1);
    styleIndex_.insert(st, i);
    recent = i;
    return i;
}

QString SheetData::link(int row, int col) const
{
    const Cell *c = find(row, col);
    if (!c || !c->hasLink())
        return QString();
    const auto it = links_.find(cellKey(row, col));
    return it == links_.end() ? QString() : it->second;
}

void SheetData::setLink(int row, int col, const QString &address)
{
    Cell &c = at(row, col);
    if (address.isEmpty()) {
        links_.erase(cellKey(row, col));
        c.flags &= uint8_t(~Cell::HasLink);
    } else {
        links_[cellKey(row, col)] = address;
        c.flags |= Cell::HasLink;
    }
}

// --- formulas -------------------------------------------------------------------------

int32_t SheetData::internString(const QString &s)
{
    const auto it = stringIndex_.constFind(s);
    if (it != stringIndex_.cend())
        return it.value();
    strings_.push_back(s);
    const auto i = int32_t(strings_.size() - 1);
    stringIndex_.insert(s, i);
    return i;
}

void SheetData::setFormula(Cell &c, QStringView text, const FormulaExpr *parsed, const Variant &stored)
{
    clearContent(c);
    uint32_t i;
    if (freeFormulas_.empty()) {
        roomFor(formulas_, 1);
        formulas_.emplace_back();
        i = uint32_t(formulas_.size() - 1);
    } else {
        i = freeFormulas_.back();
        freeFormulas_.pop_back();
    }
    Formula &f = formulas_[i];
    f = Formula();
    f.live = true;
    const QByteArray utf8 = text.toUtf8();
    f.text = uint32_t(formulaText_.size());
    f.textLen = uint32_t(utf8.size());
    roomFor(formulaText_, size_t(utf8.size()) + 1);
    formulaText_.append(utf8.constData(), size_t(utf8.size()) + 1);    // with its NUL, for the file writer
    if (parsed) {
        f.nodes = uint32_t(nodes_.size());
        f.nodeCount = uint32_t(parsed->nodes.size());
        f.args = uint32_t(args_.size());
        f.argCount = uint32_t(parsed->args.size());
        f.root = parsed->root;
        roomFor(nodes_, parsed->nodes.size());
        roomFor(args_, parsed->args.size());
        for (FormulaNode n : parsed->nodes) {
            if (n.text >= 0)
                n.text = internString(parsed->texts[size_t(n.text)]);
            nodes_.push_back(n);
        }
        args_.insert(args_.end(), parsed->args.begin(), parsed->args.end());
    } else {
        f.cached = stored;
    }
    c.ref = i;
    c.flags |= Cell::HasFormula;
}

void SheetData::releaseFormula(Cell &c)
{
    if (!c.hasFormula())
        return;
    Formula &f = formulas_[c.ref];
    deadText_ += f.textLen + 1;
    deadNodes_ += f.nodeCount;
    deadArgs_ += f.argCount;
    f = Formula();
    freeFormulas_.push_back(c.ref);
    c.flags &= uint8_t(~Cell::HasFormula);
    c.ref = 0;
    // Pools that are mostly the leftovers of replaced formulas are packed
    // again, so that rewriting cells does not grow the sheet.
    if (deadNodes_ > 4096 && deadNodes_ * 2 > nodes_.size())
        compactFormulas();
}

void SheetData::compactFormulas()
{
    std::string text;
    std::vector<FormulaNode> nodes;
    std::vector<int32_t> args;
    std::vector<QString> strings;
    QHash<QString, int32_t> stringIndex;
    text.reserve(formulaText_.size() - deadText_);
    nodes.reserve(nodes_.size() - deadNodes_);
    args.reserve(args_.size() - deadArgs_);
    for (Formula &f : formulas_) {
        if (!f.live)
            continue;
        const auto textAt = uint32_t(text.size());
        text.append(formulaText_, f.text, f.textLen + 1);
        f.text = textAt;
        const auto nodesAt = uint32_t(nodes.size());
        for (uint32_t k = 0; k < f.nodeCount; ++k) {
            FormulaNode n = nodes_[f.nodes + k];
            if (n.text >= 0) {
                const QString &s = strings_[size_t(n.text)];
                auto it = stringIndex.constFind(s);
                if (it == stringIndex.cend()) {
                    strings.push_back(s);
                    it = stringIndex.insert(s, int32_t(strings.size() - 1));
                }
                n.text = it.value();
            }
            nodes.push_back(n);
        }
        f.nodes = nodesAt;
        const auto argsAt = uint32_t(args.size());
        args.insert(args.end(), args_.begin() + f.args, args_.begin() + f.args + f.argCount);
        f.args = argsAt;
    }
    formulaText_ = std::move(text);
    nodes_ = std::move(nodes);
    args_ = std::move(args);
    strings_ = std::move(strings);
    stringIndex_ = std::move(stringIndex);
    deadText_ = deadNodes_ = deadArgs_ = 0;
}

QString SheetData::formulaText(const Cell &c) const
{
    if (!c.hasFormula())
        return QString();
    const Formula &f = formula(c);
    return QString::fromUtf8(formulaText_.data() + f.text, qsizetype(f.textLen));
}

const char *SheetData::formulaUtf8(const Cell &c) const
{
    return formulaText_.data() + formula(c).text;
}

} // namespace vt::xl
