// libFuzzer target for the .xlsx reader: any bytes as a workbook file must
// read without a crash, a hang or unbounded memory, as a workbook or as a
// refusal with a reason.
#include "platform/spreadsheet_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
QString workFile;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // The reader takes a path: each input is written to one file of this process.
    workFile = QDir::temp().filePath(QStringLiteral("vtfuzz-%1.xlsx").arg(QCoreApplication::applicationPid()));
    std::atexit([] { QFile::remove(workFile); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile f(workFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char *>(data), qint64(size));
    f.close();
    vt::xl::BookData book;
    QString error;
    if (!vt::xl::readXlsx(workFile, &book, &error) && error.isEmpty()) {
        std::fprintf(stderr, "refused without a reason\n");
        std::abort();
    }
    return 0;
}
