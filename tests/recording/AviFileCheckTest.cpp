// Which files the start-up recovery rebuilds, from small RIFF files made here.
#include "recording/AviFileCheck.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace {

std::string U32(std::uint32_t v)
{
    return {static_cast<char>(v & 0xff), static_cast<char>(v >> 8 & 0xff), static_cast<char>(v >> 16 & 0xff),
            static_cast<char>(v >> 24 & 0xff)};
}

std::string Chunk(const char* id, const std::string& data)
{
    return id + U32(static_cast<std::uint32_t>(data.size())) + data + std::string(data.size() % 2, '\0');
}

// sizeOverride: the size field as a killed writer leaves it (written before the data).
std::string List(const char* kind, const char* type, const std::string& body, std::int64_t sizeOverride = -1)
{
    const auto size = sizeOverride < 0 ? body.size() + 4 : static_cast<std::size_t>(sizeOverride);
    return kind + U32(static_cast<std::uint32_t>(size)) + type + body;
}

std::string Header(std::uint32_t totalFrames)
{
    const std::string avih = std::string(16, '\0') + U32(totalFrames) + std::string(36, '\0');
    return List("LIST", "hdrl", Chunk("avih", avih) + List("LIST", "strl", Chunk("strh", std::string(56, '\0'))));
}

const std::string kFrames = Chunk("00db", "frame1") + Chunk("00dc", "frame"); // an odd size tests the padding
const std::string kIndex = Chunk("idx1", std::string(32, '\0'));

const std::string kComplete = List("RIFF", "AVI ", Header(2) + List("LIST", "movi", kFrames) + kIndex);
// A killed recording: sizes and frame count as written at the start, no index.
const std::string kKilled = List("RIFF", "AVI ", Header(0) + List("LIST", "movi", kFrames, 4), 200);

AviFileCheck Check(const std::string& bytes)
{
    return CheckAviFile(static_cast<std::int64_t>(bytes.size()),
                        [&bytes](std::int64_t offset, void* to, std::size_t n) -> std::size_t {
                            const auto at = static_cast<std::size_t>(offset);
                            return at < bytes.size() ? bytes.copy(static_cast<char*>(to), n, at) : 0;
                        });
}

} // namespace

TEST(AviFileCheck, VerdictDataEndAndFrames)
{
    const std::string cut = kKilled + Chunk("00db", std::string(100, 'x')).substr(0, 30);
    const std::string openDml = kComplete + List("RIFF", "AVIX", List("LIST", "movi", kFrames, 4), 4);
    const auto whole = [](const std::string& s) { return static_cast<std::int64_t>(s.size()); };
    // The name, the bytes, the verdict, where the data ends (-1: not checked) and the frames.
    const std::tuple<const char*, std::string, AviFileVerdict, std::int64_t, std::int64_t> cases[] = {
        {"closed by the writer", kComplete, AviFileVerdict::Complete, whole(kComplete), 2},
        {"killed", kKilled, AviFileVerdict::Interrupted, whole(kKilled), 2},
        {"last frame cut short", cut, AviFileVerdict::Interrupted, whole(kKilled), 2},
        {"header says 0 frames",
         List("RIFF", "AVI ", Header(0) + List("LIST", "movi", kFrames) + kIndex), AviFileVerdict::Interrupted,
         whole(kComplete), 2},
        {"no index", List("RIFF", "AVI ", Header(2) + List("LIST", "movi", kFrames)), AviFileVerdict::Interrupted,
         whole(kComplete) - whole(kIndex), 2},
        {"second RIFF never closed", openDml, AviFileVerdict::Interrupted, whole(openDml), 4},
        {"killed before the first frame", List("RIFF", "AVI ", Header(0) + List("LIST", "movi", "", 4), 200),
         AviFileVerdict::Interrupted, whole(kKilled) - whole(kFrames), 0},
        {"ends inside the header", kComplete.substr(0, 40), AviFileVerdict::TruncatedHeader, -1, 0},
        {"empty", "", AviFileVerdict::Empty, -1, 0},
        {"RIFF but not AVI", List("RIFF", "WAVE", Chunk("fmt ", "")), AviFileVerdict::NotAvi, -1, 0},
    };
    for (const auto& [name, bytes, verdict, dataEnd, frames] : cases) {
        const AviFileCheck r = Check(bytes);
        EXPECT_EQ(r.verdict, verdict) << name;
        EXPECT_TRUE(dataEnd < 0 || r.dataEnd == dataEnd) << name << ": " << r.dataEnd;
        EXPECT_EQ(r.videoChunks, frames) << name;
    }
}
