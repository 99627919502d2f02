// Code pages and locale: conversions through iconv with Windows' length conventions, upper
// casing, string comparison and the locale queries.
#include "platform/sim/SimLocale.h"

#include "platform/sim/SimKernel.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <iconv.h>
#include <locale.h>
#include <map>

namespace platform::sim {

namespace {

constexpr DWORD MB_VALID_FLAGS = 0x0000000F; // precomposed, composite, glyph chars, errors
constexpr DWORD WC_VALID_FLAGS =
    0x00000400 | 0x00000200 | 0x00000040 | 0x00000020 | 0x00000010 | WC_ERR_INVALID_CHARS;
constexpr char16_t kDefaultUnicode932 = 0x30FB; // what 932 gives for an undefined sequence

// iconv descriptors are costly to open; keep one per direction and code page.
class Converters {
public:
    ~Converters() {
        for (auto& [key, cd] : open_) {
            iconv_close(cd);
        }
    }
    iconv_t Get(const std::string& to, const std::string& from) {
        std::string key = to + "<" + from;
        auto it = open_.find(key);
        if (it != open_.end()) {
            iconv(it->second, nullptr, nullptr, nullptr, nullptr);
            return it->second;
        }
        iconv_t cd = iconv_open(to.c_str(), from.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return cd;
        }
        open_[key] = cd;
        return cd;
    }

private:
    std::map<std::string, iconv_t> open_;
};

thread_local Converters converters;

std::string IconvName(UINT codePage) {
    if (codePage == CP_UTF8) {
        return "UTF-8";
    }
    if (codePage == CP_UTF7) {
        return "UTF-7";
    }
    return "CP" + std::to_string(codePage);
}

bool IsLeadByte932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D of 1252 have no letter; Windows maps them to the
// control characters of the same value and back.
bool IsUndefined1252(unsigned int value) {
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

// The best-fit replacements the desktop knows: Latin letters lose their diacritics, full-width
// ASCII becomes ASCII.
char16_t BestFit(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        return static_cast<char16_t>(c - 0xFF01 + 0x21);
    }
    // '?' marks a letter without a replacement.
    static const char kLatin1[] =
        "AAAAAA?CEEEEIIIIDNOOOOO?OUUUUY??aaaaaa?ceeeeiiiidnooooo?ouuuuy?y";
    static const char kExtendedA[] = "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIi"
                                     "Ii??JjKkkLlLlLlLlLlNnNnNnnNnOoOoOo??RrRrRrSsSsSs"
                                     "SsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
    static_assert(sizeof kLatin1 == 65 && sizeof kExtendedA == 129);
    char fit = 0;
    if (c >= 0xC0 && c <= 0xFF) {
        fit = kLatin1[c - 0xC0];
    } else if (c >= 0x100 && c <= 0x17F) {
        fit = kExtendedA[c - 0x100];
    }
    return fit == '?' ? 0 : static_cast<char16_t>(fit);
}

// Encodes one code point; false when the code page has no form for it.
bool EncodeOne(UINT codePage, char32_t c, std::string& out) {
    if (codePage == 1252 && IsUndefined1252(c)) {
        out += static_cast<char>(c);
        return true;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
        return true;
    }
    iconv_t cd = converters.Get(IconvName(codePage), "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    char input[4];
    std::memcpy(input, &c, 4);
    char output[16];
    char* in = input;
    std::size_t inLeft = 4;
    char* outp = output;
    std::size_t outLeft = sizeof output;
    if (iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) {
        return false;
    }
    out.append(output, static_cast<std::size_t>(outp - output));
    return true;
}

} // namespace

UINT ResolveCodePage(UINT codePage, UINT ansiCodePage) {
    switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
        return ansiCodePage;
    case CP_OEMCP:
        return ansiCodePage == 932 ? 932 : 437;
    default:
        return codePage;
    }
}

int ToWide(UINT codePage, DWORD flags, const char* text, int cbText, char16_t* wide, int cchWide,
           DWORD& error) {
    error = 0;
    if (text == nullptr || cbText == 0 || cbText < -1 || cchWide < 0 ||
        (wide == nullptr && cchWide > 0)) {
        error = ERROR_INVALID_PARAMETER;
        return 0;
    }
    if ((flags & ~MB_VALID_FLAGS) != 0 ||
        (codePage == CP_UTF8 && (flags & ~MB_ERR_INVALID_CHARS) != 0)) {
        error = ERROR_INVALID_FLAGS;
        return 0;
    }
    const std::size_t length =
        cbText == -1 ? std::strlen(text) + 1 : static_cast<std::size_t>(cbText);
    iconv_t cd = converters.Get("UTF-16LE", IconvName(codePage));
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        error = ERROR_INVALID_PARAMETER;
        return 0;
    }
    std::u16string out;
    char* in = const_cast<char*>(text);
    std::size_t inLeft = length;
    while (inLeft > 0) {
        char16_t chunk[128];
        char* outp = reinterpret_cast<char*>(chunk);
        std::size_t outLeft = sizeof chunk;
        std::size_t result = iconv(cd, &in, &inLeft, &outp, &outLeft);
        out.append(chunk, static_cast<std::size_t>(reinterpret_cast<char16_t*>(outp) - chunk));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // An invalid or incomplete sequence.
        if ((flags & MB_ERR_INVALID_CHARS) != 0 &&
            !(codePage == 1252 && IsUndefined1252(static_cast<unsigned char>(*in)))) {
            error = ERROR_NO_UNICODE_TRANSLATION;
            return 0;
        }
        auto byte = static_cast<unsigned char>(*in);
        std::size_t skip = 1;
        if (codePage == 1252) {
            out += static_cast<char16_t>(byte);
        } else if (codePage == 932) {
            out += kDefaultUnicode932;
            if (IsLeadByte932(byte) && inLeft >= 2) {
                skip = 2;
            }
        } else {
            out += static_cast<char16_t>(0xFFFD);
        }
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    const auto needed = static_cast<int>(out.size());
    if (cchWide == 0) {
        return needed;
    }
    if (needed > cchWide) {
        std::memcpy(wide, out.data(), static_cast<std::size_t>(cchWide) * sizeof(char16_t));
        error = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    std::memcpy(wide, out.data(), out.size() * sizeof(char16_t));
    return needed;
}

int Locale::MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText,
                                char16_t* wide, int cchWide) {
    DWORD error = 0;
    int result = ToWide(ResolveCodePage(codePage, config_.ansiCodePage), flags, text, cbText, wide,
                        cchWide, error);
    if (error != 0) {
        kernel_.Fail(error);
    }
    return result;
}

int Locale::WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide,
                                char* text, int cbText, const char* defaultChar,
                                BOOL* usedDefaultChar) {
    const UINT page = ResolveCodePage(codePage, config_.ansiCodePage);
    if (wide == nullptr || cchWide == 0 || cchWide < -1 || cbText < 0 ||
        (text == nullptr && cbText > 0)) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (page == CP_UTF8 || page == CP_UTF7) {
        // UTF-7 takes no flags at all.
        const bool badFlags = (flags & ~(page == CP_UTF8 ? WC_ERR_INVALID_CHARS : DWORD{0})) != 0;
        const bool badDefault = defaultChar != nullptr || usedDefaultChar != nullptr;
        if (badFlags && !(badDefault && config_.utf8DefaultCharCheckFirst)) {
            kernel_.Fail(ERROR_INVALID_FLAGS);
            return 0;
        }
        if (badDefault) {
            kernel_.Fail(ERROR_INVALID_PARAMETER);
            return 0;
        }
    } else if ((flags & ~WC_VALID_FLAGS) != 0) {
        kernel_.Fail(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (converters.Get(IconvName(page), "UTF-32LE") == reinterpret_cast<iconv_t>(-1)) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t length = 0;
    if (cchWide == -1) {
        while (wide[length] != 0) {
            ++length;
        }
        ++length;
    } else {
        length = static_cast<std::size_t>(cchWide);
    }
    std::string fallback = "?";
    if (defaultChar != nullptr && defaultChar[0] != '\0') {
        const std::size_t count =
            (page == 932 && IsLeadByte932(static_cast<unsigned char>(defaultChar[0])) &&
             defaultChar[1] != '\0')
                ? 2
                : 1;
        // Built apart and moved in: GCC 12 at -O3 misreads an assign() here as uninitialised.
        fallback = std::string(defaultChar, defaultChar + count);
    }
    std::string out;
    bool usedDefault = false;
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = wide[i];
        bool lone = false;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            lone = true;
        }
        if (page == CP_UTF8) {
            if (lone) {
                if ((flags & WC_ERR_INVALID_CHARS) != 0) {
                    kernel_.Fail(ERROR_NO_UNICODE_TRANSLATION);
                    return 0;
                }
                c = 0xFFFD;
            }
            EncodeOne(page, c, out);
            continue;
        }
        if (!lone && EncodeOne(page, c, out)) {
            continue;
        }
        if (!lone && (flags & WC_NO_BEST_FIT_CHARS) == 0) {
            char16_t fit = BestFit(c);
            if (fit != 0 && EncodeOne(page, fit, out)) {
                continue;
            }
        }
        out += fallback;
        usedDefault = true;
    }
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = usedDefault ? TRUE : FALSE;
    }
    const auto needed = static_cast<int>(out.size());
    if (cbText == 0) {
        return needed;
    }
    if (needed > cbText) {
        std::memcpy(text, out.data(), static_cast<std::size_t>(cbText));
        kernel_.Fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(text, out.data(), out.size());
    return needed;
}

DWORD Locale::CharUpperBuffA(char* text, DWORD length) {
    if (text == nullptr) {
        return 0;
    }
    const UINT page = config_.ansiCodePage;
    for (DWORD i = 0; i < length; ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (page == 932 && IsLeadByte932(byte)) {
            ++i; // the trail byte is not a letter of its own
            continue;
        }
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<unsigned char>(byte - 0x20);
        } else if (page == 1252) {
            if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) {
                byte = static_cast<unsigned char>(byte - 0x20);
            } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {
                byte = static_cast<unsigned char>(byte - 0x10);
            } else if (byte == 0xFF) {
                byte = 0x9F;
            }
        }
        text[i] = static_cast<char>(byte);
    }
    return length;
}

int Locale::lstrcmpA(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) {
        return a == b ? 0 : (a == nullptr ? -1 : 1);
    }
    auto fold = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c;
    };
    std::size_t i = 0;
    int caseOrder = 0; // lower case sorts before upper case when nothing else differs
    for (;; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (ca == 0 || cb == 0) {
            if (ca != cb) {
                return ca == 0 ? -1 : 1;
            }
            break;
        }
        unsigned char fa = fold(ca);
        unsigned char fb = fold(cb);
        if (fa != fb) {
            return fa < fb ? -1 : 1;
        }
        if (ca != cb && caseOrder == 0) {
            caseOrder = (ca >= 'a' && ca <= 'z') ? -1 : 1;
        }
    }
    return caseOrder;
}

namespace {

// Case mapping from glibc's C.UTF-8 tables, whatever the host process's own locale is.
char16_t LowerUnit(char16_t c) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (c < 0x80 || utf8 == static_cast<locale_t>(0)) {
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
    }
    if (c >= 0xD800 && c < 0xE000) {
        return c; // half of a pair: not a character to map on its own
    }
    const auto lower = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), utf8));
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : c;
}

} // namespace

DWORD Locale::CharLowerBuffW(char16_t* text, DWORD length) {
    if (text == nullptr) {
        return 0;
    }
    for (DWORD i = 0; i < length; ++i) {
        text[i] = LowerUnit(text[i]);
    }
    return length;
}

int Locale::CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA, const char16_t* b,
                           int cchB) {
    if (a == nullptr || b == nullptr || cchA < -1 || cchB < -1) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((flags & ~NORM_IGNORECASE) != 0) {
        kernel_.Fail(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (locale != LOCALE_USER_DEFAULT && locale != 0x0800 && locale != config_.userLcid &&
        locale != 1033 && locale != 1041) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto measure = [](const char16_t* text, int count) {
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        std::size_t n = 0;
        while (text[n] != 0) {
            ++n;
        }
        return n;
    };
    const std::size_t na = measure(a, cchA);
    const std::size_t nb = measure(b, cchB);
    int caseOrder = 0; // without NORM_IGNORECASE, lower case sorts first on a tie
    for (std::size_t i = 0; i < na && i < nb; ++i) {
        const char16_t la = LowerUnit(a[i]);
        const char16_t lb = LowerUnit(b[i]);
        if (la != lb) {
            return la < lb ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
        }
        if (a[i] != b[i] && caseOrder == 0) {
            caseOrder = a[i] == la ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
        }
    }
    if (na != nb) {
        return na < nb ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    if ((flags & NORM_IGNORECASE) != 0 || caseOrder == 0) {
        return CSTR_EQUAL;
    }
    return caseOrder;
}

UINT Locale::GetACP() {
    return config_.ansiCodePage;
}

// ---- Locale -----------------------------------------------------------------------------------

namespace {

struct KnownLocale {
    LCID lcid;
    const char* abbreviation;
    const char* english;
    UINT ansi;
    UINT oem;
};

constexpr KnownLocale kLocales[] = {
    {1033, "ENU", "English", 1252, 437}, {2057, "ENG", "English", 1252, 850},
    {1041, "JPN", "Japanese", 932, 932}, {1031, "DEU", "German", 1252, 850},
    {1036, "FRA", "French", 1252, 850},  {1040, "ITA", "Italian", 1252, 850},
    {3082, "ESN", "Spanish", 1252, 850}, {1049, "RUS", "Russian", 1251, 866},
    {2052, "CHS", "Chinese", 936, 936},  {1028, "CHT", "Chinese", 950, 950},
    {1042, "KOR", "Korean", 949, 949},
};

} // namespace

LCID Locale::GetUserDefaultLCID() {
    return config_.userLcid;
}

int Locale::GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) {
    if (cchData < 0 || (data == nullptr && cchData > 0)) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const bool user = locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT ||
                      locale == 0 || locale == config_.userLcid;
    const LCID lcid = user ? config_.userLcid : locale;
    const KnownLocale* known = nullptr;
    for (const auto& candidate : kLocales) {
        if (candidate.lcid == lcid) {
            known = &candidate;
        }
    }
    if (known == nullptr && !user) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string value;
    switch (type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP)) {
    case LOCALE_SABBREVLANGNAME:
        value = user ? config_.abbrevLangName : known->abbreviation;
        break;
    case LOCALE_ILANGUAGE: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(lcid & 0xFFFF));
        value = hex;
        break;
    }
    case LOCALE_IDEFAULTANSICODEPAGE:
        value = std::to_string(user ? config_.ansiCodePage : known->ansi);
        break;
    case LOCALE_IDEFAULTCODEPAGE:
        value = std::to_string(user ? ResolveCodePage(CP_OEMCP, config_.ansiCodePage) : known->oem);
        break;
    case LOCALE_SENGLANGUAGE:
        value = known != nullptr ? known->english : "Unknown";
        break;
    default:
        kernel_.Fail(ERROR_INVALID_FLAGS);
        return 0;
    }
    const auto needed = static_cast<int>(value.size() + 1);
    if (cchData == 0) {
        return needed;
    }
    if (cchData < needed) {
        kernel_.Fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, value.c_str(), value.size() + 1);
    return needed;
}

} // namespace platform::sim
