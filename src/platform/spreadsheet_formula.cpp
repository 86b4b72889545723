// Addresses and formulas of the spreadsheet stand-in: the A1 notation, a small
// formula language (what the export writes and what a user typically types),
// its evaluation with the spreadsheet's error values, and the moving of
// relative references when cells are copied.
#include "platform/spreadsheet_data.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>
#include <cstring>

namespace vt::xl {

// --- addresses ---------------------------------------------------------------

namespace {

int columnNumberOf(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int n = 0;
    for (QChar ch : letters) {
        // ASCII (every reference the export writes) without the Unicode tables.
        const char16_t c = ch.unicode();
        const char16_t u = c < 128 ? (c >= u'a' && c <= u'z' ? char16_t(c - 32) : c) : ch.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        n = n * 26 + (u - u'A' + 1);
    }
    return n <= MaxColumns ? n : 0;
}

} // namespace

int columnNumber(const QString &letters) { return columnNumberOf(letters); }

QString columnLetters(int column)
{
    QString s;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        s.prepend(QChar(u'A' + rem));
        column = (column - 1) / 26;
    }
    return s;
}

namespace {

// One end of a reference: a cell, a column or a row, each part absolute or not.
struct RefEnd {
    int row = 0, col = 0;            // 0: the part is absent (whole column / whole row)
    bool absRow = false, absCol = false;
};

int parseRowNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 7)
        return 0;
    int n = 0;
    for (QChar ch : digits) {
        const char16_t c = ch.unicode();
        if (c >= u'0' && c <= u'9') {
            n = n * 10 + (c - u'0');
            continue;
        }
        if (c < 128 || !ch.isDigit())
            return 0;
        n = n * 10 + ch.digitValue();
    }
    return (n >= 1 && n <= MaxRows) ? n : 0;
}

// "$A$5", "A5", "$A", "5" (with the kinds allowed); false when malformed.
bool parseEnd(QStringView s, RefEnd *e, bool allowCol, bool allowRow)
{
    *e = RefEnd();
    qsizetype i = 0;
    bool abs = false;
    if (i < s.size() && s[i] == u'$') { abs = true; ++i; }
    qsizetype j = i;
    while (j < s.size() && s[j].isLetter())
        ++j;
    if (j > i) {
        e->col = columnNumberOf(s.mid(i, j - i));
        if (!e->col)
            return false;
        e->absCol = abs;
        i = j;
        abs = false;
        if (i < s.size() && s[i] == u'$') { abs = true; ++i; }
    }
    if (i < s.size()) {
        e->row = parseRowNumber(s.mid(i));
        if (!e->row)
            return false;
        e->absRow = abs;
    } else if (abs) {
        return false;                // a trailing "$"
    }
    if (e->col && e->row)
        return true;
    if (e->col)
        return allowCol;
    if (e->row)
        return allowRow;
    return false;
}

// Where the ":" of a reference is, -1 for none; a reference is a few
// characters, too short for a library search to pay.
qsizetype indexOfColon(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u':')
            return i;
    return -1;
}

// "A5" (both ends the same) or "A1:C3", "A:V", "3:5"; a lone column or row
// only when allowed.
bool parseEnds(QStringView text, RefEnd *a, RefEnd *b, bool allowCol, bool allowRow)
{
    const qsizetype colon = indexOfColon(text);
    if (colon < 0) {
        if (!parseEnd(text, a, allowCol, allowRow))
            return false;
        *b = *a;
        return true;
    }
    return parseEnd(text.left(colon), a, true, true) && parseEnd(text.mid(colon + 1), b, true, true);
}

// The rectangle between two ends of one kind: cells, whole columns or whole rows.
Area areaOf(const RefEnd &a, const RefEnd &b)
{
    if (a.col && a.row)
        return {std::min(a.row, b.row), std::min(a.col, b.col), std::max(a.row, b.row), std::max(a.col, b.col)};
    if (a.col)
        return {1, std::min(a.col, b.col), MaxRows, std::max(a.col, b.col)};
    return {std::min(a.row, b.row), 1, std::max(a.row, b.row), MaxColumns};
}

} // namespace

bool parseArea(const QString &textIn, Area *area, bool bareColumns, bool bareRows)
{
    const QString text = textIn.trimmed();
    RefEnd a, b;
    if (!parseEnds(text, &a, &b, bareColumns, bareRows))
        return false;
    if (text.contains(u':')) {
        const bool aCell = a.row && a.col, bCell = b.row && b.col;
        const bool aCol = a.col && !a.row, bCol = b.col && !b.row;
        const bool aRow = a.row && !a.col, bRow = b.row && !b.col;
        if (!((aCell && bCell) || (aCol && bCol) || (aRow && bRow)))
            return false;
    }
    *area = areaOf(a, b);
    return true;
}

// --- numbers in text ---------------------------------------------------------

static bool numberFromText(const QString &text, double *out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (QChar ch : t) {
        if (!(ch.isDigit() || ch == u'.' || ch == u'-' || ch == u'+' || ch == u'e' || ch == u'E'))
            return false;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

Variant parseEntry(const QString &text, bool *isFormula)
{
    if (isFormula)
        *isFormula = false;
    if (text.isEmpty())
        return Variant();
    if (text.startsWith(u'=') && text.size() > 1) {
        if (isFormula)
            *isFormula = true;
        return Variant(text);
    }
    double v = 0;
    if (numberFromText(text, &v))
        return Variant(v);
    if (text.size() == 4 && text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        return Variant(true);
    if (text.size() == 5 && text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return Variant(false);
    CellError e;
    if (errorFromText(text, &e))
        return Variant(e);
    return Variant(text);
}

// --- the formula language ----------------------------------------------------

namespace {

struct Token {
    enum Type { End, Number, String, Error, Ref, Func, Name, Op, LParen, RParen, Comma } type = End;
    qsizetype start = 0, end = 0;
    double num = 0;
    QString text;                // string value or name
    char op = 0;                 // an operator
    FuncId func = FuncId::Unknown;
    CellError err = CellError::Value;
    // references
    QString sheet;
    bool hasSheet = false;
    qsizetype refStart = 0;      // where the reference proper begins (after the sheet prefix)
    RefEnd a, b;
    bool range = false;
};

// The lexer's shapes, matched by hand at a position (the export lexes every
// formula it writes, so this is on its hot path). Each answers the length of
// the match there, 0 for none: cell or cell range ($A$1, A1:B2), column range
// (A:C), row range (1:3), name, number. Runs longer than a part allows match
// only their first letters or digits; the caller then sees a word go on.
bool isAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

template <typename Pred>
qsizetype runOf(const QString &s, qsizetype p, Pred pred)
{
    qsizetype i = p;
    while (i < s.size() && pred(s[i]))
        ++i;
    return i - p;
}

qsizetype dollar(const QString &s, qsizetype p) { return p < s.size() && s[p] == u'$' ? 1 : 0; }

// Letters then digits, each optionally after a "$".
qsizetype matchCell(const QString &s, qsizetype p)
{
    qsizetype i = p + dollar(s, p);
    const qsizetype letters = runOf(s, i, isAsciiLetter);
    if (letters < 1 || letters > 3)
        return 0;
    i += letters;
    i += dollar(s, i);
    const qsizetype digits = runOf(s, i, isAsciiDigit);
    if (digits < 1)
        return 0;
    return i + std::min<qsizetype>(digits, 7) - p;
}

qsizetype matchCellRange(const QString &s, qsizetype p)
{
    const qsizetype first = matchCell(s, p);
    if (first == 0)
        return 0;
    const qsizetype colon = p + first;
    if (colon < s.size() && s[colon] == u':') {
        if (const qsizetype second = matchCell(s, colon + 1))
            return first + 1 + second;
    }
    return first;
}

// Two runs of letters (or of digits) joined by ":", each after an optional "$".
template <typename Pred>
qsizetype matchLineRange(const QString &s, qsizetype p, Pred pred, qsizetype most)
{
    qsizetype i = p + dollar(s, p);
    const qsizetype first = runOf(s, i, pred);
    if (first < 1 || first > most)
        return 0;
    i += first;
    if (i >= s.size() || s[i] != u':')
        return 0;
    ++i;
    i += dollar(s, i);
    const qsizetype second = runOf(s, i, pred);
    if (second < 1)
        return 0;
    return i + std::min(second, most) - p;
}

qsizetype matchName(const QString &s, qsizetype p)
{
    if (p >= s.size() || !(isAsciiLetter(s[p]) || s[p] == u'_'))
        return 0;
    return 1 + runOf(s, p + 1, [](QChar c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == u'_' || c == u'.'; });
}

// Digits with an optional fraction, or a fraction alone; then an exponent
// when one with digits follows.
qsizetype matchNumber(const QString &s, qsizetype p)
{
    qsizetype i = p;
    const qsizetype whole = runOf(s, i, isAsciiDigit);
    if (whole > 0) {
        i += whole;
        if (i < s.size() && s[i] == u'.')
            i += 1 + runOf(s, i + 1, isAsciiDigit);
    } else if (i + 1 < s.size() && s[i] == u'.' && isAsciiDigit(s[i + 1])) {
        i += 1 + runOf(s, i + 1, isAsciiDigit);
    } else {
        return 0;
    }
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        if (const qsizetype exp = runOf(s, j, isAsciiDigit))
            i = j + exp;
    }
    return i - p;
}

bool matchAt(qsizetype (*match)(const QString &, qsizetype), const QString &s, qsizetype pos, qsizetype *len)
{
    *len = match(s, pos);
    return *len > 0;
}

qsizetype matchColRange(const QString &s, qsizetype p) { return matchLineRange(s, p, isAsciiLetter, 3); }
qsizetype matchRowRange(const QString &s, qsizetype p) { return matchLineRange(s, p, isAsciiDigit, 7); }

bool isWordChar(QChar ch) { return ch.isLetterOrNumber() || ch == u'_' || ch == u'.' || ch == u'$'; }

FuncId functionId(QStringView name)
{
    static constexpr struct {
        const char *name;
        FuncId id;
    } known[] = {{"MIN", FuncId::Min}, {"MAX", FuncId::Max}, {"AVERAGE", FuncId::Average}, {"STDEV", FuncId::Stdev}};
    for (const auto &k : known)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return k.id;
    return FuncId::Unknown;
}

// The sheet name of a reference, shared with the one before when it is the
// same text: formulas name the same sheet over and over.
QString sheetName(QStringView name)
{
    thread_local QString last;
    if (last != name)
        last = name.toString();
    return last;
}

class Lexer {
public:
    explicit Lexer(const QString &s) : s_(s) {}
    // Splits the whole text; false on a character that starts no token.
    bool run(std::vector<Token> *out)
    {
        qsizetype p = 1;             // after "="
        // Every token but the last takes at least one character, and most take two or more.
        out->reserve(size_t(s_.size() / 2 + 2));
        while (true) {
            while (p < s_.size() && s_[p].isSpace())
                ++p;
            // Made in place: a token is large enough that copying it in costs.
            Token &t = out->emplace_back();
            t.start = p;
            if (p >= s_.size()) {
                t.type = Token::End;
                t.end = p;
                return true;
            }
            if (!next(p, &t))
                return false;
            p = t.end;
        }
    }

private:
    // A text between the quote at p and its closing twin, a doubled quote
    // standing for one; *end is just past the closing quote. False when unclosed.
    bool quoted(qsizetype p, QString *text, qsizetype *end) const
    {
        const QChar quote = s_[p];
        text->clear();
        qsizetype i = p + 1;
        while (true) {
            if (i >= s_.size())
                return false;
            if (s_[i] == quote) {
                if (i + 1 < s_.size() && s_[i + 1] == quote) { *text += quote; i += 2; continue; }
                break;
            }
            *text += s_[i++];
        }
        *end = i + 1;
        return true;
    }

    bool next(qsizetype p, Token *t)
    {
        const QChar ch = s_[p];
        if (ch == u'"') {
            if (!quoted(p, &t->text, &t->end))
                return false;
            t->type = Token::String;
            return true;
        }
        if (ch == u'#') {
            for (CellError e : {CellError::Div0, CellError::Value, CellError::Ref, CellError::Name, CellError::Num,
                                CellError::NA, CellError::Null}) {
                const QString et = errorText(e);
                if (QStringView(s_).mid(p).startsWith(et, Qt::CaseInsensitive)) {
                    t->type = Token::Error;
                    t->err = e;
                    t->end = p + et.size();
                    return true;
                }
            }
            return false;
        }
        if (ch == u'+' || ch == u'-' || ch == u'*' || ch == u'/' || ch == u'^') {
            t->type = Token::Op;
            t->op = char(ch.unicode());
            t->end = p + 1;
            return true;
        }
        if (ch == u'(') { t->type = Token::LParen; t->end = p + 1; return true; }
        if (ch == u')') { t->type = Token::RParen; t->end = p + 1; return true; }
        if (ch == u',') { t->type = Token::Comma; t->end = p + 1; return true; }

        // An optional sheet prefix: Name! or 'quoted name'!
        qsizetype q = p;
        qsizetype len = 0;
        if (ch == u'\'') {
            qsizetype after = 0;
            if (!quoted(p, &t->sheet, &after) || after >= s_.size() || s_[after] != u'!')
                return false;
            t->hasSheet = true;
            q = after + 1;
        } else if (matchAt(matchName, s_, p, &len) && p + len < s_.size() && s_[p + len] == u'!') {
            t->sheet = sheetName(QStringView(s_).mid(p, len));
            t->hasSheet = true;
            q = p + len + 1;
        }
        if (!t->hasSheet && matchAt(matchName, s_, p, &len)) {
            qsizetype k = p + len;
            while (k < s_.size() && s_[k].isSpace())
                ++k;
            if (k < s_.size() && s_[k] == u'(') {       // a function
                t->type = Token::Func;
                t->func = functionId(QStringView(s_).mid(p, len));
                t->end = k + 1;
                return true;
            }
        }
        // A reference (cell, range, columns, rows), not followed by more of a word.
        for (auto *match : {matchCellRange, matchColRange, matchRowRange}) {
            if (matchAt(match, s_, q, &len) && (q + len >= s_.size() || !isWordChar(s_[q + len]))) {
                const QStringView txt = QStringView(s_).mid(q, len);
                if (!parseEnds(txt, &t->a, &t->b, false, false))
                    return false;
                t->type = Token::Ref;
                t->refStart = q;
                t->range = indexOfColon(txt) >= 0;
                t->end = q + len;
                return true;
            }
        }
        if (t->hasSheet)
            return false;                                // a sheet prefix with no reference
        if (matchAt(matchNumber, s_, p, &len)) {
            // ASCII digits, point and exponent only: read without a QString;
            // what that cannot read whole (very long, out of range) as before.
            char buf[64];
            bool read = false;
            if (len < qsizetype(sizeof buf)) {
                for (qsizetype k = 0; k < len; ++k)
                    buf[k] = char(s_[p + k].unicode());
                const auto [end, ec] = std::from_chars(buf, buf + len, t->num);
                read = ec == std::errc() && end == buf + len;
            }
            if (!read) {
                bool ok = false;
                t->num = QStringView(s_).mid(p, len).toDouble(&ok);
                if (!ok)
                    return false;
            }
            t->type = Token::Number;
            t->end = p + len;
            return true;
        }
        if (matchAt(matchName, s_, p, &len)) {
            t->type = Token::Name;
            t->text = s_.mid(p, len).toUpper();
            t->end = p + len;
            return true;
        }
        return false;
    }

    const QString &s_;
};

class Parser {
public:
    Parser(const std::vector<Token> &toks, FormulaExpr *out) : t_(toks), e_(*out) {}
    bool parse()
    {
        e_.root = additive();
        return e_.root >= 0 && t_[i_].type == Token::End;
    }

private:
    const Token &peek() const { return t_[i_]; }
    bool isOp(char c) const { return peek().type == Token::Op && peek().op == c; }

    int32_t add(const FormulaNode &n)
    {
        e_.nodes.push_back(n);
        return int32_t(e_.nodes.size() - 1);
    }
    int32_t addText(const QString &text)
    {
        e_.texts.push_back(text);
        return int32_t(e_.texts.size() - 1);
    }
    int32_t binary(char op, int32_t l, int32_t r)
    {
        FormulaNode n;
        n.kind = FormulaNode::Bin;
        n.op = op;
        n.p.kids = {l, r};
        return add(n);
    }
    // The binary operators by precedence: + -, then * /, then ^, all left to right.
    int32_t level(int n)
    {
        static const char *const ops[] = {"+-", "*/", "^"};
        const auto operand = [&] { return n < 2 ? level(n + 1) : unary(); };
        int32_t l = operand();
        while (l >= 0 && peek().type == Token::Op && std::strchr(ops[n], peek().op)) {
            const char op = peek().op;
            ++i_;
            const int32_t r = operand();
            if (r < 0)
                return -1;
            l = binary(op, l, r);
        }
        return l;
    }
    int32_t additive() { return level(0); }
    int32_t unary()
    {
        if (isOp('-') || isOp('+')) {
            const bool neg = isOp('-');
            ++i_;
            const int32_t e = unary();
            if (e < 0 || !neg)
                return e;
            FormulaNode n;
            n.kind = FormulaNode::Neg;
            n.p.kids = {e, -1};
            return add(n);
        }
        return primary();
    }
    int32_t primary()
    {
        const Token &t = peek();
        FormulaNode n;
        switch (t.type) {
        case Token::Number:
            n.kind = FormulaNode::Num;
            n.p.num = t.num;
            ++i_;
            return add(n);
        case Token::String:
            n.kind = FormulaNode::Str;
            n.text = addText(t.text);
            ++i_;
            return add(n);
        case Token::Error:
            n.kind = FormulaNode::Err;
            n.p.err = t.err;
            ++i_;
            return add(n);
        case Token::Name:
            if (t.text == QLatin1String("TRUE") || t.text == QLatin1String("FALSE")) {
                n.kind = FormulaNode::Bool;
                n.p.num = t.text == QLatin1String("TRUE") ? 1 : 0;
            } else {
                n.kind = FormulaNode::Err;       // an unknown name
                n.p.err = CellError::Name;
            }
            ++i_;
            return add(n);
        case Token::Ref: {
            n.kind = FormulaNode::Ref;
            if (t.hasSheet)
                n.text = addText(t.sheet);
            const Area a = areaOf(t.a, t.b);
            n.p.area = {a.r1, a.c1, a.r2, a.c2};
            ++i_;
            return add(n);
        }
        case Token::Func: {
            n.kind = FormulaNode::Func;
            n.func = t.func;
            ++i_;
            if (peek().type == Token::RParen) {
                ++i_;
                n.p.kids = {int32_t(e_.args.size()), 0};
                return add(n);
            }
            // The arguments' own nodes come first; their indexes then go
            // into the argument list side by side.
            QVarLengthArray<int32_t, 8> args;
            while (true) {
                const int32_t arg = additive();
                if (arg < 0)
                    return -1;
                args.push_back(arg);
                if (peek().type == Token::Comma) { ++i_; continue; }
                if (peek().type == Token::RParen) { ++i_; break; }
                return -1;
            }
            n.p.kids = {int32_t(e_.args.size()), int32_t(args.size())};
            e_.args.insert(e_.args.end(), args.begin(), args.end());
            return add(n);
        }
        case Token::LParen: {
            ++i_;
            const int32_t e = additive();
            if (e < 0 || peek().type != Token::RParen)
                return -1;
            ++i_;
            return e;
        }
        default:
            return -1;
        }
    }

    const std::vector<Token> &t_;
    FormulaExpr &e_;
    size_t i_ = 0;
};

} // namespace

namespace {

// The token list of one formula, kept from one formula to the next: the
// export lexes hundreds of thousands, and a list of tokens is large enough
// that a fresh one each time cost more in the allocator than the lexing. A
// call made while the list is out (none is today) gets an empty one.
thread_local std::vector<Token> spareTokens;

class TokenList {
public:
    TokenList() : toks_(std::move(spareTokens)) { toks_.clear(); }
    ~TokenList() { spareTokens = std::move(toks_); }
    TokenList(const TokenList &) = delete;
    TokenList &operator=(const TokenList &) = delete;
    std::vector<Token> &operator*() { return toks_; }
    std::vector<Token> *operator->() { return &toks_; }

private:
    std::vector<Token> toks_;
};

} // namespace

const FormulaExpr *parseFormula(const QString &text, QString *error)
{
    TokenList toks;
    if (text.startsWith(u'=') && Lexer(text).run(&*toks)) {
        // Parsed into lists kept from one formula to the next; the sheet
        // that takes the formula copies them into its own pools.
        thread_local FormulaExpr scratch;
        scratch.nodes.clear();
        scratch.args.clear();
        scratch.texts.clear();
        if (Parser(*toks, &scratch).parse())
            return &scratch;
    }
    if (error)
        *error = QStringLiteral("The formula contains an error: %1").arg(text);
    return {};
}

// --- moving relative references ------------------------------------------------

static QString endText(const RefEnd &e, int dRows, int dCols, bool *bad)
{
    QString s;
    if (e.col) {
        const int c = e.absCol ? e.col : e.col + dCols;
        if (c < 1 || c > MaxColumns)
            *bad = true;
        s += (e.absCol ? QStringLiteral("$") : QString()) + columnLetters(c);
    }
    if (e.row) {
        const int r = e.absRow ? e.row : e.row + dRows;
        if (r < 1 || r > MaxRows)
            *bad = true;
        s += (e.absRow ? QStringLiteral("$") : QString()) + QString::number(r);
    }
    return s;
}

QString shiftFormula(const QString &text, int dRows, int dCols)
{
    if (dRows == 0 && dCols == 0)
        return text;
    TokenList toks;
    if (!text.startsWith(u'=') || !Lexer(text).run(&*toks))
        return text;
    QString out;
    qsizetype last = 0;
    for (const Token &t : *toks) {
        if (t.type != Token::Ref)
            continue;
        bool bad = false;
        QString ref = endText(t.a, dRows, dCols, &bad);
        if (t.range)
            ref += u':' + endText(t.b, dRows, dCols, &bad);
        if (bad) {
            out += QStringView(text).mid(last, t.start - last);
            out += errorText(CellError::Ref);
        } else {
            out += QStringView(text).mid(last, t.refStart - last);
            out += ref;
        }
        last = t.end;
    }
    out += QStringView(text).mid(last);
    return out;
}

// --- evaluation ------------------------------------------------------------------

namespace {

constexpr int MaxDepth = 400;
thread_local int evalDepth = 0;

struct Eval {
    const SheetData &home;
    const FormulaNode *nodes;
    const int32_t *args;

    const FormulaNode &node(int32_t i) const { return nodes[i]; }

    const SheetData *sheetOf(const FormulaNode &n) const
    {
        if (n.text < 0)
            return &home;
        return home.book ? home.book->sheet(home.string(n.text)) : nullptr;
    }

    // A value as an operand of arithmetic.
    static Variant toNumber(const Variant &v)
    {
        switch (v.type()) {
        case Variant::Type::Empty: return Variant(0.0);
        case Variant::Type::Number: return v;
        case Variant::Type::Boolean: return Variant(v.boolean() ? 1.0 : 0.0);
        case Variant::Type::Error: return v;
        case Variant::Type::Text: {
            double d = 0;
            if (numberFromText(v.toString(), &d))
                return Variant(d);
            return Variant(CellError::Value);
        }
        }
        return Variant(CellError::Value);
    }

    static Variant finite(double d)
    {
        return std::isfinite(d) ? Variant(d) : Variant(CellError::Num);
    }

    Variant scalar(int32_t i) const
    {
        const FormulaNode &n = node(i);
        switch (n.kind) {
        case FormulaNode::Num: return Variant(n.p.num);
        case FormulaNode::Str: return Variant(home.string(n.text));
        case FormulaNode::Bool: return Variant(n.p.num != 0);
        case FormulaNode::Err: return Variant(n.p.err);
        case FormulaNode::Ref: {
            const SheetData *sh = sheetOf(n);
            if (!sh)
                return Variant(CellError::Ref);
            if (!n.single())
                return Variant(CellError::Value);
            return sh->value(n.p.area.r1, n.p.area.c1);
        }
        case FormulaNode::Neg: {
            const Variant v = toNumber(scalar(n.p.kids.a));
            return v.isError() ? v : Variant(-v.number());
        }
        case FormulaNode::Bin: {
            const Variant l = toNumber(scalar(n.p.kids.a));
            if (l.isError())
                return l;
            const Variant r = toNumber(scalar(n.p.kids.b));
            if (r.isError())
                return r;
            const double a = l.number(), b = r.number();
            switch (n.op) {
            case '+': return finite(a + b);
            case '-': return finite(a - b);
            case '*': return finite(a * b);
            case '/': return b == 0 ? Variant(CellError::Div0) : finite(a / b);
            case '^': return (a == 0 && b < 0) ? Variant(CellError::Div0) : finite(std::pow(a, b));
            default: return Variant(CellError::Value);
            }
        }
        case FormulaNode::Func: return function(n);
        }
        return Variant(CellError::Value);
    }

    // Collects the numbers of a function's arguments: references give their
    // numbers and skip texts, truth values and empty cells; other arguments
    // count when they are numbers or number texts. The first error value wins.
    template <typename Out>
    bool numbers(const FormulaNode &f, Out *out, Variant *err) const
    {
        for (int32_t k = 0; k < f.p.kids.b; ++k) {
            const int32_t argIndex = args[f.p.kids.a + k];
            const FormulaNode *arg = &node(argIndex);
            if (arg->kind == FormulaNode::Ref) {
                const SheetData *sh = sheetOf(*arg);
                if (!sh) {
                    *err = Variant(CellError::Ref);
                    return false;
                }
                const NodeRect &a = arg->p.area;
                const bool whole = sh->eachStored(a.r1, a.c1, a.r2, a.c2, [&](int, int, const Cell &cell) {
                    const Variant v = evaluateCell(cell, *sh);
                    if (v.isError()) {
                        *err = v;
                        return false;
                    }
                    if (v.isNumber())
                        out->push_back(v.number());
                    return true;
                });
                if (!whole)
                    return false;
            } else {
                const Variant v = toNumber(scalar(argIndex));
                if (v.isError()) {
                    *err = v;
                    return false;
                }
                out->push_back(v.number());
            }
        }
        return true;
    }

    Variant function(const FormulaNode &f) const
    {
        if (f.func == FuncId::Unknown)
            return Variant(CellError::Name);
        if (f.p.kids.b == 0)
            return Variant(CellError::Value);
        // On the stack for the ranges of a string of shots; a larger one spills over.
        QVarLengthArray<double, 64> xs;
        Variant err;
        if (!numbers(f, &xs, &err))
            return err;
        if (f.func == FuncId::Min)
            return xs.empty() ? Variant(0.0) : Variant(*std::min_element(xs.begin(), xs.end()));
        if (f.func == FuncId::Max)
            return xs.empty() ? Variant(0.0) : Variant(*std::max_element(xs.begin(), xs.end()));
        double sum = 0;
        for (double x : xs)
            sum += x;
        if (f.func == FuncId::Average)
            return xs.empty() ? Variant(CellError::Div0) : finite(sum / double(xs.size()));
        // STDEV: the sample deviation; fewer than two numbers divide by zero.
        if (xs.size() < 2)
            return Variant(CellError::Div0);
        const double mean = sum / double(xs.size());
        double sq = 0;
        for (double x : xs)
            sq += (x - mean) * (x - mean);
        return finite(std::sqrt(sq / double(xs.size() - 1)));
    }
};

} // namespace

// A long chain of formulas would recurse deeply; evaluation stops at a depth,
// remembers the cell it refused, settles that one first and tries again.
namespace {
thread_local bool overflowed = false;
thread_local const Cell *refusedCell = nullptr;
thread_local const SheetData *refusedSheet = nullptr;

Variant compute(const Cell &cell, const SheetData &sheet)
{
    const Formula &f = sheet.formula(cell);
    const quint64 gen = generation();
    if (f.cachedAt == gen)
        return f.cached;
    if (f.root < 0)
        return f.cached;                     // a formula we cannot read keeps the result stored with it
    if (f.evaluating)
        return Variant(0.0);                 // a circular reference reads as 0
    if (evalDepth >= MaxDepth) {
        if (!overflowed) {
            overflowed = true;
            refusedCell = &cell;
            refusedSheet = &sheet;
        }
        return Variant(CellError::Value);
    }
    f.evaluating = true;
    ++evalDepth;
    Variant v = Eval{sheet, sheet.nodesOf(f), sheet.argsOf(f)}.scalar(f.root);
    --evalDepth;
    f.evaluating = false;
    if (v.isEmpty())
        v = Variant(0.0);                    // a formula showing an empty cell shows 0
    if (!overflowed) {                       // a result built on a refused cell is not kept
        f.cached = v;
        f.cachedAt = gen;
    }
    return v;
}
} // namespace

Variant evaluateCell(const Cell &cell, const SheetData &sheet)
{
    if (!cell.hasFormula())
        return sheet.constant(cell);
    if (evalDepth > 0)
        return compute(cell, sheet);
    while (true) {
        overflowed = false;
        const Variant v = compute(cell, sheet);
        if (!overflowed)
            return v;
        const Cell *c = refusedCell;
        const SheetData *s = refusedSheet;
        overflowed = false;
        evaluateCell(*c, *s);                // settles the deep end of the chain
    }
}

} // namespace vt::xl
