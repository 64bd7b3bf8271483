#include "view/QuorvaleView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "document/ClipboardRecord.h"
#include "model/GeneDisplay.h"
#include "model/Random.h"
#include "platform/QtSurface.h"
#include "view/CellRenderer.h"
#include "view/RepeatTiming.h"
#include "view/TriangleBlend.h"

bool g_bAbortReveal = false;

namespace {

const QColor kGridColour(213, 220, 240);

const QColor kParentFrame(255, 0, 30);

QRect ToQRect(const SRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

SPoint Centre(const SRect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void FrameRect(QPainter& p, const SRect& r, const QColor& colour) {
    if (r.IsEmpty()) {
        return;
    }
    p.fillRect(QRect(r.left, r.top, r.Width(), 1), colour);
    p.fillRect(QRect(r.left, r.bottom - 1, r.Width(), 1), colour);
    p.fillRect(QRect(r.left, r.top, 1, r.Height()), colour);
    p.fillRect(QRect(r.right - 1, r.top, 1, r.Height()), colour);
}

// While a breeding step animates, input is held back rather than acted on: a click or key
// would otherwise start a command in the middle of the step. The view's own mouse input is
// dropped (clicks made during the animation are lost, not queued); Esc stops the reveal and
// Repeat at once; everything else (menus, keys, the Repeat box, the close box) is kept and
// handed on, in order, when the step is over.
class CAnimationInputGuard : public QObject {
public:
    explicit CAnimationInputGuard(CQuorvaleView* view) : m_pView(view) {
        qApp->installEventFilter(this);
    }
    ~CAnimationInputGuard() override {
        // Input that arrived after the last look is judged the same way before letting go.
        QCoreApplication::processEvents();
        qApp->removeEventFilter(this);
        for (auto& [receiver, event] : m_held) {
            if (!receiver) {
                continue;
            }
            if (event->type() == QEvent::Close) {
                // A window closes by close(), not by a close event alone.
                if (auto* widget = qobject_cast<QWidget*>(receiver.data())) {
                    QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
                }
                continue;
            }
            QCoreApplication::postEvent(receiver, event.release());
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                    m_pView->StopRepeat();
                    return true;
                }
                return Hold(watched, event);
            case QEvent::ShortcutOverride:
                // Not overridden: a matching shortcut then arrives as a Shortcut event.
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
                if (IsView(watched)) {
                    return true;
                }
                return Hold(watched, event);
            case QEvent::MouseMove:
                return qobject_cast<QWidget*>(watched) != nullptr;
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
            case QEvent::Close:
                return Hold(watched, event);
            default:
                return false;
        }
    }

private:
    bool IsView(QObject* watched) const {
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && (widget == m_pView || m_pView->isAncestorOf(widget));
    }

    // Widget-level events are kept; the window passes the rest on to a widget first.
    bool Hold(QObject* watched, QEvent* event) {
        if (watched->isWidgetType() || event->type() == QEvent::Shortcut) {
            m_held.emplace_back(QPointer<QObject>(watched),
                                std::unique_ptr<QEvent>(event->clone()));
            return true;
        }
        return false;
    }

    CQuorvaleView* m_pView;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};

}  // namespace

CQuorvaleView::CQuorvaleView(CQuorvaleDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(60, 60);
    g_bAbortReveal = false;
    m_dwLastStepTick = m_pClock->TickCount();
    m_repeatTimer.setSingleShot(true);
    connect(&m_repeatTimer, &QTimer::timeout, this, [this] {
        // Repeat runs when the program is otherwise idle: not while a menu or a dialog is open.
        if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) {
            m_repeatTimer.start(50);
            return;
        }
        if (RepeatDriver()) {
            ScheduleRepeat();
        }
    });
}

CQuorvaleView::~CQuorvaleView() {
    if (m_pDoc) {
        m_pDoc->SetViewLink(nullptr);
    }
}

// ---------------------------------------------------------------------------------------
// State and mode

void CQuorvaleView::SetGridSize(int cols, int rows) {
    m_nCols = std::clamp(cols, 1, 9);
    m_nRows = std::clamp(rows, 1, 7);
    UpdateParentCell();
}

void CQuorvaleView::UpdateParentCell() {
    m_nParentCol = m_nCols / 2;
    m_nParentRow = m_nRows / 2;
    m_nParentCell = m_nRows * m_nCols / 2;
}

void CQuorvaleView::SetMode(int mode) {
    IGeneDisplay& bar = GeneDisplay();
    // A mode change ends any family-tree gesture: its nodes may be deleted next (New, Open,
    // Clear), and no pointer to them may outlive that.
    m_pCreateParent = nullptr;
    m_pDragNode = nullptr;
    m_ptDragMark.x = -20001;
    m_bRubberShown = false;
    switch (mode) {
        case kModeBreed:
            bar.ShowGenes(m_pDoc->m_pCurrent.get());
            m_pDoc->RespawnOffspring();
            bar.ShowRepeat(true);
            bar.EnableRepeat(true);
            break;
        case kModeEngineer:
            bar.SetRepeatChecked(false);
            bar.EnableRepeat(false);
            bar.ShowGenes(m_pDoc->m_pCurrent.get());
            break;
        case kModeFossils:
            // The range is sized afresh: the history may have been emptied or renewed since.
            m_fossilBar =
                FossilScrollRange(static_cast<int>(m_pDoc->m_listFossils.size()), m_nCols, m_nRows);
            m_nFirstFossil = 0;
            m_fossilBar.nPos = 0;
            SyncScrollBar();
            break;
        case kModeTriangle:
            if (!m_pTriangleBitmap) {
                m_pTriangleBitmap = std::make_unique<QImage>(NewPicture());
            }
            m_ptRubber.x = -20001;
            m_bTriangleDirty = true;
            break;
        case kModeFamily:
            if (!m_pFamilyBitmap) {
                m_pFamilyBitmap = std::make_unique<QImage>(NewPicture());
            }
            bar.ShowGenes(m_pDoc->m_pCurrent.get());
            break;
        default:
            break;
    }
    m_pDoc->m_nMode = mode;
    if (mode != kModeTriangle) {
        m_pTriangleBitmap.reset();
    }
    if (mode != kModeFamily) {
        m_pFamilyBitmap.reset();
    }
    if (mode != kModeFamily && m_wndVScroll) {
        m_wndVScroll->hide();
        m_wndHScroll->hide();
    }
    bar.SetEditable(mode == kModeEngineer);
    bar.ShowHopeful(mode == kModeEngineer);
    bar.ShowRepeat(mode == kModeBreed || mode == kModeEngineer);
    bar.EnableRepeat(mode == kModeBreed);
    if (mode != kModeTriangle && !m_bCursorShown) {
        // Leaving the triangle gives the pointer back.
        m_bCursorShown = true;
    }
    UpdateCursor(mapFromGlobal(QCursor::pos()));
    ScheduleRepeat();
}

void CQuorvaleView::OnInitialUpdate() {
    UpdateParentCell();
    const int v = VScrollWidth();
    if (!m_wndVScroll) {
        m_wndVScroll = new QScrollBar(Qt::Vertical, this);
        m_wndVScroll->setObjectName("fossilScrollBar");
        m_wndVScroll->setGeometry(width() - v, 0, v, height());
        m_wndVScroll->hide();
        connect(m_wndVScroll, &QScrollBar::valueChanged, this,
                [this](int value) { ScrollFossils(EScrollRequest::ThumbPosition, value); });
    }
    if (!m_wndHScroll) {
        m_wndHScroll = new QScrollBar(Qt::Horizontal, this);
        m_wndHScroll->setGeometry(0, height() - v, width(), v);
        m_wndHScroll->hide();
    }
    if (m_bFirstUpdate) {
        SetMode(m_pDoc->m_nMode);
        m_bFirstUpdate = false;
    }
}

int CQuorvaleView::VScrollWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

// ---------------------------------------------------------------------------------------
// Geometry

SGridGeometry CQuorvaleView::Grid() const {
    SGridGeometry g;
    g.nClientW = width();
    g.nClientH = height();
    g.nCols = m_nCols;
    g.nRows = m_nRows;
    g.bVScrollVisible = m_wndVScroll && !m_wndVScroll->isHidden();
    g.nVScrollWidth = VScrollWidth();
    return g;
}

SRect CQuorvaleView::GridRect() const {
    return {0, 0, Grid().GridWidth(), height()};
}

SRect CQuorvaleView::CellRect(int index) const {
    if (m_pDoc->m_nMode == kModeFossils) {
        index -= m_nFirstFossil;
    }
    return Grid().CellRect(index);
}

CBioMorph* CQuorvaleView::ListMorph(int index) const {
    const CMorphList* list = nullptr;
    if (m_pDoc->m_nMode == kModeBreed) {
        list = &m_pDoc->m_listOffspring;
    } else if (m_pDoc->m_nMode == kModeFossils) {
        list = &m_pDoc->m_listFossils;
    }
    if (!list || index < 0 || static_cast<size_t>(index) >= list->size()) {
        return nullptr;
    }
    return (*list)[static_cast<size_t>(index)].get();
}

CBioMorph* CQuorvaleView::CellMorph(int cell) const {
    if (m_pDoc->m_nMode == kModeFossils) {
        return ListMorph(m_nFirstFossil + cell);
    }
    if (cell == m_nParentCell) {
        return m_pDoc->m_pCurrent.get();
    }
    return ListMorph(cell < m_nParentCell ? cell : cell - 1);
}

CBioMorph* CQuorvaleView::MorphAt(QPoint point) const {
    switch (m_pDoc->m_nMode) {
        case kModeEngineer:
            return m_pDoc->m_pCurrent.get();
        case kModeFamily: {
            CFamilyMorph* node = m_pDoc->FamilyNodeAt(point.x(), point.y());
            return node ? node : m_pDoc->FamilyFrameAt(point.x(), point.y());
        }
        case kModeBreed:
            for (int i = 0; i < m_nRows * m_nCols; ++i) {
                if (PtInCell(CellRect(i), point.x(), point.y())) {
                    return CellMorph(i);
                }
            }
            return nullptr;
        case kModeFossils:
            for (int i = m_nFirstFossil; i < static_cast<int>(m_pDoc->m_listFossils.size()); ++i) {
                if (PtInCell(CellRect(i), point.x(), point.y())) {
                    return ListMorph(i);
                }
            }
            return nullptr;
        default:
            return nullptr;
    }
}

// ---------------------------------------------------------------------------------------
// Drawing

QImage CQuorvaleView::NewPicture() const {
    const qreal dpr = devicePixelRatioF();
    QImage image(QSize(std::max(width(), 1), std::max(height(), 1)) * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    return image;
}

void CQuorvaleView::EnsureScreen() {
    const qreal dpr = devicePixelRatioF();
    const QSize want = QSize(std::max(width(), 1), std::max(height(), 1)) * dpr;
    if (m_imgScreen.size() != want || m_imgScreen.devicePixelRatio() != dpr) {
        m_imgScreen = NewPicture();
        m_bNeedsDraw = true;
    }
}

void CQuorvaleView::Invalidate() {
    m_bNeedsDraw = true;
    update();
}

const QImage& CQuorvaleView::ScreenImage() {
    EnsureScreen();
    if (m_bNeedsDraw) {
        OnDraw();
    }
    return m_imgScreen;
}

void CQuorvaleView::paintEvent(QPaintEvent*) {
    EnsureScreen();
    if (m_bNeedsDraw) {
        OnDraw();
    }
    QPainter p(this);
    p.drawImage(0, 0, m_imgScreen);
}

void CQuorvaleView::OnDraw() {
    EnsureScreen();
    if (m_wndVScroll) {
        const bool bShow = m_pDoc->m_nMode == kModeFossils &&
                           m_pDoc->m_listFossils.size() > static_cast<size_t>(m_nRows * m_nCols);
        m_wndVScroll->setVisible(bShow);
    }
    if (m_pDoc->m_nMode == kModeTriangle || m_pDoc->m_nMode == kModeFamily) {
        std::unique_ptr<QImage>& kept =
            m_pDoc->m_nMode == kModeTriangle ? m_pTriangleBitmap : m_pFamilyBitmap;
        if (!kept || kept->size() != m_imgScreen.size()) {
            kept = std::make_unique<QImage>(NewPicture());
            m_bTriangleDirty = true;
        }
        RenderPicture(*kept, false);
        m_imgScreen = kept->copy();
    } else {
        QImage picture = NewPicture();
        RenderPicture(picture, false);
        m_imgScreen = picture;
    }
    m_bNeedsDraw = false;
    g_bRemeasure = 0;
}

void CQuorvaleView::RenderPicture(QImage& picture, bool bPrinting) {
    const int w = width();
    const int h = height();
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int mode = m_pDoc->m_nMode;
    if (mode == kModeTriangle) {
        if (bPrinting) {
            m_bTriangleDirty = true;
        }
        if (m_bTriangleDirty) {
            p.fillRect(QRect(0, 0, w, h), Qt::white);
            DrawTriangle(p, ClientRect());
        }
        DrawTrianglePoints(p);
    } else if (mode == kModeFamily) {
        DrawFamilies(p, w, h);
    } else {
        p.fillRect(QRect(0, 0, w, h), Qt::white);
        if (mode == kModeEngineer) {
            RunDrawing([&] {
                CQtSurface surface(p, QRect(0, 0, w, h));
                m_pDoc->m_pCurrent->Draw(surface, w / 2, h / 2, m_pDoc->m_nOrientation);
            });
        } else if (mode == kModeBreed || mode == kModeFossils) {
            DrawGrid(p);
        }
    }
}

void CQuorvaleView::DrawMorphInCell(QPainter& p, CBioMorph& morph, const SRect& r, int inset) {
    CQtSurface surface(p, QRect(0, 0, width(), height()));
    const SRect clip{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
    surface.SetClip(&clip);
    const SPoint c = Centre(r);
    morph.Draw(surface, c.x, c.y, m_pDoc->m_nOrientation);
    surface.Flush();
    p.setClipping(false);
}

void CQuorvaleView::DrawGrid(QPainter& p) {
    const int mode = m_pDoc->m_nMode;
    DrawGridLines(p, kGridColour, ClientRect());
    const int fossils = static_cast<int>(m_pDoc->m_listFossils.size());
    int c = mode == kModeBreed ? 0 : m_nFirstFossil;
    const SGridGeometry grid = Grid();
    // Frames and numbers first; the morphs, each inside its own cell, are then drawn together.
    std::vector<SCellJob> jobs;
    for (int row = 0; row < m_nRows; ++row) {
        for (int col = 0; col < m_nCols; ++col, ++c) {
            const SRect r = grid.CellRectAt(col, row);
            CBioMorph* morph = mode == kModeBreed ? CellMorph(c) : ListMorph(c);
            if (mode == kModeBreed && c == m_nParentCell) {
                FrameRect(p, r.Inflated(1), kParentFrame);
                FrameRect(p, r, kParentFrame);
            } else if (mode == kModeFossils && !morph) {
                p.fillRect(ToQRect(r), kGridColour);
            } else {
                FrameRect(p, r, Qt::black);
            }
            if (mode == kModeFossils && c < fossils) {
                p.save();
                p.setBackgroundMode(Qt::OpaqueMode);
                p.setBackground(Qt::white);
                p.setPen(Qt::black);
                p.setFont(QApplication::font());
                const QFontMetrics fm(p.font());
                p.drawText(QPoint(r.left + 2, r.top + 2 + fm.ascent()), QString::number(c + 1));
                p.restore();
            }
            if (morph) {
                jobs.push_back({morph, r, 1, Centre(r), m_pDoc->m_nOrientation});
            }
        }
    }
    RenderCells(p, QRect(0, 0, width(), height()), jobs, m_nCellThreads);
}

void CQuorvaleView::DrawGridLines(QPainter& p, QColor colour, const SRect& rect) const {
    const SGridGeometry grid = Grid();
    const int right = grid.bVScrollVisible ? rect.right - (grid.nVScrollWidth - 1) : rect.right;
    const int colW = (right - rect.left) / m_nCols;
    const int rowH = (rect.bottom - rect.top) / m_nRows;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPen pen(colour, 2);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    for (int i = 0; i <= m_nCols; ++i) {
        p.drawLine(i * colW, rect.top, i * colW, rect.bottom);
    }
    for (int i = 0; i <= m_nRows; ++i) {
        p.drawLine(rect.left, i * rowH, right, i * rowH);
    }
    p.restore();
}

void CQuorvaleView::DrawCellFrames(QPainter& p) const {
    SGridGeometry grid = Grid();
    for (int row = 0; row < m_nRows; ++row) {
        for (int col = 0; col < m_nCols; ++col) {
            const SRect r = grid.CellRectAt(col, row);
            if (col == m_nParentCol && row == m_nParentRow) {
                FrameRect(p, r.Inflated(1), kParentFrame);
                FrameRect(p, r, kParentFrame);
            } else {
                FrameRect(p, r, Qt::black);
            }
        }
    }
}

void CQuorvaleView::DrawTriangle(QPainter& p, const SRect& rect) {
    const STriangleCorners c = TriangleCornersIn(rect);
    m_ptTriTop = c.top;
    m_ptTriLeft = c.left;
    m_ptTriRight = c.right;
    p.save();
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(c.top.x, c.top.y, c.left.x, c.left.y);
    p.drawLine(c.left.x, c.left.y, c.right.x, c.right.y);
    p.drawLine(c.right.x, c.right.y, c.top.x, c.top.y);
    p.restore();
    RunDrawing([&] {
        CQtSurface surface(p, QRect(0, 0, width(), height()));
        const int o = m_pDoc->m_nOrientation;
        m_pDoc->m_pTriTop->Develop(&surface, c.top.x, c.top.y, o, 1);
        m_pDoc->m_pTriLeft->Develop(&surface, c.left.x, c.left.y, o, 1);
        m_pDoc->m_pTriRight->Develop(&surface, c.right.x, c.right.y, o, 1);
    });
}

void CQuorvaleView::DrawTrianglePoints(QPainter& p) {
    CQtSurface surface(p, QRect(0, 0, width(), height()));
    CBioMorph& blend = *m_pDoc->m_pTriMorph;
    const int o = m_pDoc->m_nOrientation;
    if (m_bTriangleDirty) {
        for (const SPoint& pt : m_pDoc->m_listTrianglePoints) {
            BlendTriangle(blend, *m_pDoc->m_pTriTop, *m_pDoc->m_pTriLeft, *m_pDoc->m_pTriRight,
                          TriangleDistances(pt.x, pt.y, m_ptTriTop, m_ptTriLeft, m_ptTriRight));
            GeneDisplay().ShowGenes(&blend);
            GeneDisplay().RefreshIndicators();
            RunDrawing([&] { blend.Develop(&surface, pt.x, pt.y, o, 1); });
        }
        m_bTriangleDirty = false;
    } else if (m_ptTriClick.x != -20001) {
        blend.Develop(&surface, m_ptTriClick.x, m_ptTriClick.y, o, 1);
        m_ptTriClick.x = -20001;
    }
}

void CQuorvaleView::CollectFamilyRoots() {
    for (const auto& family : m_pDoc->m_listFamilies) {
        if (!family->empty()) {
            m_aFamilyRoots.push_back(family->front().get());
        }
    }
}

void CQuorvaleView::DrawFamilies(QPainter& p, int w, int h) {
    p.fillRect(QRect(0, 0, w, h), kGridColour);
    CollectFamilyRoots();
    CQtSurface surface(p, QRect(0, 0, w, h));
    for (CFamilyMorph* root : m_aFamilyRoots) {
        root->DrawFamily(surface, m_pDoc->m_nOrientation);
    }
    m_aFamilyRoots.clear();
}

void CQuorvaleView::OnDrawPrinter(QPainter& printer, const QRect& printable) {
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    m_rcPrint = {printable.left(), printable.top(), printable.right() + 1, printable.bottom() + 1};
    g_fPrintScale = static_cast<float>(m_rcPrint.right - m_rcPrint.left) / static_cast<float>(w);
    const int hp = static_cast<int>(static_cast<float>(h) * g_fPrintScale);
    QImage picture(QSize(w, h), QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (m_pDoc->m_nMode == kModeTriangle) {
        m_bTriangleDirty = true;
    }
    RenderPicture(picture, true);
    printer.drawImage(QRect(0, 0, m_rcPrint.right, hp), picture);
    // The kept pictures were drawn for the printer: the screen is rebuilt at the next repaint.
    m_bTriangleDirty = true;
    Invalidate();
    g_bRemeasure = 0;
}

int CQuorvaleView::PrintPageCount() const {
    if (m_pDoc->m_nMode != kModeFossils) {
        return 1;
    }
    const int perPage = m_nRows * m_nCols;
    const int fossils = static_cast<int>(m_pDoc->m_listFossils.size());
    // An empty history still prints its one page of empty cells.
    return std::max(1, (fossils + perPage - 1) / perPage);
}

void CQuorvaleView::PrintPages(QPainter& painter, const QRect& printable, int from, int to,
                               const std::function<bool()>& newPage) {
    from = std::max(from, 1);
    to = std::min(to, PrintPageCount());
    for (int page = from; page <= to; ++page) {
        if (page > from && newPage && !newPage()) {
            return;
        }
        if (m_pDoc->m_nMode == kModeFossils) {
            m_nFirstFossil = (page - 1) * m_nRows * m_nCols;
        }
        OnDrawPrinter(painter, printable);
    }
}

// ---------------------------------------------------------------------------------------
// Fossil history

void CQuorvaleView::RecordFossil(const CBioMorph& morph) {
    m_pDoc->RecordFossil(morph);
}

void CQuorvaleView::FossilScrollRangeChanged() {
    if (m_pDoc->m_listFossils.size() > static_cast<size_t>(m_nRows * m_nCols)) {
        SetFossilScrollRange();
    }
}

void CQuorvaleView::SetFossilScrollRange() {
    m_fossilBar =
        FossilScrollRange(static_cast<int>(m_pDoc->m_listFossils.size()), m_nCols, m_nRows);
    m_nFirstFossil = 0;
    SyncScrollBar();
}

void CQuorvaleView::SyncScrollBar() {
    if (!m_wndVScroll) {
        return;
    }
    // Qt's bar counts positions up to the last full page; its own arithmetic then matches
    // the clamping of the history's requests.
    const QSignalBlocker block(m_wndVScroll);
    const int top = std::max(m_fossilBar.nMin, m_fossilBar.nMax - m_fossilBar.nPage + 1);
    m_wndVScroll->setRange(m_fossilBar.nMin, top);
    m_wndVScroll->setPageStep(m_fossilBar.nPage);
    m_wndVScroll->setSingleStep(1);
    m_wndVScroll->setValue(m_fossilBar.nPos);
    m_wndVScroll->setEnabled(m_fossilBar.nMax - m_fossilBar.nMin + 1 > m_fossilBar.nPage);
}

void CQuorvaleView::ScrollFossils(EScrollRequest request, int position) {
    if (m_pDoc->m_nMode != kModeFossils) {
        return;
    }
    const int pos = ScrollFossilPosition(m_fossilBar, request, position);
    if (pos == m_fossilBar.nPos) {
        SyncScrollBar();
        return;
    }
    m_fossilBar.nPos = pos;
    SyncScrollBar();
    m_nFirstFossil = pos * m_nCols;
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Breeding

void CQuorvaleView::ShowScreen() {
    repaint();
}

void CQuorvaleView::DiscardMouseInput() {
    // Clicks made while an animation ran are dropped rather than queued.
    QCoreApplication::removePostedEvents(this, QEvent::MouseButtonPress);
    QCoreApplication::removePostedEvents(this, QEvent::MouseButtonRelease);
    QCoreApplication::removePostedEvents(this, QEvent::MouseButtonDblClick);
    QCoreApplication::removePostedEvents(this, QEvent::MouseMove);
}

void CQuorvaleView::TakeChildGenome(int k) {
    if (k < 0 || static_cast<size_t>(k) >= m_pDoc->m_listOffspring.size()) {
        return;
    }
    const CBioMorph& child = *m_pDoc->m_listOffspring[static_cast<size_t>(k)];
    GeneArray gradients{};
    child.GetGradients(gradients);
    m_pDoc->m_pCurrent->SetGenes(child.GetGenes());
    m_pDoc->m_pCurrent->SetGradients(gradients);
}

void CQuorvaleView::DrawTravelOutline(QPainter& p) {
    const SRect& r = m_rcTravel;
    p.drawLine(r.left, r.top, r.right, r.top);
    p.drawLine(r.right, r.top, r.right, r.bottom);
    p.drawLine(r.right, r.bottom, r.left, r.bottom);
    p.drawLine(r.left, r.bottom, r.left, r.top);
}

void CQuorvaleView::TravelBox(int x0, int y0, int x1, int y1, int n) {
    m_rcTravel.right = -30000;
    const int cw = width() / m_nCols;
    const int ch = height() / m_nRows;
    auto roundDiv = [](int a, int b) {
        return static_cast<int>(a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b));
    };
    const int dx = roundDiv(x1 - x0, n);
    const int dy = roundDiv(y1 - y0, n);
    int x = x0;
    int y = y0;
    QPen pen(QColor(0, 255, 255), 2);
    for (int i = 0; i <= n; ++i) {
        Clock().Pause(20);
        {
            QPainter p(&m_imgScreen);
            p.setPen(pen);
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            if (m_rcTravel.right != -30000) {
                DrawTravelOutline(p);
                m_rcTravel.right = -30000;
            }
            m_rcTravel = {x - cw / 2 + 1, y - ch / 2 + 1, x + cw / 2 - 1, y + ch / 2 - 1};
            DrawTravelOutline(p);
        }
        ShowScreen();
        x += dx;
        y += dy;
    }
    {
        // The box once more with the pen and a white brush: the outline goes and the box's
        // inside is inverted, where it stays until the screen is cleared.
        QPainter p(&m_imgScreen);
        p.setPen(pen);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        DrawTravelOutline(p);
        p.fillRect(ToQRect(m_rcTravel), Qt::white);
    }
    ShowScreen();
}

void CQuorvaleView::FlashLine(int x0, int y0, int x1, int y1, int ms) {
    QPen pen(Qt::white, 2);
    auto draw = [&](int ax, int ay, int bx, int by) {
        QPainter p(&m_imgScreen);
        p.setClipRect(rect());
        p.setPen(pen);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.drawLine(ax, ay, bx, by);
    };
    draw(x0, y0, x1, y1);
    ShowScreen();
    Clock().Pause(ms);
    draw(x1, y1, x0, y0);
    ShowScreen();
}

bool CQuorvaleView::CheckEscape() {
    // Look at what arrived meanwhile: the step's input guard lets only Esc act, which stops
    // the reveal; pictures are repainted.
    QCoreApplication::processEvents();
    return g_bAbortReveal;
}

void CQuorvaleView::StopRepeat() {
    if (GeneDisplay().IsRepeatChecked()) {
        GeneDisplay().SetRepeatChecked(false);
    }
    g_bAbortReveal = true;
}

void CQuorvaleView::RevealOffspring(int px, int py) {
    const int count = static_cast<int>(m_pDoc->m_listOffspring.size());
    for (int i = 0; i <= count; ++i) {
        if (CheckEscape()) {
            return;
        }
        if (i == m_nParentCell) {
            continue;
        }
        CBioMorph* morph = ListMorph(i < m_nParentCell ? i : i - 1);
        if (!morph) {
            continue;
        }
        const SRect r = CellRect(i);
        const SPoint c = Centre(r);
        FlashLine(px, py, c.x, c.y, 15);
        {
            QPainter p(&m_imgScreen);
            DrawMorphInCell(p, *morph, r, 0);
        }
        ShowScreen();
        Clock().Pause(2);
    }
}

void CQuorvaleView::BreedFromCell(int cell) {
    const QScopedValueRollback animating(m_bAnimating, true);
    const CAnimationInputGuard guard(this);
    EnsureScreen();
    if (m_bNeedsDraw) {
        OnDraw();
    }
    g_bAbortReveal = false;
    const SRect rp = CellRect(m_nParentCell);
    const SRect rs = CellRect(cell);
    const SPoint pc = Centre(rp);
    const SPoint sc = Centre(rs);
    DiscardMouseInput();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CBioMorph* chosen = CellMorph(cell);
    if (chosen && chosen != m_pDoc->m_pCurrent.get()) {
        TakeChildGenome(cell < m_nParentCell ? cell : cell - 1);
        TravelBox(sc.x, sc.y, pc.x, pc.y, 15);
        Clock().Pause(50);
    }
    {
        QPainter p(&m_imgScreen);
        p.fillRect(rect(), Qt::white);
        DrawCellFrames(p);
        DrawGridLines(p, kGridColour, ClientRect());
        DrawMorphInCell(p, *m_pDoc->m_pCurrent, rp, 0);
    }
    ShowScreen();
    m_pDoc->RespawnOffspring();
    RevealOffspring(pc.x, pc.y);
    DiscardMouseInput();
    QApplication::restoreOverrideCursor();
    // The screen already shows the new generation.
    m_bNeedsDraw = false;
}

void CQuorvaleView::ShowBreedingScreen() {
    const QScopedValueRollback animating(m_bAnimating, true);
    const CAnimationInputGuard guard(this);
    EnsureScreen();
    g_bAbortReveal = false;
    const SRect rp = CellRect(m_nParentCell);
    const SPoint pc = Centre(rp);
    {
        QPainter p(&m_imgScreen);
        p.fillRect(rect(), Qt::white);
        DrawCellFrames(p);
        DrawGridLines(p, kGridColour, ClientRect());
        DrawMorphInCell(p, *m_pDoc->m_pCurrent, rp, 0);
    }
    m_bNeedsDraw = false;
    ShowScreen();
    RevealOffspring(pc.x, pc.y);
}

void CQuorvaleView::EngineerClick() {
    m_pDoc->m_pCurrent->Mutate(m_pDoc->m_fMutationRate);
    m_nLastEvolve = evolveMutate;
    if (!GeneDisplay().IsRepeatEnabled()) {
        GeneDisplay().EnableRepeat(true);
    }
    RecordFossil(*m_pDoc->m_pCurrent);
    GeneDisplay().ShowGenes(m_pDoc->m_pCurrent.get());
    Invalidate();
    QCursor::setPos(QCursor::pos() + QPoint(1, 0));
}

// ---------------------------------------------------------------------------------------
// Rows and columns

namespace {
void AddCopiesOfParent(CQuorvaleDoc& doc, int count) {
    const std::array<int32_t, kGeneCount> genes = doc.m_pCurrent->GetGenes();
    for (int i = 0; i < count; ++i) {
        // Exact copies of the parent's genes; they become mutants at the next generation.
        doc.AddOffspring()->SetGenes(genes);
    }
}

void RemoveTailOffspring(CQuorvaleDoc& doc, int count) {
    for (int i = 0; i < count && !doc.m_listOffspring.empty(); ++i) {
        doc.m_listOffspring.pop_back();
    }
}
}  // namespace

void CQuorvaleView::AddRows() {
    if (m_nRows >= 7) {
        return;
    }
    m_nRows += 2;
    AddCopiesOfParent(*m_pDoc, 2 * m_nCols);
    UpdateParentCell();
    SetFossilScrollRange();
    Invalidate();
}

void CQuorvaleView::AddColumns() {
    if (m_nCols >= 9) {
        return;
    }
    m_nCols += 2;
    AddCopiesOfParent(*m_pDoc, 2 * m_nRows);
    UpdateParentCell();
    SetFossilScrollRange();
    Invalidate();
}

void CQuorvaleView::RemoveRows() {
    if (m_nRows <= 1) {
        return;
    }
    m_nRows = std::max(m_nRows - 2, 1);
    RemoveTailOffspring(*m_pDoc, 2 * m_nCols);
    UpdateParentCell();
    SetFossilScrollRange();
    Invalidate();
}

void CQuorvaleView::RemoveColumns() {
    if (m_nCols <= 1) {
        return;
    }
    m_nCols = std::max(m_nCols - 2, 1);
    RemoveTailOffspring(*m_pDoc, 2 * m_nRows);
    UpdateParentCell();
    SetFossilScrollRange();
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Clipboard

SRect CQuorvaleView::ParentCellRect() const {
    return ::ParentCellRect(width(), height(), m_nCols, m_nRows);
}

void CQuorvaleView::CopyToClipboard(CBioMorph* morph, const SRect* rect) {
    SRect source;
    if (!morph) {
        source = ClientRect();
        if (m_wndVScroll && m_wndVScroll->isVisible()) {
            source.right -= VScrollWidth() - 1;
        }
    } else if (rect) {
        source = *rect;
    } else {
        // The box the current morph took when it was last measured for drawing.
        source = m_pDoc->m_pCurrent->m_rcBounds;
    }
    source = source.Normalised();
    if (source.Width() > width()) {
        source.left = 0;
        source.right = width();
    }
    if (source.Height() > height()) {
        source.top = 0;
        source.bottom = height();
    }
    auto* data = new QMimeData;
    if (morph) {
        const std::vector<uint8_t> block = EncodeClipboardBlock(*morph);
        data->setData(QString::fromStdString(m_pDoc->m_cfBiomorph),
                      QByteArray(reinterpret_cast<const char*>(block.data()),
                                 static_cast<qsizetype>(block.size())));
    }
    // The picture of the screen's pixels in that rectangle; parts outside the view are white.
    const QImage& screen = ScreenImage();
    const qreal dpr = screen.devicePixelRatio();
    QImage picture(QSize(std::max(source.Width(), 1), std::max(source.Height(), 1)) * dpr,
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        p.drawImage(QPoint(-source.left, -source.top), screen);
    }
    data->setImageData(picture);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool CQuorvaleView::ClipboardHasMorph() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromStdString(m_pDoc->m_cfBiomorph));
}

bool CQuorvaleView::PasteInto(CBioMorph& morph) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString format = QString::fromStdString(m_pDoc->m_cfBiomorph);
    if (!data || !data->hasFormat(format)) {
        return false;
    }
    const QByteArray bytes = data->data(format);
    // A block too short for a whole record leaves the morph as it was.
    if (!DecodeClipboardBlock(reinterpret_cast<const uint8_t*>(bytes.constData()),
                              static_cast<size_t>(bytes.size()), morph)) {
        return false;
    }
    if (m_pDoc->m_nMode == kModeBreed) {
        m_pDoc->RespawnOffspring();
    } else if (m_pDoc->m_nMode == kModeTriangle) {
        m_bTriangleDirty = true;
    }
    Invalidate();
    return true;
}

// ---------------------------------------------------------------------------------------
// Family tree

void CQuorvaleView::NewFamilyRoot() {
    auto root = std::make_unique<CFamilyMorph>(*m_pDoc->m_pCurrent);
    root->m_ptNode = {width() / 2, height() / 2};
    auto family = std::make_unique<CFamilyList>();
    family->push_back(std::move(root));
    m_pDoc->m_listFamilies.push_back(std::move(family));
}

void CQuorvaleView::FamilyPress(QPoint point) {
    const int x = point.x();
    const int y = point.y();
    if (CFamilyMorph* node = m_pDoc->FamilyFrameAt(x, y)) {
        if (m_nFamilyTool == 0) {
            m_pDragNode = node;
            m_szDragOffset = QSize(node->m_ptNode.x - x, node->m_ptNode.y - y);
            m_ptDragMark.x = -20001;
            m_bDragFirstMove = true;
        }
    } else if (CFamilyMorph* hit = m_pDoc->FamilyNodeAt(x, y)) {
        if (m_nFamilyTool == 0) {
            m_pCreateParent = hit;
        } else if (m_pDoc->m_listFamilies.size() == 1 && !hit->m_pParent) {
            // The last tree's root stays: the tree always has one.
            if (m_beep) {
                m_beep();
            } else {
                QApplication::beep();
            }
            return;
        } else {
            hit->DeleteDescendants(m_pDoc->m_listFamilies);
            if (hit->m_pParent) {
                hit->m_pParent->RemoveChild(hit);
            }
            CFamilyList* family = m_pDoc->FindFamilyOf(hit);
            if (family) {
                auto it = std::find_if(family->begin(), family->end(),
                                       [hit](const auto& p) { return p.get() == hit; });
                family->erase(it);
                if (family->empty()) {
                    auto& lists = m_pDoc->m_listFamilies;
                    lists.erase(std::find_if(lists.begin(), lists.end(), [family](const auto& p) {
                        return p.get() == family;
                    }));
                }
            }
            Invalidate();
        }
    } else if (m_nFamilyTool == 1) {
        const size_t trees = m_pDoc->m_listFamilies.size();
        for (size_t t = 0; t < trees; ++t) {
            CFamilyList& tree = *m_pDoc->m_listFamilies[t];
            if (tree.empty()) {
                continue;
            }
            auto [parent, child] = tree.front()->FindLink(x, y);
            if (!parent) {
                continue;
            }
            parent->RemoveChild(child);
            child->m_pParent = nullptr;
            auto newTree = std::make_unique<CFamilyList>();
            CFamilyList& target = *newTree;
            CFamilyList& source = tree;  // stays valid: the outer list only grows at its tail
            m_pDoc->m_listFamilies.push_back(std::move(newTree));
            auto it = std::find_if(source.begin(), source.end(),
                                   [child](const auto& p) { return p.get() == child; });
            if (it != source.end()) {
                target.push_back(std::move(*it));
                source.erase(it);
            }
            child->MoveDescendants(source, target);
            Invalidate();
        }
    }
    m_bRubberShown = false;
}

void CQuorvaleView::DrawDragOutline(QPainter& p, SPoint centre, int bw, int bh,
                                    const std::vector<SPoint>& ends) {
    for (const SPoint& end : ends) {
        p.drawLine(centre.x, centre.y, end.x, end.y);
    }
    p.drawRect(QRect(QPoint(centre.x - bw / 2, centre.y - bh / 2),
                     QPoint(centre.x + bw / 2 - 1, centre.y + bh / 2 - 1)));
}

void CQuorvaleView::FamilyMove(QPoint point) {
    CFamilyMorph* shown = m_pDoc->FamilyNodeAt(point.x(), point.y());
    if (!shown) {
        shown = m_pDoc->FamilyFrameAt(point.x(), point.y());
    }
    GeneDisplay().ShowGenes(shown);
    if (m_nFamilyTool == 1) {
        return;
    }
    if (m_bNeedsDraw) {
        OnDraw();
    }
    if (m_pCreateParent) {
        const SRect& b = m_pCreateParent->m_rcBounds;
        const SPoint c{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
        {
            QPainter p(&m_imgScreen);
            p.setPen(QPen(Qt::white, 0));
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            if (m_ptRubber.x != -20001 && m_bRubberShown) {
                p.drawLine(c.x, c.y, m_ptRubber.x, m_ptRubber.y);
                m_ptRubber.x = -20001;
                m_bRubberShown = false;
            }
            if (!m_bRubberShown) {
                p.drawLine(c.x, c.y, point.x(), point.y());
                m_ptRubber = {point.x(), point.y()};
                m_bRubberShown = true;
            }
        }
        ShowScreen();
    } else if (m_pDragNode) {
        CFamilyMorph& d = *m_pDragNode;
        const SRect box = d.m_rcBounds.Inflated(11);
        const int bw = box.Width();
        const int bh = box.Height();
        std::vector<SPoint> ends;
        if (d.m_pParent) {
            ends.push_back(d.m_pParent->m_ptNode);
        }
        for (CFamilyMorph* child : d.m_Children) {
            ends.push_back(child->m_ptNode);
        }
        QPainter p(&m_imgScreen);
        if (m_bDragFirstMove) {
            p.fillRect(ToQRect(box), kGridColour);
            // Over the links with the line drawer and direction that drew them (parent to
            // child), so no speck of them is left.
            CQtSurface surface(p, rect());
            surface.SetPen(1, {213, 220, 240});
            if (d.m_pParent) {
                surface.Line(d.m_pParent->m_ptNode.x, d.m_pParent->m_ptNode.y, d.m_ptNode.x,
                             d.m_ptNode.y);
            }
            for (CFamilyMorph* child : d.m_Children) {
                surface.Line(d.m_ptNode.x, d.m_ptNode.y, child->m_ptNode.x, child->m_ptNode.y);
            }
            surface.Flush();
            p.setClipping(false);
        }
        m_bDragFirstMove = false;
        d.m_ptNode = {point.x() + m_szDragOffset.width(), point.y() + m_szDragOffset.height()};
        d.m_bLaidOut = 0;
        p.setPen(QPen(QColor(255, 0, 0), 2));
        p.setBrush(Qt::white);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        if (m_ptDragMark.x != -20001) {
            DrawDragOutline(p, m_ptDragMark, bw, bh, ends);
            m_ptDragMark.x = -20001;
        }
        m_ptDragMark = d.m_ptNode;
        DrawDragOutline(p, m_ptDragMark, bw, bh, ends);
        p.end();
        ShowScreen();
    }
}

void CQuorvaleView::FamilyRelease(QPoint point) {
    const int x = point.x();
    const int y = point.y();
    if (m_pCreateParent) {
        CFamilyMorph* parent = m_pCreateParent;
        if (m_pDoc->FamilyNodeAt(x, y) || m_pDoc->FamilyFrameAt(x, y)) {
            m_pCreateParent = nullptr;
            Invalidate();
            return;
        }
        CFamilyList* tree = m_pDoc->FindFamilyOf(parent);
        if (!tree) {
            m_pCreateParent = nullptr;
            return;
        }
        tree->push_back(std::make_unique<CFamilyMorph>(*parent, x, y));
        CFamilyMorph& child = *tree->back();
        child.Mutate(m_pDoc->m_fMutationRate);
        child.m_pParent = parent;
        parent->AddChild(&child);
        RecordFossil(child);
        child.Measure(x, y, m_pDoc->m_nOrientation);
        m_pCreateParent = nullptr;
        Invalidate();
    } else if (m_pDragNode) {
        m_bDragFirstMove = false;
        m_pDragNode->m_ptNode = {x + m_szDragOffset.width(), y + m_szDragOffset.height()};
        m_pDragNode->m_bLaidOut = 0;
        m_pDragNode = nullptr;
        m_ptDragMark.x = -20001;
        Invalidate();
    }
}

// ---------------------------------------------------------------------------------------
// Repeat

void CQuorvaleView::RepeatLastEvolve() {
    CBioMorph& current = *m_pDoc->m_pCurrent;
    if (m_nLastEvolve == evolveMutate) {
        current.Mutate(m_pDoc->m_fMutationRate);
    } else if (m_nLastEvolve == evolveMonster) {
        current.HopefulMonster();
    }
    GeneDisplay().ShowGenes(&current);
    RecordFossil(current);
}

void CQuorvaleView::RepeatStep() {
    // Never inside a step or an animation already running: checking the box then only
    // schedules the next step.
    if (!GeneDisplay().IsRepeatChecked() || m_bInStep || m_bAnimating) {
        return;
    }
    m_bInStep = true;
    m_dwLastStepTick = Clock().TickCount();
    if (m_pDoc->m_nMode == kModeBreed) {
        BreedFromCell(NextRandom() % (m_nRows * m_nCols));
    } else if (m_pDoc->m_nMode == kModeEngineer) {
        RepeatLastEvolve();
        Invalidate();
    }
    RecordFossil(*m_pDoc->m_pCurrent);
    m_bInStep = false;
}

bool CQuorvaleView::RepeatDriver() {
    const int interval = RepeatInterval(m_pDoc->m_nMode, m_nLastEvolve);
    if (interval == 0 || !GeneDisplay().IsRepeatChecked()) {
        return false;
    }
    if (RepeatStepDue(Clock().TickCount(), m_dwLastStepTick, interval)) {
        RepeatStep();
    }
    return true;
}

void CQuorvaleView::ScheduleRepeat() {
    const int interval = RepeatInterval(m_pDoc->m_nMode, m_nLastEvolve);
    if (interval == 0 || !GeneDisplay().IsRepeatChecked()) {
        m_repeatTimer.stop();
        return;
    }
    // Wake when the next step is due, measured from the start of the last one; never spin.
    const uint32_t elapsed = Clock().TickCount() - m_dwLastStepTick;
    const int wait =
        elapsed > static_cast<uint32_t>(interval) ? 0 : interval - static_cast<int>(elapsed) + 1;
    m_repeatTimer.start(wait);
}

// ---------------------------------------------------------------------------------------
// Input

void CQuorvaleView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (m_bSkipClick) {
        m_bSkipClick = false;
        return;
    }
    if (GeneDisplay().IsRepeatChecked()) {
        return;
    }
    const QPoint point = event->position().toPoint();
    switch (m_pDoc->m_nMode) {
        case kModeBreed:
            for (int i = 0; i < m_nRows * m_nCols; ++i) {
                if (PtInCell(CellRect(i), point.x(), point.y())) {
                    BreedFromCell(i);
                    GeneDisplay().ShowGenes(m_pDoc->m_pCurrent.get());
                    RecordFossil(*m_pDoc->m_pCurrent);
                    break;
                }
            }
            break;
        case kModeEngineer:
            EngineerClick();
            break;
        case kModeTriangle:
            m_pDoc->m_listTrianglePoints.push_back({point.x(), point.y()});
            m_ptTriClick = {point.x(), point.y()};
            Invalidate();
            break;
        case kModeFamily:
            FamilyPress(point);
            break;
        default:
            break;
    }
}

void CQuorvaleView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pDoc->m_nMode == kModeFamily) {
        FamilyRelease(event->position().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CQuorvaleView::mouseDoubleClickEvent(QMouseEvent*) {
    // The second press of a double click is dropped: a double click acts once.
}

void CQuorvaleView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    UpdateCursor(point);
    if (point == m_ptLastMouse) {
        return;
    }
    m_ptLastMouse = point;
    const int mode = m_pDoc->m_nMode;
    if (mode == kModeBreed || mode == kModeFossils) {
        if (CBioMorph* morph = MorphAt(point)) {
            // The bar compares and repaints only the boxes and pictures that differ.
            GeneDisplay().ShowGenes(morph);
        }
    } else if (mode == kModeTriangle) {
        TriangleMouseMove(point);
    } else if (mode == kModeFamily) {
        FamilyMove(point);
    }
}

void CQuorvaleView::TriangleMouseMove(QPoint point) {
    if (!m_pTriangleBitmap) {
        return;
    }
    if (m_bNeedsDraw) {
        OnDraw();
    }
    const bool bInside =
        point.x() >= 0 && point.x() <= width() && point.y() >= 0 && point.y() <= height();
    m_imgScreen = m_pTriangleBitmap->copy();
    if (!bInside) {
        TriangleLeave();
        return;
    }
    if (m_bCursorShown) {
        setCursor(Qt::BlankCursor);
        m_bCursorShown = false;
    }
    BlendTriangle(*m_pDoc->m_pTriMorph, *m_pDoc->m_pTriTop, *m_pDoc->m_pTriLeft,
                  *m_pDoc->m_pTriRight,
                  TriangleDistances(point.x(), point.y(), m_ptTriTop, m_ptTriLeft, m_ptTriRight));
    {
        // The live morph follows the pointer: it must never hold it up.
        QPainter p(&m_imgScreen);
        CQtSurface surface(p, QRect(0, 0, width(), height()));
        m_pDoc->m_pTriMorph->Develop(&surface, point.x(), point.y(), m_pDoc->m_nOrientation, 1);
    }
    GeneDisplay().ShowGenes(m_pDoc->m_pTriMorph.get());
    ShowScreen();
}

void CQuorvaleView::TriangleLeave() {
    if (!m_bCursorShown) {
        m_bCursorShown = true;
        UpdateCursor(mapFromGlobal(QCursor::pos()));
    }
    if (m_pTriangleBitmap) {
        m_imgScreen = m_pTriangleBitmap->copy();
    }
    Invalidate();
}

void CQuorvaleView::leaveEvent(QEvent* event) {
    if (m_pDoc->m_nMode == kModeTriangle) {
        TriangleLeave();
    }
    QWidget::leaveEvent(event);
}

void CQuorvaleView::keyPressEvent(QKeyEvent* event) {
    // Esc stops Repeat only while offspring are being revealed (the step's input guard sees
    // it then); otherwise keys get the default handling.
    QWidget::keyPressEvent(event);
}

void CQuorvaleView::keyReleaseEvent(QKeyEvent* event) {
    if (m_pDoc->m_nMode == kModeEngineer && event->key() == Qt::Key_Space &&
        !event->isAutoRepeat()) {
        m_pDoc->m_pCurrent->Mutate(m_pDoc->m_fMutationRate);
        Invalidate();
        m_nLastEvolve = evolveMutate;
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void CQuorvaleView::wheelEvent(QWheelEvent* event) {
    if (m_pDoc->m_nMode != kModeFossils) {
        QWidget::wheelEvent(event);
        return;
    }
    event->accept();
    if (!m_wndVScroll || m_wndVScroll->isHidden()) {
        return;  // the whole history fits on the page
    }
    // Touchpads send small steps: a row per 120 units, however they come.
    m_nWheelDelta += event->angleDelta().y();
    while (std::abs(m_nWheelDelta) >= 120) {
        ScrollFossils(m_nWheelDelta > 0 ? EScrollRequest::LineUp : EScrollRequest::LineDown);
        m_nWheelDelta += m_nWheelDelta > 0 ? -120 : 120;
    }
}

void CQuorvaleView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_onContextMenu) {
        m_onContextMenu(event->globalPos());
    }
}

void CQuorvaleView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int v = VScrollWidth();
    if (m_wndVScroll) {
        m_wndVScroll->setGeometry(width() - v, 0, v, height());
        m_wndHScroll->setGeometry(0, height() - v, width() - v, v);
    }
    m_pDoc->ClearTrianglePoints();
    if (m_pTriangleBitmap) {
        m_pTriangleBitmap.reset();
        SetMode(m_pDoc->m_nMode);
    }
    if (m_pFamilyBitmap) {
        m_pFamilyBitmap.reset();
        SetMode(m_pDoc->m_nMode);
    }
    Invalidate();
}

void CQuorvaleView::UpdateCursor(QPoint point) {
    m_nCursorShape = 0;
    const int mode = m_pDoc->m_nMode;
    if (mode == kModeTriangle && !m_bCursorShown) {
        return;
    }
    if (mode == kModeFamily) {
        if (m_pCreateParent) {
            m_nCursorShape = 5;
        } else if (m_pDragNode) {
            m_nCursorShape = 1;
        } else if (m_pDoc->FamilyFrameAt(point.x(), point.y())) {
            m_nCursorShape = m_nFamilyTool == 0 ? 1 : 2;
        } else if (m_pDoc->FamilyNodeAt(point.x(), point.y())) {
            m_nCursorShape = m_nFamilyTool == 0 ? 5 : 2;
        } else if (m_nFamilyTool == 1) {
            for (const auto& family : m_pDoc->m_listFamilies) {
                if (!family->empty() && family->front()->FindLink(point.x(), point.y()).first) {
                    m_nCursorShape = 3;
                    break;
                }
            }
        }
    }
    if (m_cursorForShape) {
        setCursor(m_cursorForShape(mode == kModeBreed ? -1 : m_nCursorShape));
    }
}
