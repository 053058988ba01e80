#include "core/Cp1251.h"

namespace {

// Unicode of the bytes 0x80..0xBF; 0 marks the undefined byte 0x98.
// 0xC0..0xFF are А..я, U+0410..U+044F.
constexpr char16_t HighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// The byte of c, or -1 when the code page has none.
int ByteOf(char16_t c) {
    if (c < 0x80) return c;
    if (c >= 0x0410 && c <= 0x044F) return 0xC0 + (c - 0x0410);
    for (int i = 0; i < 64; ++i)
        if (HighHalf[i] != 0 && HighHalf[i] == c) return 0x80 + i;
    return -1;
}

}  // namespace

bool FitsCp1251(char16_t c) { return ByteOf(c) >= 0; }

bool FitsCp1251(const QString& text) {
    for (QChar ch : text)
        if (!FitsCp1251(ch.unicode())) return false;
    return true;
}

QByteArray ToCp1251(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const int b = ByteOf(ch.unicode());
        out.append(static_cast<char>(b < 0 ? '?' : b));
    }
    return out;
}

QString FromCp1251(const char* data, int length) {
    QString out;
    out.reserve(length);
    for (int i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b < 0x80)
            out.append(QChar(b));
        else if (b >= 0xC0)
            out.append(QChar(char16_t(0x0410 + (b - 0xC0))));
        else {
            const char16_t u = HighHalf[b - 0x80];
            out.append(QChar(u != 0 ? u : char16_t(0xFFFD)));
        }
    }
    return out;
}
