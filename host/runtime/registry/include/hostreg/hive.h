#pragma once
// The content of one registry hive: a tree of keys holding typed values.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hostreg {

// Limits shared by the calls and the file reader, so that whatever the calls accept can be
// written and read back.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxValueDataSize = 1024u * 1024u; // settings, not documents

// Names compare with ASCII letters folded to one case; other bytes compare as they are.
bool namesEqual(std::string_view a, std::string_view b);
int compareNames(std::string_view a, std::string_view b);

// A key name is 1 to 255 bytes without a backslash or a control character; a value name is up to
// 16383 bytes without a control character (the empty name is the default value).
bool isValidKeyName(std::string_view name);
bool isValidValueName(std::string_view name);

using KeyPath = std::vector<std::string>;

enum class PathStatus { Ok, BadPath, InvalidName, TooDeep };

// Splits "a\b\c" into its names. One trailing backslash is allowed; a leading one or an empty
// name in the middle is a bad path.
PathStatus splitKeyPath(std::string_view text, KeyPath& out);

struct RegValue {
    std::string name; // empty: the key's unnamed default value
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue&) const = default;
};

class RegKey {
public:
    explicit RegKey(std::string name = {});
    RegKey(const RegKey& other);
    RegKey& operator=(const RegKey& other);
    RegKey(RegKey&&) noexcept = default;
    RegKey& operator=(RegKey&&) noexcept = default;
    ~RegKey();

    const std::string& name() const { return name_; }

    // Sub-keys, in alphabetical order (letter case ignored). Look-up and insertion take
    // logarithmic time, so a huge file cannot make reading it quadratic.
    std::size_t subKeyCount() const { return subKeys_.size(); }
    const RegKey& subKeyAt(std::size_t index) const; // walks `index` steps
    const RegKey* subKey(std::string_view name) const;
    RegKey* subKey(std::string_view name);
    // Returns the sub-key of that name, adding it when missing.
    RegKey& addSubKey(std::string_view name, bool* created = nullptr);
    bool removeSubKey(std::string_view name);
    template <class Visit> void forEachSubKey(Visit&& visit) const {
        for (const auto& entry : subKeys_)
            visit(static_cast<const RegKey&>(*entry.second));
    }

    // Values, in the order they were first set.
    std::size_t valueCount() const { return values_.size(); }
    const RegValue& valueAt(std::size_t index) const; // walks `index` steps
    const RegValue* value(std::string_view name) const;
    // A value that exists keeps its place; its name keeps the spelling it was created with.
    void setValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data);
    bool removeValue(std::string_view name);
    template <class Visit> void forEachValue(Visit&& visit) const {
        for (const auto& entry : values_)
            visit(entry.second);
    }

    void clear();

    // Same names (spelling included), same values in the same order, same sub-keys.
    bool operator==(const RegKey& other) const;

private:
    struct NameLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const {
            return compareNames(a, b) < 0;
        }
    };

    std::string name_;
    std::map<std::uint64_t, RegValue> values_;                    // by first-insertion number
    std::map<std::string, std::uint64_t, NameLess> valueNumbers_; // name -> insertion number
    std::uint64_t nextValueNumber_ = 0;
    std::map<std::string, std::unique_ptr<RegKey>, NameLess> subKeys_;
};

const RegKey* findKey(const RegKey& root, const KeyPath& path);
RegKey* findKey(RegKey& root, const KeyPath& path);

enum class HiveRoot { CurrentUser, LocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* rootKeyName(HiveRoot root);

} // namespace hostreg
