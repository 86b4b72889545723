#include "shell/modNeighbours.h"

#include "platform/keys.h"
#include "shell/modBusy.h"

namespace vt {

namespace {

template <class T>
struct Slot {
    T standIn;
    T *installed = nullptr;
    T &get() { return installed ? *installed : standIn; }
};

Slot<SerialNbr> &serialSlot()
{
    static Slot<SerialNbr> s;
    return s;
}
Slot<ChronoNbr> &chronoSlot()
{
    static Slot<ChronoNbr> s;
    return s;
}
Slot<RemoteNbr> &remoteSlot()
{
    static Slot<RemoteNbr> s;
    return s;
}

} // namespace

QString SerialNbr::deviceText() { return deviceEntry(Device); }

SerialNbr &nbrSerial() { return serialSlot().get(); }
void installSerial(SerialNbr *impl) { serialSlot().installed = impl; }
ChronoNbr &nbrChrono() { return chronoSlot().get(); }
void installChrono(ChronoNbr *impl) { chronoSlot().installed = impl; }
RemoteNbr &nbrRemote() { return remoteSlot().get(); }
void installRemote(RemoteNbr *impl) { remoteSlot().installed = impl; }

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
