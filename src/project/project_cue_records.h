#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "project/text_list.h"

namespace sw {

// One cue as the project file stores it: by its source's file name, not by a cut object.
struct ProjectFileCue {
    std::string FileName;
    std::string Name;
    int32_t MarkIn = 0;
    int32_t MarkOut = 0;

    bool operator==(const ProjectFileCue&) const = default;
};

// The cue records of a project file, kept as compactly as the file holds them (both names in a
// TextList, the marks side by side): a file of many empty records must not cost many times its
// size. Entries come back by value; walking is O(1) per record.
class ProjectCueList {
  public:
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ProjectFileCue;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = ProjectFileCue;

        const_iterator() = default;
        ProjectFileCue operator*() const;
        const_iterator& operator++();
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

      private:
        friend class ProjectCueList;
        const_iterator(const ProjectCueList* list, size_t index, TextList::const_iterator text)
            : list_(list), index_(index), text_(text) {}
        const ProjectCueList* list_ = nullptr;
        size_t index_ = 0;
        TextList::const_iterator text_;  // the record's file name; its name follows
    };
    using iterator = const_iterator;
    using value_type = ProjectFileCue;
    using size_type = size_t;

    ProjectCueList() = default;
    ProjectCueList(std::initializer_list<ProjectFileCue> cues);

    size_t size() const { return marks_.size() / 2; }
    bool empty() const { return marks_.empty(); }
    ProjectFileCue operator[](size_t index) const;

    // Throws std::length_error for a name longer than 65535 bytes.
    void push_back(const ProjectFileCue& cue);
    void reserve(size_t count);
    void clear();

    const_iterator begin() const { return {this, 0, texts_.begin()}; }
    const_iterator end() const { return {this, size(), texts_.end()}; }

    bool operator==(const ProjectCueList&) const = default;

  private:
    TextList texts_;              // file name, then name, of every record
    std::vector<int32_t> marks_;  // MarkIn, then MarkOut, of every record
};

}  // namespace sw
