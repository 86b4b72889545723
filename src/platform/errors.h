// Run-time errors as the program's procedures see them: a number and a
// description, a pending-error slot that error traps read, and guards that keep
// any failure from reaching the Qt event loop.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>

namespace vt {

// A run-time error raised by a procedure or by a platform layer.
struct RtError : std::exception {
    int number = 0;
    QString description;
    QString source;
    RtError(int n, QString desc = {}, QString src = {});
    const char *what() const noexcept override;

private:
    std::string what_;
};

// The platform's standard description of an error number ("Type mismatch" for
// 13 ...); "Application-defined or object-defined error" for unknown numbers.
QString errDescription(int number);

// Raise error `number`; an empty description takes the standard one.
[[noreturn]] void raise(int number, const QString &description = {}, const QString &source = {});

// The pending error, which error traps and errLoc read. Cleared explicitly.
struct ErrObject {
    int Number = 0;
    QString Description;
    QString Source;
    void Clear() { Number = 0; Description.clear(); Source.clear(); }
    void set(const RtError &e) { Number = e.number; Description = e.description; Source = e.source; }
    [[noreturn]] void Raise(int n, const QString &d = {}, const QString &s = {}) { raise(n, d, s); }
};
inline ErrObject Err;

// Runs body; an RtError or other exception becomes the pending error and the
// function returns false ("On Error GoTo trap"). Returns true on success and
// leaves Err untouched.
bool trapErrors(const std::function<void()> &body);

// Runs each step in turn, recording a failure in Err and going on with the next
// ("On Error Resume Next"). Returns the number of steps that failed.
class ResumeNext {
public:
    void operator()(const std::function<void()> &step);
    int failures() const { return failures_; }
private:
    int failures_ = 0;
};

// Who reports a trapped error to the user: the shell registers its error
// reporter (errLoc) at start-up; before that the report goes to stderr.
using ErrorReporter = std::function<void(const QString &location)>;
void setErrorReporter(ErrorReporter reporter);
void reportError(const QString &location);

// For event handlers and timer slots: runs body; whatever it throws is made the
// pending error, reported with `location`, and swallowed. Returns true when the
// body finished without error.
bool guarded(const QString &location, const std::function<void()> &body);

} // namespace vt
