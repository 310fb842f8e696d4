#include "hostreg/reg_text.h"

#include <cstdio>

namespace hostreg {

namespace {

constexpr std::uint32_t kTypeString = 1;
constexpr std::uint32_t kTypeBinary = 3;
constexpr std::uint32_t kTypeDword = 4;
constexpr std::size_t kHexLineWidth = 76;

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

// A string value can be written as "text" when reading that back gives the same bytes: text
// without zeros or control characters, followed by exactly one terminating zero.
bool writableAsQuotedString(const RegValue& v) {
    if (v.type != kTypeString || v.data.empty() || v.data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < v.data.size(); ++i)
        if (v.data[i] < 0x20 || v.data[i] == 0x7f)
            return false;
    return true;
}

void appendHex(std::string& out, const std::vector<std::uint8_t>& data, std::size_t column) {
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        const bool lastByte = i + 1 == data.size();
        if (column + 3 > kHexLineWidth && !lastByte) {
            out += "\\\n  ";
            column = 2;
        }
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0xf];
        column += 2;
        if (!lastByte) {
            out += ',';
            ++column;
        }
    }
}

void appendValue(std::string& out, const RegValue& v) {
    const std::size_t lineStart = out.size();
    if (v.name.empty())
        out += '@';
    else
        appendQuoted(out, v.name);
    out += '=';
    if (writableAsQuotedString(v)) {
        appendQuoted(
            out, std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
    } else if (v.type == kTypeDword && v.data.size() == 4) {
        const std::uint32_t n = static_cast<std::uint32_t>(v.data[0]) |
                                static_cast<std::uint32_t>(v.data[1]) << 8 |
                                static_cast<std::uint32_t>(v.data[2]) << 16 |
                                static_cast<std::uint32_t>(v.data[3]) << 24;
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        out += buf;
    } else {
        if (v.type == kTypeBinary) {
            out += "hex:";
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
            out += buf;
        }
        appendHex(out, v.data, out.size() - lineStart);
    }
    out += '\n';
}

void appendKey(std::string& out, const RegKey& key, std::string& path, bool isRoot) {
    // A key line also makes every key above it, so a key with neither values nor its own line to
    // keep (it has sub-keys) is left out: deep paths would otherwise repeat on every level.
    if (key.valueCount() > 0 || (!isRoot && key.subKeyCount() == 0)) {
        out += '[';
        out += path;
        out += "]\n";
        key.forEachValue([&](const RegValue& v) { appendValue(out, v); });
        out += '\n';
    }
    key.forEachSubKey([&](const RegKey& sub) {
        const std::size_t mark = path.size();
        path += '\\';
        path += sub.name();
        appendKey(out, sub, path, false);
        path.resize(mark);
    });
}

const char* shortRootKeyName(HiveRoot root) {
    return root == HiveRoot::CurrentUser ? "HKCU" : "HKLM";
}

} // namespace

std::string writeRegText(const RegKey& root, HiveRoot hiveRoot, RootSpelling spelling) {
    std::string out = "REGEDIT4\n\n";
    std::string path =
        spelling == RootSpelling::Short ? shortRootKeyName(hiveRoot) : rootKeyName(hiveRoot);
    appendKey(out, root, path, true);
    return out;
}

std::string writeRegTextWithin(const RegKey& root, HiveRoot hiveRoot, std::size_t maxBytes) {
    std::string text = writeRegText(root, hiveRoot);
    if (text.size() > maxBytes)
        text = writeRegText(root, hiveRoot, RootSpelling::Short);
    if (text.size() > maxBytes)
        text.clear();
    return text;
}

} // namespace hostreg
