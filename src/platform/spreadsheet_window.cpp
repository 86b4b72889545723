#include "platform/spreadsheet_window.h"

#include "platform/spreadsheet_data.h"

namespace vt::xl {

SpreadsheetWindow *SpreadsheetWindow::create(const AppPtr &app) { return new SpreadsheetWindow(app); }

SpreadsheetWindow::SpreadsheetWindow(const AppPtr &app) : app_(app) {}

SpreadsheetWindow::~SpreadsheetWindow() = default;

void SpreadsheetWindow::applyVisibility()
{
    AppPtr app = app_.lock();
    const bool show = app && !app->state().gone && app->state().visible;
    setVisible(show);
}

} // namespace vt::xl
