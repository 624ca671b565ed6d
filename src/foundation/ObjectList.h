#pragma once
// An ordered list that owns its elements. Out-of-range access yields null
// instead of failing. Capacity comes in multiples of 30 and at least doubles
// when it grows, so that appending many elements stays linear.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace nv {

// The part of ObjectList that does not depend on the element type: it holds
// plain pointers and destroys them through the typed list's deleter. Written
// once here, the list's code is not repeated for every element type.
class ObjectListBase {
public:
    static constexpr std::int32_t growthStep = 30;

    ObjectListBase(const ObjectListBase&) = delete;
    ObjectListBase& operator=(const ObjectListBase&) = delete;

    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }
    // Destroys the element at index; out of range does nothing.
    void removeAt(std::int32_t index);
    void clear();

protected:
    using Deleter = void (*)(void*);
    explicit ObjectListBase(Deleter deleter) : deleter_(deleter) {}
    ObjectListBase(ObjectListBase&& other) noexcept;
    ObjectListBase& operator=(ObjectListBase&& other) noexcept;
    ~ObjectListBase();

    // Makes room for one more element; may throw, before any ownership moves.
    void reserveOne();
    // Store an element after reserveOne: these cannot fail.
    void* appendReserved(void* element);
    void* insertReserved(std::int32_t index, void* element);
    void* item(std::int32_t index) const;

private:
    std::vector<void*> items_;
    std::int32_t capacity_ = 0;
    Deleter deleter_;
};

template <class T>
class ObjectList : public ObjectListBase {
public:
    ObjectList() : ObjectListBase(&destroy) {}
    ObjectList(ObjectList&&) noexcept = default;
    ObjectList& operator=(ObjectList&&) noexcept = default;

    // Takes ownership and appends; returns the stored element.
    T* append(std::unique_ptr<T> item) {
        reserveOne();
        return static_cast<T*>(appendReserved(item.release()));
    }
    // Inserts before the element at index; a negative index appends; an index
    // of count or more is refused (the element is destroyed) and null returned.
    T* insert(std::int32_t index, std::unique_ptr<T> item) {
        if (index < 0) return append(std::move(item));
        if (index >= count()) return nullptr;
        reserveOne();
        return static_cast<T*>(insertReserved(index, item.release()));
    }
    // The element at index, or null outside 0..count-1.
    T* get(std::int32_t index) const { return static_cast<T*>(item(index)); }

private:
    static void destroy(void* element) { delete static_cast<T*>(element); }
};

}  // namespace nv
