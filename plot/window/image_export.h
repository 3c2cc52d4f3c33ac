#pragma once
// Saving a plot's picture as a file: JPEG (the default), PNG or SVG, chosen by the
// file name's extension.

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>

#include <functional>
#include <string>

namespace vex {

enum class PictureFormat { Jpeg, Png, Svg };

// A raster picture larger than this is refused rather than allocated (128 MB as RGB32).
constexpr int kMaxPictureSide = 16384;
constexpr qint64 kMaxPicturePixels = 32 * 1024 * 1024;

// ".png" and ".svg" (any case) choose PNG and SVG; every other name, with ".jpg",
// ".jpeg", another extension or none, is saved as JPEG, the plot images' own format.
PictureFormat PictureFormatOf(const QString& fileName);

// Lets draw paint a picture of the given size and saves it at path in the format its
// name chooses: JPEG (quality kJpegQuality) or PNG of an RGB32 image that starts
// white, or an SVG file whose drawing stays vectors. The file is replaced only when
// complete: on failure returns false with a sentence in error, and an old file is as
// it was.
bool SavePicture(const std::function<void(QPainter&, QSize)>& draw, QSize size, const QString& path,
                 std::string& error);

// Saves an existing image at path as JPEG or PNG, as its name chooses; a ".svg" name
// gets an SVG file that holds the image.
bool SaveImage(const QImage& image, const QString& path, std::string& error);

} // namespace vex
