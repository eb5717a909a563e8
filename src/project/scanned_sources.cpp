#include "project/scanned_sources.h"

#include <sys/stat.h>

#include "stream/file_names.h"
#include "stream/memory_stream.h"

namespace sw {

std::optional<SourceStamp> StampOf(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return SourceStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

void ScannedSources::Remember(TCutObject& cut, const SourceStamp& before) {
    auto* index = dynamic_cast<MemoryStream*>(cut.IndexStream.get());
    if (index == nullptr || !cut.CompletelyScanned || cut.FileSize != before.size ||
        StampOf(cut.FileName) != before) {
        return;
    }
    if (scans_.size() >= forgetAt_) {
        ForgetUnused();
    }
    Scan& scan = scans_[before];
    CopyScanSummary(cut, scan.summary);
    scan.index = index->Share();
}

CutObjectPtr ScannedSources::Reuse(const std::string& fileName) {
    const std::optional<SourceStamp> stamp = StampOf(fileName);
    const auto found = stamp ? scans_.find(*stamp) : scans_.end();
    if (found == scans_.end()) {
        return nullptr;
    }
    std::shared_ptr<const std::vector<uint8_t>> index = found->second.index.lock();
    if (!index) {
        scans_.erase(found);
        return nullptr;
    }
    std::unique_ptr<ByteStream> source = OpenSourceStream(fileName);
    if (!source) {
        return nullptr;
    }
    CutObjectPtr cut(new TCutObject);
    cut->FileName = fileName;
    cut->Name = DisplayName(fileName);
    CopyScanSummary(found->second.summary, *cut);
    cut->FileStream = std::move(source);
    cut->IndexStream = std::make_unique<MemoryStream>(std::move(index));
    cut->MarkIn = 0;
    cut->MarkOut = cut->FrameCount() - 1;
    return cut;
}

// Scans of files since deleted from the bin keep their small summary until the map has doubled;
// then every one whose index nobody holds goes.
void ScannedSources::ForgetUnused() {
    std::erase_if(scans_, [](const auto& entry) { return entry.second.index.expired(); });
    forgetAt_ = 2 * scans_.size() + 64;
}

}  // namespace sw
