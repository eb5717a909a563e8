#include "player_fixture.h"

#include <QCoreApplication>
#include <cstdlib>
#include <stdexcept>

#include "player/mpeg_frame_decoder.h"

namespace sw::test {

CutObjectPtr IndexedCutObject(const std::string& fileName) {
    CutObjectPtr cut(CreateCutObject(fileName, {}));
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

bool MakeMp3(const std::string& fileName, double seconds, int sampleRate, int channels,
             const std::string& lameArguments) {
    const std::string wav = fileName + ".wav";
    const std::string signal = channels == 2 ? "sine 200-3000 pinknoise" : "sine 440";
    const std::string sox = "sox -n -r " + std::to_string(sampleRate) + " -c " +
                            std::to_string(channels) + " '" + wav + "' synth " +
                            std::to_string(seconds) + " " + signal + " vol 0.6 2>/dev/null";
    const std::string lame =
        "lame --quiet " + lameArguments + " '" + wav + "' '" + fileName + "' 2>/dev/null";
    const bool made = std::system(sox.c_str()) == 0 && std::system(lame.c_str()) == 0;
    std::remove(wav.c_str());
    return made;
}

std::vector<uint8_t> ReadFrame(TCutObject& cut, int32_t frame) {
    const TFrameInfo info = FrameHeader(&cut, frame);
    const int32_t length = info.FrameLength;
    std::vector<uint8_t> bytes(size_t(std::max(length, 0)));
    cut.FileStream->Seek(FrameOffset(&cut, frame), SeekOrigin::Begin);
    bytes.resize(size_t(cut.FileStream->Read(bytes.data(), int64_t(bytes.size()))));
    return bytes;
}

std::vector<int16_t> ReferenceDecode(TCutObject& cut, int32_t first, int32_t last) {
    const MpegLayer3WaveFormat format = BuildWaveFormat(cut.FrameInfo);
    MpegFrameDecoder decoder(int(format.nSamplesPerSec), int(format.nChannels));
    std::vector<int16_t> samples;
    std::vector<int16_t> scratch;
    for (int32_t frame = 0; frame <= last; ++frame) {
        const std::vector<uint8_t> bytes = ReadFrame(cut, frame);
        decoder.Decode(bytes.data(), bytes.size(), frame < first ? scratch : samples);
        scratch.clear();
    }
    return samples;
}

void ProcessEvents() {
    // A delivery may post the next wake-up; a few rounds drain every chain the tests make.
    for (int i = 0; i < 8; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

}  // namespace sw::test
