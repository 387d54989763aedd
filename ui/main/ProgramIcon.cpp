#include "ProgramIcon.h"

QIcon ProgramIcon()
{
    return QIcon::fromTheme(QStringLiteral("zarumi"), QIcon(QStringLiteral(":/icons/zarumi.svg")));
}
