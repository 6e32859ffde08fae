// The GIF reader: blocks, extensions, LZW and interlacing, then the composed strip of frames.
#include "htmlview/GifDecoder.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace {
const char* const kErrorTexts[] = {
    "no error",
    "Invalid GIF Signature Code",
    "No Local or Global Color Table for Image",
    "Unknown Graphics Extension Type",
    "Unknown Graphics Operation Code",
    "Invalid Extension Block Size",
    "[special message]",
    "Invalid Extension Block Terminator",
    "Invalid Integer Size",
    "No GIF Terminator Found",
    "Extension Block Out-Of-Order With Image Data",
    "Invalid Image Descriptor Index",
    "Invalid LZW Code Size",
    "Invalid LZW Data Format",
    "LZW Code Overflow",
    "Value Out Of Range",
    "NIL Pointer assigned",
    "Invalid Color Table Size",
    "No Image Description",
    "Invalid Bitmap Image",
    "Invalid Color Table Index",
    "Invalid Interlace Pass",
    "Invalid Bitmap",
    "Too Many Colors In Bitmap",
    "Unexpected end of file",
    "Animated GIF too large",
    "next message",
};

constexpr int kMaxCodes = 4096;

[[noreturn]] void RaiseGifText(const std::string& text) {
    throw EInvalidGraphicOperation("TGif: " + text);
}
} // namespace

const char* GifErrorText(int error) {
    if (error < 0 || error >= static_cast<int>(std::size(kErrorTexts))) return "";
    return kErrorTexts[error];
}

void RaiseGifError(int error) {
    RaiseGifText(GifErrorText(error));
}

const TGifExtension* TGifImageRecord::GraphicControl() const {
    for (const TGifExtension& ext : Extensions)
        if (ext.Label == 0xF9) return &ext;
    return nullptr;
}

// The file in memory, read from the front. Reads past the end give zeros, as the end of the file
// counts as a terminator byte; only data sub-blocks insist on their full length.
class TGif::TReader {
public:
    TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    size_t Position() const { return pos_; }
    int Word() {
        const int lo = Byte();
        return lo | (Byte() << 8);
    }
    std::string Bytes(size_t count) {
        std::string out;
        for (size_t i = 0; i < count; ++i)
            out.push_back(static_cast<char>(Byte()));
        return out;
    }
    // Data sub-blocks: each is appended to sink (when given) as a separate block, or all their bytes
    // to flat (when given).
    void SubBlocks(TGifSubBlocks* sink, std::vector<uint8_t>* flat) {
        for (size_t length = Byte(); length != 0; length = Byte()) {
            if (size_ - pos_ < length) RaiseGifError(geUnexpectedEof);
            if (sink) sink->emplace_back(reinterpret_cast<const char*>(data_ + pos_), length);
            if (flat) flat->insert(flat->end(), data_ + pos_, data_ + pos_ + length);
            pos_ += length;
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Decodes one image's LZW data, read straight from its sub-blocks in the file, placing pixels row
// by row or through the four interlace passes; only the top-left width x height of the picture
// is kept (none without a buffer). Decoding stops when every row has been placed or the data ends.
class TGif::TLzwDecoder {
public:
    TLzwDecoder(const std::vector<uint8_t>& file, const TGifImageRecord& image, uint8_t* pixels, int width,
                int height)
        : file_(file.data()), fileSize_(file.size()), pos_(image.DataOffset), pixels_(pixels),
          width_(image.Width), height_(image.Height), storedWidth_(pixels ? width : 0),
          storedHeight_(pixels ? height : 0), interlaced_(image.Interlaced), minSize_(image.MinCodeSize) {
        done_ = width_ <= 0 || height_ <= 0;
    }

    // True when the data held a code not defined yet, where decoding stopped.
    bool Damaged() const { return damaged_; }

    void Decode() {
        clear_ = 1 << minSize_;
        end_ = clear_ + 1;
        for (int i = 0; i < clear_; ++i) {
            suffix_[i] = static_cast<uint8_t>(i);
            first_[i] = static_cast<uint8_t>(i);
            prefix_[i] = 0;
            length_[i] = 1;
        }
        // Start as after a clear code, so data whose encoder sent none still decodes.
        Reset();
        int prev = -1;
        bool wasExhausted = exhausted_;
        int code = ReadCode();
        while (code != end_ && !wasExhausted && !done_) {
            if (code == clear_) {
                Reset();
                do {
                    wasExhausted = exhausted_;
                    code = ReadCode();
                } while (code == clear_ && !wasExhausted);
                if (code == end_) RaiseGifError(geBadLzwData);
                if (code >= nextFree_) code = 0;
                Output(code);
                prev = code;
            } else if (prev < 0) {
                if (code >= nextFree_) code = 0;
                Output(code);
                prev = code;
            } else if (code >= nextFree_) {
                // The code being defined right now: the previous string and its own first byte.
                // A code past it means nothing: the picture ends there, as if the data had.
                if (code != nextFree_ || !Add(prev, first_[prev])) {
                    damaged_ = true;
                    return;
                }
                Output(code);
                prev = code;
            } else {
                Output(code);
                Add(prev, first_[code]);
                prev = code;
            }
            wasExhausted = exhausted_;
            code = ReadCode();
        }
    }

private:
    void Reset() {
        codeSize_ = minSize_ + 1;
        nextFree_ = end_ + 1;
        codeLimit_ = 1 << codeSize_;
    }

    // The next data byte, stepping over the sub-blocks' length bytes; past the last sub-block
    // the data is exhausted.
    bool NextByte(uint8_t& byte) {
        if (blockLeft_ == 0) {
            if (ended_ || pos_ >= fileSize_ || (blockLeft_ = file_[pos_++]) == 0) {
                ended_ = true;
                return false;
            }
        }
        if (pos_ >= fileSize_) return false; // the load checked the sub-blocks; never reached
        --blockLeft_;
        byte = file_[pos_++];
        return true;
    }

    int ReadCode() {
        while (bitCount_ < codeSize_) {
            uint8_t byte = 0;
            if (NextByte(byte))
                bits_ |= static_cast<uint32_t>(byte) << bitCount_;
            else
                exhausted_ = true;
            bitCount_ += 8;
        }
        const int code = static_cast<int>(bits_ & ((1u << codeSize_) - 1));
        bits_ >>= codeSize_;
        bitCount_ -= codeSize_;
        return code;
    }

    // Adds an entry while the table has room (codes up to 4095); grows the code size.
    bool Add(int prefix, uint8_t suffix) {
        if (nextFree_ >= kMaxCodes) return false;
        prefix_[nextFree_] = static_cast<uint16_t>(prefix);
        suffix_[nextFree_] = suffix;
        first_[nextFree_] = first_[prefix];
        length_[nextFree_] = static_cast<uint16_t>(length_[prefix] + 1);
        ++nextFree_;
        if (nextFree_ >= codeLimit_ && codeSize_ < 12) {
            ++codeSize_;
            codeLimit_ <<= 1;
        }
        return true;
    }

    // Puts the string of a code into the picture. Every entry's prefix is a smaller code, so the
    // walk down to the root takes at most 4096 steps.
    void Output(int code) {
        if (!pixels_) {
            // Only checking the data: the string's length is all that matters.
            placed_ += length_[code];
            done_ = placed_ >= int64_t{width_} * height_;
            return;
        }
        int top = 0;
        while (code >= clear_) {
            stack_[top++] = suffix_[code];
            code = prefix_[code];
        }
        stack_[top++] = static_cast<uint8_t>(code);
        while (top > 0 && !done_)
            Put(stack_[--top]);
    }

    void Put(uint8_t index) {
        if (row_ < storedHeight_ && column_ < storedWidth_)
            pixels_[static_cast<size_t>(row_) * storedWidth_ + column_] = index;
        if (++column_ < width_) return;
        column_ = 0;
        if (!interlaced_) {
            if (++row_ >= height_) done_ = true;
            return;
        }
        static constexpr int kStep[5] = {0, 8, 8, 4, 2};
        static constexpr int kStart[5] = {0, 0, 4, 2, 1};
        row_ += kStep[pass_];
        // Passes whose first row lies below a short picture have no rows at all.
        while (row_ >= height_) {
            if (++pass_ > 4) {
                done_ = true;
                return;
            }
            row_ = kStart[pass_];
        }
    }

    const uint8_t* file_;
    size_t fileSize_;
    size_t pos_;
    size_t blockLeft_ = 0;
    bool ended_ = false;
    bool exhausted_ = false;
    uint32_t bits_ = 0;
    int bitCount_ = 0;

    uint8_t* pixels_;
    int width_, height_, storedWidth_, storedHeight_;
    bool interlaced_;
    int row_ = 0, column_ = 0, pass_ = 1;
    bool done_ = false;
    bool damaged_ = false;

    int minSize_;
    int clear_ = 0, end_ = 0, codeSize_ = 0, nextFree_ = 0, codeLimit_ = 0;
    uint16_t prefix_[kMaxCodes];
    uint8_t suffix_[kMaxCodes];
    uint8_t first_[kMaxCodes];
    uint16_t length_[kMaxCodes]; // each code's string length
    int64_t placed_ = 0;         // pixels placed when only checking
    uint8_t stack_[kMaxCodes + 1];
};

void TGif::Clear() {
    const int64_t budget = PixelBudget;
    *this = TGif();
    PixelBudget = budget;
}

void TGif::LoadFromStream(TStream& stream) {
    const int64_t size = stream.Size();
    if (size < 0 || size > INT_MAX) RaiseGifError(geTooLarge);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    stream.SetPosition(0);
    const int64_t got = bytes.empty() ? 0 : stream.Read(bytes.data(), size);
    bytes.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
    Clear();
    bytes_ = std::move(bytes); // the file is held once, not copied again
    Parse();
}

void TGif::LoadFromBytes(const void* data, size_t size) {
    Clear();
    const auto* first = static_cast<const uint8_t*>(data);
    bytes_.assign(first, first + size);
    Parse();
}

void TGif::Parse() {
    TReader in(bytes_.data(), bytes_.size());
    std::string signature = in.Bytes(6);
    for (char& c : signature)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (signature != "GIF87A" && signature != "GIF89A") RaiseGifError(geBadSignature);
    ReadScreen(in);
    for (;;) {
        const uint8_t introducer = in.Byte();
        if (introducer == 0 || introducer == ';') break;
        if (introducer == ',')
            ReadImage(in);
        else if (introducer == '!')
            ReadExtension(in);
        else
            RaiseGifError(geUnknownOpcode);
    }
    pending_.clear();
    if (images_.empty()) RaiseGifError(geNoImage);
}

void TGif::ReadScreen(TReader& in) {
    screenWidth_ = in.Word();
    screenHeight_ = in.Word();
    const uint8_t packed = in.Byte();
    globalTable_ = (packed & 0x80) != 0;
    colorResolution_ = ((packed >> 4) & 7) + 1;
    sorted_ = (packed & 0x08) != 0;
    globalTableSize_ = 1 << ((packed & 7) + 1);
    backgroundIndex_ = in.Byte();
    aspect_ = in.Byte();
    // The composer's canvas and mask: four bytes a pixel of the screen.
    if (int64_t{screenWidth_} * screenHeight_ * 4 > PixelBudget) RaiseGifError(geTooLarge);
    if (globalTable_) {
        ReadColorTable(in, globalTableSize_);
        globalTableIndex_ = static_cast<int>(tables_.size()) - 1;
    }
}

void TGif::ReadColorTable(TReader& in, int size) {
    TGifColorTable table;
    table.Count = size;
    for (int i = 0; i < size; ++i) {
        const uint32_t r = in.Byte(), g = in.Byte(), b = in.Byte();
        table.Colors[i] = r | (g << 8) | (b << 16);
    }
    tables_.push_back(table);
}

void TGif::ReadExtension(TReader& in) {
    // Every extension is a list of data sub-blocks; the first holds the fixed fields of the kinds
    // we know. A first block of another size, more blocks than the kind has, or a kind we do not
    // know are read past as GIF89a asks of a decoder (a graphic control of the wrong size counts
    // as one that sets nothing).
    TGifExtension ext;
    ext.Label = in.Byte();
    TGifSubBlocks blocks;
    in.SubBlocks(&blocks, nullptr);
    const std::string first = blocks.empty() ? std::string() : blocks.front();
    auto byte = [&first](size_t at) { return static_cast<uint8_t>(first[at]); };
    auto word = [&byte](size_t at) { return byte(at) | byte(at + 1) << 8; };
    switch (ext.Label) {
    case 0xF9:
        if (first.size() == 4) {
            ext.Disposal = (byte(0) >> 2) & 7;
            ext.UserInput = (byte(0) & 2) != 0;
            ext.HasTransparent = (byte(0) & 1) != 0;
            ext.Delay = word(1);
            ext.TransparentIndex = byte(3);
        }
        break;
    case 0xFE:
        ext.Data = std::move(blocks);
        break;
    case 0x01:
        if (first.size() == 12) {
            ext.GridLeft = word(0);
            ext.GridTop = word(2);
            ext.GridWidth = word(4);
            ext.GridHeight = word(6);
            ext.CellWidth = byte(8);
            ext.CellHeight = byte(9);
            ext.ForegroundIndex = byte(10);
            ext.BackgroundIndex = byte(11);
        }
        if (!blocks.empty()) ext.Data.assign(blocks.begin() + 1, blocks.end());
        break;
    case 0xFF:
        if (first.size() == 11) {
            ext.Identifier = first.substr(0, 8);
            ext.AuthCode = first.substr(8, 3);
        }
        if (!blocks.empty()) ext.Data.assign(blocks.begin() + 1, blocks.end());
        if (ext.Identifier == "NETSCAPE" && !ext.Data.empty() && ext.Data[0].size() == 3)
            LoopCount = static_cast<uint8_t>(ext.Data[0][1]) + 256 * static_cast<uint8_t>(ext.Data[0][2]);
        break;
    default:
        ext.Data = std::move(blocks);
        break;
    }
    pending_.push_back(std::move(ext));
}

void TGif::ReadImage(TReader& in) {
    TGifImageRecord& image = images_.emplace_back();
    image.Extensions = std::move(pending_);
    pending_.clear();
    image.Left = in.Word();
    image.Top = in.Word();
    image.Width = in.Word();
    image.Height = in.Word();
    const uint8_t packed = in.Byte();
    image.LocalTable = (packed & 0x80) != 0;
    image.Interlaced = (packed & 0x40) != 0;
    image.Sorted = (packed & 0x20) != 0;
    image.TableSize = 1 << ((packed & 7) + 1);
    if (image.LocalTable) {
        ReadColorTable(in, image.TableSize);
        image.TableIndex = static_cast<int>(tables_.size()) - 1;
    } else if (globalTableIndex_ >= 0) {
        image.TableIndex = globalTableIndex_;
    } else {
        RaiseGifError(geNoColorTable);
    }
    image.MinCodeSize = in.Byte();
    image.DataOffset = in.Position();
    in.SubBlocks(nullptr, nullptr);
    // Codes are at most 12 bits wide and the first code is one bit wider than the minimum size.
    if (image.MinCodeSize < 1 || image.MinCodeSize > 11) RaiseGifError(geBadCodeSize);
    // Once through the data now, keeping nothing, so that a bad stream fails the load and a loaded
    // file can always be decoded later.
    image.Damaged = Decode(image, nullptr, 0, 0);
}

bool TGif::Decode(const TGifImageRecord& image, uint8_t* pixels, int width, int height) const {
    auto decoder = std::make_unique<TLzwDecoder>(bytes_, image, pixels, width, height);
    decoder->Decode();
    return decoder->Damaged();
}

int TGif::VisibleWidth(int index) const {
    const TGifImageRecord& image = Image(index);
    return std::clamp(screenWidth_ - image.Left, 0, image.Width);
}

int TGif::VisibleHeight(int index) const {
    const TGifImageRecord& image = Image(index);
    return std::clamp(screenHeight_ - image.Top, 0, image.Height);
}

void TGif::DecodeImage(int index, std::vector<uint8_t>& pixels) const {
    const int width = VisibleWidth(index), height = VisibleHeight(index);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    Decode(images_[index], pixels.data(), width, height);
}

bool TGif::Transparent() const {
    if (images_.empty()) return false;
    const TGifImageRecord& first = images_.front();
    if (first.Left > 0 || first.Top > 0 || first.Left + first.Width < screenWidth_ ||
        first.Top + first.Height < screenHeight_)
        return true;
    for (int i = 0; i < ImageCount(); ++i) {
        if (ImageTransparentIndex(i) >= 0) return true;
        const int disposal = ImageDisposalMethod(i);
        if (i + 1 < ImageCount() && (disposal == 2 || disposal == 3)) return true;
    }
    return false;
}

const TGifImageRecord& TGif::Image(int index) const {
    if (index < 0 || index >= ImageCount()) RaiseGifError(geOutOfRange);
    return images_[index];
}

int TGif::ImageDelay(int index) const {
    const TGifExtension* gc = Image(index).GraphicControl();
    return gc ? std::max(gc->Delay, 1) : 1;
}

int TGif::ImageDisposalMethod(int index) const {
    const TGifExtension* gc = Image(index).GraphicControl();
    return gc ? (gc->Disposal & 3) : 0;
}

int TGif::ImageTransparentIndex(int index) const {
    const TGifExtension* gc = Image(index).GraphicControl();
    return gc && gc->HasTransparent ? gc->TransparentIndex : -1;
}

TGifComposer::TGifComposer(const TGif& gif) : gif_(&gif) {}

size_t TGifComposer::MemoryBytes() const {
    return canvas_.Pixels.capacity() + mask_.Bits.capacity() + savedPixels_.capacity() + indexes_.capacity();
}

TGifComposer::TArea TGifComposer::AreaOf(int index) const {
    const TGifImageRecord& image = gif_->Image(index);
    const int sw = gif_->ScreenWidth(), sh = gif_->ScreenHeight();
    return TArea{std::min(image.Left, sw), std::min(image.Top, sh), std::min(image.Left + image.Width, sw),
                 std::min(image.Top + image.Height, sh)};
}

void TGifComposer::Restart() {
    canvas_.Allocate(gif_->ScreenWidth(), gif_->ScreenHeight());
    mask_.Allocate(gif_->ScreenWidth(), gif_->ScreenHeight(), 1);
    frame_ = -1;
}

void TGifComposer::Seek(int index) {
    index = std::clamp(index, 0, gif_->ImageCount() - 1);
    if (index == frame_) return;
    if (index < frame_ || frame_ < 0) {
        Restart();
        Draw(0);
        frame_ = 0;
    }
    while (frame_ < index) {
        Dispose(frame_);
        ++frame_;
        Draw(frame_);
    }
}

void TGifComposer::Dispose(int index) {
    const int disposal = gif_->ImageDisposalMethod(index);
    if (disposal != 2 && disposal != 3) return;
    const TArea a = AreaOf(index);
    const size_t width = static_cast<size_t>(std::max(a.Right - a.Left, 0));
    for (int y = a.Top; y < a.Bottom && width > 0; ++y) {
        uint8_t* px = canvas_.Row(y) + static_cast<size_t>(a.Left) * 3;
        uint8_t* m = &mask_.At(a.Left, y);
        if (disposal == 2) {
            std::memset(px, 0, width * 3);
            std::memset(m, 1, width);
            continue;
        }
        const uint8_t* saved = savedPixels_.data() + static_cast<size_t>(y - a.Top) * width * 4;
        for (size_t x = 0; x < width; ++x, px += 3, saved += 4) {
            px[0] = saved[0], px[1] = saved[1], px[2] = saved[2];
            m[x] = saved[3];
        }
    }
}

void TGifComposer::Draw(int index) {
    const TArea a = AreaOf(index);
    const int width = std::max(a.Right - a.Left, 0), height = std::max(a.Bottom - a.Top, 0);
    if (gif_->ImageDisposalMethod(index) == 3) {
        // What the frame covers, to be put back when it is disposed of.
        savedPixels_.resize(static_cast<size_t>(width) * height * 4);
        uint8_t* out = savedPixels_.data();
        for (int y = a.Top; y < a.Bottom; ++y) {
            const uint8_t* px = canvas_.Row(y) + static_cast<size_t>(a.Left) * 3;
            for (int x = 0; x < width; ++x, px += 3, out += 4) {
                out[0] = px[0], out[1] = px[1], out[2] = px[2];
                out[3] = mask_.At(a.Left + x, y);
            }
        }
    }
    if (width == 0 || height == 0) return;
    gif_->DecodeImage(index, indexes_);
    const TGifColorTable& table = gif_->ColorTable(gif_->Image(index).TableIndex);
    const int t = gif_->ImageTransparentIndex(index);
    for (int r = 0; r < height; ++r) {
        const uint8_t* src = indexes_.data() + static_cast<size_t>(r) * width;
        uint8_t* dst = canvas_.Row(a.Top + r) + static_cast<size_t>(a.Left) * 3;
        uint8_t* m = &mask_.At(a.Left, a.Top + r);
        for (int c = 0; c < width; ++c, dst += 3) {
            const int p = src[c];
            if (p == t) continue;
            const uint32_t color = table.Colors[p];
            dst[0] = static_cast<uint8_t>(color >> 16);
            dst[1] = static_cast<uint8_t>(color >> 8);
            dst[2] = static_cast<uint8_t>(color);
            m[c] = 0;
        }
    }
}
