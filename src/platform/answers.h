// The answering seam: every modal box, dialog and question of the program
// passes through ask(). A person at the screen gets the real window; a test or
// a script gets its answer from a queue, and no call ever blocks.
//
// Scripted mode is on when $VANTRELL_ANSWERS names a file, or when a test turns
// it on (reset()). Answers are matched in this order: the in-process queue,
// then the file (read afresh at every question). A plain line is taken in
// order; a line "fragment<TAB>answer" answers the first question whose kind,
// title or text contains the fragment (case-insensitive). Each line answers one
// question. A question with no answer left takes its default and is logged as
// unanswered. $VANTRELL_ASKLOG names a file to which each question is appended.
//
// Answers: a button name for a box (Yes, No, Cancel, OK, Retry, Abort, Ignore);
// a path for a file dialog (several paths separated by '|'; empty or "Cancel"
// cancels); a value for other dialogs (font "Name,Size[,bold][,italic]...",
// colour "#rrggbb" or a colour number, margins "l,t,r,b" ...).
// The common dialogs' forms in full (font effects and colour, margins in
// thousandths of an inch or with "mm"/"in", printer settings) are listed in
// platform/commondlg.h; an unanswered common dialog is cancelled.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace vt::answers {

struct Question {
    QString kind;          // box, open, save, font, color, page, printer, dialog
    QString title;
    QString text;
    QStringList buttons;   // for boxes: Yes, No, Cancel, OK, Retry, Abort, Ignore
    QString defaultAnswer; // the default button's name, or a dialog's default value
    QString icon;          // Critical, Question, Exclamation, Information or empty
};

struct Record {
    Question question;
    QString answer;
    bool answered = false; // false: nothing was queued, the default was taken
};

// True when questions are answered from the queue/file instead of a person.
bool scripted();

// Asks. In scripted mode returns the queued answer (or the default); else
// calls `interactive` (which shows the real window and returns its answer).
// Every question is recorded and, with $VANTRELL_ASKLOG, appended to that file.
QString ask(const Question &q, const std::function<QString()> &interactive);

// --- for tests -------------------------------------------------------------
// Clears the queue and the record of questions and turns scripted mode on.
void reset();
void setScripted(bool on);
// Queues a plain answer (taken in order) or a keyed one.
void queue(const QString &answer);
void queueKeyed(const QString &fragment, const QString &answer);
// Everything asked since reset(), oldest first.
const QList<Record> &asked();
// The last question asked (empty record when none).
Record last();
int pending();

} // namespace vt::answers
