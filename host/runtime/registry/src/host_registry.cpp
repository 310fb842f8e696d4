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

// The call's answer to a sub-key path that splitKeyPath refused; `noSuchName` is what a name
// that no key can have means to the call.
LONG pathError(PathStatus status, LONG noSuchName) {
    switch (status) {
    case PathStatus::Ok:
        break;
    case PathStatus::BadPath:
        return ERROR_BAD_PATHNAME;
    case PathStatus::InvalidName:
    case PathStatus::TooDeep:
        return noSuchName;
    }
    return ERROR_SUCCESS;
}

// Copies a name with its terminating zero into the caller's buffer of `*nameChars` chars.
LONG copyName(const std::string& text, LPSTR name, LPDWORD nameChars) {
    if (text.size() + 1 > *nameChars)
        return ERROR_MORE_DATA;
    std::memcpy(name, text.c_str(), text.size() + 1);
    *nameChars = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
}

// Hands a value's type and bytes to the caller; a short buffer learns the size it needs.
LONG copyValue(const RegValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
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

// Follows `relative` down from `from`, adding each key's stored name to `path`; null at the
// first key that does not exist.
const RegKey* walkExisting(const RegKey* from, const KeyPath& relative, KeyPath& path) {
    for (const std::string& name : relative) {
        from = from->subKey(name);
        if (!from)
            return nullptr;
        path.push_back(from->name());
    }
    return from;
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

    // resolve() for a call that needs `rights` on the handle.
    LONG resolveWith(HKEY key, REGSAM rights, OpenKey& out) const {
        if (!resolve(key, out))
            return ERROR_INVALID_HANDLE;
        return (out.access & rights) == rights ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    }

    // resolve() plus the split sub-key path, for the calls that name a key below a handle.
    LONG resolvePath(HKEY key, LPCSTR subKey, LONG noSuchName, OpenKey& base,
                     KeyPath& relative) const {
        if (!resolve(key, base))
            return ERROR_INVALID_HANDLE;
        return pathError(splitKeyPath(nameOrEmpty(subKey), relative), noSuchName);
    }

    HKEY addHandle(OpenKey key) {
        const std::uintptr_t id = nextHandle.fetch_add(4);
        key.access &= ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
        handles.emplace(id, std::move(key));
        return reinterpret_cast<HKEY>(id);
    }

    const RegKey& content(int hive) { return hives[hive]->current(messages); }

    // The key behind a handle as the hive holds it now; null once it was deleted.
    const RegKey* current(const OpenKey& key) { return findKey(content(key.hive), key.path); }

    LONG update(int hive, const std::function<LONG(RegKey&)>& change) {
        return hives[hive]->update(change, messages);
    }

    // update() of the key behind `key`, or ERROR_KEY_DELETED once it was deleted; `change` gets
    // the hive's root and that key.
    LONG updateKey(const OpenKey& key, const std::function<LONG(RegKey&, RegKey&)>& change) {
        return update(key.hive, [&](RegKey& root) {
            RegKey* found = findKey(root, key.path);
            return found ? change(root, *found) : ERROR_KEY_DELETED;
        });
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
    KeyPath relative;
    // A name that no key can have is simply not found.
    if (const LONG status = impl_->resolvePath(key, subKey, ERROR_FILE_NOT_FOUND, base, relative))
        return status;
    const RegKey* found = impl_->current(base);
    if (!found)
        return ERROR_KEY_DELETED;
    OpenKey opened{base.hive, base.path, access};
    if (!walkExisting(found, relative, opened.path))
        return ERROR_FILE_NOT_FOUND;
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
    KeyPath relative;
    if (const LONG status =
            impl_->resolvePath(key, subKey, ERROR_INVALID_PARAMETER, base, relative))
        return status;
    if (base.path.size() + relative.size() > kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    HiveFile& hive = *impl_->hives[base.hive];
    if ((access & kWriteRights) && hive.readOnly())
        return ERROR_ACCESS_DENIED;

    OpenKey opened{base.hive, base.path, access};
    const RegKey* found = impl_->current(base);
    if (!found)
        return ERROR_KEY_DELETED;
    if (walkExisting(found, relative, opened.path)) {
        if (disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        *result = impl_->addHandle(std::move(opened));
        return ERROR_SUCCESS;
    }

    if (!(base.access & KEY_CREATE_SUB_KEY) || hive.readOnly())
        return ERROR_ACCESS_DENIED;
    bool created = false;
    const LONG status = impl_->updateKey(base, [&](RegKey&, RegKey& baseKey) {
        RegKey* k = &baseKey;
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
    if (const LONG status = impl_->resolveWith(key, KEY_QUERY_VALUE, handle))
        return status;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    const RegKey* found = impl_->current(handle);
    if (!found)
        return ERROR_KEY_DELETED;
    const RegValue* value = found->value(nameOrEmpty(name));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return copyValue(*value, type, data, size);
}

LONG HostRegistry::setValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (const LONG status = impl_->resolveWith(key, KEY_SET_VALUE, handle))
        return status;
    const std::string_view valueName = nameOrEmpty(name);
    if ((!data && size > 0) || size > kMaxValueDataSize || !isValidValueName(valueName))
        return ERROR_INVALID_PARAMETER;
    std::vector<std::uint8_t> bytes(data, data + size);
    return impl_->updateKey(handle, [&](RegKey&, RegKey& found) {
        found.setValue(valueName, type, std::move(bytes));
        return ERROR_SUCCESS;
    });
}

LONG HostRegistry::deleteValue(HKEY key, LPCSTR name) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (const LONG status = impl_->resolveWith(key, KEY_SET_VALUE, handle))
        return status;
    return impl_->updateKey(handle, [&](RegKey&, RegKey& found) {
        return found.removeValue(nameOrEmpty(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
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
    if (const LONG status = pathError(splitKeyPath(subKey, relative), ERROR_FILE_NOT_FOUND))
        return status;
    if (handle.path.empty() && relative.empty())
        return ERROR_ACCESS_DENIED; // a hive's root key stays
    if (impl_->hives[handle.hive]->readOnly())
        return ERROR_ACCESS_DENIED;
    return impl_->updateKey(handle, [&](RegKey& root, RegKey&) {
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
    KeyPath relative;
    if (const LONG status = impl_->resolvePath(key, subKey, ERROR_FILE_NOT_FOUND, handle, relative))
        return status;
    REGSAM needed = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;
    if (relative.empty())
        needed |= KEY_SET_VALUE;
    if ((handle.access & needed) != needed || impl_->hives[handle.hive]->readOnly())
        return ERROR_ACCESS_DENIED;
    return impl_->updateKey(handle, [&](RegKey&, RegKey& base) {
        if (relative.empty()) {
            base.clear(); // empties the key itself, which stays
            return ERROR_SUCCESS;
        }
        const std::string leaf = relative.back();
        relative.pop_back();
        RegKey* parent = findKey(base, relative);
        return parent && parent->removeSubKey(leaf) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG HostRegistry::enumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD type,
                             LPBYTE data, LPDWORD size) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (const LONG status = impl_->resolveWith(key, KEY_QUERY_VALUE, handle))
        return status;
    if (!name || !nameChars || (data && !size))
        return ERROR_INVALID_PARAMETER;
    const RegKey* found = impl_->current(handle);
    if (!found)
        return ERROR_KEY_DELETED;
    if (index >= found->valueCount())
        return ERROR_NO_MORE_ITEMS;
    const RegValue& value = found->valueAt(index);
    if (const LONG status = copyName(value.name, name, nameChars))
        return status;
    return copyValue(value, type, data, size);
}

LONG HostRegistry::enumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPSTR className,
                           LPDWORD classChars, PFILETIME lastWrite) {
    const std::lock_guard guard(mutex_);
    OpenKey handle;
    if (const LONG status = impl_->resolveWith(key, KEY_ENUMERATE_SUB_KEYS, handle))
        return status;
    if (!name || !nameChars)
        return ERROR_INVALID_PARAMETER;
    const RegKey* found = impl_->current(handle);
    if (!found)
        return ERROR_KEY_DELETED;
    if (index >= found->subKeyCount())
        return ERROR_NO_MORE_ITEMS;
    if (const LONG status = copyName(found->subKeyAt(index).name(), name, nameChars))
        return status;
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
    if (const LONG status = impl_->resolveWith(key, KEY_QUERY_VALUE, handle))
        return status;
    const RegKey* found = impl_->current(handle);
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
