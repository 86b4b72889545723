#include "platform/spelling.h"

#include "platform/answers.h"

#include <hunspell.hxx>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

namespace vt::spelling {

QStringList dictionaryFolders()
{
    if (qEnvironmentVariableIsSet("VANTRELL_DICTIONARIES"))
        return qEnvironmentVariable("VANTRELL_DICTIONARIES").split(u':', Qt::SkipEmptyParts);
    return {QStringLiteral("/usr/share/hunspell")};
}

// The .aff file of the named dictionary in the first folder holding both of
// its files; empty when none does.
static QString affixFile(const QString &name)
{
    if (name.isEmpty())
        return {};
    for (const QString &folder : dictionaryFolders()) {
        const QDir dir(folder);
        const QString aff = dir.filePath(name + QStringLiteral(".aff"));
        if (QFileInfo(aff).isFile() && QFileInfo(dir.filePath(name + QStringLiteral(".dic"))).isFile())
            return aff;
    }
    return {};
}

QStringList installedDictionaries()
{
    QStringList names;
    for (const QString &folder : dictionaryFolders()) {
        const QDir dir(folder);
        for (const QFileInfo &aff : dir.entryInfoList({QStringLiteral("*.aff")}, QDir::Files | QDir::Readable)) {
            const QString name = aff.completeBaseName();
            if (!names.contains(name) && QFileInfo(dir.filePath(name + QStringLiteral(".dic"))).isFile())
                names << name;
        }
    }
    names.sort();
    return names;
}

QString preferredDictionary()
{
    const QStringList names = installedDictionaries();
    if (names.isEmpty())
        return {};
    for (const QString &wanted : {QLocale().name(), QStringLiteral("en_US")})
        if (names.contains(wanted))
            return wanted;
    return names.first();
}

// --- Checker ----------------------------------------------------------------------

struct Checker::Impl {
    std::unique_ptr<Hunspell> hunspell;
    QString name;
    // Dictionaries are in the encoding their .aff file names; words pass to
    // and from hunspell in it.
    QByteArray encoding;
    QSet<QString> ignored;

    // Empty when the word has no form in the dictionary's encoding: then no
    // entry of it can match.
    std::optional<std::string> encode(const QString &word) const
    {
        QStringEncoder enc(encoding.constData());
        if (!enc.isValid())
            enc = QStringEncoder(QStringConverter::Utf8);
        const QByteArray bytes = enc.encode(word);
        if (enc.hasError())
            return std::nullopt;
        return bytes.toStdString();
    }
    QString decode(const std::string &bytes) const
    {
        QStringDecoder dec(encoding.constData());
        if (!dec.isValid())
            dec = QStringDecoder(QStringConverter::Utf8);
        return dec.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
};

Checker::Checker(const QString &name) : d_(std::make_unique<Impl>())
{
    const QString aff = affixFile(name);
    if (aff.isEmpty())
        return;
    const QString dic = aff.left(aff.size() - 4) + QStringLiteral(".dic");
    const QByteArray affPath = QFile::encodeName(aff);
    const QByteArray dicPath = QFile::encodeName(dic);
    d_->hunspell = std::make_unique<Hunspell>(affPath.constData(), dicPath.constData());
    d_->name = name;
    QByteArray encoding = QByteArray::fromStdString(d_->hunspell->get_dict_encoding()).trimmed();
    // Hunspell's names for ISO 8859 lack the hyphen Qt's converters want.
    if (encoding.startsWith("ISO8859"))
        encoding.insert(3, '-');
    d_->encoding = encoding.isEmpty() ? QByteArray("UTF-8") : encoding;
}

Checker::~Checker() = default;

bool Checker::isOpen() const { return d_->hunspell != nullptr; }

QString Checker::name() const { return d_->name; }

bool Checker::check(const QString &word) const
{
    if (!d_->hunspell)
        return false;
    if (d_->ignored.contains(word))
        return true;
    const auto bytes = d_->encode(word);
    return bytes && d_->hunspell->spell(*bytes);
}

QStringList Checker::suggest(const QString &word) const
{
    QStringList out;
    const auto bytes = d_->hunspell ? d_->encode(word) : std::nullopt;
    if (!bytes)
        return out;
    for (const std::string &s : d_->hunspell->suggest(*bytes))
        out << d_->decode(s);
    return out;
}

void Checker::ignore(const QString &word) { d_->ignored.insert(word); }

// --- words ------------------------------------------------------------------------

static bool isApostrophe(QChar c) { return c == u'\'' || c == QChar(0x2019); }

static bool inWord(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

Word nextWord(const QString &text, qsizetype from)
{
    qsizetype i = std::max<qsizetype>(from, 0);
    const qsizetype n = text.size();
    while (i < n) {
        if (!inWord(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        bool digit = false;
        while (i < n) {
            if (inWord(text[i])) {
                digit = digit || text[i].isDigit();
                ++i;
            } else if (isApostrophe(text[i]) && i + 1 < n && inWord(text[i + 1])) {
                ++i;
            } else {
                break;
            }
        }
        if (!digit)
            return {start, i - start};
    }
    return {n, 0};
}

// --- the dialog -------------------------------------------------------------------

namespace {

enum class Choice { Ignore, Change, Cancel };

// The dialog a person answers: the unknown word, the suggestions, and the word
// to put in its place.
class SpellingDialog : public QDialog {
public:
    SpellingDialog(const QString &word, const QStringList &suggestions, QWidget *parent) : QDialog(parent)
    {
        setWindowTitle(QStringLiteral("Spelling"));
        auto *grid = new QGridLayout(this);
        auto *notFoundLabel = new QLabel(QStringLiteral("Not in Dictionary:"), this);
        auto *notFound = new QLineEdit(word, this);
        notFound->setReadOnly(true);
        notFound->setAccessibleName(QStringLiteral("Not in Dictionary"));
        notFoundLabel->setBuddy(notFound);
        auto *changeLabel = new QLabel(QStringLiteral("Change &to:"), this);
        changeTo_ = new QLineEdit(suggestions.value(0, word), this);
        changeTo_->setAccessibleName(QStringLiteral("Change to"));
        changeLabel->setBuddy(changeTo_);
        auto *listLabel = new QLabel(QStringLiteral("&Suggestions:"), this);
        auto *list = new QListWidget(this);
        list->setAccessibleName(QStringLiteral("Suggestions"));
        list->addItems(suggestions);
        if (suggestions.isEmpty())
            list->addItem(QStringLiteral("(No Suggestions)"));
        list->setEnabled(!suggestions.isEmpty());
        listLabel->setBuddy(list);
        connect(list, &QListWidget::currentTextChanged, changeTo_, &QLineEdit::setText);
        connect(list, &QListWidget::itemDoubleClicked, this, [this] { finish(Choice::Change); });

        auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
        auto add = [&](const QString &caption, const QString &accessible, Choice choice) {
            QPushButton *b = buttons->addButton(caption, QDialogButtonBox::ActionRole);
            b->setAccessibleName(accessible);
            connect(b, &QPushButton::clicked, this, [this, choice] { finish(choice); });
            return b;
        };
        add(QStringLiteral("&Ignore"), QStringLiteral("Ignore"), Choice::Ignore)->setDefault(true);
        add(QStringLiteral("&Change"), QStringLiteral("Change"), Choice::Change);
        add(QStringLiteral("Cancel"), QStringLiteral("Cancel"), Choice::Cancel);

        grid->addWidget(notFoundLabel, 0, 0);
        grid->addWidget(notFound, 1, 0);
        grid->addWidget(changeLabel, 2, 0);
        grid->addWidget(changeTo_, 3, 0);
        grid->addWidget(listLabel, 4, 0);
        grid->addWidget(list, 5, 0);
        grid->addWidget(buttons, 0, 1, 6, 1);
    }
    Choice choice() const { return choice_; }
    QString changeTo() const { return changeTo_->text(); }

private:
    void finish(Choice c)
    {
        choice_ = c;
        accept();
    }
    QLineEdit *changeTo_ = nullptr;
    Choice choice_ = Choice::Cancel; // closing the window cancels
};

} // namespace

bool checkText(Checker &checker, QString &text)
{
    qsizetype pos = 0;
    for (;;) {
        const Word w = nextWord(text, pos);
        if (w.length == 0)
            return true;
        const QString word = text.mid(w.start, w.length);
        pos = w.start + w.length;
        if (checker.check(word))
            continue;
        const QStringList suggestions = checker.suggest(word);

        answers::Question q;
        q.kind = QStringLiteral("dialog");
        q.title = QStringLiteral("Spelling");
        q.text = QStringLiteral("Not in Dictionary: %1").arg(word);
        if (!suggestions.isEmpty())
            q.text += QStringLiteral("\r\nSuggestions: ") + suggestions.join(QStringLiteral(", "));
        q.buttons = {QStringLiteral("Ignore"), QStringLiteral("Change"), QStringLiteral("Cancel")};
        q.defaultAnswer = QStringLiteral("Ignore");
        // A person's typed word is taken as it stands, even one that reads like a
        // button's name.
        bool typed = false;
        const QString answer = answers::ask(q, [&]() -> QString {
            if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
                return q.defaultAnswer;
            SpellingDialog dlg(word, suggestions, QApplication::activeWindow());
            dlg.exec();
            switch (dlg.choice()) {
            case Choice::Ignore:
                return QStringLiteral("Ignore");
            case Choice::Cancel:
                return QStringLiteral("Cancel");
            case Choice::Change:
                typed = true;
                return dlg.changeTo();
            }
            return QStringLiteral("Cancel");
        });

        QString replacement;
        if (typed) {
            replacement = answer;
        } else {
            const QString a = answer.trimmed();
            if (a.isEmpty() || a.compare(QLatin1String("Cancel"), Qt::CaseInsensitive) == 0)
                return false;
            if (a.compare(QLatin1String("Ignore"), Qt::CaseInsensitive) == 0) {
                checker.ignore(word);
                continue;
            }
            replacement = a.compare(QLatin1String("Change"), Qt::CaseInsensitive) == 0 ? suggestions.value(0, word)
                                                                                         : answer;
        }
        text.replace(w.start, w.length, replacement);
        // The replacement is the user's choice: it is not checked again.
        pos = w.start + replacement.size();
    }
}

} // namespace vt::spelling
