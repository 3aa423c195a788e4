// make-charsets: writes VELA_VTI_Interlaced_Even.iff and VELA_VTI_Interlaced_Odd.iff
// from our glyph font.  Usage: make-charsets OUTPUT_DIR

#include "filter/CharacterSet.h"
#include "filter/GlyphFont.h"

#include <cstdio>
#include <string>

namespace {

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-charsets OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const struct {
        const char* name;
        FieldPhase phase;
    } files[] = {{kEvenCharacterSetFile, FieldPhase::Even}, {kOddCharacterSetFile, FieldPhase::Odd}};
    for (const auto& file : files) {
        if (!WriteFile(dir + file.name, FormatCharacterSet(FontCharacterSet(file.phase)))) {
            std::fprintf(stderr, "make-charsets: cannot write %s%s\n", dir.c_str(), file.name);
            return 1;
        }
    }
    return 0;
}
