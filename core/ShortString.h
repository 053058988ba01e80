// A short string as the save file stores it: one length byte and a fixed
// number of Windows-1251 bytes. The bytes after the length are kept zero.
#pragma once

#include <cstdint>
#include <cstring>

#include <QString>

#include "core/Cp1251.h"

template <int Capacity>
struct ShortString {
    static_assert(Capacity > 0 && Capacity <= 255);
    uint8_t Length;
    char Data[Capacity];

    bool IsEmpty() const { return Length == 0; }

    void Clear() {
        Length = 0;
        std::memset(Data, 0, sizeof Data);
    }

    // Takes at most Capacity characters of text; characters that Windows-1251
    // cannot hold become '?'. Names typed in the game never contain them.
    void Assign(const QString& text) {
        Clear();
        const QByteArray bytes = ToCp1251(text.left(Capacity));
        const int n = static_cast<int>(bytes.size()) < Capacity ? static_cast<int>(bytes.size()) : Capacity;
        std::memcpy(Data, bytes.constData(), static_cast<size_t>(n));
        Length = static_cast<uint8_t>(n);
    }

    template <int Other>
    void Assign(const ShortString<Other>& other) {
        Clear();
        const int n = other.Length < Capacity ? other.Length : Capacity;
        std::memcpy(Data, other.Data, static_cast<size_t>(n));
        Length = static_cast<uint8_t>(n);
    }

    QString ToQString() const {
        const int n = Length < Capacity ? Length : Capacity;
        return FromCp1251(Data, n);
    }

    // Exact comparison: case-sensitive, spaces count.
    template <int Other>
    bool operator==(const ShortString<Other>& other) const {
        return Length == other.Length && std::memcmp(Data, other.Data, Length) == 0;
    }
};
