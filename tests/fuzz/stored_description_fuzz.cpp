// Fuzz target: arbitrary bytes as a stored description. Reading either succeeds or throws
// ParseError; a tree that was read must write, read back equal, and write the same text again.
#include "toolkit/stored/StoredDescription.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using toolkit::stored::Object;
using toolkit::stored::ParseError;
using toolkit::stored::WriteError;

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "stored_description_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Object tree;
    try {
        tree = toolkit::stored::Parse(text);
    } catch (const ParseError& e) {
        if (e.line() < 1)
            Fail("error without a line:", e.what());
        return 0;
    }
    std::string written;
    try {
        written = toolkit::stored::Write(tree);
    } catch (const WriteError& e) {
        // The canonical form indents and spaces out, at most about ten times the input; only a
        // text near the size limit may grow beyond it. Anything else read must be writable.
        if (size <= toolkit::stored::kMaxTextSize / 16)
            Fail("a tree that was read cannot be written:", e.what());
        return 0;
    }
    Object again;
    try {
        again = toolkit::stored::Parse(written);
    } catch (const ParseError& e) {
        Fail("the written text does not read back:", e.what());
    }
    if (!(again == tree))
        Fail("the tree read back differs from the tree written");
    if (toolkit::stored::Write(again) != written)
        Fail("writing is not stable:", written);
    return 0;
}
