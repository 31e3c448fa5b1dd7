// Anti-aliased shapes for the picture tools, described as signed distance functions: the
// distance in pixels from a point to the shape's edge, negative inside. Distances make edges
// smooth at any size and give bevels their slope.
#pragma once

#include <functional>
#include <vector>

#include "tools/common/raster.hpp"

namespace tools {

struct Point {
  float x;
  float y;
};

using Sdf = std::function<float(float x, float y)>;

Sdf circle(float cx, float cy, float radius);
Sdf ellipse(float cx, float cy, float rx, float ry);
// The rectangle [x, x + w] x [y, y + h] with corners rounded by radius.
Sdf roundRect(float x, float y, float w, float h, float radius);
Sdf box(float x, float y, float w, float h);
// A stroke of half-width halfWidth along the segment, with round caps.
Sdf segment(Point a, Point b, float halfWidth);
Sdf polygon(std::vector<Point> points);
Sdf ring(float cx, float cy, float radius, float halfWidth);

Sdf unite(Sdf a, Sdf b);
Sdf intersect(Sdf a, Sdf b);
Sdf subtract(Sdf a, Sdf b);
Sdf grow(Sdf a, float by);
Sdf outline(Sdf a, float halfWidth);
Sdf moved(Sdf a, float dx, float dy);

// Coverage of the shape over a width x height mask: 1 - 0.5 .. 0.5 ramp across the edge,
// averaged over samples x samples points per pixel when samples > 1.
Mask coverage(int width, int height, const Sdf& shape, int samples = 1);

// Fills the shape with the paint.
void fillShape(Image& image, const Sdf& shape, const Paint& paint, float opacity = 1, int samples = 1);

// Lights the shape's rim as if raised: within `width` pixels of the edge, surfaces facing the
// top-left light are brightened by up to `highlight` and the others darkened by up to
// `shadow`. soft = true fades the effect with depth (a cushion), false keeps a flat chamfer.
void bevel(Image& image, const Sdf& shape, float width, float highlight, float shadow, bool soft = false);

// An inner shadow along the top-left rim (a recess): the inverse of a bevel.
void recess(Image& image, const Sdf& shape, float width, float strength);

}  // namespace tools
