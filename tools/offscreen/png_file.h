// PNG files of rendered frames, written so that a reader never sees half a
// file: the image goes to a hidden temporary name in the same folder and is
// renamed into place once complete.
//
// Pixels are rows of RGB bytes, 8 bits per channel, bottom row first as GL
// reads them; the file has the top row first, as image viewers expect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes path. On failure returns false with a sentence in error and leaves
// neither path changed nor a temporary file behind.
bool writeFramePng(const std::string& path, int width, int height, const std::uint8_t* rgbBottomUp,
                   std::string& error);

// Reads an 8-bit RGB image (other layouts are converted) into rgb, top row
// first. Returns false with a sentence in error when the file is missing or
// not a PNG.
bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb, std::string& error);
