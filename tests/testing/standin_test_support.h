// Helpers for the stand-in tests: a started shop, plain GET requests with
// their headers, and decoding of the renderer's PNG answers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testing/shop/shop.h"

namespace glyphoria::testing::standin {

// A started shop; the test fails (and nullptr returns) when it cannot start.
std::unique_ptr<shop::Shop> StartShop(shop::ShopOptions options = {});

struct HttpAnswer {
    bool complete = false;  // an answer arrived whole
    std::string error;      // the client's reason when not
    int status = 0;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    bool has_header(const std::string& name) const;
    std::string header(const std::string& name) const;
};

struct GetOptions {
    int read_timeout_seconds = 10;
    std::string ca_file;  // for https: verify against this file
};

// GET origin + target ("http://127.0.0.1:P" + "/path?query"), target sent as is.
HttpAnswer Get(const std::string& origin, const std::string& target, GetOptions options = {});

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // premultiplied ARGB, row by row

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decoded with cairo's PNG reader; nullopt when the bytes are no PNG.
std::optional<Image> DecodePng(const std::string& bytes);

// Width and height from the PNG header (IHDR), without decoding.
std::optional<std::pair<uint32_t, uint32_t>> PngHeaderSize(const std::string& bytes);

}  // namespace glyphoria::testing::standin
