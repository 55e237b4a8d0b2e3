// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include "core/translate.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <filesystem>

namespace vexalo {

void LoadTranslations()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        LoadCatalogue(program.parent_path() / VEXALO_TRANSLATIONS);
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
