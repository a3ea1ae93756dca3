#include "LessonFormat.h"

#include <cstring>
#include <new>

#include "ByteReader.h"
#include "ByteWriter.h"
#include "Crc32.h"
#include "ErrorCodes.h"
#include "Utf8.h"

namespace nelo {
namespace {

constexpr size_t kHeaderSize = 16;
constexpr char kMagic[4] = {'N', 'L', 'S', 'N'};

bool ValidPhonemeCode(uint32_t code) {
    if (code >> 28) return false;
    if (PhonemeStress(code) > kStressPrimary) return false;
    bool ended = false;
    for (int i = 0; i < 3; ++i) {
        uint8_t c = static_cast<uint8_t>(code >> (8 * i));
        if (c == 0) {
            if (i == 0) return false;
            ended = true;
        } else if (ended || c < 0x21 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

bool ValidSpans(const Lesson& lesson) {
    uint32_t previousEnd = 0;
    const size_t sampleCount = lesson.samples.size();
    for (const LessonItem& item : lesson.items) {
        if (item.span.begin >= item.span.end || item.span.end > sampleCount) return false;
        if (item.span.begin < previousEnd) return false;
        previousEnd = item.span.end;
        if (item.phonemeSpans.size() != item.pronunciations[0].size()) return false;
        uint32_t phonemeEnd = item.span.begin;
        for (const SampleSpan& p : item.phonemeSpans) {
            if (p.begin >= p.end || p.begin < phonemeEnd || p.end > item.span.end) return false;
            phonemeEnd = p.end;
        }
    }
    return true;
}

class LessonParser {
public:
    LessonParser(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    ParseOutcome run(Lesson& out) {
        if (size_ == 0) return fail(kErrLessonEmpty, 0);
        ByteReader header(data_, size_);
        const uint8_t* magic = nullptr;
        if (!header.take(4, magic)) return fail(kErrLessonTruncated, 0);
        if (std::memcmp(magic, kMagic, 4) != 0) return fail(kErrLessonNotLesson, 0);
        uint16_t version = 0, reserved = 0;
        uint32_t bodySize = 0, crc = 0;
        if (!header.readU16(version)) return fail(kErrLessonTruncated, header.position());
        if (version < kLessonMinReadVersion || version > kLessonMaxReadVersion) return fail(kErrLessonVersion, 4);
        if (!header.readU16(reserved) || !header.readU32(bodySize) || !header.readU32(crc))
            return fail(kErrLessonTruncated, header.position());
        if (reserved != 0) return fail(kErrLessonMalformed, 6);
        if (bodySize > header.remaining()) return fail(kErrLessonTruncated, size_);
        if (bodySize < header.remaining()) return fail(kErrLessonMalformed, kHeaderSize + bodySize);
        if (Crc32(header.cursor(), bodySize) != crc) return fail(kErrLessonChecksum, 12);
        return parseBody(header.cursor(), bodySize, out);
    }

private:
    struct Chunk {
        const uint8_t* data = nullptr;
        size_t size = 0;
        size_t offset = 0;
        bool present = false;
    };

    ParseOutcome fail(int code, size_t offset) { return ParseOutcome{code, offset}; }

    ParseOutcome parseBody(const uint8_t* body, size_t size, Lesson& out) {
        ByteReader r(body, size);
        Chunk text, items, audio, times;
        while (r.remaining() > 0) {
            const size_t at = kHeaderSize + r.position();
            const uint8_t* id = nullptr;
            uint32_t chunkSize = 0;
            if (!r.take(4, id) || !r.readU32(chunkSize)) return fail(kErrLessonTruncated, at);
            const uint8_t* payload = nullptr;
            if (!r.take(chunkSize, payload)) return fail(kErrLessonTruncated, at);
            Chunk* slot = nullptr;
            if (std::memcmp(id, "TEXT", 4) == 0) slot = &text;
            else if (std::memcmp(id, "ITEM", 4) == 0) slot = &items;
            else if (std::memcmp(id, "AUDI", 4) == 0) slot = &audio;
            else if (std::memcmp(id, "TIME", 4) == 0) slot = &times;
            if (!slot) continue;  // a part a later writer added; version 1 readers skip it
            if (slot->present) return fail(kErrLessonMissingPart, at);
            *slot = Chunk{payload, chunkSize, at + 8, true};
        }
        if (!text.present || !items.present || !audio.present || !times.present)
            return fail(kErrLessonMissingPart, kHeaderSize + size);

        ParseOutcome o = parseText(text, out);
        if (o.error) return o;
        if ((o = parseItems(items, out)).error) return o;
        if ((o = parseAudio(audio, out)).error) return o;
        if ((o = parseTimes(times, out)).error) return o;
        if (!ValidSpans(out)) return fail(kErrLessonMalformed, times.offset);
        return ParseOutcome{};
    }

    ParseOutcome parseText(const Chunk& c, Lesson& out) {
        ByteReader r(c.data, c.size);
        uint8_t tone = 0, pad[3] = {};
        if (!r.readU8(tone) || !r.readU8(pad[0]) || !r.readU8(pad[1]) || !r.readU8(pad[2]))
            return fail(kErrLessonTruncated, c.offset);
        if (tone > static_cast<uint8_t>(Tone::Exclamation) || pad[0] || pad[1] || pad[2])
            return fail(kErrLessonMalformed, c.offset);
        if (r.remaining() == 0) return fail(kErrLessonMalformed, c.offset);
        if (r.remaining() > kMaxTextBytes) return fail(kErrLessonTooLarge, c.offset);
        if (Utf16Length(reinterpret_cast<const char*>(r.cursor()), r.remaining()) < 0)
            return fail(kErrLessonMalformed, c.offset + 4);
        out.tone = static_cast<Tone>(tone);
        out.text.assign(reinterpret_cast<const char*>(r.cursor()), r.remaining());
        return ParseOutcome{};
    }

    ParseOutcome parseItems(const Chunk& c, Lesson& out) {
        ByteReader r(c.data, c.size);
        uint32_t count = 0;
        if (!r.readU32(count)) return fail(kErrLessonTruncated, c.offset);
        if (count == 0) return fail(kErrLessonMalformed, c.offset);
        if (count > kMaxItems) return fail(kErrLessonTooLarge, c.offset);
        // Each item needs at least 24 bytes; a count the chunk cannot hold is
        // refused before anything is allocated for it.
        if (count > r.remaining() / 24) return fail(kErrLessonTruncated, c.offset);
        const long textUnits = Utf16Length(out.text);
        out.items.assign(count, LessonItem{});
        uint64_t previousEnd = 0;
        for (LessonItem& item : out.items) {
            const size_t at = c.offset + r.position();
            uint32_t pronCount = 0;
            if (!r.readU32(item.start) || !r.readU32(item.length) || !r.readU32(item.flags) || !r.readU32(pronCount))
                return fail(kErrLessonTruncated, at);
            const uint64_t end = static_cast<uint64_t>(item.start) + item.length;
            if (item.length == 0 || end > static_cast<uint64_t>(textUnits) || item.start < previousEnd ||
                (item.flags & ~kItemKnownFlags) != 0)
                return fail(kErrLessonMalformed, at);
            previousEnd = end;
            if (pronCount == 0) return fail(kErrLessonMalformed, at);
            if (pronCount > kMaxPronunciations) return fail(kErrLessonTooLarge, at);
            item.pronunciations.resize(pronCount);
            for (std::vector<uint32_t>& pron : item.pronunciations) {
                const size_t pronAt = c.offset + r.position();
                uint32_t phonemes = 0;
                if (!r.readU32(phonemes)) return fail(kErrLessonTruncated, pronAt);
                if (phonemes == 0) return fail(kErrLessonMalformed, pronAt);
                if (phonemes > kMaxPhonemesPerWord) return fail(kErrLessonTooLarge, pronAt);
                if (phonemes > r.remaining() / 4) return fail(kErrLessonTruncated, pronAt);
                pron.resize(phonemes);
                for (uint32_t& code : pron) {
                    r.readU32(code);
                    if (!ValidPhonemeCode(code)) return fail(kErrLessonMalformed, c.offset + r.position() - 4);
                }
            }
        }
        if (r.remaining() != 0) return fail(kErrLessonMalformed, c.offset + r.position());
        return ParseOutcome{};
    }

    ParseOutcome parseAudio(const Chunk& c, Lesson& out) {
        ByteReader r(c.data, c.size);
        uint32_t rate = 0, count = 0;
        if (!r.readU32(rate) || !r.readU32(count)) return fail(kErrLessonTruncated, c.offset);
        if (rate != kSampleRate || count == 0) return fail(kErrLessonMalformed, c.offset);
        if (count > kMaxLessonSamples) return fail(kErrLessonTooLarge, c.offset);
        if (r.remaining() < static_cast<size_t>(count) * 2) return fail(kErrLessonTruncated, c.offset + 8);
        if (r.remaining() > static_cast<size_t>(count) * 2) return fail(kErrLessonMalformed, c.offset + 8 + count * 2);
        out.samples.resize(count);
        const uint8_t* p = r.cursor();
        for (uint32_t i = 0; i < count; ++i) out.samples[i] = ReadI16At(p + 2 * i);
        return ParseOutcome{};
    }

    ParseOutcome parseTimes(const Chunk& c, Lesson& out) {
        ByteReader r(c.data, c.size);
        uint32_t count = 0;
        if (!r.readU32(count)) return fail(kErrLessonTruncated, c.offset);
        if (count != out.items.size()) return fail(kErrLessonMalformed, c.offset);
        for (LessonItem& item : out.items) {
            const size_t at = c.offset + r.position();
            uint32_t phonemes = 0;
            if (!r.readU32(item.span.begin) || !r.readU32(item.span.end) || !r.readU32(phonemes))
                return fail(kErrLessonTruncated, at);
            if (phonemes != item.pronunciations[0].size()) return fail(kErrLessonMalformed, at);
            item.phonemeSpans.resize(phonemes);
            for (SampleSpan& s : item.phonemeSpans)
                if (!r.readU32(s.begin) || !r.readU32(s.end)) return fail(kErrLessonTruncated, c.offset + r.position());
        }
        if (r.remaining() != 0) return fail(kErrLessonMalformed, c.offset + r.position());
        return ParseOutcome{};
    }

    const uint8_t* data_;
    size_t size_;
};

}  // namespace

ParseOutcome ParseLesson(const uint8_t* data, size_t size, Lesson& out) {
    if (!data) return ParseOutcome{kErrLessonEmpty, 0};
    try {
        return LessonParser(data, size).run(out);
    } catch (const std::bad_alloc&) {
        return ParseOutcome{kErrOutOfMemory, 0};
    }
}

int ValidateLesson(const Lesson& lesson) {
    if (lesson.text.empty()) return kErrLessonMalformed;
    if (lesson.text.size() > kMaxTextBytes || lesson.items.size() > kMaxItems || lesson.samples.size() > kMaxLessonSamples)
        return kErrLessonTooLarge;
    const long units = Utf16Length(lesson.text);
    if (units < 0 || lesson.items.empty() || lesson.samples.empty() || static_cast<uint8_t>(lesson.tone) > 2)
        return kErrLessonMalformed;
    uint64_t previousEnd = 0;
    for (const LessonItem& item : lesson.items) {
        const uint64_t end = static_cast<uint64_t>(item.start) + item.length;
        if (item.length == 0 || end > static_cast<uint64_t>(units) || item.start < previousEnd ||
            (item.flags & ~kItemKnownFlags))
            return kErrLessonMalformed;
        previousEnd = end;
        if (item.pronunciations.empty()) return kErrLessonMalformed;
        if (item.pronunciations.size() > kMaxPronunciations) return kErrLessonTooLarge;
        for (const auto& pron : item.pronunciations) {
            if (pron.empty()) return kErrLessonMalformed;
            if (pron.size() > kMaxPhonemesPerWord) return kErrLessonTooLarge;
            for (uint32_t code : pron)
                if (!ValidPhonemeCode(code)) return kErrLessonMalformed;
        }
    }
    return ValidSpans(lesson) ? kOk : kErrLessonMalformed;
}

std::vector<uint8_t> WriteLesson(const Lesson& lesson) {
    ByteWriter body;
    auto chunk = [&body](const char (&id)[5], auto&& fill) {
        body.tag(id);
        const size_t sizeAt = body.size();
        body.u32(0);
        fill(body);
        body.patchU32(sizeAt, static_cast<uint32_t>(body.size() - sizeAt - 4));
    };
    chunk("TEXT", [&](ByteWriter& w) {
        w.u8(static_cast<uint8_t>(lesson.tone));
        w.u8(0); w.u8(0); w.u8(0);
        w.raw(lesson.text.data(), lesson.text.size());
    });
    chunk("ITEM", [&](ByteWriter& w) {
        w.u32(static_cast<uint32_t>(lesson.items.size()));
        for (const LessonItem& item : lesson.items) {
            w.u32(item.start); w.u32(item.length); w.u32(item.flags);
            w.u32(static_cast<uint32_t>(item.pronunciations.size()));
            for (const auto& pron : item.pronunciations) {
                w.u32(static_cast<uint32_t>(pron.size()));
                for (uint32_t code : pron) w.u32(code);
            }
        }
    });
    chunk("AUDI", [&](ByteWriter& w) {
        w.u32(kSampleRate);
        w.u32(static_cast<uint32_t>(lesson.samples.size()));
        for (int16_t s : lesson.samples) w.i16(s);
    });
    chunk("TIME", [&](ByteWriter& w) {
        w.u32(static_cast<uint32_t>(lesson.items.size()));
        for (const LessonItem& item : lesson.items) {
            w.u32(item.span.begin); w.u32(item.span.end);
            w.u32(static_cast<uint32_t>(item.phonemeSpans.size()));
            for (const SampleSpan& s : item.phonemeSpans) { w.u32(s.begin); w.u32(s.end); }
        }
    });

    ByteWriter out;
    out.raw(kMagic, 4);
    out.u16(kLessonFormatVersion);
    out.u16(0);
    out.u32(static_cast<uint32_t>(body.size()));
    out.u32(Crc32(body.bytes().data(), body.size()));
    out.raw(body.bytes().data(), body.size());
    return std::move(out.bytes());
}

}  // namespace nelo
