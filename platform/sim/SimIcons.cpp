// Icons: made from resource bits, loaded from the module's icon groups, destroyed and drawn.
#include "platform/sim/SimGdi.h"

#include "platform/sim/SimKernel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform::sim {

namespace {

std::uint32_t Read32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Read16(const BYTE* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// An icon image is a DIB of twice the icon's height (colour bits, then the mask) or a PNG.
bool ValidIconImage(const BYTE* bits, DWORD size, int& width, int& height) {
    if (bits == nullptr || size < 24) {
        return false;
    }
    static const BYTE kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (std::memcmp(bits, kPng, sizeof kPng) == 0) {
        auto be = [bits](std::size_t at) {
            return static_cast<int>((bits[at] << 24) | (bits[at + 1] << 16) | (bits[at + 2] << 8) |
                                    bits[at + 3]);
        };
        width = be(16);
        height = be(20);
        return width > 0 && height > 0;
    }
    if (size < 40) {
        return false;
    }
    const std::uint32_t headerSize = Read32(bits);
    const auto w = static_cast<std::int32_t>(Read32(bits + 4));
    const auto h2 = static_cast<std::int32_t>(Read32(bits + 8));
    const std::uint16_t planes = Read16(bits + 12);
    const std::uint16_t bitCount = Read16(bits + 14);
    const std::uint32_t compression = Read32(bits + 16);
    const std::uint32_t colorsUsed = Read32(bits + 32);
    if (headerSize < 40 || headerSize > size || w <= 0 || w > 1024 || h2 <= 0 || h2 > 2048 ||
        h2 % 2 != 0 || planes != 1 || compression != BI_RGB) {
        return false;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return false;
    }
    const std::uint64_t colors =
        colorsUsed != 0 ? colorsUsed : (bitCount <= 8 ? (1u << bitCount) : 0);
    const std::uint64_t h = static_cast<std::uint64_t>(h2) / 2;
    const std::uint64_t colorStride = ((static_cast<std::uint64_t>(w) * bitCount + 31) / 32) * 4;
    const std::uint64_t maskStride = ((static_cast<std::uint64_t>(w) + 31) / 32) * 4;
    if (headerSize + colors * 4 + colorStride * h + maskStride * h > size) {
        return false;
    }
    width = w;
    height = static_cast<int>(h);
    return true;
}

} // namespace

// ---- Icons --------------------------------------------------------------------------------------

HICON Gdi::CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx,
                                    int cy, UINT flags) {
    int width = 0;
    int height = 0;
    if (icon == FALSE || (version != 0x00030000 && version != 0x00020000) ||
        !ValidIconImage(bits, size, width, height)) {
        kernel_.Fail(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (cx == 0 && cy == 0 && (flags & LR_DEFAULTSIZE) != 0) {
        cx = config_.iconWidth;
        cy = config_.iconHeight;
    }
    IconObject object;
    object.width = cx != 0 ? cx : width;
    object.height = cy != 0 ? cy : height;
    auto handle = AsHandle<HICON>(NewHandleValue());
    icons_[ValueOf(handle)] = object;
    kernel_.Acquire(ValueOf(handle), HandleKind::Icon, "CreateIconFromResourceEx",
                    std::to_string(object.width) + "x" + std::to_string(object.height));
    return handle;
}

HANDLE Gdi::LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy,
                       UINT flags) {
    if (type != IMAGE_ICON || (flags & LR_LOADFROMFILE) != 0 || name == nullptr) {
        kernel_.Fail(ERROR_INVALID_PARAMETER); // only icons from the module's resources
        return nullptr;
    }
    if (instance != nullptr && instance != kernel_.Module()) {
        kernel_.Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const Resource* group = kernel_.FindResource(ResourceId(name), ResourceId(RT_GROUP_ICON()));
    if (group == nullptr) {
        kernel_.Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const std::vector<BYTE>& g = group->bytes;
    if (g.size() < 6 || Read16(g.data()) != 0 || Read16(g.data() + 2) != 1 ||
        Read16(g.data() + 4) == 0 || g.size() < 6 + 14u * Read16(g.data() + 4)) {
        kernel_.Fail(ERROR_INVALID_DATA);
        return nullptr;
    }
    const int wanted = cx != 0 ? cx : config_.iconWidth;
    int best = -1;
    int bestDistance = 0;
    int bestBits = 0;
    const unsigned count = Read16(g.data() + 4);
    for (unsigned i = 0; i < count; ++i) {
        const BYTE* entry = g.data() + 6 + 14 * i;
        const int width = entry[0] == 0 ? 256 : entry[0];
        const int bits = Read16(entry + 6);
        const int distance = std::abs(width - wanted);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = static_cast<int>(i);
            bestDistance = distance;
            bestBits = bits;
        }
    }
    const BYTE* entry = g.data() + 6 + 14 * best;
    const Resource* image = kernel_.FindResource(ResourceId(static_cast<int>(Read16(entry + 12))),
                                                 ResourceId(RT_ICON()));
    int width = 0;
    int height = 0;
    if (image == nullptr ||
        !ValidIconImage(image->bytes.data(), static_cast<DWORD>(image->bytes.size()), width,
                        height)) {
        kernel_.Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    IconObject object;
    object.width = cx != 0 ? cx : ((flags & LR_DEFAULTSIZE) != 0 ? config_.iconWidth : width);
    object.height = cy != 0 ? cy : ((flags & LR_DEFAULTSIZE) != 0 ? config_.iconHeight : height);
    if ((flags & LR_SHARED) != 0) {
        // A shared icon is the system's: the same handle every time, never destroyed.
        auto key = std::make_pair(group, object.width);
        if (auto it = sharedIcons_.find(key); it != sharedIcons_.end()) {
            return it->second;
        }
        object.shared = true;
        auto handle = AsHandle<HICON>(NewHandleValue());
        icons_[ValueOf(handle)] = object;
        sharedIcons_[key] = handle;
        return handle;
    }
    auto handle = AsHandle<HICON>(NewHandleValue());
    icons_[ValueOf(handle)] = object;
    kernel_.Acquire(ValueOf(handle), HandleKind::Icon, "LoadImageW",
                    std::to_string(object.width) + "x" + std::to_string(object.height));
    return handle;
}

BOOL Gdi::DestroyIcon(HICON icon) {
    auto it = icons_.find(ValueOf(icon));
    if (it != icons_.end() && it->second.shared) {
        kernel_.Fault(FaultKind::SharedIconDestroyed, ValueOf(icon), "DestroyIcon", "");
        return TRUE;
    }
    if (it == icons_.end() || it->second.destroyed) {
        kernel_.Release(ValueOf(icon), HandleKind::Icon, "DestroyIcon");
        kernel_.Fail(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    kernel_.Release(ValueOf(icon), HandleKind::Icon, "DestroyIcon");
    it->second.destroyed = true;
    return TRUE;
}

BOOL Gdi::DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                     HBRUSH flickerFreeDraw, UINT flags) {
    (void)step;
    (void)flickerFreeDraw;
    (void)flags;
    DeviceContext* d = FindDc(dc);
    auto it = icons_.find(ValueOf(icon));
    if (d == nullptr || it == icons_.end() || it->second.destroyed) {
        kernel_.Fault(FaultKind::UseOfReleased, d == nullptr ? ValueOf(dc) : ValueOf(icon),
                      "DrawIconEx", d == nullptr ? "DC" : "icon");
        return FALSE;
    }
    Draw(PaintOp::Kind::DrawIcon, *d,
         RECT{x, y, x + (cx != 0 ? cx : it->second.width), y + (cy != 0 ? cy : it->second.height)});
    return TRUE;
}

} // namespace platform::sim
