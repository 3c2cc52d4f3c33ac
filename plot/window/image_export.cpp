#include "plot/window/image_export.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSvgGenerator>

#include <string_view>

#include "plot/file_replace.h"
#include "plot/window/jpeg_writer.h"

namespace vex {
namespace {

std::string FileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool CheckSize(QSize size, std::string& error) {
    if (size.width() <= 0 || size.height() <= 0) {
        error = "the picture has no pixels (" + std::to_string(size.width()) + "x" +
                std::to_string(size.height()) + ")";
        return false;
    }
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        qint64{size.width()} * size.height() > kMaxPicturePixels) {
        error = "the picture is too large (" + std::to_string(size.width()) + "x" +
                std::to_string(size.height()) + ")";
        return false;
    }
    return true;
}

bool Replace(const QString& path, const QByteArray& bytes, std::string& error) {
    return ReplaceFileContents(
        FileName(path), std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
        error);
}

bool WritePng(const QImage& image, const QString& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = "the PNG encoder refused the image";
        return false;
    }
    return Replace(path, bytes, error);
}

bool WriteSvg(const std::function<void(QPainter&, QSize)>& draw, QSize size, const QString& path,
              std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    // At 96 dots per inch a viewer shows the picture as large as the window was.
    generator.setResolution(96);
    generator.setTitle(QStringLiteral("Plot"));
    generator.setDescription(QStringLiteral("Drawn by vexCalc"));
    QPainter painter;
    if (!painter.begin(&generator)) {
        error = "cannot start an SVG drawing";
        return false;
    }
    draw(painter, size);
    painter.end();
    return Replace(path, bytes, error);
}

bool WriteRaster(const QImage& image, PictureFormat format, const QString& path,
                 std::string& error) {
    if (format == PictureFormat::Png) return WritePng(image, path, error);
    return WriteJpeg(image, FileName(path), kJpegQuality, error);
}

} // namespace

PictureFormat PictureFormatOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0) return PictureFormat::Png;
    if (suffix.compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) return PictureFormat::Svg;
    return PictureFormat::Jpeg;
}

bool SavePicture(const std::function<void(QPainter&, QSize)>& draw, QSize size, const QString& path,
                 std::string& error) {
    if (!draw) {
        error = "nothing to draw";
        return false;
    }
    if (!CheckSize(size, error)) return false;
    const PictureFormat format = PictureFormatOf(path);
    if (format == PictureFormat::Svg) return WriteSvg(draw, size, path, error);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "not enough memory for a picture of " + std::to_string(size.width()) + "x" +
                std::to_string(size.height());
        return false;
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        draw(painter, size);
    }
    return WriteRaster(image, format, path, error);
}

bool SaveImage(const QImage& image, const QString& path, std::string& error) {
    if (image.isNull()) {
        error = "the image is empty";
        return false;
    }
    const PictureFormat format = PictureFormatOf(path);
    if (format != PictureFormat::Svg) return WriteRaster(image, format, path, error);
    if (!CheckSize(image.size(), error)) return false;
    return WriteSvg([&image](QPainter& painter, QSize) { painter.drawImage(0, 0, image); },
                    image.size(), path, error);
}

} // namespace vex
