#pragma once
// A table with the fixed capacity of the program and its files, numbered from 1 as the program
// numbers its records. The overflow rule lives with each owner (a message, dropping what does
// not fit); this class only refuses to grow past its capacity and checks every index.

#include <array>
#include <cstddef>
#include <stdexcept>

namespace kv {

template <typename T, std::size_t Capacity> class BoundedTable {
public:
    static constexpr std::size_t capacity = Capacity;

    std::size_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ == Capacity; }

    // 1-based access to entries in use.
    T& at(std::size_t number)
    {
        check(number);
        return items_[number - 1];
    }
    const T& at(std::size_t number) const
    {
        check(number);
        return items_[number - 1];
    }

    // Appends; false (and nothing changed) when the table is full.
    bool push(const T& item)
    {
        if (full()) {
            return false;
        }
        items_[count_++] = item;
        return true;
    }

    // Inserts before entry `number` (1 … count+1); false when full or out of range.
    bool insert(std::size_t number, const T& item)
    {
        if (full() || number == 0 || number > count_ + 1) {
            return false;
        }
        for (std::size_t i = count_; i >= number; --i) {
            items_[i] = items_[i - 1];
        }
        items_[number - 1] = item;
        ++count_;
        return true;
    }

    // Removes entry `number`, closing the gap; false when out of range.
    bool erase(std::size_t number)
    {
        if (number == 0 || number > count_) {
            return false;
        }
        for (std::size_t i = number; i < count_; ++i) {
            items_[i - 1] = items_[i];
        }
        --count_;
        items_[count_] = T {};
        return true;
    }

    void clear()
    {
        for (std::size_t i = 0; i < count_; ++i) {
            items_[i] = T {};
        }
        count_ = 0;
    }

    // Raw slots for readers that fill a whole table image at once.
    T* begin() { return items_.data(); }
    T* end() { return items_.data() + count_; }
    const T* begin() const { return items_.data(); }
    const T* end() const { return items_.data() + count_; }

private:
    void check(std::size_t number) const
    {
        if (number == 0 || number > count_) {
            throw std::out_of_range("table entry out of range");
        }
    }

    std::array<T, Capacity> items_ {};
    std::size_t count_ = 0;
};

} // namespace kv
