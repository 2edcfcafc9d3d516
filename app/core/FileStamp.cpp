// TFileStamp: what the main window remembers of its file to notice changes that other programs make.
#include "app/core/FileStamp.h"

#include <system_error>

TFileStamp FileStampOf(const std::filesystem::path& path) {
  std::error_code error;
  TFileStamp stamp;
  if (!std::filesystem::is_regular_file(path, error)) return stamp;
  stamp.Time = std::filesystem::last_write_time(path, error);
  if (error) return {};
  stamp.Size = std::filesystem::file_size(path, error);
  if (error) return {};
  stamp.Exists = true;
  return stamp;
}
