#include "remote/modRemCmds.h"

#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace vt {

namespace {
const QString kFileName = QStringLiteral("vantcmds.ini");
}

RemCmdLine parseRemCmdLine(const QString &line)
{
    RemCmdLine r;
    if (line.size() <= 7 || line.startsWith(QStringLiteral("......."))) {
        r.skipped = true;
        return r;
    }
    if (line.at(0) != u'.')
        r.errSum += 10;
    const int list = line.at(1).unicode() - u'0';
    if (list < 0 || list > 3)
        r.errSum += 100;
    bool ok = false;
    const double indentVal = line.mid(4, 2).trimmed().toDouble(&ok);
    if (!ok)
        throw RtError(13, QStringLiteral("Type mismatch"));
    const int indent = int(std::floor(indentVal));
    if (indent < 0)
        throw RtError(5, QStringLiteral("Invalid procedure call or argument"));
    if (indent > 40)
        r.errSum += 1000;
    int code = line.at(3).unicode() & 0xFF;
    if (line.at(2) == u'1')
        code &= 191;
    r.entry.list = int16_t(list);
    r.entry.code = int16_t(code);
    r.entry.label = QString(indent > 40 ? 0 : indent, u' ') + line.mid(7);
    return r;
}

QString remCmdsPath()
{
    if (QFileInfo::exists(kFileName))
        return QDir::current().absoluteFilePath(kFileName);
    return QDir(programFolder()).filePath(kFileName);
}

QList<RemCmdEntry> readRemCmds(const QString &path)
{
    QList<RemCmdEntry> entries;
    int counts[4] = {};
    int errSum = 0;
    QString line;
    QFile file(path);
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw RtError(53, QStringLiteral("File not found"));
        while (!file.atEnd()) {
            QByteArray raw = file.readLine();
            while (raw.endsWith('\n') || raw.endsWith('\r'))
                raw.chop(1);
            line = QString::fromLatin1(raw);
            const RemCmdLine r = parseRemCmdLine(line);
            if (r.skipped)
                continue;
            errSum = r.errSum;
            if (errSum == 0) {
                entries << r.entry;
                if (++counts[r.entry.list] > kRemCmdListMax)
                    errSum += 10000;
            }
            if (errSum > 0) {
                file.close();
                MsgBox(QStringLiteral("RemCtr-Err:") + QString::number(errSum) + QStringLiteral(" Str:") + line,
                       vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
                return entries;
            }
        }
    } catch (const RtError &) {
        file.close();
        MsgBox(QStringLiteral("File: ") + kFileName + QStringLiteral(" Err:") + QString::number(errSum)
                   + QStringLiteral("\r\nInput:(") + line + u')',
               vbOKOnly);
    }
    return entries;
}

} // namespace vt
