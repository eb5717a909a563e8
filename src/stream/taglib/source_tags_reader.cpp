#include "stream/taglib/source_tags_reader.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>
#include <unistd.h>

#include <exception>

#include "stream/regular_file.h"

namespace sw {

namespace {

std::string Text(const TagLib::String& text) {
    return text.to8Bit(true);
}

std::string YearText(unsigned year) {
    return year > 0 ? std::to_string(year) : std::string();
}

std::shared_ptr<const TagPicture> PictureOf(TagLib::ID3v2::Tag& tag) {
    const TagLib::ID3v2::FrameList& frames = tag.frameListMap()["APIC"];
    const TagLib::ID3v2::AttachedPictureFrame* chosen = nullptr;
    for (const TagLib::ID3v2::Frame* frame : frames) {
        const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (picture == nullptr) {
            continue;
        }
        if (chosen == nullptr ||
            (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover &&
             chosen->type() != TagLib::ID3v2::AttachedPictureFrame::FrontCover)) {
            chosen = picture;
        }
    }
    if (chosen == nullptr) {
        return nullptr;
    }
    auto picture = std::make_shared<TagPicture>();
    picture->MimeType = Text(chosen->mimeType());
    picture->Description = Text(chosen->description());
    picture->Type = static_cast<int>(chosen->type());
    const TagLib::ByteVector data = chosen->picture();
    picture->Data.assign(data.begin(), data.end());
    return picture;
}

void Fill(std::string& field, const std::string& value) {
    if (field.empty()) {
        field = value;
    }
}

}  // namespace

SourceTags ReadSourceTags(const std::string& fileName) {
    SourceTags tags;
    int fd = -1;
    // Opened as every file the user names is, so a FIFO named like a source cannot hang here.
    if (OpenRegularFile(fileName, false, fd) != ReadOpenResult::Opened) {
        return tags;
    }
    // TagLib's stream closes the descriptor it is given.
    TagLib::FileStream stream(fd, true);
    if (!stream.isOpen()) {
        ::close(fd);
        return tags;
    }
    try {
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid()) {
            return tags;
        }
        if (file.hasID3v2Tag()) {
            TagLib::ID3v2::Tag& v2 = *file.ID3v2Tag();
            tags.HasId3v2 = true;
            tags.Title = Text(v2.title());
            tags.Artist = Text(v2.artist());
            tags.Album = Text(v2.album());
            tags.Year = YearText(v2.year());
            tags.Genre = Text(v2.genre());
            tags.Picture = PictureOf(v2);
        }
        if (file.hasID3v1Tag()) {
            TagLib::ID3v1::Tag& v1 = *file.ID3v1Tag();
            Fill(tags.Title, Text(v1.title()));
            Fill(tags.Artist, Text(v1.artist()));
            Fill(tags.Album, Text(v1.album()));
            Fill(tags.Year, YearText(v1.year()));
            Fill(tags.Genre, Text(v1.genre()));
        }
    } catch (const std::exception&) {
        return SourceTags{};
    }
    return tags;
}

}  // namespace sw
