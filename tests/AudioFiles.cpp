// Making tone files with GStreamer and finding their audio stream bytes.
#include "tests/AudioFiles.h"

#include <gst/gst.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Byte(std::string_view bytes, std::size_t at) { return static_cast<unsigned char>(bytes.at(at)); }

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
  return Byte(bytes, at) << 24 | Byte(bytes, at + 1) << 16 | Byte(bytes, at + 2) << 8 | Byte(bytes, at + 3);
}

std::string Mp3Stream(const std::string& bytes) {
  std::size_t at = 0;
  if (bytes.starts_with("ID3")) {
    const std::uint32_t size = Byte(bytes, 6) << 21 | Byte(bytes, 7) << 14 | Byte(bytes, 8) << 7 | Byte(bytes, 9);
    at = 10 + size + ((Byte(bytes, 5) & 0x10) ? 10 : 0);
  }
  return bytes.substr(at);
}

std::string FlacStream(const std::string& bytes) {
  std::size_t at = 4;  // "fLaC"
  for (bool last = false; !last;) {
    last = (Byte(bytes, at) & 0x80) != 0;
    at += 4 + (Byte(bytes, at + 1) << 16 | Byte(bytes, at + 2) << 8 | Byte(bytes, at + 3));
  }
  return bytes.substr(at);
}

// Pages with a granule position are audio; the header pages have none.
std::string OggStream(const std::string& bytes) {
  std::string stream;
  for (std::size_t at = 0; at < bytes.size();) {
    if (bytes.compare(at, 4, "OggS") != 0) throw std::runtime_error("no Ogg page");
    const std::string granule = bytes.substr(at + 6, 8);
    const std::size_t segments = Byte(bytes, at + 26);
    std::size_t body = 0;
    for (std::size_t i = 0; i < segments; ++i) body += Byte(bytes, at + 27 + i);
    const std::size_t start = at + 27 + segments;
    if (granule != std::string(8, '\0')) stream += bytes.substr(start, body);
    at = start + body;
  }
  return stream;
}

std::string Mp4Stream(const std::string& bytes) {
  for (std::size_t at = 0; at + 8 <= bytes.size();) {
    const std::uint32_t size = BigEndian32(bytes, at);
    if (bytes.compare(at + 4, 4, "mdat") == 0) return bytes.substr(at + 8, size - 8);
    if (size < 8) break;
    at += size;
  }
  throw std::runtime_error("no mdat box");
}

}  // namespace

bool MakeToneFile(const std::filesystem::path& path, int buffers) {
  gst_init(nullptr, nullptr);
  const std::string extension = path.extension().string();
  const std::string encoder = extension == ".mp3"    ? "lamemp3enc"
                              : extension == ".flac" ? "flacenc"
                              : extension == ".ogg"  ? "vorbisenc ! oggmux"
                              : extension == ".opus" ? "audioresample ! opusenc ! oggmux"
                                                     : "lamemp3enc ! mp4mux";
  const std::string description = "audiotestsrc num-buffers=" + std::to_string(buffers) + " ! audioconvert ! " + encoder +
                                  " ! filesink location=\"" + path.string() + "\"";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error) {
    g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message =
      gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ended = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return ended;
}

std::string AudioStreamBytes(const std::filesystem::path& path) {
  const std::string bytes = ReadAll(path);
  const std::string extension = path.extension().string();
  if (extension == ".mp3") return Mp3Stream(bytes);
  if (extension == ".flac") return FlacStream(bytes);
  if (extension == ".ogg" || extension == ".opus") return OggStream(bytes);
  return Mp4Stream(bytes);
}
