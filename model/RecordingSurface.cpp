#include "model/RecordingSurface.h"

void CRecordingSurface::SetPixel(int x, int y, SRgb colour) {
    m_ops.push_back({EKind::Pixel, m_state, colour, {{x, y}}, {}});
}

void CRecordingSurface::Line(int x0, int y0, int x1, int y1) {
    m_ops.push_back({EKind::Line, m_state, {}, {{x0, y0}, {x1, y1}}, {}});
}

void CRecordingSurface::Polygon(const SPoint* points, int count) {
    m_ops.push_back({EKind::Polygon, m_state, {}, {points, points + count}, {}});
}

void CRecordingSurface::Bezier13(const SPoint* points) {
    m_ops.push_back({EKind::Bezier, m_state, {}, {points, points + 13}, {}});
}

void CRecordingSurface::Ellipse(const SRect& box) {
    m_ops.push_back({EKind::Ellipse, m_state, {}, {}, box});
}

void CRecordingSurface::FillRect(const SRect& rect, SRgb colour) {
    m_ops.push_back({EKind::FillRect, m_state, colour, {}, rect});
}

void CRecordingSurface::FrameRect(const SRect& rect, SRgb colour) {
    m_ops.push_back({EKind::FrameRect, m_state, colour, {}, rect});
}

void CRecordingSurface::SetClip(const SRect* clip) {
    m_ops.push_back({EKind::Clip, m_state, {}, {}, clip ? *clip : SRect{}});
}

void CRecordingSurface::OnStroke(int x0, int y0, int x1, int y1) {
    m_ops.push_back({EKind::Stroke, m_state, {}, {{x0, y0}, {x1, y1}}, {}});
}

void CRecordingSurface::OnJoint(int x0, int y0, int x1, int y1) {
    m_ops.push_back({EKind::Joint, m_state, {}, {{x0, y0}, {x1, y1}}, {}});
}

std::vector<CRecordingSurface::SOp> CRecordingSurface::OpsOf(EKind kind) const {
    std::vector<SOp> out;
    for (const SOp& op : m_ops) {
        if (op.kind == kind) {
            out.push_back(op);
        }
    }
    return out;
}
