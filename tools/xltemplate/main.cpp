// Writes the program's workbook template and its pristine copy into the
// folder given on the command line (the build runs it).
#include "export/xltemplate.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    // Always written afresh, so that a change of the layout reaches the build.
    QFile::remove(QDir(folder).filePath(vt::XlPristineName));
    QFile::remove(QDir(folder).filePath(vt::XlTemplateName));
    QString error;
    if (!vt::seedXlTemplate(folder, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
