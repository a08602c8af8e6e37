// xmotool-txf: `xmotool txf`, a program of its own so that check, dump and
// save never map FreeType. It renders the characters of a TrueType or
// OpenType font into a TXF caption font.
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>

#include "effects/txf_maker.h"

namespace {

constexpr const char* kUsage = "expected FONT OUT.txf [--size PX] [--chars STRING]";

int usageError(const std::string& message) {
    std::cerr << "xmotool txf: " << message << "\n";
    return 2;
}

bool parsePixelSize(const std::string& text, int& size) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || *end != '\0' || errno != 0 ||
        value < xmo::kMinTxfPixelSize ||
        value > xmo::kMaxTxfPixelSize)
        return false;
    size = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string fontPath, outPath;
    xmo::TxfMakerOptions options;
    bool sizeGiven = false, charsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << "usage: xmotool txf FONT OUT.txf [--size PX] [--chars STRING]\n"
                         "  FONT            a TrueType or OpenType font file\n"
                         "  OUT.txf         the TXF caption font to write\n"
                         "  --size PX       pixels to the em, " << xmo::kMinTxfPixelSize << " to " << xmo::kMaxTxfPixelSize
                      << " (default " << xmo::kDefaultTxfPixelSize << ")\n"
                         "  --chars STRING  the characters, in UTF-8, Latin-1 only (default printable\n"
                         "                  ASCII and the Latin-1 letters)\n";
            return 0;
        }
        if (arg == "--size" || arg == "--chars") {
            bool& given = arg == "--size" ? sizeGiven : charsGiven;
            if (given) return usageError(arg + " given twice");
            if (i + 1 >= argc) return usageError(arg + " needs a value");
            given = true;
            const std::string value = argv[++i];
            if (arg == "--chars") {
                options.characters = value;
            } else if (!parsePixelSize(value, options.pixelSize)) {
                return usageError("--size: expected a whole number of pixels from " +
                                  std::to_string(xmo::kMinTxfPixelSize) + " to " +
                                  std::to_string(xmo::kMaxTxfPixelSize) + ", got '" + value + "'");
            }
        } else if (arg.rfind("--", 0) == 0) {
            return usageError("unknown option '" + arg + "'; " + kUsage);
        } else if (fontPath.empty()) {
            fontPath = arg;
        } else if (outPath.empty()) {
            outPath = arg;
        } else {
            return usageError(kUsage);
        }
    }
    if (outPath.empty()) return usageError(kUsage);

    std::u32string missing;
    const std::string problem = xmo::makeTxfFont(fontPath, outPath, options, &missing);
    if (!problem.empty()) {
        std::cerr << "xmotool txf: " << problem << "\n";
        return 1;
    }
    if (!missing.empty()) {
        std::cerr << "xmotool txf: " << fontPath << " has no glyph for";
        for (char32_t code : missing) std::cerr << " " << xmo::describeCharacter(code);
        std::cerr << "; those characters print nothing\n";
    }
    return 0;
}
