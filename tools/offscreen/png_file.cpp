#include "png_file.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The temporary name: hidden, in the same folder (so the rename stays on one
// file system), and unique to the process.
std::string temporaryPathFor(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".tmp-" + std::to_string(long(getpid()));
}

}  // namespace

bool writeFramePng(const std::string& path, int width, int height, const std::uint8_t* rgbBottomUp,
                   std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;

    const std::string temporary = temporaryPathFor(path);
    // A negative stride tells libpng that the rows run bottom to top.
    const png_int_32 rowStride = -png_int_32(width) * 3;
    if (!png_image_write_to_file(&image, temporary.c_str(), 0, rgbBottomUp, rowStride, nullptr)) {
        error = "cannot write " + temporary + ": " + image.message;
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = "cannot read " + path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        error = "cannot decode " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    width = int(image.width);
    height = int(image.height);
    return true;
}
