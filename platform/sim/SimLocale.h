// Code pages and the locale: conversions, case mapping, comparison, the user's locale.
#pragma once

#include "platform/sim/SimConfig.h"

namespace platform::sim {

class Kernel;

// Converts to UTF-16 with a code page; on failure, returns 0 and sets `error`. Files and the
// kernel convert ANSI names with it too.
int ToWide(UINT codePage, DWORD flags, const char* text, int cbText, char16_t* wide, int cchWide,
           DWORD& error);
UINT ResolveCodePage(UINT codePage, UINT ansiCodePage); // CP_ACP and the like to a number

class Locale {
public:
    Locale(const SimConfig& config, Kernel& kernel) : config_(config), kernel_(kernel) {}

    LCID GetUserDefaultLCID();
    int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData);
    DWORD CharUpperBuffA(char* text, DWORD length);
    DWORD CharLowerBuffW(char16_t* text, DWORD length);
    int lstrcmpA(const char* a, const char* b);
    int CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA, const char16_t* b,
                       int cchB);
    UINT GetACP();
    int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText,
                            char16_t* wide, int cchWide);
    int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide,
                            char* text, int cbText, const char* defaultChar, BOOL* usedDefaultChar);

private:
    const SimConfig& config_;
    Kernel& kernel_;
};

} // namespace platform::sim
