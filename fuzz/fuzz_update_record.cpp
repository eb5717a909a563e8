// The update record reader and the HTTP response reader on bytes from the network. A record
// read has texts no longer than their fields and without a zero byte, a date that is a
// date-time, and reads back the same after writing; the response reader never keeps more than
// its limits, however the bytes are split into reads.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "update/http_request.h"
#include "update/http_response.h"
#include "update/update_record.h"

namespace {

using sw::fuzz::Check;

void CheckText(const std::string& text) {
    Check(text.size() <= sw::kUpdateTextSize);
    Check(text.find('\0') == std::string::npos);
}

void CheckAddress(const std::string& text) {
    const std::optional<sw::HttpAddress> address = sw::ParseHttpAddress(text);
    if (!address) {
        return;
    }
    Check(!address->Host.empty() && address->Port != 0 && address->Path.front() == '/');
    const std::string request = sw::BuildGetRequest(*address, "agent");
    // The request line, three header lines and the empty line: nothing from the address may add
    // a line of its own.
    size_t lines = 0;
    for (size_t at = request.find("\r\n"); at != std::string::npos;
         at = request.find("\r\n", at + 2)) {
        ++lines;
    }
    Check(lines == 5);
    Check(request.find('\n') == request.find("\r\n") + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const std::optional<sw::UpdateRecord> record = sw::ReadUpdateRecord(data, size)) {
        Check(size >= sw::kUpdateRecordSize);
        Check(std::isfinite(record->Date) && record->Date >= 0);
        for (const std::string* text :
             {&record->Description, &record->Message, &record->Email, &record->DownloadURL,
              &record->SlicewellURL, &record->UpdatesURL}) {
            CheckText(*text);
        }
        CheckAddress(record->UpdatesURL);
        const std::vector<uint8_t> again = sw::WriteUpdateRecord(*record);
        Check(sw::ReadUpdateRecord(again.data(), again.size()) == record);
    }

    // The same bytes as a response, in reads whose sizes the first byte chooses.
    const size_t step = size > 0 ? data[0] % 61 + 1 : 1;
    constexpr size_t kBodyLimit = 2000;
    constexpr size_t kHeaderLimit = 300;
    sw::HttpResponseReader reader(kBodyLimit, kHeaderLimit);
    for (size_t at = 0; at < size; at += step) {
        const size_t count = std::min(step, size - at);
        reader.Feed(reinterpret_cast<const char*>(data) + at, count);
        Check(reader.Body().size() <= kBodyLimit);
    }
    const bool headerRead = reader.State() == sw::HttpResponseReader::Progress::WaitingBody ||
                            reader.State() == sw::HttpResponseReader::Progress::BodyFull;
    Check(headerRead == (reader.Status() >= 100 && reader.Status() <= 999));
    Check(headerRead || reader.Body().empty());
    return 0;
}
