#include "jvm/RegistryQuery.h"

#include <cstring>

namespace nv {

RegistryValue readRegistryValue(RegistryHive hive, const LauncherString& keyPath, const LauncherString& valueName,
                                Registry& registry) {
    const RegistryValue own = registry.read(hive, keyPath, valueName, RegistryView::own);
    if (own.read) return own;
    const RegistryValue other = registry.read(hive, keyPath, valueName, RegistryView::other);
    return other.read ? other : own;
}

LauncherString registryDataText(const char* data, std::size_t size) {
    if (data == nullptr || size == 0) return LauncherString();
    // Binary values, numbers and text stored without its zero all end at `size`.
    const void* zero = std::memchr(data, '\0', size);
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : size;
    return LauncherString(data, static_cast<LauncherString::size_type>(length));
}

}  // namespace nv
