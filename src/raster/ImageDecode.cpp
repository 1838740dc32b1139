#include "raster/ImageDecode.h"

#include "core/TextFile.h"
#include "raster/GeoReference.h"

#include <QImageReader>
#include <QString>

#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
// After jpeglib.h: the message codes, to tell damaging warnings from harmless ones.
#include <jerror.h>

namespace kv::raster {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. It jumps back to
// the setjmp in RunJpeg below; only libjpeg's own C frames and these two handlers lie between, so
// no C++ destructor is skipped. Warnings that mean picture data is missing (a truncated file, a
// damaged scan) jump back the same way: a half-grey image is a failure, not a picture.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

bool DamagesPicture(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF: // premature end of the file
    case JWRN_HIT_MARKER: // a scan ends before its data
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

void OnJpegMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0) {
        return; // trace messages
    }
    if (DamagesPicture(cinfo->err->msg_code)) {
        OnJpegError(cinfo);
    }
    cinfo->err->num_warnings++; // harmless, e.g. stray bytes between markers
}

// Everything RunJpeg reads and writes, as plain data: nothing in RunJpeg's own frame needs a
// destructor, so the longjmp back into it is safe.
struct JpegJob {
    std::FILE* file = nullptr; // either a file ...
    const unsigned char* data = nullptr; // ... or bytes in memory
    unsigned long size = 0;
    bool headerOnly = false;
    int wantWidth = 0;
    int wantHeight = 0;
    // Called once with the output size; returns the first row and the distance between rows, or
    // nullptr when no image of that size can be made.
    unsigned char* (*allocate)(void* context, int width, int height, long* stride) = nullptr;
    void* allocateContext = nullptr;
    // Results.
    int fullWidth = 0;
    int fullHeight = 0;
    int denom = 1;
    char message[JMSG_LENGTH_MAX] = {};
};

// The largest output libjpeg may make here (1 GiB at 4 bytes a pixel), so that a file whose header
// claims an absurd size is refused instead of exhausting memory. libjpeg's own working memory
// (the whole-image coefficient buffer of a progressive file) gets the same bound.
constexpr long long kMaxOutputPixels = 1LL << 28;
constexpr long kMaxJpegWorkingMemory = 1L << 29;

// Converts one row of Adobe CMYK (stored inverted, as Photoshop writes it) to RGB32.
void CmykRowToRgb32(const JSAMPLE* cmyk, int width, bool inverted, unsigned char* out)
{
    auto* pixels = reinterpret_cast<std::uint32_t*>(out);
    for (int x = 0; x < width; ++x) {
        const JSAMPLE* pixel = cmyk + 4 * static_cast<std::ptrdiff_t>(x);
        int c = pixel[0], m = pixel[1], y = pixel[2], k = pixel[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        const std::uint32_t r = static_cast<std::uint32_t>(c * k / 255);
        const std::uint32_t g = static_cast<std::uint32_t>(m * k / 255);
        const std::uint32_t b = static_cast<std::uint32_t>(y * k / 255);
        pixels[x] = 0xff000000u | (r << 16) | (g << 8) | b;
    }
}

// Returns true on success; on failure job->message says why.
bool RunJpeg(JpegJob* job)
{
    jpeg_decompress_struct cinfo;
    ErrorManager manager;
    cinfo.err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = OnJpegError;
    manager.pub.emit_message = OnJpegMessage;
    manager.message[0] = '\0';
    if (setjmp(manager.jump) != 0) {
        std::snprintf(job->message, sizeof job->message, "%s", manager.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegWorkingMemory;
    if (job->file != nullptr) {
        jpeg_stdio_src(&cinfo, job->file);
    } else {
        jpeg_mem_src(&cinfo, job->data, job->size);
    }
    jpeg_read_header(&cinfo, TRUE);
    job->fullWidth = static_cast<int>(cinfo.image_width);
    job->fullHeight = static_cast<int>(cinfo.image_height);
    if (job->headerOnly) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    job->denom = ChooseScaleDenom({ job->fullWidth, job->fullHeight }, job->wantWidth, job->wantHeight);
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned int>(job->denom);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk) {
        cinfo.out_color_space = JCS_CMYK;
    } else {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        cinfo.out_color_space = JCS_EXT_BGRX; // QImage::Format_RGB32 in memory order
#else
        cinfo.out_color_space = JCS_EXT_XRGB;
#endif
    }
    jpeg_calc_output_dimensions(&cinfo);
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    if (static_cast<long long>(width) * height > kMaxOutputPixels) {
        std::snprintf(job->message, sizeof job->message, "the picture is too large (%d x %d pixels)", width, height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    long stride = 0;
    unsigned char* first = job->allocate(job->allocateContext, width, height, &stride);
    if (first == nullptr) {
        std::snprintf(job->message, sizeof job->message, "not enough memory for %d x %d pixels", width, height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    JSAMPARRAY cmykRow = nullptr;
    if (cmyk) {
        cmykRow = (*cinfo.mem->alloc_sarray)(
            reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, static_cast<JDIMENSION>(width) * 4, 1);
    }
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* row = first + stride * static_cast<long>(cinfo.output_scanline);
        if (cmyk) {
            jpeg_read_scanlines(&cinfo, cmykRow, 1);
            CmykRowToRgb32(cmykRow[0], width, inverted, row);
        } else {
            JSAMPROW rows[1] = { row };
            jpeg_read_scanlines(&cinfo, rows, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

unsigned char* AllocateQImage(void* context, int width, int height, long* stride)
{
    auto* image = static_cast<QImage*>(context);
    *image = QImage(width, height, QImage::Format_RGB32);
    if (image->isNull()) {
        return nullptr;
    }
    *stride = static_cast<long>(image->bytesPerLine());
    return image->bits();
}

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

void SetError(std::string* error, const std::string& text)
{
    if (error != nullptr) {
        *error = text;
    }
}

// The first bytes of a file, or nullopt with the error set when it cannot be read.
std::optional<std::string> FirstBytes(const std::string& path, std::string* error)
{
    const std::string problem = kv::RegularFileProblem(path);
    if (!problem.empty()) {
        SetError(error, "Image file " + Quoted(path) + " " + problem + ".");
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        SetError(error, "Image file " + Quoted(path) + " cannot be opened: " + std::strerror(errno) + ".");
        return std::nullopt;
    }
    char bytes[4] = {};
    const std::size_t n = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    if (n == 0) {
        SetError(error, "Image file " + Quoted(path) + " is empty.");
        return std::nullopt;
    }
    return std::string(bytes, n);
}

bool RunJpegOnFile(const std::string& path, JpegJob& job)
{
    job.file = std::fopen(path.c_str(), "rb");
    if (job.file == nullptr) {
        std::snprintf(job.message, sizeof job.message, "%s", std::strerror(errno));
        return false;
    }
    const bool ok = RunJpeg(&job);
    std::fclose(job.file);
    job.file = nullptr;
    return ok;
}

std::string JpegFailure(const std::string& name, const JpegJob& job)
{
    return "Image file " + Quoted(name) + " is not a readable JPEG picture (" + job.message + ").";
}

std::optional<DecodedImage> FinishJpeg(
    bool ok, JpegJob& job, QImage& image, const std::string& name, std::string* error)
{
    if (!ok) {
        SetError(error, JpegFailure(name, job));
        return std::nullopt;
    }
    DecodedImage decoded;
    decoded.image = std::move(image);
    decoded.full = { job.fullWidth, job.fullHeight };
    decoded.scaleDenom = job.denom;
    return decoded;
}

std::string ReaderFailure(const std::string& path, const QImageReader& reader)
{
    return "Image file " + Quoted(path) + " is not a readable picture (" + reader.errorString().toStdString() + ").";
}

} // namespace

bool LooksLikeJpeg(std::string_view firstBytes)
{
    return firstBytes.size() >= 3 && static_cast<unsigned char>(firstBytes[0]) == 0xFF
        && static_cast<unsigned char>(firstBytes[1]) == 0xD8 && static_cast<unsigned char>(firstBytes[2]) == 0xFF;
}

ImageSize ScaledSize(ImageSize full, int denom)
{
    if (denom <= 1) {
        return full;
    }
    return { (full.width + denom - 1) / denom, (full.height + denom - 1) / denom };
}

int ChooseScaleDenom(ImageSize full, int wantWidth, int wantHeight)
{
    if (wantWidth <= 0 || wantHeight <= 0) {
        return 1;
    }
    for (int denom : { 8, 4, 2 }) {
        const ImageSize reduced = ScaledSize(full, denom);
        if (reduced.width >= wantWidth && reduced.height >= wantHeight) {
            return denom;
        }
    }
    return 1;
}

std::optional<ImageSize> ReadImageSize(const std::string& path, std::string* error)
{
    const auto first = FirstBytes(path, error);
    if (!first) {
        return std::nullopt;
    }
    if (LooksLikeJpeg(*first)) {
        JpegJob job;
        job.headerOnly = true;
        if (!RunJpegOnFile(path, job)) {
            SetError(error, JpegFailure(path, job));
            return std::nullopt;
        }
        return ImageSize { job.fullWidth, job.fullHeight };
    }
    QImageReader reader(QString::fromStdString(path));
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid()) {
        if (GeoReferenceAvailable()) {
            if (auto viaGdal = ReadGeoRasterSize(path, nullptr)) {
                return viaGdal;
            }
        }
        SetError(error, ReaderFailure(path, reader));
        return std::nullopt;
    }
    return ImageSize { size.width(), size.height() };
}

std::optional<DecodedImage> DecodeImage(const std::string& path, int wantWidth, int wantHeight, std::string* error)
{
    const auto first = FirstBytes(path, error);
    if (!first) {
        return std::nullopt;
    }
    if (LooksLikeJpeg(*first)) {
        QImage image;
        JpegJob job;
        job.wantWidth = wantWidth;
        job.wantHeight = wantHeight;
        job.allocate = AllocateQImage;
        job.allocateContext = &image;
        const bool ok = RunJpegOnFile(path, job);
        return FinishJpeg(ok, job, image, path, error);
    }
    QImageReader reader(QString::fromStdString(path));
    reader.setDecideFormatFromContent(true);
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        if (GeoReferenceAvailable()) {
            if (auto viaGdal = DecodeGeoRaster(path, wantWidth, wantHeight, nullptr)) {
                return viaGdal;
            }
        }
        SetError(error, ReaderFailure(path, reader));
        return std::nullopt;
    }
    DecodedImage decoded;
    decoded.full = { image.width(), image.height() };
    decoded.image
        = image.format() == QImage::Format_RGB32 ? std::move(image) : image.convertToFormat(QImage::Format_RGB32);
    if (decoded.image.isNull()) {
        SetError(error, "Image file " + Quoted(path) + " is too large to show.");
        return std::nullopt;
    }
    return decoded;
}

std::optional<DecodedImage> DecodeJpegBytes(
    std::string_view bytes, const std::string& name, int wantWidth, int wantHeight, std::string* error)
{
    if (bytes.empty()) {
        SetError(error, "Image file " + Quoted(name) + " is empty.");
        return std::nullopt;
    }
    if (!LooksLikeJpeg(bytes)) {
        SetError(error, "Image file " + Quoted(name) + " is not a JPEG picture.");
        return std::nullopt;
    }
    QImage image;
    JpegJob job;
    job.data = reinterpret_cast<const unsigned char*>(bytes.data());
    job.size = static_cast<unsigned long>(bytes.size());
    job.wantWidth = wantWidth;
    job.wantHeight = wantHeight;
    job.allocate = AllocateQImage;
    job.allocateContext = &image;
    const bool ok = RunJpeg(&job);
    return FinishJpeg(ok, job, image, name, error);
}

} // namespace kv::raster
