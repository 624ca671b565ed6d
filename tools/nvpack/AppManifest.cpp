#include "AppManifest.h"

#include "text/TextScanning.h"

namespace nvpack {

namespace {

// The longest assembly name nvpack derives; a product name is rarely longer.
constexpr std::size_t longestAssemblyName = 64;

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == '_';
}

// The '<' of the first element `name` at or after `from`, or npos.
std::size_t findElement(const std::string& text, const std::string& name, std::size_t from) {
    const std::string open = "<" + name;
    for (std::size_t at = text.find(open, from); at != std::string::npos; at = text.find(open, at + 1)) {
        const std::size_t after = at + open.size();
        if (after < text.size() && (nv::isBlank(text[after]) || text[after] == '/' || text[after] == '>')) return at;
    }
    return std::string::npos;
}

}  // namespace

AttributeValue findAttribute(const std::string& text, const std::string& name, const std::string& attribute,
                             std::size_t from) {
    AttributeValue found;
    const std::size_t at = findElement(text, name, from);
    if (at == std::string::npos) return found;
    found.element = at;
    const std::size_t close = text.find('>', at);
    const std::string key = attribute + "=";
    std::size_t keyAt = at;
    do {
        keyAt = text.find(key, keyAt + 1);
    } while (keyAt < close && !nv::isBlank(text[keyAt - 1]));
    if (keyAt >= close) return found;
    const std::size_t value = keyAt + key.size();
    const char quote = text[value];
    const std::size_t end = text.find(quote, value + 1);
    if ((quote != '"' && quote != '\'') || end >= close) return found;
    found.begin = value + 1;
    found.end = end;
    return found;
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string assemblyNameFor(const std::string& productName) {
    std::string out;
    for (char c : productName) {
        if (isNameCharacter(c)) {
            if (!(c == '.' && !out.empty() && out.back() == '.')) out += c;
        } else if (!out.empty() && out.back() != '.') {
            out += '.';
        }
    }
    if (out.size() > longestAssemblyName) out.resize(longestAssemblyName);
    while (!out.empty() && out.front() == '.') out.erase(0, 1);
    while (!out.empty() && out.back() == '.') out.pop_back();
    return out.empty() ? "Setup" : out;
}

void setAssemblyVersion(std::string& manifest, const std::string& version) {
    // As in nameProduct: the first identity is the assembly's own when no dependency comes before it.
    const AttributeValue identity = findAttribute(manifest, "assemblyIdentity", "version");
    if (identity.begin != AttributeValue::none && identity.element < findElement(manifest, "dependency", 0)) {
        manifest.replace(identity.begin, identity.end - identity.begin, version);
    }
}

void nameProduct(std::string& manifest, const std::string& productName) {
    // The assembly's own identity comes before its dependencies, whose identities name other assemblies.
    const AttributeValue identity = findAttribute(manifest, "assemblyIdentity", "name");
    const std::size_t dependency = findElement(manifest, "dependency", 0);
    if (identity.begin != AttributeValue::none && identity.element < dependency) {
        manifest.replace(identity.begin, identity.end - identity.begin, assemblyNameFor(productName));
    }
    const std::string open = "<description>";
    const std::size_t start = manifest.find(open);
    const std::size_t end = start == std::string::npos ? start : manifest.find("</description>", start);
    if (end != std::string::npos) {
        manifest.replace(start + open.size(), end - start - open.size(), xmlEscaped(productName));
    }
}

}  // namespace nvpack
