// "Print Preview": the active CFile page by page on a Letter-size sheet with
// the print margins, drawn by the rich-text box's own page formatter, shown
// at one of eight zoom steps, with page setup and printing of the page shown.
#pragma once

#include "platform/forms.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace vt {

class RichTextBox;

// A picture box that measures in twips and keeps what is drawn on it: its
// image survives repainting and can be copied. The image has kDpi dots to
// the inch whatever the screen shows.
class PagePicture : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDpi = 192;
    explicit PagePicture(QWidget *parent = nullptr);

    QImage image;
    int widthTwips() const { return widthTwips_; }
    int heightTwips() const { return heightTwips_; }
    // A new size: the widget takes it on screen, the image at kDpi, cleared.
    void setSizeTwips(int width, int height);
    // The widget's size only, for an image that was scaled to it.
    void setShownTwips(int width, int height);
    void Cls();                                // clears the image to white
    void moveTwips(int left, int top);         // within its parent

signals:
    void mouseDown(int button);                // 1 left, 2 right, 4 middle
    void clicked();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    int widthTwips_ = 0;
    int heightTwips_ = 0;
    bool pressed_ = false;
};

class frmXBoxPrn : public QWidget, public SharedForm<frmXBoxPrn> {
    Q_OBJECT
public:
    frmXBoxPrn();
    ~frmXBoxPrn() override;
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;

    // Shows the preview modally over the main window (File > Print > Preview).
    static void showDialog();

    // --- controls ---------------------------------------------------------
    QWidget *picXBox = nullptr;                // clips the page shown
    PagePicture *picZ = nullptr;               // the page shown, zoomed
    PagePicture *picX = nullptr;               // hidden work page at 100 %
    PagePicture *picP = nullptr;               // hidden print copy at 100 %
    PagePicture *picU[3] = {};                 // hidden, unused
    QGroupBox *fraPageNum = nullptr;
    QGroupBox *fraPages = nullptr;
    QToolButton *cmdPrevPage = nullptr;
    QToolButton *cmdNextPage = nullptr;
    QLineEdit *txtPage = nullptr;
    QLineEdit *txtTotalPages = nullptr;
    QLabel *lblPage = nullptr;
    QGroupBox *frmZoom = nullptr;
    QGroupBox *fraZoom = nullptr;
    QToolButton *cmdZoomIn = nullptr;
    QToolButton *cmdZoomOut = nullptr;
    QLabel *txtZoom = nullptr;
    QComboBox *cboZoom = nullptr;
    QGroupBox *frmControl = nullptr;
    QPushButton *cmdPageSetup = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;
    QScrollBar *HScroX = nullptr;
    QScrollBar *VScroY = nullptr;
    // Hidden: nothing shows them.
    QPushButton *cmdLayout[2] = {};
    QPushButton *cmdPrnter = nullptr;
    QGroupBox *fraControls = nullptr;
    QGroupBox *fraMorCmd = nullptr;

    // --- window state -----------------------------------------------------
    int16_t prvOrient = 1;                     // 1 portrait, 2 landscape
    bool prvReady = false;
    int16_t zoomDir = 1;                       // 1 in, 0 out
    int16_t zoomIdx = 4;
    int16_t zoomMin = 0;
    int16_t zoomMax = 7;
    int16_t zoomVals[9] = {};                  // thousandths
    int16_t pagCount = 1;
    int16_t pagCur = 1;
    int boxTop0 = 0;                           // pixels
    QRect prvMargRect;                         // twips
    QRect prvPageRect;                         // twips
    int prvTextLen = 0;
    int prvNextChr = 0;
    // The last count found a page without room for one line.
    bool prvNoRoom = false;

    // --- procedures ---------------------------------------------------------
    void SizeDoc(int16_t &orientation);
    void SizeScrolls();
    int16_t getPagCnt(PagePicture *page);
    void getPagPrnImg(PagePicture *page, int16_t &pageNumber);
    void savPrnImg(PagePicture *source, PagePicture *dest);

    // --- event handlers -----------------------------------------------------
    void Form_Resize();
    void cboZoom_Click();
    void cmdZoomIn_Click();
    void cmdZoomOut_Click();
    void picZ_MouseDown(int button);
    void picZ_Click();
    void HScroX_Change();
    void VScroY_Change();
    void cmdPrevPage_Click();
    void cmdNextPage_Click();
    void cmdPageSetup_Click();
    void cmdPrint_Click();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    // The window's parts: the frames across the top, left to right, then
    // what lies below them, made in the order a user tabs through them.
    QGroupBox *buildPageNumFrame(QWidget *bar);  // previous and next page, the page number and the count
    QGroupBox *buildZoomFrame(QWidget *bar);     // zoom in and out, and the zoom level list
    QGroupBox *buildControlsFrame(QWidget *bar); // Setup, Print and Close
    void buildHiddenControls();                  // the buttons and frames nothing shows
    void buildPageArea();                        // the page box, the page pictures and the scroll bars
    void wireHandlers();                         // each control's event to its handler

    void iniPrvLayout();
    bool zoomPrnImg(PagePicture *source, PagePicture *dest, int16_t step);
    void drwMargLines(PagePicture *page);
    void goPage();
    // Renders the current page, marks its margins and shows it at the current zoom.
    void showCurPage();
    void seePageBtns();
    void rfsPreview();
    void drawPattern(PagePicture *page);
    void drwNoRoom(PagePicture *page);
    // The rendering record for a page picture; false when no CFile is open.
    bool fillRecord(PagePicture *page);
    // Lets events run between pages; false when the paging must stop.
    bool pagingGoesOn();
    void zoomStep(bool in);
    void doClose();

    QPointer<RichTextBox> box_;                // the document being paged
    int paging_ = 0;                           // a count or render is running
    bool closeWanted_ = false;
    // Where each page starts, from the last count, for the rectangle and text
    // length it was counted with; showing page N then formats that page only.
    std::vector<int> pageStarts_;
    QRect startsRect_;
    int startsLen_ = -1;
};

} // namespace vt
