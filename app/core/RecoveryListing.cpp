// How a recovery file is shown to the user: its document's name, when it was written, what became of the file on disk.
#include "app/core/RecoveryListing.h"

#include <ctime>
#include <system_error>

#include "app/core/DocumentNames.h"

TDiskState DiskStateOf(const TRecoveryHeader& header) {
  if (header.FileName.empty() || !header.Disk.Exists) return TDiskState::Unchanged;
  const TFileStamp now = FileStampOf(header.FileName);
  if (!now.Exists) return TDiskState::Missing;
  return now == header.Disk ? TDiskState::Unchanged : TDiskState::Changed;
}

TRecoveryListing ListingOf(const TOrphanRecovery& orphan) {
  TRecoveryListing listing;
  if (!orphan.Error.empty()) {
    listing.Name = orphan.File.filename().string();
    listing.Where = orphan.File.string();
    listing.Note = orphan.Error;
    return listing;
  }
  const TRecoveryHeader& header = orphan.Header;
  listing.Name = header.FileName.empty() ? "新しいテキスト" : ExtractFileName(header.FileName);
  listing.Where = header.FileName;
  const std::time_t written = static_cast<std::time_t>(header.WrittenAt);
  std::tm local{};
  char time[32] = "";
  if (::localtime_r(&written, &local)) std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S", &local);
  listing.Time = time;
  switch (DiskStateOf(header)) {
    case TDiskState::Changed:
      listing.Note = "ファイルはその後ほかのプログラムで変更されています";
      break;
    case TDiskState::Missing:
      listing.Note = "ファイルはその後なくなっています";
      break;
    case TDiskState::Unchanged:
      break;
  }
  return listing;
}

std::string RecoveredFileName(const std::string& fileName) {
  const std::size_t slash = fileName.rfind('/');
  const std::size_t dot = fileName.rfind('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::string stem = hasExt ? fileName.substr(0, dot) : fileName;
  const std::string ext = hasExt ? fileName.substr(dot) : std::string();
  for (int n = 1;; ++n) {
    const std::string name = stem + (n == 1 ? " (復元)" : " (復元 " + std::to_string(n) + ")") + ext;
    std::error_code error;
    if (!std::filesystem::exists(name, error)) return name;
  }
}
