#pragma once

#include <string>

namespace tessaro {

/// The datapath picture's geometry as one JSON object, for front ends that are not C++ (the
/// browser page): the figure's boxes, buses, decoder and control lines, fixed wires and the
/// places of the value labels, all in picture coordinates. Rectangles are [x, y, width,
/// height], points [x, y], polylines lists of points.
std::string datapathGeometryJson();

} // namespace tessaro
