#include "core/win1251.h"

#include <array>
#include <unordered_map>

namespace win1251 {
namespace {

// Unicode code points of the bytes 0x80..0xFF; 0xFFFD marks the one unused byte (0x98).
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

const std::unordered_map<char16_t, char>& reverseTable() {
    static const auto table = [] {
        std::unordered_map<char16_t, char> map;
        for (int i = 0; i < 128; ++i) {
            if (kHighHalf[i] != 0xFFFD)
                map.emplace(kHighHalf[i], static_cast<char>(0x80 + i));
        }
        return map;
    }();
    return table;
}

bool encodeChar(char16_t c, char* out) {
    if (c < 0x80) {
        *out = static_cast<char>(c);
        return true;
    }
    const auto& table = reverseTable();
    auto it = table.find(c);
    if (it == table.end())
        return false;
    *out = it->second;
    return true;
}

} // namespace

bool fits(const QString& text, QString* offending) {
    char dummy;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!encodeChar(text.at(i).unicode(), &dummy)) {
            if (offending) {
                // Keep a surrogate pair together so that an emoji is shown whole.
                const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
                *offending = text.mid(i, pair ? 2 : 1);
            }
            return false;
        }
    }
    return true;
}

std::optional<QByteArray> encode(const QString& text) {
    QByteArray out;
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!encodeChar(text.at(i).unicode(), out.data() + i))
            return std::nullopt;
    }
    return out;
}

QString decode(const char* data, int size) {
    QString out;
    out.resize(size);
    for (int i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out[i] = QChar(byte < 0x80 ? char16_t(byte) : kHighHalf[byte - 0x80]);
    }
    return out;
}

} // namespace win1251
