// Our PNG files must open in any reader: each encoded picture is decoded by the
// system's imaging component (WIC) and compared pixel by pixel with what was encoded.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <vector>

#include "PngWriter.h"

namespace {

template <class T>
struct CReleaser {
    T* p = nullptr;
    ~CReleaser() {
        if (p) p->Release();
    }
    T** Out() { return &p; }
    T* operator->() const { return p; }
};

class PngWriterTest : public ::testing::Test {
protected:
    void SetUp() override { m_bComReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override {
        if (m_bComReady) CoUninitialize();
    }

    // The picture as the system decodes it, in BGRA; empty when it cannot decode it.
    static std::vector<uint8_t> DecodeWithWic(const std::vector<uint8_t>& png, UINT& width, UINT& height) {
        std::vector<uint8_t> pixels;
        CReleaser<IWICImagingFactory> factory;
        CReleaser<IWICStream> stream;
        CReleaser<IWICBitmapDecoder> decoder;
        CReleaser<IWICBitmapFrameDecode> frame;
        CReleaser<IWICFormatConverter> converter;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory.Out()))) ||
            FAILED(factory->CreateStream(stream.Out())) ||
            FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()), static_cast<DWORD>(png.size()))) ||
            FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad, decoder.Out())) ||
            FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) ||
            FAILED(factory->CreateFormatConverter(converter.Out())) ||
            FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom)))
            return pixels;
        pixels.resize(static_cast<size_t>(width) * height * 4);
        if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data())))
            pixels.clear();
        return pixels;
    }

    bool m_bComReady = false;
};

// Pixels that differ from their neighbours, so a shifted row or a lost byte shows.
CRgbImage NoisyImage(uint32_t width, uint32_t height, uint32_t seed) {
    CRgbImage image(width, height, {0, 0, 0});
    uint32_t state = seed;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.Set(x, y, {static_cast<uint8_t>(state >> 24), static_cast<uint8_t>(state >> 16),
                             static_cast<uint8_t>(state >> 8)});
        }
    return image;
}

TEST_F(PngWriterTest, SystemDecoderReadsBackEveryPixel) {
    ASSERT_TRUE(m_bComReady);
    // One pixel; odd widths; image data just over one stored block (65535 bytes) and many blocks.
    const struct {
        uint32_t width, height;
    } sizes[] = {{1, 1}, {7, 3}, {300, 73}, {1000, 260}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        const CRgbImage image = NoisyImage(size.width, size.height, size.width * 31 + size.height);
        UINT width = 0, height = 0;
        const std::vector<uint8_t> bgra = DecodeWithWic(EncodePng(image), width, height);
        ASSERT_FALSE(bgra.empty()) << "the system could not decode the picture";
        ASSERT_EQ(width, size.width);
        ASSERT_EQ(height, size.height);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
                const CRgb want = image.At(x, y);
                ASSERT_TRUE(p[2] == want.r && p[1] == want.g && p[0] == want.b && p[3] == 255)
                    << "pixel " << x << "," << y;
            }
    }
}

TEST(PngChecksums, KnownAnswers) {
    // The check values published with the two algorithms.
    const char* text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
    const char* wiki = "Wikipedia";
    EXPECT_EQ(Adler32(reinterpret_cast<const uint8_t*>(wiki), 9), 0x11E60398u);
    // Continuing a CRC over a split input gives the CRC of the whole.
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text) + 4, 5, Crc32(reinterpret_cast<const uint8_t*>(text), 4)),
              0xCBF43926u);
}

TEST(ZlibStore, BlocksCoverTheDataExactly) {
    // Walk the stored blocks as an inflater would and get the input back.
    for (size_t n : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(200000)}) {
        SCOPED_TRACE(n);
        std::vector<uint8_t> data(n);
        for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
        const std::vector<uint8_t> z = ZlibStore(data);
        ASSERT_GE(z.size(), 2u + 5u + 4u);
        EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0);
        EXPECT_EQ(z[0] & 0x0F, 8);  // deflate
        std::vector<uint8_t> back;
        size_t at = 2;
        bool final = false;
        while (!final) {
            ASSERT_LE(at + 5, z.size());
            final = z[at] & 1;
            ASSERT_EQ(z[at] & 6, 0) << "not a stored block";
            const size_t len = z[at + 1] | z[at + 2] << 8;
            const size_t nlen = z[at + 3] | z[at + 4] << 8;
            ASSERT_EQ(len ^ 0xFFFF, nlen);
            ASSERT_LE(at + 5 + len, z.size());
            back.insert(back.end(), z.begin() + at + 5, z.begin() + at + 5 + len);
            at += 5 + len;
        }
        ASSERT_EQ(at + 4, z.size());
        EXPECT_EQ(back, data);
        const uint32_t adler = Adler32(data.data(), data.size());
        EXPECT_EQ(static_cast<uint32_t>(z[at] << 24 | z[at + 1] << 16 | z[at + 2] << 8 | z[at + 3]), adler);
    }
}

}  // namespace
