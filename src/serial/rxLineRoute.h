// Received text on its way into the CFile of Shoot mode, cut where the
// unit's lines begin and end, so that where the text goes changes only
// between two of its lines. A line under way when Shoot mode begins goes
// into the CFile from its first character, also when that character came
// while the command engine still held the line; a line under way when Shoot
// mode ends goes on into the CFile to its end. The unit leaves its prompt
// without a line end: the prompt ends a line too, and what follows it starts
// a line of its own in the CFile (the terminal shows the bytes as they came).
#pragma once

#include <QChar>
#include <QString>

namespace vt {

class RxLineRoute {
public:
    // One chunk for the CFile: `text` as the terminal box got it (or raw
    // without the terminal), `reachBack` backspaces that take characters from
    // before it, `shoot` whether Shoot mode is on. False when Shoot mode is on
    // and no CFile took the text.
    bool take(const QString &text, int reachBack, bool shoot);
    // The line under way is given up: the device went away or the port was
    // opened again, and what comes next starts afresh.
    void cut();

private:
    void eraseOne(bool shoot, bool &touched);

    bool open_ = false;       // a line of the unit's is under way ...
    bool inCFile_ = false;    // ... and has begun in the CFile
    qsizetype inLen_ = 0;     // its characters in the CFile
    QString pend_;            // its characters while it goes nowhere
    QString head_;            // its first characters, enough to know a prompt
    qsizetype len_ = 0;       // its length
    QChar endedBy_;           // the line end that closed the last line, while its pair may follow
    bool pairHalf_ = false;   // the line under way is the second half of such a pair
    bool endInCFile_ = false; // the last line went into the CFile
};

} // namespace vt
