#pragma once

#include <QImage>
#include <optional>
#include <string>

#include "surface/raster_surface.h"

// The key of the PNG text chunk that carries a figure's code.
inline constexpr char kFigureCodeKey[] = "tavelune:figure";

// The surface's device pixels as an image, shared, not copied: valid while the surface is.
QImage ImageOf(const tavelune::RasterSurface& surface);

// A copy of the surface's device pixels, carrying the figure's code where it has one, and a
// resolution of 96 dpi times the surface's scale, so that every scale prints at one size.
QImage FigureImage(const tavelune::RasterSurface& surface, const std::optional<std::string>& code);
