#include "stream/taglib/piece_tagging.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>

#include <array>

#include "stream/document_file.h"
#include "stream/file_stream.h"
#include "stream/memory_stream.h"
#include "stream/replacement_file.h"
#include "stream/text_encoding.h"

namespace sw {

namespace {

constexpr int64_t kCopyBlock = 1 << 20;

TagLib::String Utf8(const std::string& text) {
    return TagLib::String(IsValidUtf8(text) ? text : Latin1ToUtf8(text), TagLib::String::UTF8);
}

void AddText(TagLib::ID3v2::Tag& tag, const char* id, const std::string& value) {
    if (value.empty()) {
        return;
    }
    auto* frame =
        new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(id, 4), TagLib::String::UTF8);
    frame->setText(Utf8(value));
    tag.addFrame(frame);
}

std::array<uint8_t, kId3TagSize> Id3v1Block(const PieceTag& tag) {
    MemoryStream block;
    WriteId3Tag(block, Id3v1TagOf(tag));
    std::array<uint8_t, kId3TagSize> bytes{};
    block.Seek(0, SeekOrigin::Begin);
    block.ReadBuffer(bytes.data(), kId3TagSize);
    return bytes;
}

void Copy(ByteStream& from, ByteStream& to) {
    std::vector<uint8_t> buffer(kCopyBlock);
    from.Seek(0, SeekOrigin::Begin);
    for (;;) {
        const int64_t got = from.Read(buffer.data(), kCopyBlock);
        if (got <= 0) {
            break;
        }
        to.WriteBuffer(buffer.data(), got);
    }
}

// The tagged piece: the ID3v2 tag, every byte of the piece, the ID3v1 tag.
void WriteTagged(const std::string& piece, ByteStream& to, const PieceTag& tag,
                 PieceTagKinds kinds) {
    const bool v1 = kinds == PieceTagKinds::V1 || kinds == PieceTagKinds::Both;
    const bool v2 = kinds == PieceTagKinds::V2 || kinds == PieceTagKinds::Both;
    if (v2) {
        const std::vector<uint8_t> front = RenderId3v24Tag(tag);
        to.WriteBuffer(front.data(), static_cast<int64_t>(front.size()));
    }
    {
        FileStream from(piece, FileMode::OpenRead);
        Copy(from, to);
    }
    if (v1) {
        const auto block = Id3v1Block(tag);
        to.WriteBuffer(block.data(), kId3TagSize);
    }
    to.Flush();
}

}  // namespace

std::vector<uint8_t> RenderId3v24Tag(const PieceTag& piece) {
    TagLib::ID3v2::Tag tag;
    AddText(tag, "TIT2", piece.Title);
    AddText(tag, "TPE1", piece.Artist);
    AddText(tag, "TALB", piece.Album);
    AddText(tag, "TDRC", piece.Year);
    AddText(tag, "TCON", piece.Genre);
    if (piece.Track > 0) {
        AddText(tag, "TRCK",
                std::to_string(piece.Track) +
                    (piece.TrackCount > 0 ? "/" + std::to_string(piece.TrackCount) : ""));
    }
    if (piece.Picture && !piece.Picture->Data.empty()) {
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setTextEncoding(TagLib::String::UTF8);
        frame->setMimeType(Utf8(piece.Picture->MimeType));
        frame->setDescription(Utf8(piece.Picture->Description));
        frame->setType(static_cast<TagLib::ID3v2::AttachedPictureFrame::Type>(piece.Picture->Type));
        frame->setPicture(
            TagLib::ByteVector(reinterpret_cast<const char*>(piece.Picture->Data.data()),
                               static_cast<unsigned>(piece.Picture->Data.size())));
        tag.addFrame(frame);
    }
    const TagLib::ByteVector bytes = tag.render(TagLib::ID3v2::v4);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void WritePieceTags(const std::string& fileName, const PieceTag& tag, PieceTagKinds kinds) {
    if (kinds == PieceTagKinds::None) {
        return;
    }
    // As every file written for the user: a new file beside the piece (through its links) that
    // takes its place once complete, so a failure leaves the untagged piece as it was.
    WriteDocumentFile(fileName, [&](ByteStream& to) { WriteTagged(fileName, to, tag, kinds); });
}

}  // namespace sw
