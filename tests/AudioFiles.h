// Audio files made for the tests with GStreamer, and the audio stream bytes of each kind, tags left out.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Makes a tone file of buffers times 1024 samples at 44.1 kHz, of the kind of its extension (.mp3, .flac, .ogg,
// .opus, .m4a); false when a GStreamer element for it is missing.
bool MakeToneFile(const std::filesystem::path& path, int buffers = 30);

// The bytes of the audio stream, without the tags: after the ID3v2 tag of
// an MP3, after the metadata blocks of a FLAC, the bodies of the audio pages
// of an Ogg file, the mdat box of an MP4.
std::string AudioStreamBytes(const std::filesystem::path& path);
