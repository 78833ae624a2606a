// FrozenGeometry.h: keeps a window at the size and place it had at its first layout.
#pragma once

#include <QRect>

#include <optional>

namespace wizard {

// The first resize stores the geometry; every later resize answers the stored geometry to put
// back. A move alone is not undone until the next resize.
class FrozenGeometry {
public:
    std::optional<QRect> onResize(const QRect& current)
    {
        if (!m_stored) {
            m_stored = current;
            return std::nullopt;
        }
        if (current == *m_stored)
            return std::nullopt;
        return m_stored;
    }
    std::optional<QRect> stored() const { return m_stored; }

private:
    std::optional<QRect> m_stored;
};

} // namespace wizard
