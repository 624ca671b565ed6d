#include "foundation/ObjectList.h"

#include <climits>

namespace nv {

ObjectListBase::ObjectListBase(ObjectListBase&& other) noexcept
    : items_(std::move(other.items_)), capacity_(other.capacity_), deleter_(other.deleter_) {
    other.items_.clear();
    other.capacity_ = 0;
}

ObjectListBase& ObjectListBase::operator=(ObjectListBase&& other) noexcept {
    if (this == &other) return *this;
    clear();
    items_.swap(other.items_);
    capacity_ = other.capacity_;
    other.capacity_ = 0;
    return *this;
}

ObjectListBase::~ObjectListBase() { clear(); }

void ObjectListBase::removeAt(std::int32_t index) {
    if (index < 0 || index >= count()) return;
    void* removed = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    deleter_(removed);
}

void ObjectListBase::clear() {
    for (void* element : items_) deleter_(element);
    items_.clear();
}

void ObjectListBase::reserveOne() {
    const std::int32_t wanted = count() + 1;
    if (wanted <= capacity_) return;
    const std::int32_t rounded = (wanted + growthStep - 1) / growthStep * growthStep;
    const std::int32_t grown = rounded > capacity_ * 2 || capacity_ > INT32_MAX / 2 ? rounded : capacity_ * 2;
    items_.reserve(static_cast<std::size_t>(grown));
    capacity_ = grown;
}

void* ObjectListBase::appendReserved(void* element) {
    items_.push_back(element);
    return element;
}

void* ObjectListBase::insertReserved(std::int32_t index, void* element) {
    items_.insert(items_.begin() + index, element);
    return element;
}

void* ObjectListBase::item(std::int32_t index) const {
    if (index < 0 || index >= count()) return nullptr;
    return items_[static_cast<std::size_t>(index)];
}

}  // namespace nv
