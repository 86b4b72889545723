#include "shell/modStartNbrs.h"

namespace vt {

namespace {
template <class T>
struct Slot {
    T standIn;
    T *impl = nullptr;
    T &get() { return impl ? *impl : standIn; }
};
Slot<NotesNbr> notes;
Slot<EditorNbr> editor;
Slot<ExportNbr> exporter;
} // namespace

NotesNbr &nbrNotes() { return notes.get(); }
void installNotes(NotesNbr *impl) { notes.impl = impl; }
EditorNbr &nbrEditor() { return editor.get(); }
void installEditor(EditorNbr *impl) { editor.impl = impl; }
ExportNbr &nbrExport() { return exporter.get(); }
void installExport(ExportNbr *impl) { exporter.impl = impl; }

} // namespace vt
