// The editor tools as the CFile editor reaches them: the dialogs the main
// window opens on the active CFile.
#pragma once

namespace vt {

// Installs the editor tools into the CFile editor.
void installEditorTools();

} // namespace vt
