// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Writes the two-byte decoding table of code page 932 as C++ source, taken
// from the C library's "CP932" converter. Run at build time; fails when the
// converter is missing, so a build never ships an empty table, and when a
// two-byte code would read as one of the characters that the codec keeps for
// Windows' single bytes (U+0080, U+F8F0..U+F8F3), which would make writing
// them ambiguous.
#include <cstdio>
#include <iconv.h>

namespace {

bool isLead(int b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The character of one two-byte code, 0 when it has none (or no single one).
unsigned convert(iconv_t cd, int lead, int trail)
{
    char in[2] = { char(lead), char(trail) };
    char16_t out[4] = {};
    char *inPtr = in;
    char *outPtr = reinterpret_cast<char *>(out);
    size_t inLeft = 2;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
        return 0;
    if (sizeof out - outLeft != 2)
        return 0;
    return out[0];
}

bool isSingleByteCharacter(unsigned c)
{
    return c == 0x0080 || (c >= 0xF8F0 && c <= 0xF8F3);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.inc\n", argv[0]);
        return 2;
    }
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == iconv_t(-1)) {
        std::perror("iconv_open CP932");
        return 1;
    }
    std::FILE *out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
        "// Generated from the C library's CP932 converter. Rows: leads 0x81..0x9F, 0xE0..0xFC;\n"
        "// columns: trails 0x40..0xFC; 0 = no character.\n");
    int mapped = 0;
    int clashes = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLead(lead))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const unsigned c = trail == 0x7F ? 0 : convert(cd, lead, trail);
            mapped += c != 0;
            clashes += isSingleByteCharacter(c);
            std::fprintf(out, "0x%04X,%s", c, (trail - 0x40) % 12 == 11 ? "\n" : " ");
        }
        std::fprintf(out, "\n");
    }
    iconv_close(cd);
    if (std::fclose(out) != 0 || mapped < 7000) {
        std::fprintf(stderr, "CP932 table incomplete (%d codes)\n", mapped);
        return 1;
    }
    if (clashes != 0) {
        std::fprintf(stderr, "CP932 table maps %d two-byte codes to single-byte characters\n", clashes);
        return 1;
    }
    return 0;
}
