#include "hostreg/host_registry.h"

#include "hive_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <utility>

namespace hostreg {

namespace {

constexpr int kUserHive = 0;
constexpr int kMachineHive = 1;

// Rights that change a hive; refused on a hive that cannot be written.
constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE;

// Handles of all registries of the process come from one counter, so a handle of one registry
// is never mistaken for a handle of another.
std::atomic<std::uintptr_t> nextHandle{0x1000};

std::string_view nameOrEmpty(LPCSTR name) {
    return name ? std::string_view(name) : "";
}

bool makeFolders(const std::string& folder, std::string& error) {
    std::string partial;
    std::size_t pos = 0;
    while (pos <= folder.size()) {
        const std::size_t slash = folder.find('/', pos);
        const std::size_t end = slash == std::string::npos ? folder.size() : slash;
        partial = folder.substr(0, end);
        pos = end + 1;
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            error = std::strerror(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = "not a folder";
        return false;
    }
    return true;
}

void fillClass(LPSTR className, LPDWORD classChars) {
    if (className && classChars && *classChars > 0)
        className[0] = '\0';
    if (classChars)
        *classChars = 0;
}

void clearTime(PFILETIME time) {
    if (time)
        *time = FILETIME{0, 0};
}

} // namespace

struct HostRegistry::OpenKey {
    int hive = kUserHive;
    KeyPath path;
    REGSAM access = 0;
};

struct HostRegistry::Impl {
    std::unique_ptr<HiveFile> hives[2];
    std::map<std::uintptr_t, OpenKey> handles;
    std::vector<std::string> messages;

    // The hive, path and rights behind a handle; root keys are always open with all rights.
    bool resolve(HKEY key, OpenKey& out) const {
        if (key == HKEY_CURRENT_USER) {
            out = OpenKey{kUserHive, {}, KEY_ALL_ACCESS};
            return true;
        }
        if (key == HKEY_LOCAL_MACHINE) {
            out = OpenKey{kMachineHive, {}, KEY_ALL_ACCESS};
            return true;
        }
        const auto it = handles.find(reinterpret_cast<std::uintptr_t>(key));
        if (it == handles.end())
            return false;
        out = it->second;
        return true;
    }

    HKEY addHandle(OpenKey key) {
        const std::uintptr_t id = nextHandle.fetch_add(4);
        key.access &= ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
        handles.emplace(id, std::move(key));
        return reinterpret_cast<HKEY>(id);
    }

    const RegKey& content(int hive) { return hives[hive]->current(messages); }

    LONG update(int hive, const std::function<LONG(RegKey&)>& change) {
        return hives[hive]->update(change, messages);
    }
};

HostRegistry::HostRegistry(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
HostRegistry::~HostRegistry() = default;

std::unique_ptr<HostRegistry> HostRegistry::openProfile(const std::string& profileDir,
                                                        std::vector<std::string>& messages,
                                                        bool* clean) {
    auto impl = std::make_unique<Impl>();
    std::string folder = profileDir.empty() ? "." : profileDir;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    bool ok = true;
    std::string error;
    if (!makeFolders(folder, error)) {
        messages.push_back(folder + ": the profile folder cannot be used (" + error +
                           "); registry settings will not be kept");
        ok = false;
    }
    impl->hives[kUserHive] =
        std::make_unique<HiveFile>(folder + "/user.reg", HiveRoot::CurrentUser);
    impl->hives[kMachineHive] =
        std::make_unique<HiveFile>(folder + "/machine.reg", HiveRoot::LocalMachine);
    for (auto& hive : impl->hives)
        ok = hive->load(messages) && ok;
    if (clean)
        *clean = ok;
    return std::unique_ptr<HostRegistry>(new HostRegistry(std::move(impl)));
}

std::unique_ptr<HostRegistry> HostRegistry::inMemory() {
    auto impl = std::make_unique<Impl>();
    impl->hives[kUserHive] = std::make_unique<HiveFile>("", HiveRoot::CurrentUser);
    impl->hives[kMachineHive] = std::make_unique<HiveFile>("", HiveRoot::LocalMachine);
    return std::unique_ptr<HostRegistry>(new HostRegistry(std::move(impl)));
}

LONG HostRegistry::openKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) {
    const std::lock_guard guard(mutex_);
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey base;
    if (!impl_->resolve(key, base))
        return ERROR_INVALID_HANDLE;
    KeyPath relative;
    switch (splitKeyPath(nameOrEmpty(subKey), relative)) {
    case PathStatus::Ok:
        break;
    case PathStatus::BadPath:
        return ERROR_BAD_PATHNAME;
    case PathStatus::InvalidName:
    case PathStatus::TooDeep:
        return ERROR_FILE_NOT_FOUND; // no key of such a name can exist
    }
    const RegKey* found = findKey(impl_->content(base.hive), base.path);
    if (!found)
        return ERROR_KEY_DELETED;
    OpenKey opened{base.hive, base.path, access};
    for (const std::string& name : relative) {
        found = found->subKey(name);
        if (!found)
            return ERROR_FILE_NOT_FOUND;
        opened.path.push_back(found->name());
    }
    if ((access & kWriteRights) && impl_->hives[base.hive]->readOnly())
        return ERROR_ACCESS_DENIED;
    *result = impl_->addHandle(std::move(opened));
    return ERROR_SUCCESS;
}

LONG HostRegistry::createKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result,
                             LPDWORD disposition) {
    const std::lock_guard guard(mutex_);
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey base;
    if (!impl_->resolve(key, base))
        return ERROR_INVALID_HANDLE;
    KeyPath relative;
    switch (splitKeyPath(nameOrEmpty(subKey), relative)) {
    case PathStatus::Ok:
        break;
    case PathStatus::BadPath:
        return ERROR_BAD_PATHNAME;
    case PathStatus::InvalidName:
    case PathStatus::TooDeep:
        return ERROR_INVALID_PARAMETER;
    }
    if (base.path.size() + relative.size() > kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    HiveFile& hive = *impl_->hives[base.hive];
    if ((access & kWriteRights) && hive.readOnly())
        return ERROR_ACCESS_DENIED;

    OpenKey opened{base.hive, base.path, access};
    const RegKey* found = findKey(impl_->content(base.hive), base.path);
    if (!found)
        return ERROR_KEY_DELETED;
    for (const std::string& name : relative) {
        found = found->subKey(name);
        if (!found)
            break;
        opened.path.push_back(found->name());
    }
    if (found) {
        if (disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        *result = impl_->addHandle(std::move(opened));
        return ERROR_SUCCESS;
    }

    if (!(base.access & KEY_CREATE_SUB_KEY) || hive.readOnly())
        return ERROR_ACCESS_DENIED;
    bool created = false;
    const LONG status = impl_->update(base.hive, [&](RegKey& root) {
        RegKey* k = findKey(root, base.path);
        if (!k)
            return ERROR_KEY_DELETED;
        opened.path = base.path;
        for (const std::string& name : relative) {
            k = &k->addSubKey(name, &created);
            opened.path.push_back(k->name());
        }
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = impl_->addHandle(std::move(opened));
    return ERROR_SUCCESS;
}

LONG HostRegistry::queryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    const RegKey* found = findKey(impl_->content(handle.hive), handle.path);
    if (!found)
        return ERROR_KEY_DELETED;
    const RegValue* value = found->value(nameOrEmpty(name));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    const auto needed = static_cast<DWORD>(value->data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(value->data.begin(), value->data.end(), data);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

LONG HostRegistry::setValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    const std::string_view valueName = nameOrEmpty(name);
    if ((!data && size > 0) || size > kMaxValueDataSize || !isValidValueName(valueName))
        return ERROR_INVALID_PARAMETER;
    std::vector<std::uint8_t> bytes(data, data + size);
    return impl_->update(handle.hive, [&](RegKey& root) {
        RegKey* found = findKey(root, handle.path);
        if (!found)
            return ERROR_KEY_DELETED;
        found->setValue(valueName, type, std::move(bytes));
        return ERROR_SUCCESS;
    });
}

LONG HostRegistry::deleteValue(HKEY key, LPCSTR name) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    return impl_->update(handle.hive, [&](RegKey& root) {
        RegKey* found = findKey(root, handle.path);
        if (!found)
            return ERROR_KEY_DELETED;
        return found->removeValue(nameOrEmpty(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG HostRegistry::deleteKey(HKEY key, LPCSTR subKey) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    KeyPath relative;
    switch (splitKeyPath(subKey, relative)) {
    case PathStatus::Ok:
        break;
    case PathStatus::BadPath:
        return ERROR_BAD_PATHNAME;
    case PathStatus::InvalidName:
    case PathStatus::TooDeep:
        return ERROR_FILE_NOT_FOUND;
    }
    if (handle.path.empty() && relative.empty())
        return ERROR_ACCESS_DENIED; // a hive's root key stays
    if (impl_->hives[handle.hive]->readOnly())
        return ERROR_ACCESS_DENIED;
    return impl_->update(handle.hive, [&](RegKey& root) {
        RegKey* base = findKey(root, handle.path);
        if (!base)
            return ERROR_KEY_DELETED;
        KeyPath full = handle.path;
        full.insert(full.end(), relative.begin(), relative.end());
        const RegKey* target = findKey(root, full);
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        if (target->subKeyCount() > 0)
            return ERROR_ACCESS_DENIED; // as on Windows: only a key without sub-keys
        const std::string leaf = full.back();
        full.pop_back();
        findKey(root, full)->removeSubKey(leaf);
        return ERROR_SUCCESS;
    });
}

LONG HostRegistry::deleteTree(HKEY key, LPCSTR subKey) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    KeyPath relative;
    switch (splitKeyPath(nameOrEmpty(subKey), relative)) {
    case PathStatus::Ok:
        break;
    case PathStatus::BadPath:
        return ERROR_BAD_PATHNAME;
    case PathStatus::InvalidName:
    case PathStatus::TooDeep:
        return ERROR_FILE_NOT_FOUND;
    }
    REGSAM needed = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;
    if (relative.empty())
        needed |= KEY_SET_VALUE;
    if ((handle.access & needed) != needed || impl_->hives[handle.hive]->readOnly())
        return ERROR_ACCESS_DENIED;
    return impl_->update(handle.hive, [&](RegKey& root) {
        RegKey* base = findKey(root, handle.path);
        if (!base)
            return ERROR_KEY_DELETED;
        if (relative.empty()) {
            base->clear(); // empties the key itself, which stays
            return ERROR_SUCCESS;
        }
        const std::string leaf = relative.back();
        relative.pop_back();
        RegKey* parent = findKey(*base, relative);
        return parent && parent->removeSubKey(leaf) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG HostRegistry::enumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD type,
                             LPBYTE data, LPDWORD size) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!name || !nameChars || (data && !size))
        return ERROR_INVALID_PARAMETER;
    const RegKey* found = findKey(impl_->content(handle.hive), handle.path);
    if (!found)
        return ERROR_KEY_DELETED;
    if (index >= found->valueCount())
        return ERROR_NO_MORE_ITEMS;
    const RegValue& value = found->valueAt(index);
    if (value.name.size() + 1 > *nameChars)
        return ERROR_MORE_DATA;
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameChars = static_cast<DWORD>(value.name.size());
    if (type)
        *type = value.type;
    const auto needed = static_cast<DWORD>(value.data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(value.data.begin(), value.data.end(), data);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

LONG HostRegistry::enumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPSTR className,
                           LPDWORD classChars, PFILETIME lastWrite) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    if (!name || !nameChars)
        return ERROR_INVALID_PARAMETER;
    const RegKey* found = findKey(impl_->content(handle.hive), handle.path);
    if (!found)
        return ERROR_KEY_DELETED;
    if (index >= found->subKeyCount())
        return ERROR_NO_MORE_ITEMS;
    const std::string& subName = found->subKeyAt(index).name();
    if (subName.size() + 1 > *nameChars)
        return ERROR_MORE_DATA;
    std::memcpy(name, subName.c_str(), subName.size() + 1);
    *nameChars = static_cast<DWORD>(subName.size());
    fillClass(className, classChars);
    clearTime(lastWrite);
    return ERROR_SUCCESS;
}

LONG HostRegistry::queryInfoKey(HKEY key, LPSTR className, LPDWORD classChars, LPDWORD subKeys,
                                LPDWORD maxSubKeyChars, LPDWORD maxClassChars, LPDWORD values,
                                LPDWORD maxValueNameChars, LPDWORD maxValueBytes,
                                LPDWORD securityDescriptorBytes, PFILETIME lastWrite) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (!impl_->resolve(key, handle))
        return ERROR_INVALID_HANDLE;
    if (!(handle.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const RegKey* found = findKey(impl_->content(handle.hive), handle.path);
    if (!found)
        return ERROR_KEY_DELETED;
    std::size_t longestKey = 0, longestName = 0, largestData = 0;
    found->forEachSubKey(
        [&](const RegKey& sub) { longestKey = std::max(longestKey, sub.name().size()); });
    found->forEachValue([&](const RegValue& v) {
        longestName = std::max(longestName, v.name.size());
        largestData = std::max(largestData, v.data.size());
    });
    fillClass(className, classChars);
    if (subKeys)
        *subKeys = static_cast<DWORD>(found->subKeyCount());
    if (maxSubKeyChars)
        *maxSubKeyChars = static_cast<DWORD>(longestKey);
    if (maxClassChars)
        *maxClassChars = 0;
    if (values)
        *values = static_cast<DWORD>(found->valueCount());
    if (maxValueNameChars)
        *maxValueNameChars = static_cast<DWORD>(longestName);
    if (maxValueBytes)
        *maxValueBytes = static_cast<DWORD>(largestData);
    if (securityDescriptorBytes)
        *securityDescriptorBytes = 0;
    clearTime(lastWrite);
    return ERROR_SUCCESS;
}

LONG HostRegistry::closeKey(HKEY key) {
    const std::lock_guard guard(mutex_);
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    return impl_->handles.erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS
                                                                       : ERROR_INVALID_HANDLE;
}

std::vector<std::string> HostRegistry::takeMessages() {
    const std::lock_guard guard(mutex_);
    return std::exchange(impl_->messages, {});
}

std::size_t HostRegistry::openHandleCount() const {
    const std::lock_guard guard(mutex_);
    return impl_->handles.size();
}

} // namespace hostreg
