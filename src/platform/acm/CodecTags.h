// Maps WAVE format tags to the codec library's codec ids through its own RIFF tag table.
#pragma once

#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace vx::acm {

// AV_CODEC_ID_NONE when the library knows no codec for the tag.
AVCodecID CodecIdForTag(std::uint16_t formatTag);

}  // namespace vx::acm
