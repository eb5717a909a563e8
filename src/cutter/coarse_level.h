#pragma once

#include <cstddef>
#include <cstdint>

#include "stream/frame_header.h"

namespace sw {

// Levels are peak sample values on a signed 16-bit decoder's scale: 0 is silence, 32767 full
// scale.
inline constexpr uint16_t kFullScaleLevel = 32767;

// An estimate of a frame's peak level from what the frame says about its loudness before its
// audio is decoded, for a picture of a whole file in milliseconds.
//
// Layer III: each granule's global gain sets the step of its quantiser, and the Huffman table
// chosen for each region bounds the largest quantised value there; together they give the
// largest spectral value to within a few decibels (scale factors, which only lower it, sit in
// the main data and are not read). A granule without main data bits is silent. Layers I and II:
// the largest scale factor of any subband and channel.
//
// Measured against a decoder on lame and twolame output at 8 to 48 kHz, CBR and VBR, the
// estimate lies within about 5 dB (RMS over frames) of the frame's true peak; it is a preview,
// replaced as soon as the frame has been decoded.
//
// The bytes are untrusted: every read is checked against size, and a frame too short for what
// its header announces, or without a valid header, gives 0.
uint16_t CoarseFrameLevel(const uint8_t* frame, size_t size);

// DecodeFrameHeader through a small cache of the last words seen on this thread: a file's frames
// repeat a handful of header words, and the waveform's readers decode every one of them.
const TFrameInfo& DecodedHeader(uint32_t word);

}  // namespace sw
