#pragma once

#include <QImage>
#include <QString>
#include <cstdio>

// Writes `image` as PNG at `path`, and returns what went wrong, or nothing.
// - A regular file, or none yet: written whole or not at all, through a temporary file
//   renamed into place once everything is written; the old file is kept on any failure.
// - Anything else that exists (a pipe, a device, a terminal): opened and written in place,
//   never replaced nor removed.
// - A symbolic link: its target is written, and the link kept.
QString WritePng(const QImage& image, const QString& path);

// Writes `image` as PNG to an open stream, such as standard output.
QString WritePng(const QImage& image, std::FILE* stream, const QString& name);
