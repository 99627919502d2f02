// The module's resources, and the resource identifiers that name them.
#include "platform/sim/SimKernel.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace platform::sim {

namespace {

std::vector<BYTE> ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::invalid_argument("simulated desktop: cannot read " + file.string());
    }
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

// ---- Resource identifiers ----------------------------------------------------------------------

ResourceId::ResourceId(int id) : isInteger_(true), integer_(static_cast<WORD>(id)) {}

ResourceId::ResourceId(const char16_t* nameOrIntResource) {
    if (IS_INTRESOURCE(nameOrIntResource)) {
        isInteger_ = true;
        integer_ = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(nameOrIntResource));
        return;
    }
    std::u16string name(nameOrIntResource);
    // "#123" names the integer resource 123, as on Windows.
    if (name.size() > 1 && name[0] == u'#' &&
        std::all_of(name.begin() + 1, name.end(),
                    [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        isInteger_ = true;
        unsigned long value = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            value = value * 10 + (name[i] - u'0');
            if (value > 0xFFFF) {
                value = 0xFFFF;
            }
        }
        integer_ = static_cast<WORD>(value);
        return;
    }
    name_ = UpperCase(name);
}

ResourceId::ResourceId(std::u16string name) : ResourceId(name.c_str()) {}

bool ResourceId::operator==(const ResourceId& other) const {
    if (isInteger_ != other.isInteger_) {
        return false;
    }
    return isInteger_ ? integer_ == other.integer_ : name_ == other.name_;
}

// ---- Resources --------------------------------------------------------------------------------

const Resource* Kernel::FindResource(const ResourceId& name, const ResourceId& type) const {
    for (const auto& resource : resources_) {
        if (resource->name == name && resource->type == type) {
            return resource.get();
        }
    }
    return nullptr;
}

void Kernel::AddResource(ResourceId name, ResourceId type, std::vector<BYTE> bytes) {
    for (auto& resource : resources_) {
        if (resource->name == name && resource->type == type) {
            resource->bytes = std::move(bytes);
            return;
        }
    }
    resources_.push_back(
        std::make_unique<Resource>(Resource{std::move(name), std::move(type), std::move(bytes)}));
}

void Kernel::AddResourceFromFile(ResourceId name, ResourceId type,
                                 const std::filesystem::path& file) {
    AddResource(std::move(name), std::move(type), ReadWholeFile(file));
}

void Kernel::AddIconGroup(ResourceId name, const std::vector<BYTE>& ico) {
    auto word = [&ico](std::size_t at) {
        return static_cast<unsigned>(ico[at] | (ico[at + 1] << 8));
    };
    auto dword = [&](std::size_t at) { return word(at) | (word(at + 2) << 16); };
    if (ico.size() < 6 || word(0) != 0 || word(2) != 1 || word(4) == 0 ||
        ico.size() < 6 + 16 * word(4)) {
        throw std::invalid_argument("simulated desktop: not an icon file");
    }
    const unsigned count = word(4);
    int nextId = 1;
    for (const auto& resource : resources_) {
        if (resource->type == ResourceId(RT_ICON()) && resource->name.IsInteger()) {
            nextId = std::max(nextId, resource->name.Integer() + 1);
        }
    }
    std::vector<BYTE> group(ico.begin(), ico.begin() + 6);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::size_t size = dword(entry + 8);
        const std::size_t offset = dword(entry + 12);
        if (offset > ico.size() || size > ico.size() - offset) {
            throw std::invalid_argument("simulated desktop: icon image outside the file");
        }
        const int id = nextId++;
        AddResource(id, RT_ICON(),
                    std::vector<BYTE>(ico.begin() + static_cast<std::ptrdiff_t>(offset),
                                      ico.begin() + static_cast<std::ptrdiff_t>(offset + size)));
        group.insert(group.end(), ico.begin() + static_cast<std::ptrdiff_t>(entry),
                     ico.begin() + static_cast<std::ptrdiff_t>(entry + 12));
        group.push_back(static_cast<BYTE>(id & 0xFF));
        group.push_back(static_cast<BYTE>(id >> 8));
    }
    AddResource(std::move(name), RT_GROUP_ICON(), std::move(group));
}

void Kernel::AddIconGroupFromFile(ResourceId name, const std::filesystem::path& icoFile) {
    AddIconGroup(std::move(name), ReadWholeFile(icoFile));
}

HRSRC Kernel::FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type) {
    if (module != nullptr && module != module_) {
        Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if (name == nullptr || type == nullptr) {
        Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    ResourceId wantedType(type);
    ResourceId wantedName(name);
    bool typeSeen = false;
    for (const auto& resource : resources_) {
        if (resource->type == wantedType) {
            typeSeen = true;
            if (resource->name == wantedName) {
                return reinterpret_cast<HRSRC>(resource.get());
            }
        }
    }
    Fail(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}
const Resource* Kernel::ResourceOf(HRSRC handle) const {
    for (const auto& resource : resources_) {
        if (reinterpret_cast<HRSRC>(resource.get()) == handle) {
            return resource.get();
        }
    }
    return nullptr;
}

HGLOBAL Kernel::LoadResource(HINSTANCE module, HRSRC resource) {
    const Resource* r = ResourceOf(resource);
    if ((module != nullptr && module != module_) || r == nullptr) {
        Fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Resources are never released; an empty one still has an address.
    if (r->bytes.empty()) {
        return const_cast<Resource*>(r);
    }
    return const_cast<BYTE*>(r->bytes.data());
}

void* Kernel::LockResource(HGLOBAL resourceData) {
    return resourceData;
}

DWORD Kernel::SizeofResource(HINSTANCE module, HRSRC resource) {
    const Resource* r = ResourceOf(resource);
    if ((module != nullptr && module != module_) || r == nullptr) {
        Fail(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(r->bytes.size());
}

} // namespace platform::sim
