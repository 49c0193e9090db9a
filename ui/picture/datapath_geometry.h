#pragma once

// The picture's geometry, shared with every front end, in Qt's types.

#include "presentation/datapath_geometry.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tessaro::geometry {

constexpr QPoint qt(Point p) {
    return {p.x(), p.y()};
}
constexpr QSize qt(Size s) {
    return {s.width(), s.height()};
}
constexpr QRect qt(const Rect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace tessaro::geometry
