// A main window with the CFile editor installed, for the editor's tests, with
// recording stand-ins for the neighbours the CFile windows call: the link
// port, the remote-control panel and the numbered notes.
#pragma once

#include "shell/modNeighbours.h"
#include "shell/modStartNbrs.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace vt {
class RichTextBox;
}

namespace vttest {

struct FakeSerial : vt::SerialNbr {
    bool open = false;
    QString sent;
    bool linkPortOpen() override { return open; }
    void linkOutput(const QString &text) override { sent += text; }
    bool putTrmChr(int16_t &KeyAscii) override
    {
        if (!open)
            return false;
        sent += QChar(KeyAscii);
        KeyAscii = 0;
        return true;
    }
};

struct FakeRemote : vt::RemoteNbr {
    int refreshes = 0;
    QList<int> panes;
    void RefreshCFile() override { ++refreshes; }
    void seeZOvuFra(int16_t pane) override { panes << pane; }
    int relayouts = 0;
    void soxMore() override { ++relayouts; }
};

struct FakeNotes : vt::NotesNbr {
    QList<QPair<int, int>> notes;
    QList<int> questions;
    int16_t answer = 6;
    void seeMsgNote(int16_t n, int16_t sub) override { notes << qMakePair(int(n), int(sub)); }
    int16_t askMsgNote(int16_t n, int16_t) override
    {
        questions << n;
        return answer;
    }
    int relayouts = 0;
    void soxMore() override { ++relayouts; }
};

struct EditorFakes {
    FakeSerial serial;
    FakeRemote remote;
    FakeNotes notes;
};

// Fresh fakes, module state at its start values, the answering seam scripted,
// the editor installed and the main window loaded, shown and active.
EditorFakes &startEditor();
// Closes every CFile without a question, unloads the main window and puts the
// stand-ins back.
void stopEditor();

// A new CFile holding text; its text box.
vt::RichTextBox *newCFile(const QString &text);
// Triggers the main window's menu item of that name, enabled first, for the
// cases where its state does not matter.
void triggerItem(const char *item);

// Texts of every box asked since startEditor().
QStringList boxTexts();

} // namespace vttest
