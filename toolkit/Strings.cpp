#include "toolkit/Strings.h"

namespace toolkit {

bool SameText(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'a' && x <= u'z') {
            x = static_cast<char16_t>(x - 32);
        }
        if (y >= u'a' && y <= u'z') {
            y = static_cast<char16_t>(y - 32);
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

} // namespace toolkit
