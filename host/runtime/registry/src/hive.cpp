#include "hostreg/hive.h"

#include <algorithm>
#include <iterator>
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

RegKey::RegKey(const RegKey& other)
    : name_(other.name_), values_(other.values_), valueNumbers_(other.valueNumbers_),
      nextValueNumber_(other.nextValueNumber_) {
    for (const auto& [name, key] : other.subKeys_)
        subKeys_.emplace_hint(subKeys_.end(), name, std::make_unique<RegKey>(*key));
}

RegKey& RegKey::operator=(const RegKey& other) {
    if (this != &other) {
        RegKey copy(other);
        *this = std::move(copy);
    }
    return *this;
}

RegKey::~RegKey() = default;

const RegKey& RegKey::subKeyAt(std::size_t index) const {
    return *std::next(subKeys_.begin(), static_cast<std::ptrdiff_t>(index))->second;
}

const RegKey* RegKey::subKey(std::string_view name) const {
    const auto it = subKeys_.find(name);
    return it == subKeys_.end() ? nullptr : it->second.get();
}

RegKey* RegKey::subKey(std::string_view name) {
    return const_cast<RegKey*>(std::as_const(*this).subKey(name));
}

RegKey& RegKey::addSubKey(std::string_view name, bool* created) {
    auto it = subKeys_.lower_bound(name);
    const bool found = it != subKeys_.end() && namesEqual(it->first, name);
    if (created)
        *created = !found;
    if (!found)
        it = subKeys_.emplace_hint(it, std::string(name),
                                   std::make_unique<RegKey>(std::string(name)));
    return *it->second;
}

bool RegKey::removeSubKey(std::string_view name) {
    const auto it = subKeys_.find(name);
    if (it == subKeys_.end())
        return false;
    subKeys_.erase(it);
    return true;
}

const RegValue& RegKey::valueAt(std::size_t index) const {
    return std::next(values_.begin(), static_cast<std::ptrdiff_t>(index))->second;
}

const RegValue* RegKey::value(std::string_view name) const {
    const auto it = valueNumbers_.find(name);
    return it == valueNumbers_.end() ? nullptr : &values_.at(it->second);
}

void RegKey::setValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data) {
    const auto it = valueNumbers_.find(name);
    if (it != valueNumbers_.end()) {
        RegValue& v = values_.at(it->second);
        v.type = type;
        v.data = std::move(data);
        return;
    }
    const std::uint64_t number = nextValueNumber_++;
    valueNumbers_.emplace(std::string(name), number);
    values_.emplace_hint(values_.end(), number, RegValue{std::string(name), type, std::move(data)});
}

bool RegKey::removeValue(std::string_view name) {
    const auto it = valueNumbers_.find(name);
    if (it == valueNumbers_.end())
        return false;
    values_.erase(it->second);
    valueNumbers_.erase(it);
    return true;
}

void RegKey::clear() {
    values_.clear();
    valueNumbers_.clear();
    subKeys_.clear();
}

bool RegKey::operator==(const RegKey& other) const {
    if (name_ != other.name_ || values_.size() != other.values_.size() ||
        subKeys_.size() != other.subKeys_.size())
        return false;
    for (auto a = values_.begin(), b = other.values_.begin(); a != values_.end(); ++a, ++b)
        if (!(a->second == b->second))
            return false;
    for (auto a = subKeys_.begin(), b = other.subKeys_.begin(); a != subKeys_.end(); ++a, ++b)
        if (!(*a->second == *b->second))
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
