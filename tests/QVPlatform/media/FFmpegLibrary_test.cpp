#include <QVPlatform/media/detail/FFmpegLibrary.h>

#include <gtest/gtest.h>

using namespace platform::detail;

TEST(FFmpegLibrary, OpensTheCompiledSonamesAndResolvesTheFunctionsThisProcessLinks) {
    const FFmpegSonames names = FFmpegLibrary::compiledSonames();
    EXPECT_EQ(names.avformat, "libavformat.so." + std::to_string(LIBAVFORMAT_VERSION_MAJOR));
    EXPECT_EQ(names.swscale, "libswscale.so." + std::to_string(LIBSWSCALE_VERSION_MAJOR));

    const FFmpegFunctions* av = ffmpeg();
    ASSERT_NE(av, nullptr);
    EXPECT_EQ(ffmpeg(), av);  // loaded once
    // The test program links FFmpeg itself: the table must point at the very same functions.
    EXPECT_EQ(av->av_log_set_level, &::av_log_set_level);
    EXPECT_EQ(av->sws_getContext, &::sws_getContext);
    EXPECT_EQ(av->avcodec_send_packet, &::avcodec_send_packet);
    EXPECT_EQ(av->av_stream_get_side_data, &::av_stream_get_side_data);
}

TEST(FFmpegLibrary, AMissingLibraryOrFunctionMakesItUnavailableWithTheReason) {
    std::string why;
    FFmpegSonames names = FFmpegLibrary::compiledSonames();
    names.avformat = "libavformat.so.999";
    EXPECT_EQ(FFmpegLibrary::open(names, &why), nullptr);
    EXPECT_NE(why.find("libavformat.so.999"), std::string::npos) << why;

    names = FFmpegLibrary::compiledSonames();
    names.avcodec = "libc.so.6";  // loads, but has none of the codec functions
    EXPECT_EQ(FFmpegLibrary::open(names, &why), nullptr);
    EXPECT_NE(why.find("avcodec_alloc_context3"), std::string::npos) << why;

    EXPECT_EQ(FFmpegLibrary::open(names, nullptr), nullptr);  // no reason asked for
    EXPECT_NE(FFmpegLibrary::open(FFmpegLibrary::compiledSonames(), nullptr), nullptr);
}
