#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace TextFile {

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
        result.error = QStringLiteral("通常のファイルではありません");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.ok = false;
        result.error = file.errorString();
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
        const qint64 got = device.read(out.data() + start, Chunk);
        if (got < 0) {
            out.clear();
            error = device.errorString();
            return false;
        }
        out.resize(start + got);
        if (got == 0 && (!device.isSequential() || !device.waitForReadyRead(30000)))
            return true;
    }
}

bool writeAll(QIODevice &device, QByteArrayView bytes, QString &error)
{
    const qint64 written = device.write(bytes.data(), bytes.size());
    if (written == bytes.size())
        return true;
    error = device.errorString();
    if (error.isEmpty() || error == QLatin1String("Unknown error"))
        error = QStringLiteral("書き込みが途中で止まりました");
    return false;
}

FileResult replace(const QString &path, QByteArrayView bytes)
{
    const QString name = displayName(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(name, file.errorString());
    QString error;
    if (!writeAll(file, bytes, error)) {
        file.cancelWriting();
        return FileResult::failure(name, error);
    }
    if (!file.commit())
        return FileResult::failure(name, file.errorString());
    return FileResult::success(name);
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
