#include "hostreg/hive.h"

#include <algorithm>
#include <utility>

namespace hostreg {

namespace {

unsigned char foldCase(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool hasControlCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

} // namespace

int compareNames(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = foldCase(static_cast<unsigned char>(a[i]));
        const unsigned char y = foldCase(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool namesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareNames(a, b) == 0;
}

bool isValidKeyName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxKeyNameLength &&
           name.find('\\') == std::string_view::npos && !hasControlCharacter(name);
}

bool isValidValueName(std::string_view name) {
    return name.size() <= kMaxValueNameLength && !hasControlCharacter(name);
}

PathStatus splitKeyPath(std::string_view text, KeyPath& out) {
    out.clear();
    if (text.empty())
        return PathStatus::Ok;
    if (text.front() == '\\')
        return PathStatus::BadPath;
    if (text.back() == '\\')
        text.remove_suffix(1);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\\', start);
        const std::string_view part = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part.empty())
            return PathStatus::BadPath;
        if (!isValidKeyName(part))
            return PathStatus::InvalidName;
        if (out.size() == kMaxKeyDepth)
            return PathStatus::TooDeep;
        out.emplace_back(part);
        if (end == std::string_view::npos)
            return PathStatus::Ok;
        start = end + 1;
    }
}

RegKey::RegKey(std::string name) : name_(std::move(name)) {}

RegKey::RegKey(const RegKey& other) : name_(other.name_), values_(other.values_) {
    subKeys_.reserve(other.subKeys_.size());
    for (const auto& key : other.subKeys_)
        subKeys_.push_back(std::make_unique<RegKey>(*key));
}

RegKey& RegKey::operator=(const RegKey& other) {
    if (this != &other) {
        RegKey copy(other);
        *this = std::move(copy);
    }
    return *this;
}

RegKey::~RegKey() = default;

std::size_t RegKey::lowerBound(std::string_view name) const {
    const auto it = std::lower_bound(subKeys_.begin(), subKeys_.end(), name,
                                     [](const std::unique_ptr<RegKey>& key, std::string_view n) {
                                         return compareNames(key->name_, n) < 0;
                                     });
    return static_cast<std::size_t>(it - subKeys_.begin());
}

const RegKey* RegKey::subKey(std::string_view name) const {
    const std::size_t i = lowerBound(name);
    if (i < subKeys_.size() && namesEqual(subKeys_[i]->name_, name))
        return subKeys_[i].get();
    return nullptr;
}

RegKey* RegKey::subKey(std::string_view name) {
    return const_cast<RegKey*>(std::as_const(*this).subKey(name));
}

RegKey& RegKey::addSubKey(std::string_view name, bool* created) {
    const std::size_t i = lowerBound(name);
    if (i < subKeys_.size() && namesEqual(subKeys_[i]->name_, name)) {
        if (created)
            *created = false;
        return *subKeys_[i];
    }
    if (created)
        *created = true;
    auto it = subKeys_.insert(subKeys_.begin() + static_cast<std::ptrdiff_t>(i),
                              std::make_unique<RegKey>(std::string(name)));
    return **it;
}

bool RegKey::removeSubKey(std::string_view name) {
    const std::size_t i = lowerBound(name);
    if (i < subKeys_.size() && namesEqual(subKeys_[i]->name_, name)) {
        subKeys_.erase(subKeys_.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
    }
    return false;
}

const RegValue* RegKey::value(std::string_view name) const {
    for (const RegValue& v : values_)
        if (namesEqual(v.name, name))
            return &v;
    return nullptr;
}

void RegKey::setValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data) {
    for (RegValue& v : values_) {
        if (namesEqual(v.name, name)) {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    }
    values_.push_back(RegValue{std::string(name), type, std::move(data)});
}

bool RegKey::removeValue(std::string_view name) {
    const auto it = std::find_if(values_.begin(), values_.end(),
                                 [&](const RegValue& v) { return namesEqual(v.name, name); });
    if (it == values_.end())
        return false;
    values_.erase(it);
    return true;
}

void RegKey::clear() {
    values_.clear();
    subKeys_.clear();
}

bool RegKey::operator==(const RegKey& other) const {
    if (name_ != other.name_ || values_ != other.values_ ||
        subKeys_.size() != other.subKeys_.size())
        return false;
    for (std::size_t i = 0; i < subKeys_.size(); ++i)
        if (!(*subKeys_[i] == *other.subKeys_[i]))
            return false;
    return true;
}

const RegKey* findKey(const RegKey& root, const KeyPath& path) {
    const RegKey* key = &root;
    for (const std::string& name : path) {
        key = key->subKey(name);
        if (!key)
            return nullptr;
    }
    return key;
}

RegKey* findKey(RegKey& root, const KeyPath& path) {
    return const_cast<RegKey*>(findKey(std::as_const(root), path));
}

const char* rootKeyName(HiveRoot root) {
    return root == HiveRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

} // namespace hostreg
