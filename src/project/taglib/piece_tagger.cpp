#include "project/taglib/piece_tagger.h"

#include "project/piece_names.h"
#include "stream/file_names.h"
#include "stream/taglib/piece_tagging.h"

namespace sw {

namespace {

const std::string& Either(const std::string& first, const std::string& second) {
    return first.empty() ? second : first;
}

}  // namespace

PieceTag PieceTagOf(const TCueObject& cue, int number, int count, const SourceTags& source) {
    static const CueSheetFacts kNoSheet;
    const CueSheetFacts& sheet = cue.Sheet ? *cue.Sheet : kNoSheet;
    PieceTag tag;
    const bool sheetName = cue.Sheet && sheet.Name == cue.Name && !sheet.Title.empty();
    tag.Title = sheetName ? sheet.Title : NumberedName(cue.Name).Title;
    tag.Artist = Either(sheet.Performer, source.Artist);
    tag.Album = Either(sheet.Album, source.Album);
    tag.Year = Either(sheet.Year, source.Year);
    tag.Genre = Either(sheet.Genre, source.Genre);
    tag.Track = number;
    tag.TrackCount = count;
    tag.Picture = source.Picture;
    return tag;
}

void PieceTagger::TagPiece(const std::string& target, const TCueObject& cue, int number, int count,
                           PieceTagKinds kinds) {
    const std::string kind = FileKind(target);
    if (kinds == PieceTagKinds::None || kind == "wav" || kind == "m3q" ||
        cue.CutObject == nullptr) {
        return;
    }
    const std::string& source = cue.CutObject->FileName;
    auto known = sources_.find(source);
    if (known == sources_.end()) {
        known = sources_.emplace(source, ReadSourceTags(source)).first;
    }
    WritePieceTags(target, PieceTagOf(cue, number, count, known->second), kinds);
}

}  // namespace sw
