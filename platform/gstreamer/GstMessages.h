// GStreamer's start-up and its errors as messages for the user, shared by playing and decoding.
#pragma once

#include <filesystem>
#include <string>

typedef struct _GstMessage GstMessage;

// Initialises GStreamer once; raises EAudioError when it cannot start.
void InitGstreamer();
// The file's name as the messages show it.
std::string DisplayName(const std::filesystem::path& file);
// The user's message (UTF-8) for an error message a pipeline reading file posted.
std::string TakeErrorText(GstMessage* message, const std::filesystem::path& file);
// A URI for the file; raises EAudioError when it is missing, not a file or has no URI.
std::string FileUri(const std::filesystem::path& file);
