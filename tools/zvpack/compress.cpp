// Zlib streams from zlib itself or, for the smallest output, from libdeflate.
#include "tools/zvpack/compress.h"

#include <libdeflate.h>
#include <zlib.h>

#include <memory>

namespace zvpack {
namespace {

bool CompressWithZlib(const std::string& data, int level, std::string* stream, std::string* error) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  stream->resize(size);
  int result = compress2(reinterpret_cast<Bytef*>(&(*stream)[0]), &size,
                         reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()), level);
  if (result != Z_OK) {
    *error = "compression failed (zlib " + std::to_string(result) + ")";
    return false;
  }
  stream->resize(size);
  return true;
}

struct CompressorDeleter {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// A compressor per call: it is not to be shared between threads, and its set-up
// is small beside the cost of compressing at the strongest level.
bool CompressWithLibdeflate(const std::string& data, int level, std::string* stream, std::string* error) {
  std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(libdeflate_alloc_compressor(level));
  if (!compressor) {
    *error = "compression failed (out of memory)";
    return false;
  }
  stream->resize(libdeflate_zlib_compress_bound(compressor.get(), data.size()));
  size_t size = libdeflate_zlib_compress(compressor.get(), data.data(), data.size(), &(*stream)[0], stream->size());
  if (size == 0) {
    *error = "compression failed (libdeflate)";
    return false;
  }
  stream->resize(size);
  return true;
}

// Every stream of the launcher's archives begins 78 9C, whatever level made it. The second
// header byte's level field (FLEVEL) is informative only: inflaters, the launcher's and the
// next stage's among them, ignore it. 0x789C is a multiple of 31, as the header's check
// requires, and leaves FDICT clear, so only the field changes.
void MarkAsDefaultLevel(std::string* stream) {
  if (stream->size() >= 2) (*stream)[1] = static_cast<char>(0x9C);
}

}  // namespace

bool CompressToZlibStream(const std::string& data, int level, std::string* stream, std::string* error) {
  bool ok = level == kBestLevel ? CompressWithLibdeflate(data, level, stream, error)
                                : CompressWithZlib(data, level, stream, error);
  if (!ok) return false;
  MarkAsDefaultLevel(stream);
  stream->shrink_to_fit();
  return true;
}

}  // namespace zvpack
