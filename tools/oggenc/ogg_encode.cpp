// One Ogg Vorbis stream from whole channels: the three header packets on
// pages of their own, then the audio at a middling quality.
#include "tools/oggenc/ogg_encode.h"

#include <vorbis/vorbisenc.h>

std::string EncodeOgg(const std::vector<std::vector<float>>& channels, int rate) {
    const int count = static_cast<int>(channels.size());
    const int length = count ? static_cast<int>(channels[0].size()) : 0;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (count == 0 || vorbis_encode_init_vbr(&vi, count, rate, 0.4f) != 0) {
        vorbis_info_clear(&vi);
        return std::string();
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1986);

    std::string out;
    ogg_page page;
    auto emit = [&] {
        out.append(reinterpret_cast<char*>(page.header), size_t(page.header_len));
        out.append(reinterpret_cast<char*>(page.body), size_t(page.body_len));
    };
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    while (ogg_stream_flush(&os, &page)) emit();

    float** buffer = vorbis_analysis_buffer(&vd, length);
    for (int c = 0; c < count; ++c)
        for (int i = 0; i < length; ++i) buffer[c][i] = channels[size_t(c)][size_t(i)];
    vorbis_analysis_wrote(&vd, length);
    vorbis_analysis_wrote(&vd, 0);
    ogg_packet packet;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
        vorbis_analysis(&vb, nullptr);
        vorbis_bitrate_addblock(&vb);
        while (vorbis_bitrate_flushpacket(&vd, &packet)) {
            ogg_stream_packetin(&os, &packet);
            while (ogg_stream_pageout(&os, &page)) emit();
        }
    }
    while (ogg_stream_flush(&os, &page)) emit();

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}
