// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FileResult.h"
#include "TextCodec.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <functional>

class QFile;
class QIODevice;
class SaveTarget;

// Whole-file reading and writing shared by the list file, the settings file
// and the category files. Every write goes through save(): a temporary file
// of our own beside the old one (SaveFile) that replaces it only when all
// of it was written and synced to the disk.
namespace TextFile {

// The most read of a settings or category file: a real one is a few KB,
// the longest category list (32,767 values) a few MB.
inline constexpr qint64 MaxSmallFileBytes = qint64(64) << 20;

struct Bytes
{
    bool found = false; // an ordinary file was there
    bool ok = true; // false: it was there but could not be read
    QByteArray bytes;
    QString error;
};

// How opening a file for reading went.
struct Opening
{
    bool found = false; // an ordinary file, a pipe or a device was there
    QString error; // empty: file is open
    qint64 size = 0;
};
// Opens file (at path) for reading, unbuffered. A missing path (or a
// folder) is "not found", which is no error; a pipe or a device is found but
// not opened (reading it could wait forever), and so is a file larger than
// maxBytes.
Opening openForReading(const QString &path, QFile &file, qint64 maxBytes);
// Reads the whole ordinary file at path, found and not read as above.
Bytes read(const QString &path, qint64 maxBytes);
// Reads device to its end; false with error on a read failure or when it
// gives more than maxBytes.
bool readAll(QIODevice &device, QByteArray &out, QString &error, qint64 maxBytes);
// Our own text for a device's failure (errorNumber: errno right after it);
// another device's own text, or ours.
QString failureReason(const QIODevice &device, int errorNumber, QFileDevice::FileError kind);
// The reason given for a file larger than maxBytes.
QString tooLargeReason(qint64 maxBytes);

// Writes bytes to device; false with error when the device took less.
bool writeAll(QIODevice &device, QByteArrayView bytes, QString &error);

// Writes a file's whole content to device; false with the reason in error.
using ContentWriter = std::function<bool(QIODevice &device, QString &error)>;

// The one save routine of every file the program writes: opens target,
// writes the content, finishes and commits it; on any failure the target
// is cancelled (the old file stays as it was) and the failure is returned
// under fileName.
FileResult save(SaveTarget &target, const QString &fileName, const ContentWriter &write);
// save() into the file at path (SaveFile).
FileResult replace(const QString &path, const ContentWriter &write);
FileResult replace(const QString &path, QByteArrayView bytes);

struct Lines
{
    QStringList lines;
    TextEncoding encoding = TextEncoding::Cp932;
    qint64 undecodable = 0;
};

// Splits a file's text into lines as LineSplitter does (CR LF, LF or a
// lone CR) and decodes them in the file's encoding (TextBody).
Lines decodeLines(QByteArrayView fileBytes);
// Every line followed by CR LF, in code page 932 when all of it fits, else
// UTF-8 with a byte-order mark.
QByteArray encodeLines(const QStringList &lines);

// File name for messages: "List.txt" for "/some/folder/List.txt".
QString displayName(const QString &path);

} // namespace TextFile
