// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FileErrorText.h"

#include <cerrno>

namespace FileErrorText {

QString forErrorNumber(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量が足りません");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限（クォータ）を超えました");
#endif
    case EFBIG:
        return QStringLiteral("ファイルの大きさの上限を超えました");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用のファイルシステムです");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります");
    case EIO:
        return QStringLiteral("読み書きの途中で入出力エラーが起きました");
    case ENOENT:
        return QStringLiteral("ファイルかフォルダが見つかりません");
    case ENOTDIR:
        return QStringLiteral("パスの途中にフォルダでないものがあります");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case ENOMEM:
        return QStringLiteral("メモリが足りません");
    case EBUSY:
        return QStringLiteral("ファイルが使用中です");
#ifdef ELOOP
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています");
#endif
    default:
        return {};
    }
}

namespace {

QString forOperation(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::ReadError:
        return QStringLiteral("読み込みに失敗しました");
    case QFileDevice::WriteError:
        return QStringLiteral("書き込みに失敗しました");
    case QFileDevice::OpenError:
        return QStringLiteral("ファイルを開けませんでした");
    case QFileDevice::RenameError:
        return QStringLiteral("ファイルを置き換えられませんでした");
    case QFileDevice::RemoveError:
        return QStringLiteral("ファイルを削除できませんでした");
    case QFileDevice::ResourceError:
        return QStringLiteral("資源が足りません");
    case QFileDevice::PermissionsError:
        return QStringLiteral("アクセス権を変更できませんでした");
    case QFileDevice::CopyError:
        return QStringLiteral("ファイルを複写できませんでした");
    default:
        return QStringLiteral("ファイルの操作に失敗しました");
    }
}

} // namespace

QString reason(int errorNumber, QFileDevice::FileError error)
{
    const QString known = forErrorNumber(errorNumber);
    if (!known.isEmpty())
        return known;
    QString text = forOperation(error);
    if (errorNumber != 0)
        text += QStringLiteral("：エラー番号 %1").arg(errorNumber);
    return text;
}

QString notRegularFile()
{
    return QStringLiteral("通常のファイルではありません");
}

} // namespace FileErrorText
