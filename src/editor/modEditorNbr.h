// The CFile editor's links: what it uses of the editor tools above it (the
// default document formats and the find dialog), reached through an interface
// that the tools install at start-up, and the editor's own installation into
// the shell's start-up and shutdown.
#pragma once

#include <cstdint>

namespace vt {

class ToolsNbr {
public:
    virtual ~ToolsNbr() = default;
    // Flags of the default format records: 1 = apply to every new CFile.
    virtual int16_t FormatSetDefalt() { return 0; }
    virtual int16_t MargDefalt() { return 0; }
    virtual int16_t TabDefalt() { return 0; }
    // The default background colour (colour number, blue byte high).
    virtual uint32_t FontBackColor() { return 0xFFFFFFu; }
    // Apply the default font, margins and tab stops to the active CFile.
    virtual void setDocFrmt() {}
    virtual void setDocMarg() {}
    virtual void setDocTabs() {}
    // Copies the active CFile's selection format into the default font record.
    virtual void saxDocFmt() {}
    // The find dialog's remembered position is no longer valid.
    virtual void badFocus() {}
};

ToolsNbr &nbrTools();
// Installs the editor tools (the caller keeps ownership); nullptr puts the
// stand-in back, which applies nothing.
void installTools(ToolsNbr *impl);

// Hands the CFile editor to the shell: the first CFile of start-up, the file
// named on the command line, the view settings, the File menu and the close
// of every CFile before the main window goes.
void installEditorSubsystem();

} // namespace vt
