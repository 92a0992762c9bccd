// flowball-textures: writes the generator's patterns as PNG images, to look
// at them without the saver.
//
//   flowball-textures --kind SMOKE --kind 5 --size 128x128 --out DIR
//   flowball-textures --scene --out DIR
//
// Each --kind image starts from the seed, so it does not depend on the other
// kinds asked for; --scene makes the scene's four slots in the build's order
// from one seeding, as the saver does. Pixels are written as the texture holds
// them, row 0 (texture coordinate t = 0) at the top. Every argument is checked
// before anything is written, and an image is written to a temporary file
// that becomes DIR/NAME.png only once complete.
#include <png.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "math/random.h"
#include "settings/setting_options.h"
#include "textures/texture.h"
#include "textures/texture_generator.h"

namespace {

constexpr std::uint32_t sceneSeed = 4450264;
// A slot's initial blobCount and blobRadius: the images are those of fresh slots.
constexpr int slotBlobCount = 100;
constexpr int slotBlobRadius = 12;
constexpr int exitBadArguments = 2;
constexpr int exitWriteFailed = 1;

const char usage[] =
    "usage: flowball-textures (--kind N|NAME)... [--scene] [--size WxH] [--seed N] [--opaque] --out DIR\n"
    "  --kind N|NAME  a pattern kind, 0 to 14 or its name (SPHERE, NOTSPHERE, GRADIENT, SMOKE,\n"
    "                 FOG, STAR, SAND, CHECK, GRILLE, X50, Y50, GRAIN); repeatable\n"
    "  --scene        the scene's four textures (slots 0, 9, 10 and 1), 256x256\n"
    "  --size WxH     image size for --kind, default 256x256; at most 65536 pixels,\n"
    "                 SMOKE and FOG at most 256 per side\n"
    "  --seed N       random seed, default 4450264 (the scene's)\n"
    "  --opaque       write RGB without the alpha channel (CHECK's alpha is 0 or 1)\n"
    "  --out DIR      folder for the PNG files, created if missing\n";

struct Request {
    std::string fileName;
    TextureKind kind;
    int width, height;
};

struct Options {
    std::vector<TextureKind> kinds;
    bool scene = false;
    int width = 256;
    int height = 256;
    bool sizeGiven = false;
    std::uint32_t seed = sceneSeed;
    bool opaque = false;
    std::string outDir;
};

bool parseInt(const char* text, long long low, long long high, long long& value)
{
    if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text)))
        return false;
    errno = 0;
    char* end = nullptr;
    long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool parseKind(const char* text, TextureKind& kind)
{
    long long number = 0;
    if (parseInt(text, 0, textureKindCount - 1, number)) {
        kind = static_cast<TextureKind>(number);
        return true;
    }
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < textureKindCount; ++i) {
        const char* name = textureKindName(static_cast<TextureKind>(i));
        if (name != nullptr && upper == name) {
            kind = static_cast<TextureKind>(i);
            return true;
        }
    }
    return false;
}

bool parseSize(const char* text, int& width, int& height)
{
    const char* x = std::strchr(text, 'x');
    if (x == nullptr)
        return false;
    std::string widthText(text, x);
    long long w = 0;
    long long h = 0;
    if (!parseInt(widthText.c_str(), 1, INT_MAX, w) || !parseInt(x + 1, 1, INT_MAX, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "flowball-textures: %s\n%s", message.c_str(), usage);
    return exitBadArguments;
}

// Returns -1 when the options are complete, otherwise the exit code.
int parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (option == "--scene") {
            options.scene = true;
            continue;
        }
        if (option == "--opaque") {
            options.opaque = true;
            continue;
        }
        if (option != "--kind" && option != "--size" && option != "--seed" && option != "--out")
            return fail("unknown argument " + quotedArgument(option));
        if (i + 1 >= argc)
            return fail(option + " needs a value");
        const char* value = argv[++i];
        if (option == "--kind") {
            TextureKind kind;
            if (!parseKind(value, kind))
                return fail(quotedArgument(value) + " is not a kind: give 0 to 14 or a kind's name");
            options.kinds.push_back(kind);
        } else if (option == "--size") {
            if (!parseSize(value, options.width, options.height))
                return fail(quotedArgument(value) + " is not a size: give WxH with positive whole numbers");
            options.sizeGiven = true;
        } else if (option == "--seed") {
            long long seed = 0;
            if (!parseInt(value, 0, UINT32_MAX, seed))
                return fail(quotedArgument(value) + " is not a seed: give 0 to 4294967295");
            options.seed = static_cast<std::uint32_t>(seed);
        } else {
            if (*value == '\0')
                return fail("--out needs a folder");
            options.outDir = value;
        }
    }
    if (options.kinds.empty() && !options.scene)
        return fail("nothing to write: give --kind or --scene");
    if (options.outDir.empty())
        return fail("no output folder: give --out DIR");
    if (options.sizeGiven && options.kinds.empty())
        return fail("--size applies to --kind; the scene's textures are 256x256");
    return -1;
}

std::string lowerName(TextureKind kind)
{
    const char* name = textureKindName(kind);
    std::string text = name ? std::string("-") + name : std::string();
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string twoDigits(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// Writes RGBA pixels (or RGB when opaque) to path; false with a message on failure.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba, bool opaque,
              std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot create " + quotedArgument(path) + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        error = "libpng could not start";
        return false;
    }
    const int channels = opaque ? 3 : 4;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * channels);
    // libpng reports its errors by longjmp back here; nothing with a destructor
    // is created between this point and the writing below.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        error = "libpng failed writing " + quotedArgument(path);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = rgba.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x)
            std::memcpy(&row[static_cast<std::size_t>(x) * channels], source + x * 4, channels);
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        error = "cannot finish " + quotedArgument(path) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Writes to a temporary name beside the target and renames it once complete.
bool writeImage(const std::filesystem::path& dir, const Request& request, const std::vector<std::uint8_t>& rgba,
                bool opaque)
{
    std::filesystem::path target = dir / request.fileName;
    std::filesystem::path partial = dir / (request.fileName + ".partial");
    std::string error;
    if (!writePng(partial.string(), request.width, request.height, rgba, opaque, error)) {
        std::fprintf(stderr, "flowball-textures: %s\n", error.c_str());
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return false;
    }
    std::error_code renameError;
    std::filesystem::rename(partial, target, renameError);
    if (renameError) {
        std::fprintf(stderr, "flowball-textures: cannot rename %s to %s: %s\n",
                     quotedArgument(partial.string()).c_str(), quotedArgument(target.string()).c_str(),
                     renameError.message().c_str());
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return false;
    }
    std::printf("%s\n", target.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    int parsed = parseOptions(argc, argv, options);
    if (parsed >= 0)
        return parsed;

    std::vector<Request> kindRequests;
    for (TextureKind kind : options.kinds) {
        if (checkTextureRequest(kind, options.width, options.height, GL_RGBA) != generateOk) {
            const char* name = textureKindName(kind);
            return fail((name ? std::string(name) + " (kind " : std::string("(kind ")) +
                        std::to_string(static_cast<int>(kind)) + ") cannot be made at " + std::to_string(options.width) +
                        "x" + std::to_string(options.height) +
                        ": at most 65536 pixels, and SMOKE and FOG at most 256 per side");
        }
        kindRequests.push_back(Request{"kind-" + twoDigits(static_cast<int>(kind)) + lowerName(kind) + ".png", kind,
                                       options.width, options.height});
    }
    // The scene build's order: every image depends on the draws of the ones before.
    const struct {
        int slot;
        TextureKind kind;
    } sceneSlots[] = {{0, TextureKind::Smoke}, {9, TextureKind::Grain}, {10, TextureKind::Fog}, {1, TextureKind::Sand}};
    std::vector<Request> sceneRequests;
    if (options.scene) {
        for (const auto& scene : sceneSlots)
            sceneRequests.push_back(
                Request{"scene-slot-" + twoDigits(scene.slot) + lowerName(scene.kind) + ".png", scene.kind, 256, 256});
    }

    std::filesystem::path dir(options.outDir);
    std::error_code dirError;
    std::filesystem::create_directories(dir, dirError);
    if (dirError || !std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "flowball-textures: cannot use %s as the output folder%s%s\n",
                     quotedArgument(options.outDir).c_str(), dirError ? ": " : "",
                     dirError ? dirError.message().c_str() : "");
        return exitWriteFailed;
    }

    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(maxTexturePixels) * 4);
    for (const Request& request : kindRequests) {
        randomSeed(options.seed);
        int blobRadius = slotBlobRadius;
        generatePixels(request.kind, request.width, request.height, GL_RGBA, slotBlobCount, blobRadius, rgba.data());
        if (!writeImage(dir, request, rgba, options.opaque))
            return exitWriteFailed;
    }
    randomSeed(options.seed);
    for (const Request& request : sceneRequests) {
        int blobRadius = slotBlobRadius;
        generatePixels(request.kind, request.width, request.height, GL_RGBA, slotBlobCount, blobRadius, rgba.data());
        if (!writeImage(dir, request, rgba, options.opaque))
            return exitWriteFailed;
    }
    return 0;
}
