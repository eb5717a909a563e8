#include "stream/document_file.h"

#include "stream/file_errors.h"
#include "stream/file_stream.h"

namespace sw {

void WriteDocumentFile(const std::string& fileName, const std::function<void(ByteStream&)>& write,
                       ReplacementFile::Commit how) {
    if (fileName.empty() || IsHeldSource(fileName)) {
        throw FileCreateError(fileName);
    }
    ReplacementFile replacement(fileName);
    {
        // Not truncated: the file is new and empty, and truncating flags it on ext4 to be
        // written out in full when it is closed.
        FileStream stream(replacement.TempName(), FileMode::OpenReadWrite);
        write(stream);
        stream.Flush();
    }
    replacement.Replace(how);
}

}  // namespace sw
