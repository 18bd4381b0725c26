// The capturing piece's journey along its loop, one synchronous repaint per frame.
#include "binding/orbello.h"

#include <cmath>
#include <cstdlib>

namespace {

struct UnitPoint {
    double x, y;
};

// Samples of the three-quarter arc around corner c, starting from p (excluded) on c's row or
// column and ending on the other grid line through c.
void AppendArc(std::vector<UnitPoint>& out, const BoardPoint& p, const BoardPoint& c) {
    const bool onRow = p.y == c.y && p.x != c.x;
    const bool onColumn = p.x == c.x && p.y != c.y;
    if (!onRow && !onColumn) return;
    const double d = onRow ? std::abs(p.x - c.x) : std::abs(p.y - c.y);
    for (int k = 1; k <= 15; ++k) {
        const double theta = k * 0.1 * 3.1415926;
        const double along = d * std::cos(theta), outward = d * std::sin(theta);
        if (onRow) {
            // From p toward c along the row, then away from the board around c.
            out.push_back({c.x == 0 ? along : 5 - along, c.y == 0 ? -outward : 5 + outward});
        } else {
            out.push_back({c.x == 0 ? -outward : 5 + outward, c.y == 0 ? along : 5 - along});
        }
    }
}

} // namespace

void COrbello::BuildAnimationPath(std::vector<PixelPoint>& points) {
    std::vector<UnitPoint> route;
    for (size_t i = 0; i + 1 < m_capturePath.size(); ++i) {
        const BoardPoint& p = m_capturePath[i];
        const BoardPoint& q = m_capturePath[i + 1];
        if (IsCornerPoint(q)) {
            AppendArc(route, p, q);
        } else if (std::abs(q.x - p.x) <= 1 && std::abs(q.y - p.y) <= 1 && !(p == q)) {
            route.push_back({p.x + 0.5 * (q.x - p.x), p.y + 0.5 * (q.y - p.y)});
            route.push_back({static_cast<double>(q.x), static_cast<double>(q.y)});
        }
    }
    const double w = m_nBoardWidth;
    points.clear();
    points.reserve(route.size());
    for (const UnitPoint& u : route) {
        points.push_back({static_cast<std::int32_t>((u.x + 3.0) * w / 11.0),
                          static_cast<std::int32_t>((u.y + 3.0) * w / 11.0)});
    }
}

void COrbello::AnimateCapture() {
    std::vector<PixelPoint> points;
    BuildAnimationPath(points);
    m_nAnimSide = m_nSide;
    for (const PixelPoint& p : points) {
        m_nAnimX = p.x;
        m_nAnimY = p.y;
        RequestRepaint();
    }
    m_nAnimY = -1;
    m_nAnimX = -1;
}
