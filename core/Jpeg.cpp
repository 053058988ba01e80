#include "core/Jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <QFile>

#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr) {}  // warnings are not shown

constexpr int MaxSide = 8192;

}  // namespace

QImage DecodeJpegData(const QByteArray& bytes, QString* error) {
    if (bytes.isEmpty()) {
        if (error) *error = QStringLiteral("пустой файл");
        return QImage();
    }
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.output_message = OnMessage;
    // Everything the decoder touches after a longjmp lives outside this frame
    // or is volatile.
    QImage* volatile result = new QImage();
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        if (error) *error = QString::fromLocal8Bit(err.message);
        delete result;
        return QImage();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > MaxSide ||
        info.image_height > MaxSide) {
        jpeg_destroy_decompress(&info);
        if (error) *error = QStringLiteral("недопустимые размеры рисунка");
        delete result;
        return QImage();
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *result = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = result->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage image = *result;
    delete result;
    return image;
}

QImage DecodeJpegFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return QImage();
    }
    return DecodeJpegData(file.read(64 * 1024 * 1024), error);
}
