// The lesson format reader against valid, truncated, corrupted and hostile data.
#include <gtest/gtest.h>

#include <cstring>

#include "ByteWriter.h"
#include "Crc32.h"
#include "ErrorCodes.h"
#include "LessonFormat.h"
#include "support/TestData.h"

using namespace nelo;
using namespace nelo::test;

namespace {

// Rebuilds a lesson file around a hand-made body, with a correct checksum,
// so tests can reach the checks behind the checksum.
std::vector<uint8_t> FileOf(const std::vector<uint8_t>& body, uint16_t version = 1) {
    ByteWriter w;
    w.tag("NLSN");
    w.u16(version);
    w.u16(0);
    w.u32(static_cast<uint32_t>(body.size()));
    w.u32(Crc32(body.data(), body.size()));
    w.raw(body.data(), body.size());
    return std::move(w.bytes());
}

std::vector<uint8_t> BodyOf(const std::vector<uint8_t>& file) { return std::vector<uint8_t>(file.begin() + 16, file.end()); }

// Offset of a chunk's payload inside a body.
size_t ChunkPayload(const std::vector<uint8_t>& body, const char* id) {
    size_t at = 0;
    while (at + 8 <= body.size()) {
        uint32_t size;
        std::memcpy(&size, &body[at + 4], 4);
        if (std::memcmp(&body[at], id, 4) == 0) return at + 8;
        at += 8 + size;
    }
    ADD_FAILURE() << "no chunk " << id;
    return 0;
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }

int ParseError(const std::vector<uint8_t>& bytes) {
    Lesson l;
    return ParseLesson(bytes.data(), bytes.size(), l).error;
}

}  // namespace

TEST(LessonFormat, WrittenLessonReadsBackUnchanged) {
    Lesson original = DefaultLesson();
    original.tone = Tone::Question;
    original.items[1].pronunciations.push_back({MakePhonemeCode("m", 0), MakePhonemeCode("u", kStressSecondary)});
    original.items[2].flags = kItemStatementStress | kItemStressWord;
    const std::vector<uint8_t> bytes = WriteLesson(original);
    Lesson read;
    ASSERT_EQ(ParseLesson(bytes.data(), bytes.size(), read).error, kOk);
    EXPECT_EQ(read.text, original.text);
    EXPECT_EQ(read.tone, Tone::Question);
    EXPECT_EQ(read.samples, original.samples);
    ASSERT_EQ(read.items.size(), original.items.size());
    for (size_t i = 0; i < read.items.size(); ++i) {
        const LessonItem &a = read.items[i], &b = original.items[i];
        EXPECT_EQ(a.start, b.start);
        EXPECT_EQ(a.length, b.length);
        EXPECT_EQ(a.flags, b.flags);
        EXPECT_EQ(a.pronunciations, b.pronunciations);
        EXPECT_EQ(a.span.begin, b.span.begin);
        EXPECT_EQ(a.span.end, b.span.end);
        ASSERT_EQ(a.phonemeSpans.size(), b.phonemeSpans.size());
        for (size_t k = 0; k < a.phonemeSpans.size(); ++k) EXPECT_EQ(a.phonemeSpans[k].end, b.phonemeSpans[k].end);
    }
}

TEST(LessonFormat, EveryTruncationIsRefused) {
    const std::vector<uint8_t> bytes = DefaultLessonBytes();
    for (size_t n = 0; n < bytes.size(); ++n) {
        // A fresh copy of exactly n bytes, so reading past it would be a
        // heap overflow that a checking allocator or Wine's heap reports.
        std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + n);
        Lesson l;
        const int err = ParseLesson(n ? prefix.data() : nullptr, n, l).error;
        ASSERT_NE(err, kOk) << "prefix of " << n << " bytes";
        ASSERT_TRUE(err == kErrLessonEmpty || err == kErrLessonTruncated) << n << " bytes gave " << err;
    }
}

TEST(LessonFormat, TruncatedChunksBehindAValidChecksumAreRefused) {
    const std::vector<uint8_t> body = BodyOf(DefaultLessonBytes());
    // Cut the body anywhere (the header still promises the cut size and a
    // matching checksum): the chunk walk must notice.
    for (size_t n = 0; n + 1 < body.size(); n += 7) {
        std::vector<uint8_t> cut(body.begin(), body.begin() + n);
        const int err = ParseError(FileOf(cut));
        EXPECT_TRUE(err == kErrLessonTruncated || err == kErrLessonMissingPart) << n << " gave " << err;
    }
}

TEST(LessonFormat, HeaderFaults) {
    const std::vector<uint8_t> good = DefaultLessonBytes();
    struct Case {
        const char* name;
        size_t at;
        bool flip;      // flip every bit instead of setting the value
        uint8_t value;
        int expected;
    } cases[] = {
        {"signature", 0, false, 'X', kErrLessonNotLesson},
        {"version 2", 4, false, 2, kErrLessonVersion},
        {"version 0", 4, false, 0, kErrLessonVersion},
        {"reserved", 6, false, 1, kErrLessonMalformed},
        {"checksum", 12, true, 0, kErrLessonChecksum},
        {"a body byte", 40, true, 0, kErrLessonChecksum},
        {"body size larger", 10, false, 0x7F, kErrLessonTruncated},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = good;
        b[c.at] = c.flip ? static_cast<uint8_t>(~b[c.at]) : c.value;
        EXPECT_EQ(ParseError(b), c.expected) << c.name;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_EQ(ParseError(longer), kErrLessonMalformed) << "trailing byte";
    EXPECT_EQ(ParseError({'N', 'L'}), kErrLessonTruncated);
}

TEST(LessonFormat, FieldFaultsBehindAValidChecksum) {
    const std::vector<uint8_t> body = BodyOf(DefaultLessonBytes());
    const size_t text = ChunkPayload(body, "TEXT"), items = ChunkPayload(body, "ITEM"),
                 audio = ChunkPayload(body, "AUDI"), times = ChunkPayload(body, "TIME");
    struct Case {
        const char* name;
        size_t at;
        uint32_t value;
        int expected;
    } cases[] = {
        {"tone 3", text, 3, kErrLessonMalformed},
        {"item count 0", items, 0, kErrLessonMalformed},
        {"item count huge", items, 0x7FFFFFFF, kErrLessonTooLarge},
        {"item count more than the chunk holds", items, 4000, kErrLessonTruncated},
        {"word past the text", items + 4, 1000, kErrLessonMalformed},
        {"word of length 0", items + 8, 0, kErrLessonMalformed},
        {"unknown item flag", items + 12, 0x10, kErrLessonMalformed},
        {"no pronunciation", items + 16, 0, kErrLessonMalformed},
        {"too many pronunciations", items + 16, 17, kErrLessonTooLarge},
        {"phoneme count huge", items + 20, 0xFFFFFFFF, kErrLessonTooLarge},
        {"phoneme count 0", items + 20, 0, kErrLessonMalformed},
        {"phoneme code with high bits", items + 24, 0x10000073, kErrLessonMalformed},
        {"phoneme code empty symbol", items + 24, 0x03000000, kErrLessonMalformed},
        {"phoneme code control char", items + 24, 0x00000009, kErrLessonMalformed},
        {"phoneme code gap in symbol", items + 24, 0x00610073, kErrLessonMalformed},
        {"sample rate", audio, 8000, kErrLessonMalformed},
        {"sample count 0", audio + 4, 0, kErrLessonMalformed},
        {"sample count past the chunk", audio + 4, 10000000, kErrLessonTooLarge},
        {"sample count one more", audio + 4, 0, kErrLessonTruncated},  // value set below
        {"time item count", times, 3, kErrLessonMalformed},
        {"word span reversed", times + 4, 0xFFFFFF, kErrLessonMalformed},
        {"word span past the audio", times + 8, 0x7FFFFFFF, kErrLessonMalformed},
        {"phoneme span count", times + 12, 9, kErrLessonMalformed},
        {"phoneme span outside its word", times + 16, 0, kErrLessonMalformed},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = body;
        uint32_t value = c.value;
        if (std::string(c.name) == "sample count one more") {
            std::memcpy(&value, &b[audio + 4], 4);
            ++value;
        }
        PutU32(b, c.at, value);
        EXPECT_EQ(ParseError(FileOf(b)), c.expected) << c.name;
    }
}

TEST(LessonFormat, TextMustBeWellFormedUtf8) {
    const std::string bad[] = {"\xC3", "\xC0\xAF", "\xED\xA0\x80", std::string("a\0b", 3), "\xF4\x90\x80\x80"};
    for (const std::string& prefix : bad) {
        Lesson l = DefaultLesson();
        l.text = prefix + std::string(40, 'x');
        EXPECT_EQ(ValidateLesson(l), kErrLessonMalformed);
        EXPECT_EQ(ParseError(WriteLesson(l)), kErrLessonMalformed);
    }
}

TEST(LessonFormat, WordsMustNotOverlapNorRunBackwards) {
    Lesson l = DefaultLesson();
    l.items[1].start = l.items[0].start;  // same place as the first word
    EXPECT_EQ(ParseError(WriteLesson(l)), kErrLessonMalformed);
    l = DefaultLesson();
    std::swap(l.items[1].span, l.items[2].span);
    EXPECT_EQ(ParseError(WriteLesson(l)), kErrLessonMalformed);
}

TEST(LessonFormat, PartsMissingRepeatedOrUnknown) {
    const std::vector<uint8_t> body = BodyOf(DefaultLessonBytes());
    const size_t items = ChunkPayload(body, "ITEM") - 8;
    uint32_t itemSize;
    std::memcpy(&itemSize, &body[items + 4], 4);
    const std::vector<uint8_t> itemChunk(body.begin() + items, body.begin() + items + 8 + itemSize);

    std::vector<uint8_t> without = body;
    without.erase(without.begin() + items, without.begin() + items + 8 + itemSize);
    EXPECT_EQ(ParseError(FileOf(without)), kErrLessonMissingPart);

    std::vector<uint8_t> twice = body;
    twice.insert(twice.end(), itemChunk.begin(), itemChunk.end());
    EXPECT_EQ(ParseError(FileOf(twice)), kErrLessonMissingPart);

    // A part this version does not know is skipped: later writers may add some.
    std::vector<uint8_t> extra = body;
    const uint8_t unknown[] = {'N', 'O', 'T', 'E', 3, 0, 0, 0, 'a', 'b', 'c'};
    extra.insert(extra.begin(), unknown, unknown + sizeof unknown);
    EXPECT_EQ(ParseError(FileOf(extra)), kOk);
}
