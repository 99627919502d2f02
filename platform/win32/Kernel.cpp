// Kernel services: locale, text conversion, files, resources, errors, memory, processes.
#include "platform/win32/Win32Api.h"

#include "platform/win32/WindowsHeaders.h"

#include <type_traits>

namespace platform::win32 {

// A method added to the seam without its Windows counterpart stops the build here rather
// than at the entry that installs this class.
static_assert(!std::is_abstract_v<Win32Api>);

using detail::FromWin;
using detail::ToWin;

namespace {

// Looks a kernel32 export up by name, so that the executable does not import it and still
// starts on systems that lack it. Null when the system does not have it.
template <class Fn> Fn BindKernel32(const char* name) {
    ::HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return nullptr;
    }
    // Through the generic function pointer type, which converts to any other without a
    // cast-function-type warning.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(kernel, name)));
}

using GetNativeSystemInfoFn = VOID(WINAPI*)(::LPSYSTEM_INFO);
using IsWow64Process2Fn = ::BOOL(WINAPI*)(::HANDLE, ::USHORT*, ::USHORT*);
using SetDefaultDllDirectoriesFn = ::BOOL(WINAPI*)(::DWORD);
using SetSearchPathModeFn = ::BOOL(WINAPI*)(::DWORD);

} // namespace

// ---- Locale, code pages, version -----------------------------------------------------------

LCID Win32Api::GetUserDefaultLCID() {
    return ::GetUserDefaultLCID();
}

int Win32Api::GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) {
    return ::GetLocaleInfoA(locale, type, data, cchData);
}

DWORD Win32Api::CharUpperBuffA(char* text, DWORD length) {
    return ::CharUpperBuffA(text, length);
}

int Win32Api::lstrcmpA(const char* a, const char* b) {
    return ::lstrcmpA(a, b);
}

DWORD Win32Api::CharLowerBuffW(char16_t* text, DWORD length) {
    return ::CharLowerBuffW(ToWin(text), length);
}

int Win32Api::CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA,
                             const char16_t* b, int cchB) {
    return ::CompareStringW(locale, flags, ToWin(a), cchA, ToWin(b), cchB);
}

UINT Win32Api::GetACP() {
    return ::GetACP();
}

int Win32Api::MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText,
                                  char16_t* wide, int cchWide) {
    return ::MultiByteToWideChar(codePage, flags, text, cbText, ToWin(wide), cchWide);
}

int Win32Api::WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide,
                                  char* text, int cbText, const char* defaultChar,
                                  BOOL* usedDefaultChar) {
    return ::WideCharToMultiByte(codePage, flags, ToWin(wide), cchWide, text, cbText, defaultChar,
                                 usedDefaultChar);
}

DWORD Win32Api::GetVersion() {
    return ::GetVersion();
}

// ---- Files, directories, module ------------------------------------------------------------

DWORD Win32Api::GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer) {
    return ::GetCurrentDirectoryW(cchBuffer, ToWin(buffer));
}

HANDLE Win32Api::CreateFileA(const char* fileName, DWORD access, DWORD shareMode,
                             void* securityAttributes, DWORD creationDisposition,
                             DWORD flagsAndAttributes, HANDLE templateFile) {
    return ::CreateFileA(fileName, access, shareMode,
                         static_cast<::LPSECURITY_ATTRIBUTES>(securityAttributes),
                         creationDisposition, flagsAndAttributes, templateFile);
}

BOOL Win32Api::ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead,
                        void* overlapped) {
    return ::ReadFile(file, buffer, bytesToRead, ToWin(bytesRead),
                      static_cast<::LPOVERLAPPED>(overlapped));
}

BOOL Win32Api::CloseHandle(HANDLE object) {
    return ::CloseHandle(object);
}

HINSTANCE Win32Api::GetModuleHandleW(const char16_t* moduleName) {
    return FromWin(::GetModuleHandleW(ToWin(moduleName)));
}

DWORD Win32Api::GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize) {
    return ::GetModuleFileNameW(ToWin(module), ToWin(fileName), cchSize);
}

HRSRC Win32Api::FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type) {
    return FromWin(::FindResourceW(ToWin(module), ToWin(name), ToWin(type)));
}

HGLOBAL Win32Api::LoadResource(HINSTANCE module, HRSRC resource) {
    return ::LoadResource(ToWin(module), ToWin(resource));
}

void* Win32Api::LockResource(HGLOBAL resourceData) {
    return ::LockResource(resourceData);
}

DWORD Win32Api::SizeofResource(HINSTANCE module, HRSRC resource) {
    return ::SizeofResource(ToWin(module), ToWin(resource));
}

// ---- Errors ----------------------------------------------------------------------------------

DWORD Win32Api::GetLastError() {
    return ::GetLastError();
}

void Win32Api::SetLastError(DWORD errorCode) {
    ::SetLastError(errorCode);
}

DWORD Win32Api::FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                               char16_t* buffer, DWORD size, void* arguments) {
    // The seam carries no va_list; a caller passing inserts gets a clear failure rather
    // than a misread argument list.
    if (arguments != nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER `buffer` is really a wchar_t**; Windows reads the
    // flag, so the pointer passes through unchanged either way.
    return ::FormatMessageW(flags, source, messageId, languageId, ToWin(buffer), size, nullptr);
}

HLOCAL Win32Api::LocalFree(HLOCAL memory) {
    return ::LocalFree(memory);
}

// ---- Memory, processes, threads --------------------------------------------------------------

HANDLE Win32Api::GetProcessHeap() {
    return ::GetProcessHeap();
}

void* Win32Api::HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    return ::HeapAlloc(heap, flags, bytes);
}

BOOL Win32Api::HeapFree(HANDLE heap, DWORD flags, void* memory) {
    return ::HeapFree(heap, flags, memory);
}

BOOL Win32Api::HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass,
                                  void* information, SIZE_T informationLength) {
    return ::HeapSetInformation(heap, static_cast<::HEAP_INFORMATION_CLASS>(informationClass),
                                information, informationLength);
}

// Bound by name: Windows 7 has it only with an update, and an import would keep the image
// from loading at all where it is missing.
BOOL Win32Api::SetDefaultDllDirectories(DWORD directoryFlags) {
    static const SetDefaultDllDirectoriesFn set =
        BindKernel32<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
    if (set == nullptr) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return set(directoryFlags);
}

BOOL Win32Api::SetDllDirectoryW(const char16_t* pathName) {
    return ::SetDllDirectoryW(ToWin(pathName));
}

BOOL Win32Api::SetSearchPathMode(DWORD flags) {
    static const SetSearchPathModeFn set = BindKernel32<SetSearchPathModeFn>("SetSearchPathMode");
    if (set == nullptr) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return set(flags);
}

void Win32Api::GetNativeSystemInfo(SYSTEM_INFO* systemInfo) {
    static const GetNativeSystemInfoFn native =
        BindKernel32<GetNativeSystemInfoFn>("GetNativeSystemInfo");
    if (native != nullptr) {
        native(ToWin(systemInfo));
    } else {
        // Systems without it have no 32-bit-on-64-bit layer, so the process view is native.
        ::GetSystemInfo(ToWin(systemInfo));
    }
}

BOOL Win32Api::IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) {
    static const IsWow64Process2Fn query = BindKernel32<IsWow64Process2Fn>("IsWow64Process2");
    if (query == nullptr) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return query(process, processMachine, nativeMachine);
}

HANDLE Win32Api::GetCurrentProcess() {
    return ::GetCurrentProcess();
}

DWORD Win32Api::GetCurrentThreadId() {
    return ::GetCurrentThreadId();
}

BOOL Win32Api::CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                              void* processAttributes, void* threadAttributes, BOOL inheritHandles,
                              DWORD creationFlags, void* environment,
                              const char16_t* currentDirectory, STARTUPINFOW* startupInfo,
                              PROCESS_INFORMATION* processInformation) {
    return ::CreateProcessW(ToWin(applicationName), ToWin(commandLine),
                            static_cast<::LPSECURITY_ATTRIBUTES>(processAttributes),
                            static_cast<::LPSECURITY_ATTRIBUTES>(threadAttributes), inheritHandles,
                            creationFlags, environment, ToWin(currentDirectory), ToWin(startupInfo),
                            ToWin(processInformation));
}

DWORD Win32Api::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return ::WaitForSingleObject(handle, milliseconds);
}

BOOL Win32Api::GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
    return ::GetExitCodeProcess(process, ToWin(exitCode));
}

} // namespace platform::win32
