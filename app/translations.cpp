// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include "core/translate.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vexalo {

void LoadTranslations()
{
    LoadCatalogue(":/i18n");
}

void InstallTranslations()
{
    static QTranslator qt;
    if (qt.isEmpty())
        static_cast<void>(qt.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&qt);
    QCoreApplication::installTranslator(&Catalogue());
}

} // namespace vexalo
