#include "view/QuorvaleView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "platform/QtSurface.h"
#include "view/BreedMode.h"
#include "view/CellRenderer.h"
#include "view/EngineerMode.h"
#include "view/FamilyMode.h"
#include "view/FossilMode.h"
#include "view/GridDrawing.h"
#include "view/MorphDrag.h"
#include "view/TriangleMode.h"
#include "view/UndoHistory.h"
#include "view/ViewPainting.h"

CQuorvaleView::CQuorvaleView(CQuorvaleDoc* doc, QWidget* parent)
    : QWidget(parent),
      m_pDoc(doc),
      m_pBreed(std::make_unique<CBreedMode>(*this)),
      m_pEngineer(std::make_unique<CEngineerMode>(*this)),
      m_pFossils(std::make_unique<CFossilMode>(*this)),
      m_pTriangle(std::make_unique<CTriangleMode>(*this)),
      m_pFamily(std::make_unique<CFamilyMode>(*this)),
      m_clipboard(*this),
      m_repeat(*this),
      m_pHistory(std::make_unique<CUndoHistory>(*this)),
      m_pMorphDrag(std::make_unique<CMorphDrag>(*this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(60, 60);
    g_bAbortReveal = false;
    m_repeat.ClockChanged();
}

CQuorvaleView::~CQuorvaleView() {
    if (m_pDoc) {
        m_pDoc->SetViewLink(nullptr);
    }
}

void CQuorvaleView::SetClock(IClock* clock) {
    m_pClock = clock ? clock : &m_systemClock;
    m_repeat.ClockChanged();
    emit clockChanged();
}

// ---------------------------------------------------------------------------------------
// Modes

IModeHandler* CQuorvaleView::HandlerFor(int mode) const {
    switch (mode) {
        case kModeBreed:
            return m_pBreed.get();
        case kModeEngineer:
            return m_pEngineer.get();
        case kModeFossils:
            return m_pFossils.get();
        case kModeTriangle:
            return m_pTriangle.get();
        case kModeFamily:
            return m_pFamily.get();
        default:
            return nullptr;
    }
}

IModeHandler& CQuorvaleView::Handler() const {
    IModeHandler* handler = HandlerFor(m_pDoc->m_nMode);
    // A mode number from nowhere draws as Engineer would, and takes no clicks.
    return handler ? *handler : static_cast<IModeHandler&>(*m_pEngineer);
}

void CQuorvaleView::SetMode(int mode) {
    m_pDoc->SetMode(mode);
    EnterMode(mode);
}

void CQuorvaleView::EnterMode(int mode) {
    // Any family-tree gesture ends with its mode.
    m_pFamily->EndGesture();
    if (m_pHandler) {
        m_pHandler->Leave();
    }
    m_pHandler = HandlerFor(mode);
    if (m_pHandler) {
        m_pHandler->Enter();
    }
    const SBarSetup bar = m_pHandler ? m_pHandler->BarSetup() : SBarSetup{};
    m_pBar->SetEditable(bar.bEditable);
    m_pBar->ShowHopeful(bar.bHopeful);
    m_pBar->ShowRepeat(bar.bRepeatShown);
    m_pBar->EnableRepeat(bar.bRepeatEnabled);
    if (m_wndHScroll) {
        m_wndHScroll->hide();
    }
    UpdateCursor(mapFromGlobal(QCursor::pos()));
    ScheduleRepeat();
    if (!m_pBar->IsRepeatChecked()) {
        m_pHistory->EndRun();
    }
    emit modeChanged(mode);
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
        EnterMode(m_pDoc->m_nMode);
        m_bFirstUpdate = false;
    }
}

void CQuorvaleView::SetFamilyTool(EFamilyTool tool) {
    m_nFamilyTool = tool;
}

bool CQuorvaleView::IsCreatingChild() const {
    return m_pFamily->IsCreatingChild();
}

void CQuorvaleView::TriangleChanged() {
    m_pTriangle->MarkDirty();
}

void CQuorvaleView::TriangleCleared() {
    m_pTriangle->Cleared();
    m_pFamily->EndGesture();
}

SPoint CQuorvaleView::TriangleTop() const {
    return m_pTriangle->Top();
}

SPoint CQuorvaleView::TriangleLeft() const {
    return m_pTriangle->Left();
}

SPoint CQuorvaleView::TriangleRight() const {
    return m_pTriangle->Right();
}

bool CQuorvaleView::OffersContextMenuAt(QPoint point) const {
    return rect().contains(point) && Handler().OffersContextMenuAt(point);
}

// ---------------------------------------------------------------------------------------
// Fossil history

void CQuorvaleView::RecordFossil(const CBioMorph& morph) {
    m_pDoc->RecordFossil(morph);
}

void CQuorvaleView::SetFirstFossil(int first) {
    m_pFossils->SetFirstFossil(first);
}

int CQuorvaleView::FirstFossil() const {
    return m_pFossils->FirstIndexShown();
}

const SFossilScroll& CQuorvaleView::FossilBar() const {
    return m_pFossils->ScrollState();
}

void CQuorvaleView::FossilScrollRangeChanged() {
    if (m_pDoc->m_listFossils.size() > static_cast<size_t>(m_nRows * m_nCols)) {
        SetFossilScrollRange();
    }
}

void CQuorvaleView::SetFossilScrollRange() {
    m_pFossils->SetScrollRange();
}

void CQuorvaleView::ScrollFossils(EScrollRequest request, int position) {
    if (m_pDoc->m_nMode == kModeFossils) {
        m_pFossils->Scroll(request, position);
    }
}

// ---------------------------------------------------------------------------------------
// Breeding and engineering

void CQuorvaleView::BreedFromCell(int cell) {
    m_pBreed->BreedFromCell(cell);
}

void CQuorvaleView::ShowBreedingScreen() {
    m_pBreed->ShowBreedingScreen();
}

void CQuorvaleView::NewFamilyRoot() {
    m_pDoc->NewFamilyRoot(width() / 2, height() / 2);
}

void CQuorvaleView::EngineerClick() {
    m_pEngineer->Click();
}

void CQuorvaleView::RepeatLastEvolve() {
    CBioMorph& current = *m_pDoc->m_pCurrent;
    if (m_nLastEvolve == evolveMutate) {
        current.Mutate(m_pDoc->m_fMutationRate);
    } else if (m_nLastEvolve == evolveMonster) {
        current.HopefulMonster();
    }
    m_pGenes->ShowGenes(&current);
    RecordFossil(current);
}

void CQuorvaleView::StopRepeat() {
    if (m_pBar->IsRepeatChecked()) {
        m_pBar->SetRepeatChecked(false);
    }
    g_bAbortReveal = true;
    m_pHistory->EndRun();
}

void CQuorvaleView::DocumentReplaced() {
    m_pFamily->EndGesture();
    m_pHistory->Clear();
}

void CQuorvaleView::CurrentChanged() {
    m_pGenes->ShowGenes(m_pDoc->m_pCurrent.get());
}

void CQuorvaleView::SpecialGenesChanged() {
    m_pGenes->ShowSpecialGeneBoxes();
}

QPoint CQuorvaleView::PointerPos() const {
    return mapFromGlobal(QCursor::pos());
}

namespace {
// The parts of the document a mode shows.
unsigned PartsShownIn(int mode) {
    switch (mode) {
        case kModeBreed:
            return kPartCurrent | kPartOffspring;
        case kModeEngineer:
            return kPartCurrent;
        case kModeTriangle:
            return kPartTriangle | kPartCorners;
        case kModeFamily:
            return kPartFamilies;
        default:
            return 0;
    }
}
}  // namespace

void CQuorvaleView::ShowChangeFrom(int mode, unsigned parts) {
    // A change the current mode could not show (a family edit undone from Breed) goes back to
    // where it was made, so the user sees what is taken back.
    if (mode != m_pDoc->Mode() && (parts & PartsShownIn(m_pDoc->Mode())) == 0 &&
        HandlerFor(mode) != nullptr) {
        SetMode(mode);
    }
}

SDocState CQuorvaleView::CaptureState() const {
    return SDocState::Capture(*m_pDoc, m_nCols, m_nRows);
}

void CQuorvaleView::SetZoom(int zoom) {
    zoom = std::clamp(zoom, 1, kMaxZoom);
    if (zoom == m_nZoom) {
        return;
    }
    m_nZoom = zoom;
    // The triangle's kept picture holds morphs at the old size.
    m_pTriangle->MarkDirty();
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Undo

int CQuorvaleView::UndoKindOfMode() const {
    switch (m_pDoc->m_nMode) {
        case kModeEngineer:
            return static_cast<int>(EUndoKind::Engineer);
        case kModeTriangle:
            return static_cast<int>(EUndoKind::TrianglePick);
        case kModeFamily:
            return static_cast<int>(EUndoKind::FamilyEdit);
        default:
            return static_cast<int>(EUndoKind::Breed);
    }
}

void CQuorvaleView::RestoreState(const SDocState& state, unsigned parts) {
    // A gesture in progress may point at nodes that are about to go.
    m_pFamily->EndGesture();
    state.RestoreInto(*m_pDoc, parts);
    if (parts & kPartOffspring) {
        m_nCols = std::clamp(state.cols, 1, 9);
        m_nRows = std::clamp(state.rows, 1, 7);
        GridResized();
    }
    if (parts & (kPartTriangle | kPartCorners)) {
        m_pTriangle->Cleared();
    }
    m_pGenes->ShowGenes(m_pDoc->m_pCurrent.get());
    Invalidate();
    emit documentChanged();
}

// ---------------------------------------------------------------------------------------
// Rows and columns

void CQuorvaleView::AddRows() {
    if (m_nRows < 7) {
        m_nRows += 2;
        m_pDoc->AddParentCopies(2 * m_nCols);
        GridResized();
    }
}

void CQuorvaleView::AddColumns() {
    if (m_nCols < 9) {
        m_nCols += 2;
        m_pDoc->AddParentCopies(2 * m_nRows);
        GridResized();
    }
}

void CQuorvaleView::RemoveRows() {
    if (m_nRows > 1) {
        m_nRows = std::max(m_nRows - 2, 1);
        m_pDoc->RemoveLastOffspring(2 * m_nCols);
        GridResized();
    }
}

void CQuorvaleView::RemoveColumns() {
    if (m_nCols > 1) {
        m_nCols = std::max(m_nCols - 2, 1);
        m_pDoc->RemoveLastOffspring(2 * m_nRows);
        GridResized();
    }
}

void CQuorvaleView::GridResized() {
    UpdateParentCell();
    SetFossilScrollRange();
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Clipboard

void CQuorvaleView::CopyToClipboard(CBioMorph* morph, const SRect* rect) {
    m_clipboard.Copy(morph, rect);
}

bool CQuorvaleView::ClipboardHasMorph() const {
    return m_clipboard.HasMorph();
}

bool CQuorvaleView::PasteInto(CBioMorph& morph) {
    if (!m_clipboard.PasteInto(morph)) {
        return false;
    }
    Handler().Pasted();
    Invalidate();
    return true;
}

// ---------------------------------------------------------------------------------------
// Input

void CQuorvaleView::mousePressEvent(QMouseEvent* event) {
    Handler().MousePressed();
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (m_bSkipClick) {
        m_bSkipClick = false;
        return;
    }
    if (m_pBar->IsRepeatChecked()) {
        emit ignoredWhileRepeating();
        return;
    }
    if (m_pMorphDrag->Press(event->position().toPoint(),
                            event->modifiers().testFlag(Qt::ControlModifier))) {
        return;
    }
    PressMode(event->position().toPoint());
}

void CQuorvaleView::PressMode(QPoint point) {
    const auto kind = static_cast<EUndoKind>(UndoKindOfMode());
    m_pHistory->Begin();
    Handler().Press(point);
    // A press that changed nothing yet (a drag begins) leaves the change to its release.
    m_pHistory->Commit(kind, true);
    emit documentChanged();
}

void CQuorvaleView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pMorphDrag->IsPending()) {
        // Ctrl and a click without a drag: the click it would have been.
        const QPoint pressed = m_pMorphDrag->PressPoint();
        m_pMorphDrag->Release();
        PressMode(pressed);
    }
    if (event->button() != Qt::LeftButton || !Handler().Release(event->position().toPoint())) {
        QWidget::mouseReleaseEvent(event);
    }
    if (event->button() == Qt::LeftButton) {
        m_pHistory->Commit(static_cast<EUndoKind>(UndoKindOfMode()));
    }
    emit documentChanged();
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
    if ((event->buttons() & Qt::LeftButton) && m_pMorphDrag->Move(point)) {
        return;
    }
    Handler().Move(point);
}

void CQuorvaleView::leaveEvent(QEvent* event) {
    Handler().PointerLeft();
    QWidget::leaveEvent(event);
}

void CQuorvaleView::keyPressEvent(QKeyEvent* event) {
    // Esc stops Repeat only while offspring are being revealed (the step's input guard sees
    // it then). Modes may use keys of their own (the grid's cells from the keyboard).
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier) ||
        !Handler().KeyPress(event)) {
        QWidget::keyPressEvent(event);
    }
}

bool CQuorvaleView::PressAsClick(QPoint point) {
    if (m_pBar->IsRepeatChecked()) {
        emit ignoredWhileRepeating();
        return false;
    }
    PressMode(point);
    return true;
}

void CQuorvaleView::keyReleaseEvent(QKeyEvent* event) {
    const auto kind = static_cast<EUndoKind>(UndoKindOfMode());
    m_pHistory->Begin();
    if (!Handler().KeyRelease(event)) {
        QWidget::keyReleaseEvent(event);
    }
    m_pHistory->Commit(kind);
    emit documentChanged();
}

void CQuorvaleView::wheelEvent(QWheelEvent* event) {
    if (!Handler().Wheel(event)) {
        QWidget::wheelEvent(event);
    }
}

void CQuorvaleView::contextMenuEvent(QContextMenuEvent* event) {
    // The menu key opens the menu of the cell the keyboard marks (and acts on its morph), or
    // of the middle of the view, where the parent is.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const QPoint at = Handler().KeyboardPoint().value_or(rect().center());
        emit contextMenuRequested(mapToGlobal(at));
        return;
    }
    emit contextMenuRequested(event->globalPos());
}

void CQuorvaleView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int v = VScrollWidth();
    if (m_wndVScroll) {
        m_wndVScroll->setGeometry(width() - v, 0, v, height());
        m_wndHScroll->setGeometry(0, height() - v, width() - v, v);
    }
    m_pDoc->ClearTrianglePoints();
    if (m_pHandler) {
        m_pHandler->Resized();
    }
    Invalidate();
}

void CQuorvaleView::UpdateCursor(QPoint point) {
    setCursor(CursorFor(Handler().CursorAt(point)));
}
