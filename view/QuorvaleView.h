#pragma once

#include <QImage>
#include <QPoint>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "document/DocLinks.h"
#include "document/FossilScroll.h"
#include "document/QuorvaleDoc.h"
#include "view/Clock.h"
#include "view/ViewGeometry.h"

class QPainter;

// Stops the offspring reveal when set (Esc, or Repeat switched off).
extern bool g_bAbortReveal;

// The one view: shows the document in its mode, turns the mouse into breeding and drives
// Repeat. It keeps a client-sized screen image that stands for the window's pixels: repaints
// render the mode into it in one step, animations draw straight into it.
class CQuorvaleView : public QWidget, public IViewLink {
    Q_OBJECT

public:
    explicit CQuorvaleView(CQuorvaleDoc* doc, QWidget* parent = nullptr);
    ~CQuorvaleView() override;

    CQuorvaleDoc* GetDocument() const { return m_pDoc; }
    void SetClock(IClock* clock) {
        m_pClock = clock ? clock : &m_systemClock;
        m_dwLastStepTick = m_pClock->TickCount();
    }
    IClock& Clock() { return *m_pClock; }

    // IViewLink
    void SetFamilyTool(int tool) override { m_nFamilyTool = tool; }
    void SetGridSize(int cols, int rows) override;
    void SetFirstFossil(int first) override { m_nFirstFossil = first; }
    void SetLastEvolve(int evolve) override { m_nLastEvolve = evolve; }
    void SetMode(int mode) override;
    void FossilScrollRangeChanged() override;
    void UpdateAllViews() override { Invalidate(); }

    void OnInitialUpdate();
    void UpdateParentCell();

    // Geometry on client pixels.
    SGridGeometry Grid() const;
    SRect GridRect() const;
    SRect CellRectAt(int col, int row) const { return Grid().CellRectAt(col, row); }
    SRect CellRect(int index) const;
    CBioMorph* ListMorph(int index) const;
    CBioMorph* CellMorph(int cell) const;
    CBioMorph* MorphAt(QPoint point) const;
    SRect ClientRect() const { return {0, 0, width(), height()}; }
    int VScrollWidth() const;

    // Drawing.
    // Threads a repaint's grid cells are drawn on; 0: one per core.
    int m_nCellThreads = 0;
    void Invalidate();
    // Renders the mode into the screen image now (what a repaint shows).
    void OnDraw();
    // Prints the picture of the mode stretched into the printable rectangle.
    void OnDrawPrinter(QPainter& printer, const QRect& printable);
    // Pages of a print: the fossil history takes a page of grid cells each, other modes one.
    int PrintPageCount() const;
    // Prints pages from..to (1-based) onto a device whose painter is given, starting a new
    // page between them with newPage.
    void PrintPages(QPainter& painter, const QRect& printable, int from, int to,
                    const std::function<bool()>& newPage);
    void DrawGridLines(QPainter& p, QColor colour, const SRect& rect) const;
    void DrawCellFrames(QPainter& p) const;
    void DrawTriangle(QPainter& p, const SRect& rect);
    void DrawTrianglePoints(QPainter& p);
    void DrawFamilies(QPainter& p, int w, int h);
    void CollectFamilyRoots();
    // The window's pixels as last shown; drawn first if a repaint is pending.
    const QImage& ScreenImage();

    // Fossil history.
    void RecordFossil(const CBioMorph& morph);
    void SetFossilScrollRange();
    void ScrollFossils(EScrollRequest request, int position = 0);
    const SFossilScroll& FossilBar() const { return m_fossilBar; }
    QScrollBar* VScrollBar() const { return m_wndVScroll; }

    // Breeding and engineering.
    void BreedFromCell(int cell);
    void ShowBreedingScreen();
    void TakeChildGenome(int k);
    void EngineerClick();
    void StopRepeat();

    // Rows and columns of the grid (odd, 1..7 rows, 1..9 columns).
    void AddRows();
    void RemoveRows();
    void AddColumns();
    void RemoveColumns();

    // Clipboard: a picture of part of the view and, with a morph, its record.
    void CopyToClipboard(CBioMorph* morph, const SRect* rect);
    // Reads the morph on the clipboard into the given morph; false if there is none.
    bool PasteInto(CBioMorph& morph);
    bool ClipboardHasMorph() const;
    SRect ParentCellRect() const;

    // Family tree.
    void NewFamilyRoot();

    // Repeat.
    void RepeatStep();
    void RepeatLastEvolve();
    // One pass of the idle-time driver; true while Repeat runs in a mode that steps.
    bool RepeatDriver();
    // Schedules the driver for when the next step is due (called when the box changes).
    void ScheduleRepeat();

    // The frame shows the context menu; the view only reports where it was asked for.
    std::function<void(const QPoint& globalPos)> m_onContextMenu;
    // The frame's hooks for the cursor and the status of the gene bar's Repeat box.
    std::function<QCursor(int shape)> m_cursorForShape;
    // The error beep of refused family-tree actions (a test may count them).
    std::function<void()> m_beep;

    // Fields (client pixels; x = -20001 or right = -30000 mark "nothing on screen").
    SRect m_rcTravel{0, 0, -30000, 0};
    QPoint m_ptLastMouse{-1, -1};
    int m_nFirstFossil = 0;
    SPoint m_ptTriTop{}, m_ptTriLeft{}, m_ptTriRight{};
    SPoint m_ptRubber{-20001, 0};
    SPoint m_ptDragMark{-20001, 0};
    bool m_bCursorShown = true;
    SRect m_rcPrint{};
    int m_nCols = 5;
    int m_nRows = 3;
    int m_nParentCol = 2;
    int m_nParentRow = 1;
    int m_nParentCell = 7;
    CFamilyMorph* m_pCreateParent = nullptr;
    CFamilyMorph* m_pDragNode = nullptr;
    bool m_bRubberShown = false;
    bool m_bSkipClick = false;
    uint32_t m_dwLastStepTick = 0;
    int m_nFamilyTool = 0;
    int m_nCursorShape = 0;
    bool m_bDragFirstMove = false;
    QSize m_szDragOffset;
    bool m_bTriangleDirty = true;
    SPoint m_ptTriClick{-20001, 0};
    bool m_bFirstUpdate = true;
    std::unique_ptr<QImage> m_pTriangleBitmap;
    std::unique_ptr<QImage> m_pFamilyBitmap;
    std::vector<CFamilyMorph*> m_aFamilyRoots;
    QPoint m_ptContextMenu;
    QScrollBar* m_wndVScroll = nullptr;
    QScrollBar* m_wndHScroll = nullptr;
    int m_nLastEvolve = evolveNone;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void EnsureScreen();
    QImage NewPicture() const;
    void RenderPicture(QImage& picture, bool bPrinting);
    void DrawGrid(QPainter& p);
    // Draws a morph centred in a cell, clipped to the cell shrunk by inset pixels (a repaint
    // keeps the frames clear; the breeding animation clips to the cell itself).
    void DrawMorphInCell(QPainter& p, CBioMorph& morph, const SRect& r, int inset);
    void ShowScreen();
    void DiscardMouseInput();
    bool CheckEscape();
    void TravelBox(int x0, int y0, int x1, int y1, int n);
    void RevealOffspring(int px, int py);
    void FlashLine(int x0, int y0, int x1, int y1, int ms);
    void DrawTravelOutline(QPainter& p);
    void TriangleMouseMove(QPoint point);
    void TriangleLeave();
    void FamilyPress(QPoint point);
    void FamilyMove(QPoint point);
    void FamilyRelease(QPoint point);
    void DrawDragOutline(QPainter& p, SPoint centre, int bw, int bh,
                         const std::vector<SPoint>& ends);
    void UpdateCursor(QPoint point);
    void SyncScrollBar();

    CQuorvaleDoc* m_pDoc;
    CSystemClock m_systemClock;
    IClock* m_pClock = &m_systemClock;
    QImage m_imgScreen;
    bool m_bNeedsDraw = true;
    bool m_bInStep = false;
    bool m_bAnimating = false;
    int m_nWheelDelta = 0;
    SFossilScroll m_fossilBar;
    QTimer m_repeatTimer;
};
