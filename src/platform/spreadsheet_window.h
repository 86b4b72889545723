// The spreadsheet program's window: shows the active workbook of one
// application (sheet tabs of the visible sheets, the grid with column letters
// and row numbers, formats and formula results, hidden rows and columns, the
// active cell, zoom and frozen panes), lets the user edit a cell, save, save
// as, close the workbook and quit, and raises the application's events on the
// way: a double-click asks SheetBeforeDoubleClick before it edits, closing a
// workbook or the window asks WorkbookBeforeClose. Questions go through the
// answering seam.
#pragma once

#include "platform/spreadsheet.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QFontMetrics;
class QLineEdit;
class QTabBar;
class QTableView;
class QGridLayout;

namespace vt::xl {

class SheetModel;

class SpreadsheetWindow : public QMainWindow {
    Q_OBJECT
public:
    static SpreadsheetWindow *create(const AppPtr &app);
    ~SpreadsheetWindow() override;
    // Shows, hides, minimises or maximises the window as the application says.
    void applyVisibility();
    // Brings the view in line with the workbook at once (otherwise it follows
    // at the next turn of the event loop).
    void refreshNow();

    // The parts, for tests: the main grid, the frozen top rows and left
    // columns (null without frozen panes), the tabs, the actions.
    QTableView *grid() const { return main_; }
    QTableView *frozenRows() const { return top_; }
    QTableView *frozenColumns() const { return left_; }
    QTabBar *tabs() const { return tabs_; }
    QLineEdit *formulaBar() const { return formula_; }
    QAction *saveAction() const { return save_; }
    QAction *saveAsAction() const { return saveAs_; }
    QAction *closeAction() const { return close_; }
    QAction *quitAction() const { return quit_; }
    // Follows a hyperlink: a page on disk is shown in the window's page
    // viewer (returned), anything else goes to the desktop.
    QWidget *followLink(const QString &address);
    // How a number that does not fit `room` pixels is shown.
    static QString fitNumber(double v, const QString &shown, bool general, const QFontMetrics &fm, int room);

protected:
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    explicit SpreadsheetWindow(const AppPtr &app);
    void scheduleRefresh();
    void rebuild();
    void layoutPanes(int splitRow, int splitCol);
    QTableView *makeView(const char *name);
    void cellDoubleClicked(const QModelIndex &index);
    void currentCellChanged(const QModelIndex &index);
    void showEntry(const SheetData &s, int row, int col);
    void tabChosen(int tab);
    void saveActive(bool saveAs);
    void closeActive();
    void quitApplication();
    BookPtr activeBook() const;
    AppPtr activeApp() const;

    std::weak_ptr<Application> app_;
    SheetModel *model_ = nullptr;
    QTabBar *tabs_ = nullptr;
    QLineEdit *formula_ = nullptr;
    QGridLayout *panes_ = nullptr;
    QTableView *main_ = nullptr, *top_ = nullptr, *left_ = nullptr, *corner_ = nullptr;
    QAction *save_ = nullptr, *saveAs_ = nullptr, *close_ = nullptr, *quit_ = nullptr;
    QPointer<QWidget> linkViewer_;
    bool pending_ = false;
    bool quiet_ = false;              // our own changes of the current cell
    bool applying_ = false;           // our own changes of the window state
};

} // namespace vt::xl
