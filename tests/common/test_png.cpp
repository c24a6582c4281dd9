#include "tests/common/test_png.h"

#include <zlib.h>

#include "tests/common/test_env.h"

namespace glyphoria::testing {

namespace {

void PutBigEndian(std::string* out, unsigned value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        *out += static_cast<char>((value >> shift) & 255);
}

void PutChunk(std::string* png, const char* type, const std::string& data) {
    PutBigEndian(png, static_cast<unsigned>(data.size()));
    std::string body = std::string(type, 4) + data;
    *png += body;
    PutBigEndian(png, static_cast<unsigned>(
                          crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

}  // namespace

std::string WriteGreyPng(const std::string& path, int width, int height, unsigned char shade) {
    std::string header;
    PutBigEndian(&header, static_cast<unsigned>(width));
    PutBigEndian(&header, static_cast<unsigned>(height));
    header += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit grey
    std::string raw;
    for (int y = 0; y < height; ++y)
        raw += '\0' + std::string(static_cast<size_t>(width), static_cast<char>(shade));
    uLongf size = compressBound(raw.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size,
             reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(size);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", packed);
    PutChunk(&png, "IEND", "");
    WriteFileBytes(path, png);
    return path;
}

}  // namespace glyphoria::testing
