// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The few Qt declarations that the Windows-only sources use, for a syntax
// check with a MinGW compiler on a machine without Qt for Windows. Only
// declarations: nothing here is linked or run.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define Q_OS_WIN
#endif

using qint64 = long long;
using quint64 = unsigned long long;
using qintptr = std::intptr_t;
using qsizetype = std::ptrdiff_t;
using quint16 = unsigned short;
using quint8 = unsigned char;

#define Q_OBJECT
#define Q_SIGNALS public
#define Q_EMIT
#define Q_INT64_C(c) c##LL

namespace Qt {
enum ConnectionType { AutoConnection, DirectConnection, QueuedConnection };
}

class QByteArray
{
public:
    QByteArray();
    QByteArray(const char *data, qsizetype size = -1);
    bool isEmpty() const;
    const char *constData() const;
    qsizetype size() const;
    friend bool operator==(const QByteArray &, const QByteArray &);
};

class QString
{
public:
    QString();
    bool isEmpty() const;
    qsizetype size() const;
    const char16_t *utf16() const;
    static QString fromLocal8Bit(const char *text, qsizetype size = -1);
    friend bool operator==(const QString &, const QString &);
};

class QUrl
{
public:
    bool isLocalFile() const;
    QString toLocalFile() const;
};

class QDate
{
public:
    QDate();
    QDate(int year, int month, int day);
};

class QObject
{
public:
    explicit QObject(QObject *parent = nullptr);
    virtual ~QObject();
};

class QMetaObject
{
public:
    template<typename Object, typename Function>
    static bool invokeMethod(Object *object, Function function, Qt::ConnectionType type = Qt::AutoConnection);
};
