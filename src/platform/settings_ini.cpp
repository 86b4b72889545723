#include "platform/settings_ini.h"

#include <vector>

namespace vt::ini {

namespace {

bool plainNameChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'
        || c == u'-' || c == u'.';
}

bool isHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QByteArray hex(uint v, int digits)
{
    return QByteArray::number(v, 16).toUpper().rightJustified(digits, '0');
}

struct Line {
    QByteArray raw;  // as in the file, without its line end
    QString key;     // decoded key of a "key=value" line; empty for other lines
    qsizetype eq = -1;
};

struct Section {
    QByteArray header; // "[name]" as in the file; empty for the lines before any header
    QString name;
    std::vector<Line> lines;
};

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// QSettings keeps the keys before any header, and a "[General]" header, in
// its top-level group; a section really named so is written "[%General]".
QString sectionName(const QByteArray &header)
{
    const QByteArray inner = header.mid(1, header.size() - 2).trimmed();
    if (inner.compare("general", Qt::CaseInsensitive) == 0)
        return {};
    return decodeName(inner);
}

std::vector<Section> parse(const QByteArray &text)
{
    std::vector<Section> out(1);
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QByteArray t = raw.trimmed();
        if (t.startsWith('[') && t.endsWith(']')) {
            Section s;
            s.header = raw;
            s.name = sectionName(t);
            out.push_back(std::move(s));
            continue;
        }
        Line line;
        line.raw = raw;
        if (!t.isEmpty() && !t.startsWith(';') && !t.startsWith('#')) {
            line.eq = raw.indexOf('=');
            if (line.eq < 0)
                continue; // unreadable: QSettings skips it
            line.key = decodeName(raw.left(line.eq).trimmed());
        }
        out.back().lines.push_back(std::move(line));
    }
    // The split leaves an empty last "line" after the final line end.
    std::vector<Line> &last = out.back().lines;
    if (!last.empty() && last.back().raw.isEmpty() && last.back().key.isEmpty())
        last.pop_back();
    return out;
}

QByteArray serialize(const std::vector<Section> &sections)
{
    QByteArray out;
    for (const Section &s : sections) {
        if (!s.header.isEmpty())
            out += s.header + '\n';
        for (const Line &l : s.lines)
            out += l.raw + '\n';
    }
    return out;
}

bool isKeyLine(const Line &l) { return l.eq >= 0; }

void setValue(std::vector<Section> &sections, const Change &c)
{
    const QByteArray valueText = encodeValue(c.value);
    Section *target = nullptr;
    for (Section &s : sections) {
        if (s.header.isEmpty() || !sameName(s.name, c.section))
            continue;
        if (!target)
            target = &s;
        for (Line &l : s.lines)
            if (isKeyLine(l) && sameName(l.key, c.key)) {
                // The stored spelling of the key and the spaces around it stay.
                l.raw = l.raw.left(l.eq + 1) + valueText;
                return;
            }
    }
    if (!target) {
        Section &prev = sections.back();
        if (!prev.lines.empty() && !prev.lines.back().raw.trimmed().isEmpty())
            prev.lines.push_back(Line{});
        else if (prev.lines.empty() && !prev.header.isEmpty())
            prev.lines.push_back(Line{});
        Section s;
        s.header = '[' + (c.section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
                              ? QByteArray("%General")
                              : encodeName(c.section))
            + ']';
        s.name = c.section;
        sections.push_back(std::move(s));
        target = &sections.back();
    }
    // After the section's last key, before the blank lines that part it from
    // the next.
    size_t at = target->lines.size();
    while (at > 0 && !isKeyLine(target->lines[at - 1]) && target->lines[at - 1].raw.trimmed().isEmpty())
        --at;
    Line l;
    const QByteArray keyText = encodeName(c.key);
    l.raw = keyText + '=' + valueText;
    l.key = c.key;
    l.eq = keyText.size();
    target->lines.insert(target->lines.begin() + qsizetype(at), std::move(l));
}

void removeKey(std::vector<Section> &sections, const Change &c)
{
    for (Section &s : sections) {
        if (s.header.isEmpty() || !sameName(s.name, c.section))
            continue;
        std::erase_if(s.lines, [&](const Line &l) { return isKeyLine(l) && sameName(l.key, c.key); });
    }
}

void removeSection(std::vector<Section> &sections, const Change &c)
{
    std::erase_if(sections, [&](const Section &s) { return !s.header.isEmpty() && sameName(s.name, c.section); });
}

} // namespace

QByteArray encodeName(const QString &name)
{
    QByteArray out;
    out.reserve(name.size() + 8);
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == u'/')
            out += '\\';
        else if (plainNameChar(c))
            out += char(c);
        else if (c <= 0xFF)
            out += '%' + hex(c, 2);
        else
            out += "%U" + hex(c, 4);
    }
    return out;
}

QString decodeName(const QByteArray &raw)
{
    const QString text = QString::fromUtf8(raw);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (c == u'%' && i + 1 < text.size()) {
            const bool wide = text.at(i + 1) == u'U';
            const qsizetype first = i + 1 + (wide ? 1 : 0);
            const int digits = wide ? 4 : 2;
            if (first + digits <= text.size()) {
                bool ok = false;
                const ushort v = QStringView(text).mid(first, digits).toUShort(&ok, 16);
                if (ok) {
                    out += QChar(v);
                    i = first + digits;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

QByteArray encodeValue(const QString &value)
{
    // Always quoted: commas would otherwise make a list of it, and blanks at
    // either end would be lost. A leading '@' marks typed values to QSettings
    // and is doubled to stay text.
    QByteArray out = "\"";
    if (value.startsWith(u'@'))
        out += '@';
    bool escapeHexDigit = false; // a \x escape reads on while hex digits follow
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value.at(i).unicode();
        if (escapeHexDigit && isHex(c)) {
            out += "\\x" + hex(c, 2);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case u'\a': out += "\\a"; break;
        case u'\b': out += "\\b"; break;
        case u'\f': out += "\\f"; break;
        case u'\n': out += "\\n"; break;
        case u'\r': out += "\\r"; break;
        case u'\t': out += "\\t"; break;
        case u'\v': out += "\\v"; break;
        case u'"': out += "\\\""; break;
        case u'\\': out += "\\\\"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x" + hex(c, 2);
                escapeHexDigit = true;
            } else if (c < 0x80) {
                out += char(c);
            } else if (QChar::isHighSurrogate(c) && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
                out += value.mid(i, 2).toUtf8();
                ++i;
            } else {
                out += QString(QChar(c)).toUtf8();
            }
        }
    }
    out += '"';
    return out;
}

QByteArray apply(const QByteArray &text, const QList<Change> &changes)
{
    std::vector<Section> sections = parse(text);
    for (const Change &c : changes) {
        switch (c.kind) {
        case Change::Set: setValue(sections, c); break;
        case Change::RemoveKey: removeKey(sections, c); break;
        case Change::RemoveSection: removeSection(sections, c); break;
        }
    }
    // Sections left without keys go, as QSettings leaves none.
    std::erase_if(sections, [](const Section &s) {
        return !s.header.isEmpty() && std::none_of(s.lines.begin(), s.lines.end(), isKeyLine);
    });
    // No blank lines at the very end.
    while (!sections.empty() && !sections.back().lines.empty()
           && sections.back().lines.back().raw.trimmed().isEmpty())
        sections.back().lines.pop_back();
    return serialize(sections);
}

} // namespace vt::ini
