#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <string>

#include "surface/raster_surface.h"

// The key of the PNG text chunk that carries a figure's code.
inline constexpr char kFigureCodeKey[] = "tavelune:figure";

// The surface's device pixels as an image, shared, not copied: valid while the surface is.
QImage ImageOf(const tavelune::RasterSurface& surface);

// A copy of the surface's device pixels, carrying the figure's code where it has one.
QImage FigureImage(const tavelune::RasterSurface& surface, const std::optional<std::string>& code);

// Writes `image` as PNG at `path` whole or not at all: through a temporary file renamed
// into place once everything is written. Returns what went wrong, or nothing.
QString WritePng(const QImage& image, const QString& path);
