// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArrayView>
#include <QString>

// The codec or verified format that the first bytes of a file show, found by
// exact byte signatures; empty when no signature decides it.
QString SniffHeader(QByteArrayView header);
