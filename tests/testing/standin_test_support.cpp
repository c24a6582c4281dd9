#include "tests/testing/standin_test_support.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <strings.h>

#include <cstring>
#include <sstream>

namespace glyphoria::testing::standin {

namespace {

struct PngReader {
    const std::string* bytes;
    size_t offset;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->bytes->size() - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes->data() + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

std::unique_ptr<shop::Shop> StartShop(shop::ShopOptions options) {
    auto started = std::make_unique<shop::Shop>(options);
    std::string error;
    if (!started->Start(&error)) {
        ADD_FAILURE() << "shop did not start: " << error;
        return nullptr;
    }
    return started;
}

bool HttpAnswer::has_header(const std::string& name) const {
    for (const auto& item : headers)
        if (strcasecmp(item.first.c_str(), name.c_str()) == 0) return true;
    return false;
}

std::string HttpAnswer::header(const std::string& name) const {
    for (const auto& item : headers)
        if (strcasecmp(item.first.c_str(), name.c_str()) == 0) return item.second;
    return {};
}

HttpAnswer Get(const std::string& origin, const std::string& target, GetOptions options) {
    HttpAnswer answer;
    httplib::Client client(origin);
    client.set_url_encode(false);
    client.set_read_timeout(options.read_timeout_seconds);
    if (!options.ca_file.empty()) client.set_ca_cert_path(options.ca_file);
    httplib::Result result = client.Get(target);
    if (!result) {
        std::ostringstream reason;
        reason << result.error();
        answer.error = reason.str();
        return answer;
    }
    answer.complete = true;
    answer.status = result->status;
    for (const auto& header : result->headers)
        answer.headers.emplace_back(header);
    answer.body = result->body;
    return answer;
}

std::optional<Image> DecodePng(const std::string& bytes) {
    PngReader reader{&bytes, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    cairo_surface_flush(surface);
    // Opaque images come back as RGB24, whose top byte means nothing.
    uint32_t opaque =
        cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24 ? 0xFF000000u : 0;
    Image image;
    image.width = cairo_image_surface_get_width(surface);
    image.height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < image.width; ++x)
            image.pixels[static_cast<size_t>(y) * image.width + x] = row[x] | opaque;
    }
    cairo_surface_destroy(surface);
    return image;
}

std::optional<std::pair<uint32_t, uint32_t>> PngHeaderSize(const std::string& bytes) {
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 24 || bytes.compare(0, 8, kSignature, 8) != 0 ||
        bytes.compare(12, 4, "IHDR") != 0)
        return std::nullopt;
    return std::make_pair(BigEndian32(bytes, 16), BigEndian32(bytes, 20));
}

}  // namespace glyphoria::testing::standin
