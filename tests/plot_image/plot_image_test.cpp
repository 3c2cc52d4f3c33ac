#include <QFile>
#include <QPainter>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/protected_files.h"
#include "plot/file_replace.h"
#include "plot/window/image_export.h"
#include "plot/window/jpeg_writer.h"

namespace fs = std::filesystem;

namespace vex {
namespace {

const QSize kPlotSize(400, 365);

// A plot's essentials: a white field, a thick red curve across it, a label.
void DrawRedLine(QPainter& painter, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setPen(QPen(Qt::red, 3));
    painter.drawLine(20, 182, 380, 182);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(20, 30), QStringLiteral("y = sin(x)"));
}

QByteArray ReadAll(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const fs::path& path, const char* bytes) {
    std::ofstream(path) << bytes;
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

class PlotImageTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "plot_image_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    QString Path(const std::string& name) const {
        return QString::fromStdString((dir / name).string());
    }

    fs::path dir;
};

void CheckJpeg(const fs::path& path, const QImage&) {
    const QByteArray bytes = ReadAll(path);
    ASSERT_TRUE(bytes.startsWith("\xFF\xD8\xFF")) << "not a JPEG file";
    const QImage image = QImage::fromData(bytes);
    ASSERT_EQ(image.size(), kPlotSize);
    const QRgb line = image.pixel(200, 182), field = image.pixel(200, 100);
    EXPECT_GT(qRed(line), 200);
    EXPECT_LT(qGreen(line), 70);
    EXPECT_LT(qBlue(line), 70);
    EXPECT_GT(qGray(field), 240);
}

void CheckPng(const fs::path& path, const QImage& drawn) {
    const QImage image = QImage::fromData(ReadAll(path), "PNG");
    ASSERT_FALSE(image.isNull()) << "not a PNG file";
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), drawn);
}

// The names of an SVG file's elements, after checking it is well-formed XML whose root
// is an svg element with the picture's view box.
std::multiset<QString> SvgElements(const fs::path& path, QSize size) {
    QXmlStreamReader xml(ReadAll(path));
    std::multiset<QString> names;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (names.empty()) {
            EXPECT_EQ(xml.name(), QStringLiteral("svg"));
            EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")),
                      QStringLiteral("0 0 %1 %2").arg(size.width()).arg(size.height()));
        }
        names.insert(xml.name().toString());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return names;
}

void CheckSvgDrawing(const fs::path& path, const QImage& drawn) {
    const std::multiset<QString> names = SvgElements(path, drawn.size());
    EXPECT_EQ(names.count(QStringLiteral("polyline")) + names.count(QStringLiteral("path")), 1u);
    EXPECT_EQ(names.count(QStringLiteral("text")), 1u);
    EXPECT_EQ(names.count(QStringLiteral("image")), 0u) << "the drawing became pixels";
}

void CheckSvgImage(const fs::path& path, const QImage& drawn) {
    EXPECT_EQ(SvgElements(path, drawn.size()).count(QStringLiteral("image")), 1u);
}

struct SaveRow {
    const char* name;
    const char* file;
    PictureFormat format;
    void (*check)(const fs::path&, const QImage&);
    void (*copyCheck)(const fs::path&, const QImage&); // of SaveImage's file
};

class SavePictureTest : public PlotImageTest, public testing::WithParamInterface<SaveRow> {};

TEST_P(SavePictureTest, WritesTheFormatTheNameChooses) {
    const SaveRow& row = GetParam();
    EXPECT_EQ(PictureFormatOf(QString::fromUtf8(row.file)), row.format);
    QImage drawn(kPlotSize, QImage::Format_RGB32);
    QPainter painter(&drawn);
    DrawRedLine(painter, kPlotSize);
    painter.end();
    std::string error;
    // Twice: the second save replaces the first file.
    for (int round = 0; round < 2; ++round)
        ASSERT_TRUE(SavePicture(DrawRedLine, kPlotSize, Path(row.file), error)) << error;
    row.check(dir / row.file, drawn);
    EXPECT_EQ(Listing(dir), std::set<std::string>{row.file});
    // An existing image saves the same way.
    ASSERT_TRUE(SaveImage(drawn, Path(std::string("copy_") + row.file), error)) << error;
    row.copyCheck(dir / (std::string("copy_") + row.file), drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SavePictureTest,
    testing::Values(
        SaveRow{"jpg", "plot.jpg", PictureFormat::Jpeg, CheckJpeg, CheckJpeg},
        SaveRow{"jpegUpperCase", "plot.JPEG", PictureFormat::Jpeg, CheckJpeg, CheckJpeg},
        SaveRow{"noExtension", "plot", PictureFormat::Jpeg, CheckJpeg, CheckJpeg},
        SaveRow{"otherExtension", "plot.bmp", PictureFormat::Jpeg, CheckJpeg, CheckJpeg},
        SaveRow{"png", "plot.png", PictureFormat::Png, CheckPng, CheckPng},
        SaveRow{"svgMixedCase", "plot.Svg", PictureFormat::Svg, CheckSvgDrawing, CheckSvgImage}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailRow {
    const char* name;
    std::string target; // in the test folder; each format's extension is added
    QSize size;
    const char* error; // part of the expected error text
    bool readOnlyFolder;
};

class SaveFailureTest : public PlotImageTest, public testing::WithParamInterface<FailRow> {};

TEST_P(SaveFailureTest, FailsWithAnErrorAndKeepsTheOldFile) {
    const FailRow& row = GetParam();
    if (row.readOnlyFolder && ::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root; ReplaceFaultTest covers the refusal";
    for (const std::string ext : {".jpg", ".png", ".svg"}) {
        SCOPED_TRACE(ext);
        WriteFile(dir / ("old" + ext), "old bytes");
        fs::create_directory(dir / ("folder" + ext));
        if (row.readOnlyFolder) fs::permissions(dir, fs::perms(0555));
        const std::set<std::string> before = Listing(dir);
        std::string error;
        EXPECT_FALSE(SavePicture(DrawRedLine, row.size, Path(row.target + ext), error));
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
        EXPECT_EQ(ReadAll(dir / ("old" + ext)), "old bytes");
        EXPECT_EQ(Listing(dir), before);
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SaveFailureTest,
    testing::Values(FailRow{"missingFolder", "missing/plot", kPlotSize, "No such file", false},
                    FailRow{"targetIsAFolder", "folder", kPlotSize, "it is a folder", false},
                    FailRow{"readOnlyFolder", "old", kPlotSize, "Permission denied", true},
                    FailRow{"zeroWidth", "old", QSize(0, 365), "no pixels", false},
                    FailRow{"negativeHeight", "old", QSize(400, -1), "no pixels", false},
                    FailRow{"tooLarge", "old", QSize(20000, 20000), "too large", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct EncodeRow {
    const char* name;
    QImage::Format format; // of a 40x30 field of one colour, or `width` wide
    int width;
    int quality;
    int tolerance;     // of the decoded colour
    const char* error; // part of the expected error text; nullptr: encodes
};

class EncodeJpegTest : public PlotImageTest, public testing::WithParamInterface<EncodeRow> {};

TEST_P(EncodeJpegTest, EncodesOrRefusesWithoutEndingTheProcess) {
    const EncodeRow& row = GetParam();
    QImage image;
    if (row.width > 0) {
        QImage field(row.width, 30, QImage::Format_RGB32);
        field.fill(QColor(30, 60, 200));
        image = field.convertToFormat(row.format);
    }
    std::string jpeg, error;
    const bool encoded = EncodeJpeg(image, row.quality, jpeg, error);
    if (row.error == nullptr) {
        ASSERT_TRUE(encoded) << error;
        const QImage decoded =
            QImage::fromData(QByteArray(jpeg.data(), static_cast<qsizetype>(jpeg.size())), "JPEG");
        ASSERT_EQ(decoded.size(), image.size());
        const QRgb got = decoded.pixel(20, 15), want = image.pixel(20, 15);
        EXPECT_NEAR(qRed(got), qRed(want), row.tolerance);
        EXPECT_NEAR(qGreen(got), qGreen(want), row.tolerance);
        EXPECT_NEAR(qBlue(got), qBlue(want), row.tolerance);
        return;
    }
    EXPECT_FALSE(encoded);
    EXPECT_NE(error.find(row.error), std::string::npos) << error;
    // Saved as a file, the refused image leaves the old one as it was.
    WriteFile(dir / "old.jpg", "old bytes");
    EXPECT_FALSE(WriteJpeg(image, (dir / "old.jpg").string(), row.quality, error));
    EXPECT_EQ(ReadAll(dir / "old.jpg"), "old bytes");
    EXPECT_EQ(Listing(dir), std::set<std::string>{"old.jpg"});
}

INSTANTIATE_TEST_SUITE_P(
    Encoder, EncodeJpegTest,
    testing::Values(EncodeRow{"rgb32", QImage::Format_RGB32, 40, 90, 6, nullptr},
                    EncodeRow{"argb32", QImage::Format_ARGB32, 40, 90, 6, nullptr},
                    EncodeRow{"grayscale8", QImage::Format_Grayscale8, 40, 90, 6, nullptr},
                    EncodeRow{"rgb888", QImage::Format_RGB888, 40, 75, 8, nullptr},
                    EncodeRow{"lowestQuality", QImage::Format_RGB32, 40, 1, 40, nullptr},
                    EncodeRow{"emptyImage", QImage::Format_RGB32, 0, 90, 0, "empty"},
                    EncodeRow{"qualityZero", QImage::Format_RGB32, 40, 0, 0, "quality"},
                    EncodeRow{"qualityAbove100", QImage::Format_RGB32, 40, 101, 0, "quality"},
                    // libjpeg's own refusal, which comes back through the error jump.
                    EncodeRow{"widerThanJpegAllows", QImage::Format_RGB32, 70000, 90, 0, "65500"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FaultRow {
    const char* name;
    const char* step;
    int error;
    const char* text;
};

class ReplaceFaultTest : public PlotImageTest, public testing::WithParamInterface<FaultRow> {};

TEST_P(ReplaceFaultTest, AFailedStepKeepsTheOldFileAndLeavesNoTemporary) {
    const FaultRow& row = GetParam();
    WriteFile(dir / "plot.jpg", "old bytes");
    const ReplaceFault fault{row.step, row.error};
    std::string error;
    EXPECT_FALSE(ReplaceFileContents((dir / "plot.jpg").string(), "new bytes", error, &fault));
    EXPECT_NE(error.find(row.text), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(row.error)), std::string::npos) << error;
    EXPECT_EQ(ReadAll(dir / "plot.jpg"), "old bytes");
    EXPECT_EQ(Listing(dir), std::set<std::string>{"plot.jpg"});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ReplaceFaultTest,
    testing::Values(FaultRow{"folderRefusesNewFiles", "temp", EACCES, "Permission denied"},
                    FaultRow{"diskFull", "write", ENOSPC, "No space left"},
                    FaultRow{"renameRefused", "rename", EXDEV, "cross-device"},
                    FaultRow{"userMayNotWriteTheFile", "access", EACCES, "Permission denied"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlotImageTest, ReplacingKeepsTheFileModeAndTheSymlink) {
    WriteFile(dir / "target.png", "old");
    fs::permissions(dir / "target.png", fs::perms(0640));
    fs::create_symlink("target.png", dir / "link.png");
    std::string error;
    ASSERT_TRUE(ReplaceFileContents((dir / "link.png").string(), "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
    EXPECT_EQ(ReadAll(dir / "target.png"), "new");
    EXPECT_EQ(fs::status(dir / "target.png").permissions(), fs::perms(0640));
    EXPECT_EQ(Listing(dir), (std::set<std::string>{"link.png", "target.png"}));
}

TEST_F(PlotImageTest, AProgramFileIsNeverReplacedByAPicture) {
    WriteFile(dir / "libzorbit.so.0", "library");
    ProtectFile((dir / "libzorbit.so.0").string());
    std::string error;
    const bool saved = SavePicture(DrawRedLine, kPlotSize, Path("libzorbit.so.0"), error);
    ClearProtectedFiles();
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("libzorbit.so.0: it is one of the program's own files"), std::string::npos)
        << error;
    EXPECT_EQ(ReadAll(dir / "libzorbit.so.0"), "library");
    EXPECT_EQ(Listing(dir), std::set<std::string>{"libzorbit.so.0"});
}

} // namespace
} // namespace vex
