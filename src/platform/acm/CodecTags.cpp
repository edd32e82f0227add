#include "platform/acm/CodecTags.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace vx::acm {

AVCodecID CodecIdForTag(std::uint16_t formatTag) {
  const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
  return av_codec_get_id(tables, formatTag);
}

}  // namespace vx::acm
