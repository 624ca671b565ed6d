#pragma once
// The stub's application manifest (RT_MANIFEST), edited as text: nvpack sets
// single attribute values and the description in place, so that every other
// byte of it stays as the stub has it.

#include <cstddef>
#include <string>

namespace nvpack {

// Where the value of an attribute of an element lies in a manifest's text.
struct AttributeValue {
    static constexpr std::size_t none = std::string::npos;
    std::size_t element = none;  // the '<' of the element; none when there is no such element
    std::size_t begin = none;    // the value, between its quotes; none when the element has
    std::size_t end = none;      // no quoted attribute of that name
};

// The first element `name` at or after `from` and its attribute `attribute`.
AttributeValue findAttribute(const std::string& text, const std::string& name, const std::string& attribute,
                             std::size_t from = 0);

// `text` as XML character data: &, <, >, " and ' as entities.
std::string xmlEscaped(const std::string& text);

// An assembly name for the product: its ASCII letters, digits, '.', '-' and
// '_', every run of other characters one '.', without dots at either end;
// "Setup" when nothing is left (a name in another script).
std::string assemblyNameFor(const std::string& productName);

// Makes the manifest name the product (UTF-8): the name of the assembly's
// own identity becomes assemblyNameFor(productName) and the description's
// text the product name. The identity of a dependency is not touched; an
// element the manifest lacks is not added.
void nameProduct(std::string& manifest, const std::string& productName);

// Sets the version of the assembly's own identity ("3.2.0.0"); a manifest
// without one is left as it is.
void setAssemblyVersion(std::string& manifest, const std::string& version);

}  // namespace nvpack
