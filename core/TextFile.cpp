// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextFile.h"

#include "FileErrorText.h"
#include "LineSplitter.h"
#include "SaveFile.h"
#include "TextBody.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <algorithm>

namespace TextFile {

QString failureReason(const QIODevice &device, int errorNumber, QFileDevice::FileError kind)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(&device))
        return FileErrorText::reason(errorNumber, file->error() == QFileDevice::NoError ? kind : file->error());
    const QString own = device.errorString();
    if (!own.isEmpty() && own != QLatin1String("Unknown error"))
        return own;
    return kind == QFileDevice::ReadError ? QStringLiteral("読み込みが途中で止まりました")
                                          : QStringLiteral("書き込みが途中で止まりました");
}

Opening openForReading(const QString &path, QFile &file, qint64 maxBytes)
{
    Opening opening;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return opening;
    opening.found = true;
    if (!info.isFile()) {
        opening.error = FileErrorText::notRegularFile();
        return opening;
    }
    opening.size = info.size();
    if (opening.size > maxBytes) {
        // A damaged or sparse file of many gigabytes: holding it would end
        // the program, and a catalogue or a list can't be that large.
        opening.error = tooLargeReason(maxBytes);
        return opening;
    }
    file.setFileName(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        opening.error = FileErrorText::reason(errno, QFileDevice::OpenError);
    return opening;
}

Bytes read(const QString &path, qint64 maxBytes)
{
    Bytes result;
    QFile file;
    const Opening opening = openForReading(path, file, maxBytes);
    result.found = opening.found;
    if (!opening.error.isEmpty()) {
        result.ok = false;
        result.error = opening.error;
        return result;
    }
    if (!opening.found)
        return result;
    result.ok = readAll(file, result.bytes, result.error, maxBytes);
    if (!result.ok)
        result.bytes.clear();
    return result;
}

bool readAll(QIODevice &device, QByteArray &out, QString &error, qint64 maxBytes)
{
    constexpr qint64 Chunk = 1 << 20;
    out.clear();
    if (!device.isSequential() && device.size() > 0)
        out.reserve(std::min(device.size(), maxBytes) + Chunk);
    for (;;) {
        if (out.size() > maxBytes) {
            // The file grew while it was read, or a device that tells no size.
            out.clear();
            error = tooLargeReason(maxBytes);
            return false;
        }
        const qsizetype start = out.size();
        out.resize(start + Chunk);
        errno = 0;
        const qint64 got = device.read(out.data() + start, Chunk);
        if (got < 0) {
            out.clear();
            error = failureReason(device, errno, QFileDevice::ReadError);
            return false;
        }
        out.resize(start + got);
        if (got == 0 && (!device.isSequential() || !device.waitForReadyRead(30000)))
            return true;
    }
}

QString tooLargeReason(qint64 maxBytes)
{
    return QStringLiteral("大きすぎるファイルです（上限 %1 MiB）").arg(maxBytes >> 20);
}

bool writeAll(QIODevice &device, QByteArrayView bytes, QString &error)
{
    // A file system that takes part of a write fails the next one with its
    // reason: keep writing until all is taken or a write fails.
    qsizetype done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 written = device.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            error = failureReason(device, errno, QFileDevice::WriteError);
            return false;
        }
        done += qsizetype(written);
    }
    return true;
}

FileResult save(SaveTarget &target, const QString &fileName, const ContentWriter &write)
{
    if (!target.open())
        return FileResult::failure(fileName, target.errorReason());
    QString error;
    if (!write(target.device(), error)) {
        target.cancel();
        return FileResult::failure(fileName, error);
    }
    if (!target.finish() || !target.commit()) {
        const QString reason = target.errorReason();
        target.cancel();
        return FileResult::failure(fileName, reason);
    }
    return FileResult::success(fileName);
}

FileResult replace(const QString &path, const ContentWriter &write)
{
    SaveFile target(path);
    return save(target, displayName(path), write);
}

FileResult replace(const QString &path, QByteArrayView bytes)
{
    return replace(path, [bytes](QIODevice &device, QString &error) { return writeAll(device, bytes, error); });
}

Lines decodeLines(QByteArrayView fileBytes)
{
    Lines result;
    const TextBody body(fileBytes);
    result.encoding = body.fileEncoding();
    result.undecodable = body.undecodable();
    LineSplitter lines(body.bytes());
    QByteArrayView line;
    while (lines.next(line))
        result.lines.append(TextCodec::decode(line, body.lineEncoding(), result.undecodable));
    return result;
}

QByteArray encodeLines(const QStringList &lines)
{
    EncodingChooser chooser;
    for (const QString &line : lines)
        chooser.add(line);
    const TextEncoding encoding = chooser.encoding();
    QByteArray out = TextCodec::preamble(encoding);
    for (const QString &line : lines) {
        TextCodec::encodeAppend(line, encoding, out);
        out.append("\r\n");
    }
    return out;
}

QString displayName(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace TextFile
