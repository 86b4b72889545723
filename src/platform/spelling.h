// Spelling: checks words against a hunspell dictionary installed on the
// system, and the spelling dialog that walks through a text's unknown words.
//
// Dictionaries are pairs NAME.aff + NAME.dic in /usr/share/hunspell, or in the
// folders listed in $VANTRELL_DICTIONARIES (separated by ':') when it is set;
// an empty folder there means no dictionary is installed.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

namespace vt::spelling {

QStringList dictionaryFolders();
// Names ("en_US") of the dictionaries with both files present, sorted.
QStringList installedDictionaries();
// The dictionary for the user's locale, else en_US, else the first installed;
// empty when none is installed.
QString preferredDictionary();

class Checker {
public:
    // Opens the named dictionary (by default the preferred one); isOpen() says
    // whether that worked.
    explicit Checker(const QString &name = preferredDictionary());
    ~Checker();
    Checker(const Checker &) = delete;
    Checker &operator=(const Checker &) = delete;

    bool isOpen() const;
    QString name() const;
    // True when the dictionary knows the word or it was ignored.
    bool check(const QString &word) const;
    QStringList suggest(const QString &word) const;
    // Accepts the word for the rest of this checker's life.
    void ignore(const QString &word);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

struct Word {
    qsizetype start = 0;
    qsizetype length = 0; // 0: no further word
};
// The next word at or after `from`: a run of letters and digits, apostrophes
// inside it included. Runs holding a digit ("KT4", "12.5") are not words and
// are passed over.
Word nextWord(const QString &text, qsizetype from);

// Walks through the unknown words of `text`, asking for each (a "dialog"
// question titled "Spelling", buttons Ignore, Change and Cancel, default
// Ignore). The answer "Ignore" keeps the word and accepts it for the rest of
// the check, "Change" takes the first suggestion, "Cancel" (or nothing) stops,
// and any other answer is the word to put in its place. Returns false when the
// check was cancelled; the changes made before stay in `text`.
bool checkText(Checker &checker, QString &text);

} // namespace vt::spelling
