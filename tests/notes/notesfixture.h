// A fresh notes window over a notes file of the test's own.
#pragma once

#include <QByteArray>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>

#include "notes/frmTip.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

namespace vttest {

inline QString notesFile() { return vt::programFolder() + QStringLiteral("/vantnots.ini"); }

inline void writeNotes(const QByteArray &bytes)
{
    QFile f(notesFile());
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

inline QByteArray readNotes()
{
    QFile f(notesFile());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

inline void unloadTip()
{
    if (vt::frmTip::isLoaded())
        vt::frmTip::instance()->unload(vt::vbFormCode);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Unloads the window, clears the program folder's notes files and the answers,
// writes bytes as the notes file (none when null) and loads the window.
inline vt::frmTip *loadTip(const QByteArray &bytes)
{
    unloadTip();
    QDir dir(vt::programFolder());
    for (const QString &f : dir.entryList({QStringLiteral("vantnots*")}, QDir::Files))
        dir.remove(f);
    vt::answers::reset();
    vt::DeleteSetting(vt::AppTitle, QStringLiteral("frmVipNotes"));
    vt::zapBizTable();
    vt::UserLevel = 1;
    vt::SoftTest = false;
    vt::Device = 0;
    vt::ShowWarnKT = true;
    if (!bytes.isNull())
        writeNotes(bytes);
    return vt::frmTip::get();
}

} // namespace vttest
