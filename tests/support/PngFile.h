// PNG files of what the tests drew, written without a picture library: stored
// (uncompressed) deflate blocks keep the writer small, and the files are only a
// few hundred kilobytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace mv::test {

// The CRC-32 that PNG chunks and zlib streams use, continued from Crc.
uint32_t Crc32(const void* Data, size_t Count, uint32_t Crc = 0);

// Fills one row of the picture (row 0 is the top) as Width red, green, blue triples.
using TPngRowFiller = std::function<void(int Y, uint8_t* Rgb)>;

// The bytes of an 8-bit RGB PNG file of Width × Height pixels.
std::string EncodePng(int Width, int Height, const TPngRowFiller& FillRow);

// Writes Bytes to Folder/FileName, creating Folder; false when it cannot be written.
bool WriteFile(const std::string& Folder, const std::string& FileName, const std::string& Bytes);

} // namespace mv::test
