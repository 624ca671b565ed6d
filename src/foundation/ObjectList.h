#pragma once
// An ordered list that owns its elements. Out-of-range access yields null
// instead of failing. Capacity comes in multiples of 30 and at least doubles
// when it grows, so that appending many elements stays linear.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace nv {

template <class T>
class ObjectList {
public:
    static constexpr std::int32_t growthStep = 30;

    ObjectList() = default;
    ObjectList(ObjectList&&) noexcept = default;
    ObjectList& operator=(ObjectList&&) noexcept = default;
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }
    std::int32_t capacity() const { return capacity_; }

    // Takes ownership and appends; returns the stored element.
    T* append(std::unique_ptr<T> item) {
        reserveFor(count() + 1);
        items_.push_back(std::move(item));
        return items_.back().get();
    }

    // Inserts before the element at index; a negative index appends; an index
    // of count or more is refused (the element is destroyed) and null returned.
    T* insert(std::int32_t index, std::unique_ptr<T> item) {
        if (index < 0) return append(std::move(item));
        if (index >= count()) return nullptr;
        reserveFor(count() + 1);
        auto it = items_.insert(items_.begin() + index, std::move(item));
        return it->get();
    }

    // Destroys the element at index; out of range does nothing.
    void removeAt(std::int32_t index) {
        if (index < 0 || index >= count()) return;
        items_.erase(items_.begin() + index);
    }

    void clear() { items_.clear(); }

    // The element at index, or null outside 0..count-1.
    T* get(std::int32_t index) const {
        if (index < 0 || index >= count()) return nullptr;
        return items_[static_cast<std::size_t>(index)].get();
    }

private:
    void reserveFor(std::int32_t wanted) {
        if (wanted <= capacity_) return;
        const std::int32_t rounded = (wanted + growthStep - 1) / growthStep * growthStep;
        capacity_ = rounded > capacity_ * 2 || capacity_ > INT32_MAX / 2 ? rounded : capacity_ * 2;
        items_.reserve(static_cast<std::size_t>(capacity_));
    }

    std::vector<std::unique_ptr<T>> items_;
    std::int32_t capacity_ = 0;
};

}  // namespace nv
