#include "player_fixture.h"

#include <QCoreApplication>
#include <stdexcept>

namespace sw::test {

CutObjectPtr IndexedCutObject(const std::string& fileName) {
    CutObjectPtr cut(CreateCutObject(fileName));
    if (!cut || !cut->IndexStream) {
        throw std::runtime_error("cannot open " + fileName);
    }
    const std::vector<uint8_t> bytes = ReadFileBytes(fileName);
    size_t position = 0;
    int32_t frames = 0;
    while (position + 4 <= bytes.size()) {
        const uint32_t word = HeaderWordFromBytes(&bytes[position]);
        const TFrameInfo info = DecodeFrameHeader(word);
        if (!IsValidFrameHeader(word) || info.FrameLength <= 0 ||
            position + size_t(info.FrameLength) > bytes.size()) {
            ++position;
            continue;
        }
        cut->IndexStream->WriteInt32(int32_t(position));
        cut->FrameInfo = info;
        position += size_t(info.FrameLength);
        ++frames;
    }
    cut->FileSize = int32_t(bytes.size());
    cut->MarkIn = 0;
    cut->MarkOut = frames - 1;
    cut->CompletelyScanned = true;
    return cut;
}

void WriteNumberedFrames(const std::string& fileName, int count, const HeaderSpec& spec) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> frame = MakeFrame(spec);
        for (int b = 0; b < 4; ++b) {
            frame[4 + b] = uint8_t(uint32_t(i) >> (8 * b));
        }
        Append(bytes, frame);
    }
    WriteFileBytes(fileName, bytes);
}

int32_t FrameNumberOf(const std::vector<uint8_t>& frame) {
    if (frame.size() < 8) {
        return -1;
    }
    return int32_t(HeaderWordFromBytes(&frame[4]));
}

void ProcessEvents() {
    // A delivery may post the next wake-up; a few rounds drain every chain the tests make.
    for (int i = 0; i < 8; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

}  // namespace sw::test
