#include "foundation/Compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "foundation/TracePoint.h"

namespace {

// One deflate stream per level, kept for the whole run and reset for every
// call: the undo history compresses the whole course after every change.
// User-interface thread only.
z_stream* GetDeflater(bool bestCompression)
{
    struct CDeflater
    {
        z_stream stream{};
        bool ready = false;
    };
    static CDeflater deflaters[2];
    CDeflater& deflater = deflaters[bestCompression ? 1 : 0];
    if (!deflater.ready) {
        const int level = bestCompression ? Z_BEST_COMPRESSION : Z_DEFAULT_COMPRESSION;
        const int result = deflateInit(&deflater.stream, level);
        if (result != Z_OK) {
            TRACE_VALUE(int32_t, result);
            return nullptr;
        }
        deflater.ready = true;
    } else if (deflateReset(&deflater.stream) != Z_OK) {
        TRACE_POINT();
        return nullptr;
    }
    return &deflater.stream;
}

// An inflate stream for one call; inflating needs only a small state.
class CInflater
{
public:
    CInflater() { m_ready = inflateInit(&stream) == Z_OK; }
    ~CInflater()
    {
        if (m_ready)
            inflateEnd(&stream);
    }
    CInflater(const CInflater&) = delete;
    CInflater& operator=(const CInflater&) = delete;

    bool IsReady() const { return m_ready; }

    z_stream stream{};

private:
    bool m_ready = false;
};

}  // namespace

bool ZlibCompressWithLength(const std::string& input, std::string& output, bool bestCompression,
                            const std::string& dictionary)
{
    TRACE_POINT();
    const size_t n = input.size();
    if (n > kMaxCompressedInput) {
        TRACE_VALUE(int32_t, int32_t(n));
        return false;
    }
    z_stream* stream = GetDeflater(bestCompression);
    if (!stream)
        return false;
    if (!dictionary.empty()) {
        const int result = deflateSetDictionary(stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                                                uInt(dictionary.size()));
        if (result != Z_OK) {
            TRACE_VALUE(int32_t, result);
            return false;
        }
    }

    static std::vector<unsigned char> buffer;
    const size_t needed = 3 + (n * 101 / 100 + 20);
    if (buffer.size() < needed)
        buffer.resize(needed);
    buffer[0] = static_cast<unsigned char>(n >> 16);
    buffer[1] = static_cast<unsigned char>(n >> 8);
    buffer[2] = static_cast<unsigned char>(n);

    stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream->avail_in = uInt(n);
    stream->next_out = buffer.data() + 3;
    stream->avail_out = uInt(needed - 3);
    const int result = deflate(stream, Z_FINISH);
    if (result != Z_STREAM_END) {
        TRACE_VALUE(int32_t, result);
        return false;
    }
    output.assign(reinterpret_cast<const char*>(buffer.data()), 3 + stream->total_out);
    return true;
}

bool ZlibUncompressWithLength(const std::string& input, std::string& output, const std::string& dictionary)
{
    TRACE_POINT();
    output.clear();
    if (input.size() < 3)
        return false;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const size_t expected = (size_t(bytes[0]) << 16) | (size_t(bytes[1]) << 8) | size_t(bytes[2]);

    CInflater inflater;
    if (!inflater.IsReady())
        return false;
    z_stream& stream = inflater.stream;
    stream.next_in = const_cast<Bytef*>(bytes + 3);
    stream.avail_in = uInt(input.size() - 3);

    // The output grows with what inflates, up to the recorded length, so a
    // damaged length field alone allocates nothing. Once the recorded length
    // is reached, a scratch byte tells whether the stream holds more.
    const size_t kFirstChunk = 65536;
    unsigned char scratch = 0;
    bool dictionaryUsed = false;
    bool ended = false;
    while (!ended) {
        const size_t produced = stream.total_out;
        if (produced > expected)
            break;
        if (produced == expected) {
            stream.next_out = &scratch;
            stream.avail_out = 1;
        } else {
            if (output.size() == produced)
                output.resize(std::min(expected, std::max(kFirstChunk, 2 * produced)));
            stream.next_out = reinterpret_cast<Bytef*>(&output[produced]);
            stream.avail_out = uInt(output.size() - produced);
        }
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            ended = true;
        } else if (result == Z_NEED_DICT) {
            if (dictionary.empty() || dictionaryUsed)
                break;
            if (inflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                                     uInt(dictionary.size())) != Z_OK)
                break;
            dictionaryUsed = true;
        } else if (result != Z_OK) {
            // Z_BUF_ERROR here means the input ended inside the stream.
            TRACE_VALUE(int32_t, result);
            break;
        }
    }
    const size_t produced = std::min<size_t>(stream.total_out, expected);
    output.resize(std::min(output.size(), produced));
    if (!ended || stream.total_out != expected)
        return false;
    // A record made without a dictionary is never accepted where one is
    // expected.
    return dictionary.empty() || dictionaryUsed;
}
