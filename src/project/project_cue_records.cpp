#include "project/project_cue_records.h"

namespace sw {

ProjectFileCue ProjectCueList::const_iterator::operator*() const {
    TextList::const_iterator name = text_;
    ++name;
    return {*text_, *name, list_->marks_[2 * index_], list_->marks_[2 * index_ + 1]};
}

ProjectCueList::const_iterator& ProjectCueList::const_iterator::operator++() {
    ++text_;
    ++text_;
    ++index_;
    return *this;
}

ProjectCueList::ProjectCueList(std::initializer_list<ProjectFileCue> cues) {
    reserve(cues.size());
    for (const ProjectFileCue& cue : cues) {
        push_back(cue);
    }
}

ProjectFileCue ProjectCueList::operator[](size_t index) const {
    return {texts_[2 * index], texts_[2 * index + 1], marks_.at(2 * index),
            marks_.at(2 * index + 1)};
}

void ProjectCueList::push_back(const ProjectFileCue& cue) {
    if (cue.FileName.size() > 0xFFFF || cue.Name.size() > 0xFFFF) {
        throw std::length_error("text longer than 65535 bytes");
    }
    texts_.push_back(cue.FileName);
    texts_.push_back(cue.Name);
    marks_.push_back(cue.MarkIn);
    marks_.push_back(cue.MarkOut);
}

void ProjectCueList::reserve(size_t count) {
    texts_.reserve(2 * count);
    marks_.reserve(2 * count);
}

void ProjectCueList::clear() {
    texts_.clear();
    marks_.clear();
}

}  // namespace sw
