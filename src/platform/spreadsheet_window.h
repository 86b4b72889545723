// The spreadsheet program's window: shows the active workbook of one
// application (sheet tabs, the grid with its formats and results, hidden rows
// and columns, the active cell, zoom and frozen panes), lets the user edit a
// cell, save, save as, close the workbook and quit, and raises the
// application's events on the way.
#pragma once

#include "platform/spreadsheet.h"

#include <QMainWindow>

namespace vt::xl {

class SpreadsheetWindow : public QMainWindow {
    Q_OBJECT
public:
    static SpreadsheetWindow *create(const AppPtr &app);
    ~SpreadsheetWindow() override;
    // Shows, hides, minimises or maximises the window as the application says.
    void applyVisibility();

private:
    explicit SpreadsheetWindow(const AppPtr &app);
    std::weak_ptr<Application> app_;
};

} // namespace vt::xl
