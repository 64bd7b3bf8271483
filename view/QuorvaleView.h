#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "document/DocLinks.h"
#include "document/FossilScroll.h"
#include "document/QuorvaleDoc.h"
#include "view/Clock.h"
#include "view/GeneBarControls.h"
#include "view/ModeContext.h"
#include "view/ModeHandler.h"
#include "view/RepeatDriver.h"
#include "view/UndoHistory.h"
#include "view/ViewClipboard.h"
#include "view/ViewGeometry.h"

class QPainter;

// Stops the offspring reveal when set (Esc, or Repeat switched off).
extern bool g_bAbortReveal;
class CBreedMode;
class CEngineerMode;
class CFossilMode;
class CTriangleMode;
class CFamilyMode;
class CMorphDrag;

// The one view: shows the document in its mode and passes the mouse and keys to the handler
// of that mode. It keeps a client-sized screen image that stands for the window's pixels:
// repaints render the mode into it in one step, animations draw straight into it. The mode
// handlers see it only as their context; undo sees it only as its target.
class CQuorvaleView : public QWidget, public IViewLink, public IModeContext, public IUndoTarget {
    Q_OBJECT

public:
    explicit CQuorvaleView(CQuorvaleDoc* doc, QWidget* parent = nullptr);
    ~CQuorvaleView() override;

    CQuorvaleDoc& Doc() const override { return *m_pDoc; }
    void SetClock(IClock* clock);
    IClock& Clock() override { return *m_pClock; }
    // The gene bar's controls and the display of genes (null: none).
    void SetGeneBar(IGeneBarControls* bar) { m_pBar = bar ? bar : &m_noBar; }
    IGeneBarControls& Bar() const override { return *m_pBar; }
    void SetGeneDisplay(IGeneDisplay* display) { m_pGenes = display ? display : &m_noGenes; }
    IGeneDisplay& Genes() const override { return *m_pGenes; }

    // IViewLink
    void SetFamilyTool(EFamilyTool tool) override;
    void SetGridSize(int cols, int rows) override;
    void SetFirstFossil(int first) override;
    void SetLastEvolve(int evolve) override { m_nLastEvolve = evolve; }
    // Enters the handler of the mode the document is in (the document set it).
    void EnterMode(int mode) override;
    void FossilScrollRangeChanged() override;
    void UpdateAllViews() override { Invalidate(); }
    void StopRepeat() override;
    void DocumentReplaced() override;
    void CurrentChanged() override;
    void SpecialGenesChanged() override;

    // Switches the document to a mode and shows it.
    void SetMode(int mode);

    void OnInitialUpdate();

    // The grid, shared by the modes that show one.
    int ViewWidth() const override { return width(); }
    int ViewHeight() const override { return height(); }
    int Cols() const override { return m_nCols; }
    int Rows() const override { return m_nRows; }
    int ParentCell() const override { return m_nParentCell; }
    int ParentCol() const { return m_nCols / 2; }
    int ParentRow() const { return m_nRows / 2; }
    SGridGeometry Grid() const override;
    SRect GridRect() const;
    SRect CellRectAt(int col, int row) const { return Grid().CellRectAt(col, row); }
    SRect CellRect(int index) const override;
    SRect ParentCellRect() const;
    int VScrollWidth() const;
    // The morph of a list index in the mode's list (offspring or fossils), and of a cell.
    CBioMorph* ListMorph(int index) const override;
    CBioMorph* CellMorph(int cell) const override;
    CBioMorph* MorphAt(QPoint point) const override;

    // Drawing.
    void Invalidate() override;
    // Renders the mode into the screen image now (what a repaint shows).
    void OnDraw() override;
    // The window's pixels as last shown; drawn first if a repaint is pending.
    const QImage& ScreenImage();
    // The screen image for animations to draw on, and showing it at once.
    QImage& Screen() override { return m_imgScreen; }
    using IModeContext::ShowScreen;
    void ShowScreen(const QRect& changed) override;
    void ShowScreen(const QRegion& changed) override;
    void EnsureScreen() override;
    bool NeedsDraw() const override { return m_bNeedsDraw; }
    void MarkDrawn() override { m_bNeedsDraw = false; }
    QImage NewPicture() const override;
    void UpdateRect(const QRect& rect) override { update(rect); }
    // Threads a repaint's grid cells are drawn on; 0: one per core.
    void SetCellThreads(int threads) { m_nCellThreads = threads; }
    int CellThreads() const override { return m_nCellThreads; }
    // Shared drawing of the grid modes.
    void DrawGridLines(QPainter& p, QColor colour, const SRect& rect) const override;
    void DrawCellFrames(QPainter& p) const override;
    // Draws a morph centred in a cell, clipped to the cell shrunk by inset pixels (a repaint
    // keeps the frames clear; the breeding animation clips to the cell itself).
    void DrawMorphInCell(QPainter& p, CBioMorph& morph, const SRect& r, int inset) override;
    // Printing: the mode's picture fitted to the printable rectangle, page by page.
    void OnDrawPrinter(QPainter& printer, const QRect& printable);
    // Saves the view's picture, or one morph alone on white, as a PNG (scale 1 to 4: drawn at
    // that many pixels a pixel) or an SVG file, chosen by the name's extension. Changes neither
    // the document nor the screen. Returns why it failed, or an empty text; a picture larger
    // than kExportPictureSide a side is refused.
    QString ExportPicture(const QString& path, int scale, CBioMorph* morph);
    // A morph alone on white, with a margin, drawn at the scale (1 to 4), or smaller so that
    // it stays within kDragPictureSide pixels a side.
    QImage MorphPicture(CBioMorph& morph, int scale) override;
    // Dragging a morph out (Ctrl and a drag over it).
    CMorphDrag& MorphDrag() const { return *m_pMorphDrag; }
    int PrintPageCount() const;
    void PrintPages(QPainter& painter, const QRect& printable, int from, int to,
                    const std::function<bool()>& newPage);

    // Fossil history.
    void RecordFossil(const CBioMorph& morph) override;
    void SetFossilScrollRange();
    void ScrollFossils(EScrollRequest request, int position = 0);
    const SFossilScroll& FossilBar() const;
    int FirstFossil() const;
    QScrollBar* VScrollBar() const override { return m_wndVScroll; }

    // Breeding and engineering.
    void BreedFromCell(int cell);
    void ShowBreedingScreen();
    void TakeChildGenome(int k) { m_pDoc->TakeChildGenome(k); }
    void EngineerClick();
    // True while a breeding step animates.
    bool IsAnimating() const override { return m_bAnimating; }
    void SetAnimating(bool bAnimating) override { m_bAnimating = bAnimating; }
    int LastEvolve() const override { return m_nLastEvolve; }

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
    // What the clipboard was last learnt to offer in the program's format.
    SClipboardOffer ClipboardOffer() const { return m_clipboard.Offer(); }
    // The clipboard the view uses (null: the system's).
    void SetClipboard(IClipboard* clipboard) { m_clipboard.SetClipboard(clipboard); }

    // The triangle: its corners changed (redraw all), or its points were cleared.
    void TriangleChanged();
    void TriangleCleared();
    SPoint TriangleTop() const;
    SPoint TriangleLeft() const;
    SPoint TriangleRight() const;

    // Family tree.
    void NewFamilyRoot();
    EFamilyTool FamilyTool() const override { return m_nFamilyTool; }
    // True while a child is being dragged out of a node.
    bool IsCreatingChild() const;

    // The context menu: whether the mode offers it at a point, and the point it was asked
    // for. A dismissed menu swallows the click that dismissed it.
    bool OffersContextMenuAt(QPoint point) const;
    void SetContextMenuPoint(const QPoint& globalPos) { m_ptContextMenu = globalPos; }
    QPoint ContextMenuPoint() const { return m_ptContextMenu; }
    void SetSkipClick(bool bSkip) { m_bSkipClick = bSkip; }
    bool SkipsClick() const { return m_bSkipClick; }

    // How large morphs are drawn (1 to kMaxZoom times) in Breed, Engineer, Fossils and the
    // triangle.
    int Zoom() const override { return m_nZoom; }
    void SetZoom(int zoom);

    // Undo: the history of changes to the creature, and putting parts of the document back
    // as a change left them (the grid follows the offspring).
    CUndoHistory& History() const override { return *m_pHistory; }
    // IUndoTarget
    SDocState CaptureState() const override;
    void RestoreState(const SDocState& state, unsigned parts) override;
    bool IsRepeatOn() const override { return m_pBar->IsRepeatChecked(); }
    int CurrentMode() const override { return m_pDoc->Mode(); }
    void ShowChangeFrom(int mode, unsigned parts) override;

    // Repeat.
    void RepeatStep() { m_repeat.Step(); }
    void RepeatLastEvolve() override;
    // One pass of the idle-time driver; true while Repeat runs in a mode that steps.
    bool RepeatDriver() { return m_repeat.Drive(); }
    // Schedules the driver for when the next step is due (called when the box changes).
    void ScheduleRepeat() { m_repeat.Schedule(); }
    // One step of Repeat in the current mode.
    void StepMode() { Handler().RepeatStep(); }

    // The pointer: its shape now, and the cursor of a shape.
    void UpdateCursor(QPoint point) override;
    QPoint PointerPos() const override;
    void SetViewCursor(const QCursor& cursor) override { setCursor(cursor); }
    static QCursor CursorFor(ECursorShape shape);
    bool PointerShown() const { return m_bCursorShown; }
    void SetPointerShown(bool bShown) { m_bCursorShown = bShown; }

signals:
    // A right click or the menu key over the view, at a screen point.
    void contextMenuRequested(const QPoint& globalPos);
    // The error beep of a refused action.
    void beepRequested();
    // A click, key or Repeat step may have changed the document.
    void documentChanged();
    // The view has entered a mode (or entered the same one afresh).
    void modeChanged(int mode);
    // A click (or Enter) was dropped because Repeat runs.
    void ignoredWhileRepeating();
    // Another clock was set (tests' fake one): what times itself by the view's clock follows.
    void clockChanged();
    // A passing word for the status bar (a paste that got nothing from the clipboard's owner).
    void statusMessage(const QString& text);

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

public:
    // IModeContext's remaining doors.
    bool PressAsClick(QPoint point) override;
    void Beep() override { emit beepRequested(); }
    void NotifyDocumentChanged() override { emit documentChanged(); }
    QWidget* InputTarget() override { return this; }

private:
    IModeHandler& Handler() const;
    // A press passed to the mode, undo bracketing what it changes.
    void PressMode(QPoint point);
    // What a click or key changes in the current mode, as undo names it.
    int UndoKindOfMode() const;
    IModeHandler* HandlerFor(int mode) const;
    void UpdateParentCell();
    void GridResized();

    CQuorvaleDoc* m_pDoc;
    CSystemClock m_systemClock;
    IClock* m_pClock = &m_systemClock;
    IGeneBarControls m_noBar;
    IGeneBarControls* m_pBar = &m_noBar;
    IGeneDisplay m_noGenes;
    IGeneDisplay* m_pGenes = &m_noGenes;
    std::unique_ptr<CBreedMode> m_pBreed;
    std::unique_ptr<CEngineerMode> m_pEngineer;
    std::unique_ptr<CFossilMode> m_pFossils;
    std::unique_ptr<CTriangleMode> m_pTriangle;
    std::unique_ptr<CFamilyMode> m_pFamily;
    IModeHandler* m_pHandler = nullptr;
    CViewClipboard m_clipboard;
    QImage m_imgScreen;
    bool m_bNeedsDraw = true;
    bool m_bAnimating = false;
    bool m_bFirstUpdate = true;
    bool m_bCursorShown = true;
    bool m_bSkipClick = false;
    int m_nCellThreads = 0;
    int m_nCols = 5;
    int m_nRows = 3;
    int m_nParentCell = 7;
    int m_nLastEvolve = evolveNone;
    int m_nZoom = 1;
    EFamilyTool m_nFamilyTool = EFamilyTool::Create;
    QPoint m_ptLastMouse{-1, -1};
    QPoint m_ptContextMenu;
    QScrollBar* m_wndVScroll = nullptr;
    QScrollBar* m_wndHScroll = nullptr;
    CRepeatDriver m_repeat;
    std::unique_ptr<CUndoHistory> m_pHistory;
    std::unique_ptr<CMorphDrag> m_pMorphDrag;
};
