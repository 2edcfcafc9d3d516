// SystemErrorText: the error numbers a file operation meets, in Japanese.
#include <cerrno>
#include <string>

#include "platform/Exceptions.h"

std::string SystemErrorText(int error) {
  switch (error) {
    case ENOENT:
      return "ファイルまたはフォルダがありません";
    case EACCES:
    case EPERM:
      return "アクセスが許可されていません";
    case EROFS:
      return "読み取り専用のファイルシステムです";
    case EISDIR:
      return "フォルダです";
    case ENOTDIR:
      return "途中の名前がフォルダではありません";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空きが足りません";
    case EFBIG:
      return "ファイルが大きすぎます";
    case ENAMETOOLONG:
      return "名前が長すぎます";
    case ELOOP:
      return "シンボリックリンクが多すぎるか、ループしています";
    case EEXIST:
      return "同じ名前のものがすでにあります";
    case EIO:
      return "入出力エラーです";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます";
    case ENOMEM:
      return "メモリーが足りません";
    case EBUSY:
    case ETXTBSY:
      return "使用中です";
    case EXDEV:
      return "別のファイルシステムです";
    case ENOTEMPTY:
      return "フォルダが空ではありません";
    case EINVAL:
      return "引数が正しくありません";
    case EAGAIN:
      return "一時的に使えません";
    case EPIPE:
      return "出力先が閉じられました";
    default:
      return "システムエラー " + std::to_string(error);
  }
}
