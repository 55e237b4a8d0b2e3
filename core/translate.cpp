// SPDX-License-Identifier: MIT
#include "core/translate.h"

#include <QLocale>
#include <QTranslator>
#include <climits>
#include <cwchar>

namespace vexalo {
namespace {

// Qt 6 takes every 8-bit text for UTF-8; the system's words need not be (KOI8-R, say). A
// character the locale cannot write becomes '?'.
std::string ToLocaleEncoding(const QString& text)
{
    std::string encoded;
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (const wchar_t c : text.toStdWString()) {
        const std::size_t length = std::wcrtomb(bytes, c, &state);
        if (length == static_cast<std::size_t>(-1)) {
            encoded += '?';
            state = {};
        } else {
            encoded.append(bytes, length);
        }
    }
    return encoded;
}

} // namespace

QTranslator& Catalogue()
{
    static QTranslator catalogue;
    return catalogue;
}

bool LoadCatalogue(const std::string& folder)
{
    return Catalogue().load(QLocale(), QStringLiteral("vexalo-config"), QStringLiteral("_"),
                            QString::fromLocal8Bit(folder));
}

std::string Translate(const char* context, const char* text)
{
    const QString translated = Catalogue().translate(context, text);
    return translated.isEmpty() ? std::string(text) : ToLocaleEncoding(translated);
}

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string result;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t n = i + 1 < pattern.size() ? pattern[i + 1] - '1' : arguments.size();
        if (pattern[i] == '%' && n < arguments.size()) {
            result += arguments.begin()[n];
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

} // namespace vexalo
