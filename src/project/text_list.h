#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace sw {

// A list of short texts (at most 65535 bytes each, what a counted string can hold) kept back to
// back in one buffer with a two-byte length per text: about what the texts took in the file they
// came from. A std::vector<std::string> costs 32 bytes per entry even for an empty text, so a
// 20 MB project file of empty bin names cost over 500 MB as one. Walking the list is O(1) per
// text; indexing is O(kCheckpointEvery).
class TextList {
  public:
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string;

        const_iterator() = default;
        std::string operator*() const { return std::string(View()); }
        std::string_view View() const;
        const_iterator& operator++();
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

      private:
        friend class TextList;
        const_iterator(const TextList* list, size_t index, size_t offset)
            : list_(list), index_(index), offset_(offset) {}
        const TextList* list_ = nullptr;
        size_t index_ = 0;
        size_t offset_ = 0;  // of this text in the buffer
    };
    using iterator = const_iterator;
    using value_type = std::string;
    using size_type = size_t;

    TextList() = default;
    TextList(std::initializer_list<std::string_view> texts);
    TextList(const std::vector<std::string>& texts);  // NOLINT: a list of texts is one

    size_t size() const { return lengths_.size(); }
    bool empty() const { return lengths_.empty(); }
    std::string operator[](size_t index) const { return std::string(View(index)); }
    std::string_view View(size_t index) const;

    // Throws std::length_error for a text longer than 65535 bytes.
    void push_back(std::string_view text);
    void reserve(size_t count);
    void clear();

    const_iterator begin() const { return {this, 0, 0}; }
    const_iterator end() const { return {this, size(), bytes_.size()}; }

    // For callers that need the texts as strings all at once (this costs what the list saves).
    std::vector<std::string> ToVector() const;
    operator std::vector<std::string>() const { return ToVector(); }  // NOLINT

    bool operator==(const TextList& other) const {
        return lengths_ == other.lengths_ && bytes_ == other.bytes_;
    }
    bool operator==(const std::vector<std::string>& other) const;

    static constexpr size_t kCheckpointEvery = 64;

  private:
    std::string bytes_;
    std::vector<uint16_t> lengths_;
    // Where text n * kCheckpointEvery starts in bytes_.
    std::vector<uint64_t> checkpoints_;
};

}  // namespace sw
