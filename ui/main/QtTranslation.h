// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

class QCoreApplication;

// Qt's own texts (the context menu of a text box, file-error reasons) in
// Japanese, from the translations installed with Qt.
class QtTranslation
{
public:
    // Loads qtbase_ja.qm from Qt's translations folder and installs it in
    // app. Returns false, with the reason in errorText(), when it is missing.
    bool install(QCoreApplication *app);
    QString errorText() const { return m_error; }

private:
    QString m_error;
};
