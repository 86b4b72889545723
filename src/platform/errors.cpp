#include "platform/errors.h"

#include <QHash>
#include <cstdio>

namespace vt {

RtError::RtError(int n, QString desc, QString src)
    : number(n), description(desc.isEmpty() ? errDescription(n) : std::move(desc)), source(std::move(src))
{
    what_ = QStringLiteral("Error %1: %2").arg(number).arg(description).toStdString();
}

const char *RtError::what() const noexcept { return what_.c_str(); }

QString errDescription(int number)
{
    static const QHash<int, QString> table = {
        {3, QStringLiteral("Return without GoSub")},
        {5, QStringLiteral("Invalid procedure call or argument")},
        {6, QStringLiteral("Overflow")},
        {7, QStringLiteral("Out of memory")},
        {9, QStringLiteral("Subscript out of range")},
        {11, QStringLiteral("Division by zero")},
        {13, QStringLiteral("Type mismatch")},
        {28, QStringLiteral("Out of stack space")},
        {52, QStringLiteral("Bad file name or number")},
        {53, QStringLiteral("File not found")},
        {54, QStringLiteral("Bad file mode")},
        {55, QStringLiteral("File already open")},
        {57, QStringLiteral("Device I/O error")},
        {58, QStringLiteral("File already exists")},
        {61, QStringLiteral("Disk full")},
        {62, QStringLiteral("Input past end of file")},
        {68, QStringLiteral("Device unavailable")},
        {70, QStringLiteral("Permission denied")},
        {71, QStringLiteral("Disk not ready")},
        {75, QStringLiteral("Path/File access error")},
        {76, QStringLiteral("Path not found")},
        {91, QStringLiteral("Object variable or With block variable not set")},
        {321, QStringLiteral("Invalid file format")},
        {380, QStringLiteral("Invalid property value")},
        {424, QStringLiteral("Object required")},
        {429, QStringLiteral("ActiveX component can't create object")},
        {438, QStringLiteral("Object doesn't support this property or method")},
        {1004, QStringLiteral("Application-defined or object-defined error")},
        {8002, QStringLiteral("Invalid port number")},
        {8005, QStringLiteral("Port already open")},
        {8012, QStringLiteral("The device is not open")},
        {8015, QStringLiteral("Could not set comm state")},
        {8018, QStringLiteral("Operation valid only when the port is open")},
        {32755, QStringLiteral("Cancel was selected.")},
    };
    auto it = table.constFind(number);
    return it != table.constEnd() ? *it : QStringLiteral("Application-defined or object-defined error");
}

void raise(int number, const QString &description, const QString &source)
{
    throw RtError(number, description, source);
}

static void setFromCurrent()
{
    try {
        throw;
    } catch (const RtError &e) {
        Err.set(e);
    } catch (const std::bad_alloc &) {
        Err.set(RtError(7));
    } catch (const std::exception &e) {
        Err.set(RtError(5, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        Err.set(RtError(5));
    }
}

bool trapErrors(const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (...) {
        setFromCurrent();
        return false;
    }
}

void ResumeNext::operator()(const std::function<void()> &step)
{
    if (!trapErrors(step))
        ++failures_;
}

static ErrorReporter &reporterSlot()
{
    static ErrorReporter r;
    return r;
}

void setErrorReporter(ErrorReporter reporter) { reporterSlot() = std::move(reporter); }

void reportError(const QString &location)
{
    if (Err.Number == 0)
        return;
    try {
        if (reporterSlot()) {
            reporterSlot()(location);
            return;
        }
    } catch (...) {
        // A failing reporter must not take the program down; fall through.
    }
    std::fprintf(stderr, "Error %d: %s (%s)\n", Err.Number, qPrintable(Err.Description),
                 qPrintable(location));
}

bool guarded(const QString &location, const std::function<void()> &body)
{
    if (trapErrors(body))
        return true;
    reportError(location);
    return false;
}

} // namespace vt
