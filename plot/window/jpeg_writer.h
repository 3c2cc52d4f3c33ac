#pragma once
// JPEG files of plot pictures, through libjpeg's own interface.

#include <QImage>

#include <string>

namespace vex {

constexpr int kJpegQuality = 90;

// Compresses image (any format; it is converted to RGB32 once) at quality 1..100 into
// jpeg. Returns false with a sentence in error for an empty image, a quality out of
// range or anything the encoder refuses (such as a side over 65500 pixels).
bool EncodeJpeg(const QImage& image, int quality, std::string& jpeg, std::string& error);

// Encodes image and saves it as the file at path (a file-system name).
// The file is replaced only when complete: on failure returns false with a sentence in
// error, and the old file, if any, is as it was.
bool WriteJpeg(const QImage& image, const std::string& path, int quality, std::string& error);
inline bool WriteJpeg(const QImage& image, const std::string& path, std::string& error) {
    return WriteJpeg(image, path, kJpegQuality, error);
}

} // namespace vex
