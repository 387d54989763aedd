#include "TextFile.h"

#include "FileErrorText.h"
#include "SaveFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace TextFile {

namespace {

// Our own text for a file's failure; another device's own text, or ours.
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

} // namespace

Bytes read(const QString &path)
{
    Bytes result;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return result;
    result.found = true;
    if (!info.isFile()) {
        // A pipe or a device: reading it could wait forever.
        result.ok = false;
        result.error = FileErrorText::notRegularFile();
        return result;
    }
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.ok = false;
        result.error = FileErrorText::reason(errno, QFileDevice::OpenError);
        return result;
    }
    result.ok = readAll(file, result.bytes, result.error);
    if (!result.ok)
        result.bytes.clear();
    return result;
}

bool readAll(QIODevice &device, QByteArray &out, QString &error)
{
    constexpr qint64 Chunk = 1 << 20;
    out.clear();
    if (!device.isSequential() && device.size() > 0)
        out.reserve(device.size() + Chunk);
    for (;;) {
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
    result.encoding = TextCodec::detect(fileBytes);
    QByteArrayView body = TextCodec::body(fileBytes, result.encoding);
    while (!body.isEmpty()) {
        qsizetype end = body.indexOf('\n');
        const qsizetype next = end < 0 ? body.size() : end + 1;
        if (end < 0)
            end = body.size();
        QByteArrayView line = body.first(end);
        if (line.endsWith('\r'))
            line.chop(1);
        result.lines.append(TextCodec::decode(line, result.encoding, result.undecodable));
        body = body.sliced(next);
    }
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
