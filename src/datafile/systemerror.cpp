#include "datafile/systemerror.h"

#include <cerrno>
#include <cstring>

namespace quillet::datafile {

QString systemErrorReason(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("見つかりません");
    case ENOTDIR: return QStringLiteral("フォルダーが見つかりません");
    case EACCES:
    case EPERM: return QStringLiteral("アクセスが拒否されました");
    case ENAMETOOLONG: return QStringLiteral("名前が長すぎます");
    case EROFS: return QStringLiteral("読み取り専用です");
    case EXDEV: return QStringLiteral("別のファイルシステムには移動できません");
    case EILSEQ:
    case EINVAL: return QStringLiteral("名前に使えない文字があります");
    case ENOSPC: return QStringLiteral("ディスクの空き容量が足りません");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("ディスクの使用量の上限を超えました");
#endif
    case EBUSY:
    case ETXTBSY: return QStringLiteral("使用中です");
    case EEXIST:
    case ENOTEMPTY: return QStringLiteral("同じ名前の項目が既にあります");
    case EISDIR: return QStringLiteral("フォルダーです");
    case EIO: return QStringLiteral("読み書きに失敗しました");
    case ELOOP: return QStringLiteral("シンボリックリンクが多すぎます");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace quillet::datafile
