#include "project/text_list.h"

#include <stdexcept>

namespace sw {

std::string_view TextList::const_iterator::View() const {
    return std::string_view(list_->bytes_).substr(offset_, list_->lengths_[index_]);
}

TextList::const_iterator& TextList::const_iterator::operator++() {
    offset_ += list_->lengths_[index_];
    ++index_;
    return *this;
}

TextList::TextList(std::initializer_list<std::string_view> texts) {
    reserve(texts.size());
    for (std::string_view text : texts) {
        push_back(text);
    }
}

TextList::TextList(const std::vector<std::string>& texts) {
    reserve(texts.size());
    for (const std::string& text : texts) {
        push_back(text);
    }
}

std::string_view TextList::View(size_t index) const {
    if (index >= size()) {
        throw std::out_of_range("TextList index");
    }
    size_t offset = checkpoints_[index / kCheckpointEvery];
    for (size_t i = index - index % kCheckpointEvery; i < index; ++i) {
        offset += lengths_[i];
    }
    return std::string_view(bytes_).substr(offset, lengths_[index]);
}

void TextList::push_back(std::string_view text) {
    if (text.size() > 0xFFFF) {
        throw std::length_error("text longer than 65535 bytes");
    }
    if (lengths_.size() % kCheckpointEvery == 0) {
        checkpoints_.push_back(bytes_.size());
    }
    bytes_.append(text);
    lengths_.push_back(static_cast<uint16_t>(text.size()));
}

void TextList::reserve(size_t count) {
    lengths_.reserve(count);
    checkpoints_.reserve(count / kCheckpointEvery + 1);
}

void TextList::clear() {
    bytes_.clear();
    lengths_.clear();
    checkpoints_.clear();
}

std::vector<std::string> TextList::ToVector() const {
    std::vector<std::string> texts;
    texts.reserve(size());
    for (const_iterator it = begin(); it != end(); ++it) {
        texts.emplace_back(it.View());
    }
    return texts;
}

bool TextList::operator==(const std::vector<std::string>& other) const {
    if (other.size() != size()) {
        return false;
    }
    size_t i = 0;
    for (const_iterator it = begin(); it != end(); ++it, ++i) {
        if (it.View() != other[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace sw
