#include "platform/answers.h"

#include <QFile>
#include <QSet>
#include <QTextStream>

namespace vt::answers {

namespace {

struct Entry {
    QString fragment; // empty: plain
    QString answer;
};

struct State {
    bool testScripted = false;
    QList<Entry> queue;
    QList<Record> asked;
    QSet<int> usedFileLines;
};

State &st()
{
    static State s;
    return s;
}

bool matches(const Question &q, const QString &frag)
{
    return q.kind.contains(frag, Qt::CaseInsensitive) || q.title.contains(frag, Qt::CaseInsensitive)
        || q.text.contains(frag, Qt::CaseInsensitive);
}

bool takeFromQueue(const Question &q, QString &out)
{
    auto &qu = st().queue;
    for (int i = 0; i < int(qu.size()); ++i)
        if (!qu[i].fragment.isEmpty() && matches(q, qu[i].fragment)) {
            out = qu[i].answer;
            qu.removeAt(i);
            return true;
        }
    for (int i = 0; i < int(qu.size()); ++i)
        if (qu[i].fragment.isEmpty()) {
            out = qu[i].answer;
            qu.removeAt(i);
            return true;
        }
    return false;
}

QList<Entry> readFile(const QString &path)
{
    QList<Entry> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (QString l : lines) {
        if (l.endsWith(u'\r'))
            l.chop(1);
        Entry e;
        const int tab = int(l.indexOf(u'\t'));
        if (tab >= 0) {
            e.fragment = l.left(tab);
            e.answer = l.mid(tab + 1);
        } else {
            e.answer = l;
        }
        out.append(e);
    }
    // A trailing newline leaves one empty last element that is no answer.
    if (!out.isEmpty() && out.last().fragment.isEmpty() && out.last().answer.isEmpty())
        out.removeLast();
    return out;
}

bool takeFromFile(const Question &q, QString &out)
{
    const QString path = qEnvironmentVariable("VANTRELL_ANSWERS");
    if (path.isEmpty())
        return false;
    const QList<Entry> lines = readFile(path);
    auto &used = st().usedFileLines;
    for (int i = 0; i < int(lines.size()); ++i)
        if (!used.contains(i) && !lines[i].fragment.isEmpty() && matches(q, lines[i].fragment)) {
            used.insert(i);
            out = lines[i].answer;
            return true;
        }
    for (int i = 0; i < int(lines.size()); ++i)
        if (!used.contains(i) && lines[i].fragment.isEmpty()) {
            used.insert(i);
            out = lines[i].answer;
            return true;
        }
    return false;
}

void appendLog(const Record &r)
{
    const QString path = qEnvironmentVariable("VANTRELL_ASKLOG");
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::Append | QIODevice::Text))
        return;
    QTextStream ts(&f);
    ts << "=== " << r.question.kind << '\n'
       << "title: " << r.question.title << '\n'
       << "text: " << r.question.text << '\n'
       << "buttons: " << r.question.buttons.join(QStringLiteral(", ")) << '\n'
       << "default: " << r.question.defaultAnswer << '\n'
       << "icon: " << r.question.icon << '\n'
       << "answer: " << r.answer << (r.answered ? "" : " (unanswered)") << '\n';
}

} // namespace

bool scripted()
{
    return st().testScripted || !qEnvironmentVariable("VANTRELL_ANSWERS").isEmpty();
}

QString ask(const Question &q, const std::function<QString()> &interactive)
{
    Record r;
    r.question = q;
    if (scripted()) {
        QString a;
        if (takeFromQueue(q, a) || takeFromFile(q, a)) {
            r.answer = a;
            r.answered = true;
        } else {
            r.answer = q.defaultAnswer;
        }
    } else {
        r.answer = interactive ? interactive() : q.defaultAnswer;
        r.answered = true;
    }
    st().asked.append(r);
    appendLog(r);
    return r.answer;
}

void reset()
{
    st().queue.clear();
    st().asked.clear();
    st().usedFileLines.clear();
    st().testScripted = true;
}

void setScripted(bool on) { st().testScripted = on; }

void queue(const QString &answer) { st().queue.append({QString(), answer}); }

void queueKeyed(const QString &fragment, const QString &answer) { st().queue.append({fragment, answer}); }

const QList<Record> &asked() { return st().asked; }

Record last() { return st().asked.isEmpty() ? Record{} : st().asked.last(); }

int pending() { return int(st().queue.size()); }

} // namespace vt::answers
