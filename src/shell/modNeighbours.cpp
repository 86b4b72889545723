#include "shell/modNeighbours.h"

#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "platform/progfolder.h"
#include "shell/modMain.h"
#include "shell/modBusy.h"
#include "shell/modStartNbrs.h"

namespace vt {

namespace {

template <class T>
struct Slot {
    T standIn;
    T *installed = nullptr;
    T &get() { return installed ? *installed : standIn; }
};

// One slot per interface, made on first use so that a subsystem may install
// itself from any static initialiser.
template <class T>
Slot<T> &slot()
{
    static Slot<T> s;
    return s;
}

} // namespace

QString SerialNbr::deviceText() { return deviceEntry(Device); }

bool NotesNbr::showVipNotes()
{
    return GetSettingInt(AppTitle, QStringLiteral("frmVipNotes"), QStringLiteral("ShowVipNotes"), 1) == 1;
}

void NotesNbr::setShowVipNotes(bool on)
{
    SaveSetting(AppTitle, QStringLiteral("frmVipNotes"), QStringLiteral("ShowVipNotes"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

SerialNbr &nbrSerial() { return slot<SerialNbr>().get(); }
void installSerial(SerialNbr *impl) { slot<SerialNbr>().installed = impl; }
ChronoNbr &nbrChrono() { return slot<ChronoNbr>().get(); }
void installChrono(ChronoNbr *impl) { slot<ChronoNbr>().installed = impl; }
namespace {
// The proposed capture-log name while no panel keeps it; empty until first asked.
QString proposedLogPath;
QString proposedLogFile;
} // namespace

QString RemoteNbr::hwrCLogPath()
{
    if (proposedLogPath.isEmpty())
        proposedLogPath = programFolder() + u'/';
    return proposedLogPath;
}

QString RemoteNbr::hwrCLogFile()
{
    if (proposedLogFile.isEmpty())
        proposedLogFile = QStringLiteral("vantlogs") + QString::number(AppNum) + QStringLiteral(".txt");
    return proposedLogFile;
}

void RemoteNbr::setHwrCLogName(const QString &path, const QString &file)
{
    proposedLogPath = path;
    proposedLogFile = file;
}

RemoteNbr &nbrRemote() { return slot<RemoteNbr>().get(); }
void installRemote(RemoteNbr *impl) { slot<RemoteNbr>().installed = impl; }
NotesNbr &nbrNotes() { return slot<NotesNbr>().get(); }
void installNotes(NotesNbr *impl) { slot<NotesNbr>().installed = impl; }
EditorNbr &nbrEditor() { return slot<EditorNbr>().get(); }
void installEditor(EditorNbr *impl) { slot<EditorNbr>().installed = impl; }
ExportNbr &nbrExport() { return slot<ExportNbr>().get(); }
void installExport(ExportNbr *impl) { slot<ExportNbr>().installed = impl; }

void keyPadCode(int16_t &KeyCode, int16_t &Shift)
{
    SerialNbr &link = nbrSerial();
    if (Device != 0 || !link.linkPortOpen())
        return;
    char letter = 0;
    if (Shift == 0) {
        switch (KeyCode) {
        case vbKeyUp: letter = 'U'; break;
        case vbKeyDown: letter = 'D'; break;
        case vbKeyLeft: letter = 'L'; break;
        case vbKeyRight: letter = 'R'; break;
        case vbKeyDelete: letter = '^'; break;
        case vbKeyBack: letter = '\\'; break;
        case vbKeyPageUp: letter = 'K'; break;
        case vbKeyPageDown: letter = 'O'; break;
        default: break;
        }
    } else if (Shift == vbAltMask) {
        if (KeyCode == vbKeyDelete)
            letter = '_';
        else if (KeyCode == vbKeyBack)
            letter = ']';
    }
    if (!letter)
        return;
    // Clearing bit 6 turns the letter into its control character (U -> 0x15).
    link.linkOutput(QString(QChar(letter & ~0x40)));
    KeyCode = 0;
}

} // namespace vt
